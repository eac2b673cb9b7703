#include "entry/spreadsheetexport.h"

#include "spreadsheet/workbookformula.h"
#include "spreadsheet/workbookwriter.h"
#include "common/numtext.h"
#include "fit/surface.h"
#include "fit/termreach.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <exception>
#include <optional>
#include <variant>
#include <vector>

namespace calvero {

namespace {

// Point values keep every digit and show three decimals.
const char* const PointFormat = "0.000";
constexpr int CoefficientWidth = 16, CoefficientDecimals = 11;
constexpr int IndexWidth = 5;
// The width a spreadsheet gives a column that states none.
constexpr double DefaultColumnWidth = 8.43;
// A number shown in the General format takes its digits plus the cell padding.
constexpr double CellPadding = 2.0;

const char* const PointHeadings[] = {"X", "Y", "Y int", "differenza", "errore %"};
const char* const SurfaceHeadings[] = {"X", "Y", "Z", "Z int", "errore %"};

void widenColumnTo(Worksheet& sheet, int column, double characters)
{
    if (characters > sheet.columnWidth(column).value_or(DefaultColumnWidth)) sheet.setColumnWidth(column, characters);
}

// A coefficient with the digits the report prints; its column widens to show
// every one of them.
void enterCoefficient(Worksheet& sheet, CellAddress address, double value,
                      std::optional<TermReach> term = std::nullopt)
{
    if (!std::isfinite(value)) return; // its cell stays empty
    const std::string text = formatCoefficient(value, CoefficientWidth, CoefficientDecimals, 100000, term);
    sheet.enter(address, text);
    // Shown with the decimals written, never in exponent form (as the report shows it).
    const auto point = text.find('.');
    sheet.setNumberFormat(address, point == std::string::npos ? "0" : "0." + std::string(text.size() - point - 1, '0'));
    widenColumnTo(sheet, address.column, static_cast<double>(text.size() - text.find_first_not_of(' ')) + CellPadding);
}

// A point value as the calculation has it, shown with three decimals; a value
// that is not finite leaves its cell empty.
void enterPointValue(Worksheet& sheet, CellAddress address, std::optional<double> value)
{
    if (!value || !std::isfinite(*value)) return;
    sheet.setNumber(address, *value == 0.0 ? 0.0 : *value); // no zero with a sign
    sheet.setNumberFormat(address, PointFormat);
}

// The check formula at E3, in a column wide enough for the value it shows
// (a narrow column would show a large value in exponent form).
void enterCheckFormula(Worksheet& sheet, const char* formula)
{
    sheet.enter("E3", formula);
    const FormulaValue value = cellValue(sheet, {3, 5});
    if (const double* number = std::get_if<double>(&value); number && std::isfinite(*number)) {
        char text[32];
        const int length = std::snprintf(text, sizeof text, "%.15g", *number);
        widenColumnTo(sheet, 5, length + CellPadding);
    }
}

// Points beyond the data set's capacity do not exist.
int pointsToWrite(std::uint16_t pointCount) { return std::min<int>(pointCount, MaxPoints); }

struct PointRow {
    double measured = 0.0;
    std::optional<double> interpolated;
};

std::optional<double> difference(const PointRow& row)
{
    if (!row.interpolated) return std::nullopt;
    return row.measured - *row.interpolated;
}

// The error in per cent; not computed for a measured value of 0.
std::optional<double> errorPercent(const PointRow& row)
{
    if (!row.interpolated || row.measured == 0.0) return std::nullopt;
    return (*row.interpolated - row.measured) * 100.0 / row.measured;
}

void enterHeadings(Worksheet& sheet, int row, const char* const (&headings)[5])
{
    for (int column = 1; column <= 5; ++column) sheet.enter(CellAddress{row, column}, headings[column - 1]);
}

// The coefficients of the last calculation that has them in a list: a
// polynomial's, a rational polynomial's or the surface's; zeros otherwise.
PolynomialCoefficients listedCoefficients(const Calculation* last)
{
    if (!last) return {};
    if (last->kind == FitType::SurfaceXY) return last->surface;
    if (!last->curve) return {};
    if (const auto* p = std::get_if<PolynomialCurve>(&*last->curve)) return p->coefficients;
    if (const auto* r = std::get_if<RationalCurve>(&*last->curve)) return r->coefficients;
    return {};
}

// The point rows of the one-variable sheets from firstRow on, column by column.
void writeCurvePoints(Worksheet& sheet, const ExportSource& source, int firstRow, std::uint16_t pointCount)
{
    const PointSet& p = source.points;
    const int n = pointsToWrite(pointCount);
    const FittedCurve* curve = source.last && source.last->curve ? &*source.last->curve : nullptr;
    std::vector<PointRow> rows(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        PointRow& row = rows[static_cast<std::size_t>(i - 1)];
        row.measured = p.y[i];
        if (curve != nullptr) row.interpolated = curveValue(*curve, p.x[i]);
    }
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {firstRow + i - 1, 1}, p.x[i]);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {firstRow + i - 1, 2}, p.y[i]);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {firstRow + i - 1, 3}, rows[static_cast<std::size_t>(i - 1)].interpolated);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {firstRow + i - 1, 4}, difference(rows[static_cast<std::size_t>(i - 1)]));
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {firstRow + i - 1, 5}, errorPercent(rows[static_cast<std::size_t>(i - 1)]));
}

} // namespace

