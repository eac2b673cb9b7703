// The exported workbook read by xlrd, a reader of the format that shares
// nothing with this program (Debian's python3-xlrd).
#include "spreadsheet/workbookformula.h"
#include "entry/spreadsheetexport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace calvero {
namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// The Python that has xlrd: the one named by CALVERO_PYTHON, else the
// system's, else the first on the path; empty when none has it.
std::string pythonWithXlrd()
{
    std::vector<std::string> candidates;
    if (const char* chosen = std::getenv("CALVERO_PYTHON")) candidates.emplace_back(chosen);
    candidates.emplace_back("/usr/bin/python3");
    candidates.emplace_back("python3");
    for (const std::string& python : candidates)
        if (std::system((quoted(python) + " -c 'import xlrd' >/dev/null 2>&1").c_str()) == 0) return python;
    return {};
}

// Every cell of the sheet but the date, as the helper expects them.
void writeExpectations(const Worksheet& sheet, const std::string& path)
{
    std::ofstream out(path);
    for (const auto& [address, value] : sheet.cells()) {
        const std::string name = cellName(address);
        if (name == "A1") continue;
        char buffer[64];
        if (const double* number = std::get_if<double>(&value)) {
            std::snprintf(buffer, sizeof buffer, "%.17g", *number);
            const auto format = sheet.numberFormats().find(address);
            out << name << "\tn\t" << buffer << (format != sheet.numberFormats().end() ? "\t" + format->second : "") << '\n';
        } else if (const std::string* text = std::get_if<std::string>(&value)) {
            out << name << "\tt\t" << *text << '\n';
        } else {
            std::snprintf(buffer, sizeof buffer, "%.17g", std::get<double>(cellValue(sheet, address)));
            out << name << "\tn\t" << buffer << '\n';
        }
    }
    // The cells left empty, to see that emptiness survives, one row past the end included.
    const int lastRow = sheet.cells().empty() ? 1 : sheet.cells().rbegin()->first.row;
    for (int row = 1; row <= lastRow + 1; ++row)
        for (int column = 1; column <= 9; ++column)
            if (sheet.cell({row, column}) == nullptr && !(row == 1 && column == 1)) out << cellName({row, column}) << "\te\n";
}

// What a workbook is written from: points, kind, degree, the last calculation.
struct Saved {
    PointSet points;
    FitType kind = FitType::Polynomial;
    int degree = 2;
    std::optional<Calculation> last;
    TwoParameters power;
    ExportSource source() const { return {kind, degree, points, last ? &*last : nullptr, power}; }
};

Calculation polynomialCalculation(const std::vector<double>& c)
{
    PolynomialCoefficients coefficients{};
    for (std::size_t k = 0; k < c.size(); ++k) coefficients[static_cast<int>(k) + 1] = c[k];
    Calculation done;
    done.curve = PolynomialCurve{coefficients, static_cast<int>(c.size()) - 1};
    return done;
}

Saved polynomialSession()
{
    Saved s;
    for (int i = 1; i <= 8; ++i) {
        s.points.x[i] = 10.0 * i;
        s.points.y[i] = 3.2 + 0.05 * s.points.x[i] - 0.0004 * s.points.x[i] * s.points.x[i] + (i == 3 ? 0.02 : 0.0);
    }
    s.points.y[6] = 0.0;
    s.last = polynomialCalculation({3.2, 0.05, -0.0004});
    return s;
}

// Degree 8: the check formula must take the term of x^8 too.
Saved polynomialOfDegree8Session()
{
    Saved s;
    s.degree = 8;
    std::vector<double> c;
    for (int k = 0; k <= 8; ++k) c.push_back((k % 2 ? -1.0 : 1.0) / (k + 1));
    s.last = polynomialCalculation(c);
    for (int i = 1; i <= 8; ++i) s.points.x[i] = 0.25 * i, s.points.y[i] = evaluate(*s.last->curve, 0.25 * i) + 0.01;
    return s;
}

Saved powerSession()
{
    Saved s;
    for (int i = 1; i <= 6; ++i) s.points.x[i] = 0.5 * i, s.points.y[i] = 12.0 * std::pow(0.5 * i, 1.85) + 0.1;
    s.kind = FitType::Power;
    s.power = {12.0, 1.85};
    s.last = Calculation{};
    s.last->curve = PowerCurve{s.power};
    return s;
}

Saved surfaceSession()
{
    Saved s;
    for (int i = 1; i <= 12; ++i) s.points.x[i] = -10 + i, s.points.y[i] = 30 + 2 * i, s.points.z[i] = 5000 - 40 * i;
    s.kind = FitType::SurfaceXY;
    s.degree = 3;
    s.last = Calculation{};
    s.last->kind = FitType::SurfaceXY;
    for (int k = 1; k <= 10; ++k) s.last->surface[k] = 100.0 / k;
    return s;
}

TEST(WorkbookXlrd, XlrdReadsEverySheetKindAsBuilt)
{
    const std::string python = pythonWithXlrd();
    if (python.empty()) GTEST_SKIP() << "python3-xlrd is not installed";
    const std::string helper = std::string(CALVERO_SOURCE_DIR) + "/tests/entry/workbook_xlrd_check.py";
    struct Case {
        const char* kind;
        Saved (*setUp)();
        std::uint16_t points;
    };
    for (const Case& sample : {Case{"polynomial", polynomialSession, 8}, Case{"polynomial8", polynomialOfDegree8Session, 8},
                               Case{"power", powerSession, 6}, Case{"surface", surfaceSession, 12}}) {
        const std::string kind = sample.kind;
        const Saved saved = sample.setUp();
        const std::string base = std::string(CALVERO_BINARY_DIR) + "/workbook_xlrd_" + kind;
        const Failure failure = exportSpreadsheet(saved.source(), base + ".xls", sample.points);
        ASSERT_FALSE(failure) << *failure;
        writeExpectations(buildExportSheet(saved.source(), sample.points), base + ".expected");
        const std::string command = quoted(python) + " " + quoted(helper) + " " + quoted(base + ".xls") + " " +
                                    quoted(base + ".expected") + " > " + quoted(base + ".log") + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream log(base + ".log");
        const std::string output((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        EXPECT_EQ(status, 0) << kind << ":\n" << output;
    }
}

} // namespace
} // namespace calvero
