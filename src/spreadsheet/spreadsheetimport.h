#pragma once
// Reading a spreadsheet file (.xls, .xlsx or .ods): the block A1..C200 of
// its first sheet, as texts.

#include <array>
#include <optional>
#include <string>

namespace calvero {

constexpr int SpreadsheetRows = 200;
constexpr int SpreadsheetColumns = 3;

// Cell texts of rows 1..200, columns A..C, at [row - 1][column - 1].
using SpreadsheetBlock = std::array<std::array<std::string, SpreadsheetColumns>, SpreadsheetRows>;

// The block A1..C200 of the first sheet; cells beyond the sheet's data are
// empty. Nothing when the file cannot be read as a spreadsheet. The file's
// contents tell the format: a zip archive is an .xlsx or .ods workbook,
// anything else goes to FreeXL as an .xls workbook.
std::optional<SpreadsheetBlock> readSpreadsheetBlock(const std::string& fileName);

class ZipReader;
// The block of an .ods archive (by its mimetype entry) or else of an .xlsx one.
std::optional<SpreadsheetBlock> readZippedSpreadsheet(const ZipReader& archive);

// A number cell as text: the shortest fixed-point form that reads back as the
// same double ("2.5", "-3", "0.001"); the exponent form only for the few
// values whose fixed form would be longer than a grid cell is read.
std::string spreadsheetNumberText(double value);

} // namespace calvero
