#include "entry/spreadsheetexport.h"

#include "spreadsheet/workbookformula.h"
#include "fit/fault.h"
#include "fit/surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <vector>

namespace calvero {
namespace {

double number(const Worksheet& sheet, const char* name)
{
    const CellValue* cell = sheet.cell(name);
    if (cell == nullptr || !std::holds_alternative<double>(*cell)) {
        ADD_FAILURE() << name << " is not a number cell";
        return NAN;
    }
    return std::get<double>(*cell);
}

std::string text(const Worksheet& sheet, const char* name)
{
    const CellValue* cell = sheet.cell(name);
    if (cell == nullptr || !std::holds_alternative<std::string>(*cell)) {
        ADD_FAILURE() << name << " is not a text cell";
        return {};
    }
    return std::get<std::string>(*cell);
}

// The number format a cell shows its number with; empty for General.
std::string format(const Worksheet& sheet, const std::string& name)
{
    const auto found = sheet.numberFormats().find(*parseCellName(name));
    return found == sheet.numberFormats().end() ? std::string() : found->second;
}

class SpreadsheetExport : public ::testing::Test {
protected:
    // Eight points near y = 1.5 - 0.25 x + 0.125 x^2, the fitted polynomial.
    void polynomialOfDegree2()
    {
        for (int i = 1; i <= 8; ++i) {
            points.x[i] = 0.5 * i;
            points.y[i] = 1.5 - 0.25 * points.x[i] + 0.125 * points.x[i] * points.x[i] + (i % 2 ? 0.01 : -0.01);
        }
        points.count = points.foundCount = 8;
        polynomial({1.523456789012345, -0.25, 0.125});
    }
    // The last calculation: the polynomial with these coefficients, from x^0 up.
    void polynomial(const std::vector<double>& c)
    {
        kind = FitType::Polynomial;
        degree = static_cast<int>(c.size()) - 1;
        PolynomialCoefficients coefficients{};
        for (std::size_t k = 0; k < c.size(); ++k) coefficients[static_cast<int>(k) + 1] = c[k];
        last = Calculation{};
        last->kind = kind;
        last->curve = PolynomialCurve{coefficients, degree};
    }
    double curveAt(double x) const { return evaluate(*last->curve, x); }
    ExportSource source() const { return {kind, degree, points, last ? &*last : nullptr, power}; }
    Worksheet buildExportSheet(std::uint16_t count) const { return calvero::buildExportSheet(source(), count); }