std::string currentDateTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", &local);
    return std::string(text, length);
}

void writePolynomialSheet(Worksheet& sheet, const ExportSource& source, std::uint16_t pointCount)
{
    sheet.enter("A1", "Oggi:" + currentDateTimeText());
    if (source.last) writePolynomialCoefficients(sheet, source);
    enterHeadings(sheet, 13, PointHeadings);
    writeCurvePoints(sheet, source, 14, pointCount);
}

void writePolynomialCoefficients(Worksheet& sheet, const ExportSource& source)
{
    const PointSet& p = source.points;
    const int degree = source.degree;
    const PolynomialCoefficients coefficients = listedCoefficients(source.last);
    sheet.enter("A2", "progr");
    sheet.enter("B2", "termine");
    sheet.enter("D2", "x");
    sheet.enter("E2", "y");
    const std::vector<TermReach> reaches = polynomialTermReaches(p.x, p.y, p.count, degree);
    for (int k = 1; k <= 10; ++k) {
        sheet.enter(CellAddress{2 + k, 1}, formatInteger(k, IndexWidth));
        if (k <= degree + 1)
            enterCoefficient(sheet, {2 + k, 2}, coefficients[k], reaches[static_cast<std::size_t>(k - 1)]);
        else
            sheet.enter(CellAddress{2 + k, 2}, "0");
    }
    enterPointValue(sheet, {3, 4}, p.x[5]);
    enterCheckFormula(sheet, PolynomialCheckFormula);
}

void writePowerSheet(Worksheet& sheet, const ExportSource& source, std::uint16_t pointCount)
{
    sheet.enter("A1", currentDateTimeText());
    if (source.last) {
        sheet.enter("C1", "verifica valore x");
        sheet.enter("A2", "termine A");
        sheet.enter("B2", "termine B");
        sheet.enter("D2", "x");
        sheet.enter("E2", "y");
        enterCoefficient(sheet, {3, 1}, source.powerParameters.a);
        enterCoefficient(sheet, {3, 2}, source.powerParameters.b);
        enterPointValue(sheet, {3, 4}, source.points.x[1]);
        enterCheckFormula(sheet, PowerCheckFormula);
    }
    enterHeadings(sheet, 5, PointHeadings);
    writeCurvePoints(sheet, source, 6, pointCount);
}

void writeSurfaceSheet(Worksheet& sheet, const ExportSource& source, std::uint16_t pointCount)
{
    const PointSet& p = source.points;
    const int degree = source.degree;
    const SurfaceCoefficients coefficients = listedCoefficients(source.last);
    // Only the degrees the calculation accepts have an evaluation, and only a calculation has terms.
    const int terms = source.last && degree >= 2 && degree <= 4 ? surfaceTermCount(degree) : 0;
    const int n = pointsToWrite(pointCount);

    enterHeadings(sheet, 1, SurfaceHeadings);
    if (terms > 0) sheet.enter("H3", "termine");
    const std::vector<TermReach> reaches = surfaceTermReaches(p.x, p.y, p.z, n, degree);
    for (int k = 1; k <= terms; ++k) {
        sheet.enter(CellAddress{4 + k, 8}, formatInteger(k, IndexWidth));
        enterCoefficient(sheet, {4 + k, 9}, coefficients[k], reaches[static_cast<std::size_t>(k - 1)]);
    }

    std::vector<PointRow> rows(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        PointRow& row = rows[static_cast<std::size_t>(i - 1)];
        row.measured = p.z[i];
        if (terms > 0) row.interpolated = surfaceValue(coefficients, p.x[i], p.y[i], degree);
    }
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {i + 1, 1}, p.x[i]);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {i + 1, 2}, p.y[i]);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {i + 1, 3}, p.z[i]);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {i + 1, 4}, rows[static_cast<std::size_t>(i - 1)].interpolated);
    for (int i = 1; i <= n; ++i) enterPointValue(sheet, {i + 1, 5}, errorPercent(rows[static_cast<std::size_t>(i - 1)]));
}

Worksheet buildExportSheet(const ExportSource& source, std::uint16_t pointCount)
{
    Worksheet sheet(ExportSheetName);
    sheet.setColumnWidth(1, ExportFirstColumnWidth);
    switch (source.kind) {
    case FitType::Polynomial: writePolynomialSheet(sheet, source, pointCount); break;
    case FitType::Power: writePowerSheet(sheet, source, pointCount); break;
    case FitType::SurfaceXY: writeSurfaceSheet(sheet, source, pointCount); break;
    default: break; // the other kinds save the named, empty sheet
    }
    return sheet;
}

Failure exportSpreadsheet(const ExportSource& source, const std::string& fileName, std::uint16_t pointCount)
{
    Failure failure;
    try {
        failure = saveWorkbook(buildExportSheet(source, pointCount), fileName);
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (failure) return "impossibile salvare il file EXCEL: " + fileName + ": " + *failure;
    return std::nullopt;
}

std::string workbookSavedMessage(const std::string& fileName) { return "salvato il file EXCEL :" + fileName; }

std::string workbookNameFor(const std::string& dataSetPath)
{
    const auto slash = dataSetPath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = dataSetPath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    return (hasExtension ? dataSetPath.substr(0, dot) : dataSetPath) + "_OUTPUT.xls";
}

} // namespace calvero
