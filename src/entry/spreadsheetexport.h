#pragma once
// The workbook the save command writes beside the data set file: the points
// of the last calculation with their interpolated values and errors (every
// digit kept, three decimals shown), the fitted coefficients and, for the
// polynomial and the power curve, a check formula that recomputes the curve
// at an x the user can change, in a column wide enough for its value.
#include "common/checked.h"
#include "spreadsheet/workbooksheet.h"
#include "fit/calculation.h"

#include <cstdint>
#include <string>

namespace calvero {

// The name of the one sheet and the width of its column A, in characters as
// the spreadsheet application shows it.
inline constexpr const char* ExportSheetName = "FOGLIO1";
constexpr double ExportFirstColumnWidth = 16.0;

// The check formulas, fixed texts; the polynomial's takes every coefficient
// of B3 to B12, up to x^9.
inline constexpr const char* PolynomialCheckFormula =
    "=$B$3+$B$4*d3+$B$5*d3*d3+$B$6*d3^3+$B$7*d3^4+$B$8*d3^5+$B$9*d3^6+$B$10*d3^7+$B$11*d3^8+$B$12*d3^9";
inline constexpr const char* PowerCheckFormula = "=$A$3*d3^$B$3";

// What the workbook is written from: the kind and degree the main window
// shows, the points, the last calculation (its curve and coefficients), and
// the two curve numbers the power sheet shows (as the data set keeps them).
struct ExportSource {
    FitType kind = FitType::Polynomial;
    int degree = 2;
    const PointSet& points;
    const Calculation* last = nullptr;
    TwoParameters powerParameters;
};

// Builds the sheet for the kind (polynomial, power, surface; an empty sheet
// for the others) over points 1..pointCount and saves it under fileName.
// Without a calculation (last is null) the sheet has the points only: no
// coefficient, no check formula, no interpolated value.
// Shows nothing itself; when it could not be written, "impossibile salvare il
// file EXCEL: " + fileName + ": " + the reason.
Failure exportSpreadsheet(const ExportSource& source, const std::string& fileName, std::uint16_t pointCount);

// The sheet exportSpreadsheet saves.
Worksheet buildExportSheet(const ExportSource& source, std::uint16_t pointCount);

// The three sheet writers.
void writePolynomialSheet(Worksheet& sheet, const ExportSource& source, std::uint16_t pointCount);
// The polynomial sheet's block of coefficients and its check formula (rows 2 to 12).
void writePolynomialCoefficients(Worksheet& sheet, const ExportSource& source);
void writePowerSheet(Worksheet& sheet, const ExportSource& source, std::uint16_t pointCount);
void writeSurfaceSheet(Worksheet& sheet, const ExportSource& source, std::uint16_t pointCount);

// The confirmation shown once the workbook is written.
std::string workbookSavedMessage(const std::string& fileName);

// The workbook's name for a data set file: the extension of the file name
// (from its last dot) removed, if there is one, and "_OUTPUT.xls" appended.
std::string workbookNameFor(const std::string& dataSetPath);

// The current date and time as the sheets show it: "07/12/2026 22:50:00".
std::string currentDateTimeText();

} // namespace calvero