    PointSet points;
    FitType kind = FitType::Polynomial;
    int degree = 2;
    std::optional<Calculation> last;
    TwoParameters power;
};

TEST_F(SpreadsheetExport, PolynomialSheetListsCoefficientsCheckFormulaAndPoints)
{
    polynomialOfDegree2();
    const Worksheet sheet = buildExportSheet(8);
    EXPECT_EQ(sheet.name(), "FOGLIO1");
    EXPECT_EQ(sheet.columnWidth(1), 16.0);

    EXPECT_TRUE(std::regex_match(text(sheet, "A1"), std::regex(R"(Oggi:\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)")));
    EXPECT_EQ(text(sheet, "A2"), "progr");
    EXPECT_EQ(text(sheet, "B2"), "termine");
    EXPECT_EQ(text(sheet, "D2"), "x");
    EXPECT_EQ(text(sheet, "E2"), "y");
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(number(sheet, ("A" + std::to_string(2 + k)).c_str()), k);
    // 12 decimals: an error of half the 12th keeps the constant within 1e-12 of the largest y (1.97).
    EXPECT_EQ(number(sheet, "B3"), 1.523456789012);
    EXPECT_EQ(number(sheet, "B4"), -0.25);
    EXPECT_EQ(number(sheet, "B5"), 0.125);
    for (int row = 6; row <= 12; ++row) EXPECT_EQ(number(sheet, ("B" + std::to_string(row)).c_str()), 0.0);
    EXPECT_EQ(number(sheet, "D3"), 2.5); // the fifth x
    EXPECT_EQ(format(sheet, "D3"), "0.000");

    ASSERT_NE(sheet.cell("E3"), nullptr);
    EXPECT_EQ(std::get<FormulaText>(*sheet.cell("E3")).text, PolynomialCheckFormula);
    const double d3 = 2.5;
    EXPECT_NEAR(std::get<double>(cellValue(sheet, {3, 5})), 1.523456789012 - 0.25 * d3 + 0.125 * d3 * d3, 1e-12);

    const char* headings[] = {"X", "Y", "Y int", "differenza", "errore %"};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(text(sheet, (std::string(1, 'A' + c) + "13").c_str()), headings[c]);
    const PointSet& s = points;
    // Every digit stored, three decimals shown.
    for (int i = 1; i <= 8; ++i) {
        const std::string row = std::to_string(13 + i);
        const double yint = curveAt(s.x[i]);
        const double expected[] = {s.x[i], s.y[i], yint, s.y[i] - yint, (yint - s.y[i]) * 100 / s.y[i]};
        for (int c = 0; c < 5; ++c) {
            const std::string name = std::string(1, 'A' + c) + row;
            EXPECT_EQ(number(sheet, name.c_str()), expected[c]) << name;
            EXPECT_EQ(format(sheet, name), "0.000") << name;
        }
    }
    EXPECT_EQ(sheet.cell("A22"), nullptr);
    EXPECT_EQ(sheet.cell("C3"), nullptr);
}

TEST_F(SpreadsheetExport, DifferenceAndErrorHaveOppositeSigns)
{
    points.x[1] = 2.0;
    points.y[1] = 5.0;
    points.x[2] = 3.0; // measured 0: no error
    polynomial({2.0, 1.0});
    Worksheet sheet("FOGLIO1");
    writePolynomialSheet(sheet, source(), 2);
    EXPECT_EQ(number(sheet, "C14"), 4.0);
    EXPECT_EQ(number(sheet, "D14"), 1.0);
    EXPECT_EQ(number(sheet, "E14"), -20.0);
    EXPECT_EQ(number(sheet, "D15"), -5.0);
    EXPECT_EQ(sheet.cell("E15"), nullptr);
    // With fewer than five points D3 shows what x[5] holds.
    EXPECT_EQ(number(sheet, "D3"), 0.0);
    EXPECT_EQ(number(sheet, "B5"), 0.0);
}

TEST_F(SpreadsheetExport, PowerSheetChecksTheCurveAtAnXTheUserCanChange)
{
    points.x[1] = 16.0;
    points.y[1] = 20.5;
    points.x[2] = 81.0;
    points.y[2] = 67.0;
    kind = FitType::Power;
    power = {2.5, 0.75};
    last = Calculation{};
    last->curve = PowerCurve{power};
    Worksheet sheet = buildExportSheet(2);
    EXPECT_TRUE(std::regex_match(text(sheet, "A1"), std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)")));
    EXPECT_EQ(text(sheet, "C1"), "verifica valore x");
    EXPECT_EQ(text(sheet, "A2"), "termine A");
    EXPECT_EQ(text(sheet, "B2"), "termine B");
    EXPECT_EQ(number(sheet, "A3"), 2.5);
    EXPECT_EQ(number(sheet, "B3"), 0.75);
    EXPECT_EQ(number(sheet, "D3"), 16.0);
    EXPECT_EQ(std::get<FormulaText>(*sheet.cell("E3")).text, PowerCheckFormula);
    EXPECT_DOUBLE_EQ(std::get<double>(cellValue(sheet, {3, 5})), 20.0);
    sheet.setNumber({3, 4}, 81.0);
    EXPECT_DOUBLE_EQ(std::get<double>(cellValue(sheet, {3, 5})), 67.5);

    EXPECT_EQ(text(sheet, "E5"), "errore %");
    EXPECT_EQ(number(sheet, "A6"), 16.0);
    EXPECT_EQ(number(sheet, "C6"), 20.0);
    EXPECT_EQ(number(sheet, "D6"), 0.5);
    EXPECT_EQ(number(sheet, "E7"), 50.0 / 67); // (67.5 - 67) * 100 / 67
    EXPECT_EQ(sheet.cell("A8"), nullptr);
}

TEST_F(SpreadsheetExport, APointWhereTheCurveFaultsKeepsOnlyItsMeasuredValues)
{
    for (int i = 1; i <= 3; ++i) points.x[i] = i, points.y[i] = 2.0 * i;
    kind = FitType::Power;
    // y = 1 / (x - 3): a division by zero at x = 3.
    PolynomialCoefficients c{};
    c[1] = -3, c[2] = 1;
    last = Calculation{};
    last->curve = RationalCurve{c, 1};
    Worksheet sheet = buildExportSheet(3);
    EXPECT_EQ(number(sheet, "A8"), 3.0);
    EXPECT_EQ(number(sheet, "B8"), 6.0);
    for (const char* empty : {"C8", "D8", "E8"}) EXPECT_EQ(sheet.cell(empty), nullptr) << empty;
    EXPECT_EQ(number(sheet, "C7"), -1.0);

    last.reset(); // no calculation yet: only the points
    sheet = buildExportSheet(3);
    EXPECT_EQ(number(sheet, "B6"), 2.0);
    EXPECT_EQ(sheet.cell("C6"), nullptr);
}

TEST_F(SpreadsheetExport, SurfaceSheetListsTheTermsOfItsDegree)
{
    kind = FitType::SurfaceXY;
    degree = 3;
    last = Calculation{};
    last->kind = FitType::SurfaceXY;
    for (int k = 1; k <= 15; ++k) last->surface[k] = k * 0.5;
    for (int i = 1; i <= 12; ++i) {
        points.x[i] = i;
        points.y[i] = 13 - i;
        points.z[i] = i == 4 ? 0.0 : 10.0 * i;
    }
    Worksheet sheet = buildExportSheet(12);
    const char* headings[] = {"X", "Y", "Z", "Z int", "errore %"};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(text(sheet, (std::string(1, 'A' + c) + "1").c_str()), headings[c]);
    EXPECT_EQ(text(sheet, "H3"), "termine");
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(number(sheet, ("H" + std::to_string(4 + k)).c_str()), k);
        EXPECT_EQ(number(sheet, ("I" + std::to_string(4 + k)).c_str()), k * 0.5);
    }
    EXPECT_EQ(sheet.cell("I15"), nullptr);
    for (int i = 1; i <= 12; ++i) {
        const std::string row = std::to_string(i + 1);
        const double zint = evaluateSurface(last->surface, i, 13 - i, 3);
        EXPECT_EQ(number(sheet, ("C" + row).c_str()), points.z[i]);
        EXPECT_EQ(number(sheet, ("D" + row).c_str()), zint);
        if (i != 4) {
            EXPECT_EQ(number(sheet, ("E" + row).c_str()), (zint - points.z[i]) * 100 / points.z[i]);
        }
    }
    EXPECT_EQ(sheet.cell("E5"), nullptr);

    degree = 5; // no evaluation for this degree: points only
    sheet = buildExportSheet(12);
    EXPECT_EQ(number(sheet, "C13"), 120.0);
    for (const char* empty : {"H5", "I5", "D2", "E2"}) EXPECT_EQ(sheet.cell(empty), nullptr) << empty;
}

TEST_F(SpreadsheetExport, OtherKindsGiveTheNamedEmptySheet)
{
    kind = FitType::Exponential;
    const Worksheet sheet = buildExportSheet(5);
    EXPECT_EQ(sheet.name(), "FOGLIO1");
    EXPECT_TRUE(sheet.cells().empty());
    EXPECT_EQ(sheet.columnWidth(1), 16.0);
}

TEST_F(SpreadsheetExport, AtMostTheDataSetsTwoHundredPointsAreListed)
{
    for (int i = 1; i <= MaxPoints; ++i) points.x[i] = i, points.y[i] = i;
    kind = FitType::Power;
    const Worksheet sheet = buildExportSheet(250);
    EXPECT_EQ(number(sheet, "A205"), 200.0);
    EXPECT_EQ(sheet.cell("A206"), nullptr);
}

TEST_F(SpreadsheetExport, SuccessIsReportedOnlyAfterTheFileIsWritten)
{
    polynomialOfDegree2();
    const std::string name = std::string(CALVERO_BINARY_DIR) + "/spreadsheetexport_dati_OUTPUT.xls";
    std::filesystem::remove(name);
    EXPECT_FALSE(exportSpreadsheet(source(), name, 8));
    EXPECT_EQ(workbookSavedMessage(name), "salvato il file EXCEL :" + name);
    std::ifstream file(name, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");

    const std::string unwritable = std::string(CALVERO_BINARY_DIR) + "/no_such_folder/dati_OUTPUT.xls";
    EXPECT_EQ(exportSpreadsheet(source(), unwritable, 8),
              "impossibile salvare il file EXCEL: " + unwritable + ": file o cartella inesistente");
    EXPECT_FALSE(std::filesystem::exists(unwritable));
}

TEST_F(SpreadsheetExport, CoefficientCellsKeepTwelveDigitsAndTheCheckFormulaTakesThemAll)
{
    // A degree-8 fan curve over x = 500 ... 5475: its high terms are tiny.
    const double fan[9] = {812.5, -0.31, 1.2e-4, -3.3e-8, 4.1e-12, -2.7e-16, 9.1e-21, -1.3e-25, 7.7e-31};
    polynomial(std::vector<double>(fan, fan + 9));
    // Points on the curve up to a noise below the shown decimals, which the cells keep.
    for (int i = 1; i <= 6; ++i) points.x[i] = 500.0 * i, points.y[i] = curveAt(500.0 * i) - 1e-12;
    Worksheet sheet = buildExportSheet(6);
    for (int k = 0; k < 9; ++k)
        EXPECT_NEAR(number(sheet, ("B" + std::to_string(3 + k)).c_str()), fan[k], std::fabs(fan[k]) * 5e-12) << k;
    EXPECT_NEAR(std::get<double>(cellValue(sheet, {3, 5})), curveAt(2500), 1e-6);
    for (const char* noise : {"D14", "D19"}) EXPECT_TRUE(number(sheet, noise) < 0 && number(sheet, noise) > -2e-12) << noise;

    kind = FitType::Power;
    power.a = 3.14159e-9;
    sheet = buildExportSheet(0);
    EXPECT_EQ(number(sheet, "A3"), 3.14159e-9);
    kind = FitType::SurfaceXY;
    degree = 4;
    sheet = buildExportSheet(0);
    EXPECT_NEAR(number(sheet, "I13"), fan[8], fan[8] * 5e-12);
}

TEST_F(SpreadsheetExport, SmallPointValuesKeepTheirDigitsAndTheCheckValueFitsItsColumn)
{
    points.x[1] = 3.0, points.y[1] = 0.0010479;
    points.x[5] = 7.0;
    polynomial({123456789001.5, 3.0}); // y(7) = 123456789022.5
    const Worksheet sheet = buildExportSheet(1);
    EXPECT_EQ(number(sheet, "B14"), 0.0010479);
    EXPECT_EQ(std::get<double>(cellValue(sheet, {3, 5})), 123456789022.5);
    // "123456789022.5" and the cell's padding, or the spreadsheet shows 1.2346E+11.
    EXPECT_GE(sheet.columnWidth(5).value_or(8.43), 14.0 + 2.0);
}

TEST(WorkbookName, TheExtensionOfTheFileNameGivesWayToTheSuffix)
{
    EXPECT_EQ(workbookNameFor("dati.x"), "dati_OUTPUT.xls");
    EXPECT_EQ(workbookNameFor("pompa.dat"), "pompa_OUTPUT.xls");
    EXPECT_EQ(workbookNameFor("dati.txt"), "dati_OUTPUT.xls");
    EXPECT_EQ(workbookNameFor("/home/tecnico/prove/dati.txt"), "/home/tecnico/prove/dati_OUTPUT.xls");
    EXPECT_EQ(workbookNameFor("/a.b/dati"), "/a.b/dati_OUTPUT.xls");
    EXPECT_EQ(workbookNameFor("dati"), "dati_OUTPUT.xls");
    EXPECT_EQ(workbookNameFor("a.b.c"), "a.b_OUTPUT.xls");
}

} // namespace
} // namespace calvero
