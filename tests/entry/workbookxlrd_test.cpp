// The exported workbook read by xlrd, a reader of the format that shares
// nothing with this program (Debian's python3-xlrd).
#include "entry/workbookformula.h"
#include "entry/spreadsheetexport.h"
#include "fit/curvefunctions.h"
#include "fit/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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
            out << name << "\tn\t" << buffer << '\n';
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

void polynomialSession()
{
    Session& s = session();
    for (int i = 1; i <= 8; ++i) {
        s.points.x[i] = 10.0 * i;
        s.points.y[i] = 3.2 + 0.05 * s.points.x[i] - 0.0004 * s.points.x[i] * s.points.x[i] + (i == 3 ? 0.02 : 0.0);
    }
    s.points.y[6] = 0.0;
    s.fit.kind = FitType::Polynomial;
    s.fit.degree = s.fit.curveDegree = 2;
    const double c[3] = {3.2, 0.05, -0.0004};
    for (int k = 0; k < 3; ++k) s.result.coefficients[k + 1] = s.result.curve[k] = c[k];
    selectCurveFunction();
}

// Degree 8: the check formula must take the term of x^8 too.
void polynomialOfDegree8Session()
{
    Session& s = session();
    s.fit.kind = FitType::Polynomial;
    s.fit.degree = s.fit.curveDegree = 8;
    for (int k = 0; k <= 8; ++k) s.result.coefficients[k + 1] = s.result.curve[k] = (k % 2 ? -1.0 : 1.0) / (k + 1);
    selectCurveFunction();
    for (int i = 1; i <= 8; ++i) s.points.x[i] = 0.25 * i, s.points.y[i] = polynomialCurve(0.25 * i) + 0.01;
}

void powerSession()
{
    Session& s = session();
    for (int i = 1; i <= 6; ++i) s.points.x[i] = 0.5 * i, s.points.y[i] = 12.0 * std::pow(0.5 * i, 1.85) + 0.1;
    s.fit.kind = FitType::Power;
    s.result.curve[0] = 12.0;
    s.result.curve[1] = 1.85;
    selectCurveFunction();
}

void surfaceSession()
{
    Session& s = session();
    for (int i = 1; i <= 12; ++i) s.points.x[i] = -10 + i, s.points.y[i] = 30 + 2 * i, s.points.z[i] = 5000 - 40 * i;
    s.fit.kind = FitType::SurfaceXY;
    s.fit.degree = 3;
    for (int k = 1; k <= 10; ++k) s.result.coefficients[k] = 100.0 / k;
}

TEST(WorkbookXlrd, XlrdReadsEverySheetKindAsBuilt)
{
    const std::string python = pythonWithXlrd();
    if (python.empty()) GTEST_SKIP() << "python3-xlrd is not installed";
    const std::string helper = std::string(CALVERO_SOURCE_DIR) + "/tests/entry/workbook_xlrd_check.py";
    struct Case {
        const char* kind;
        void (*setUp)();
        std::uint16_t points;
    };
    for (const Case& sample : {Case{"polynomial", polynomialSession, 8}, Case{"polynomial8", polynomialOfDegree8Session, 8},
                               Case{"power", powerSession, 6}, Case{"surface", surfaceSession, 12}}) {
        const std::string kind = sample.kind;
        resetSession();
        sample.setUp();
        const std::string base = std::string(CALVERO_BINARY_DIR) + "/workbook_xlrd_" + kind;
        const ExportResult result = exportSpreadsheet(base + ".xls", sample.points);
        ASSERT_TRUE(result.saved) << result.message;
        writeExpectations(buildExportSheet(sample.points), base + ".expected");
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
