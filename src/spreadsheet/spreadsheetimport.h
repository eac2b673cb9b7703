#pragma once
// Reading a spreadsheet file (.xls, .xlsx or .ods): the block A1..C200 of
// its first sheet, as texts.
#include "spreadsheet/spreadsheetblock.h"

#include <optional>
#include <string>

namespace calvero {

// The block A1..C200 of the first sheet; cells beyond the sheet's data are
// empty. Nothing when the file cannot be read as a spreadsheet. The file's
// contents tell the format: a zip archive is an .xlsx or .ods workbook,
// anything else goes to FreeXL as an .xls workbook.
std::optional<SpreadsheetBlock> readSpreadsheetBlock(const std::string& fileName);

class ZipReader;
// The block of an .ods archive (by its mimetype entry) or else of an .xlsx one.
std::optional<SpreadsheetBlock> readZippedSpreadsheet(const ZipReader& archive);

} // namespace calvero
