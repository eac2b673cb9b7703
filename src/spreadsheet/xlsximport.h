#pragma once
// Reading the block A1..C200 of the first sheet of an Excel 2007+ workbook
// (.xlsx): numbers as numbers, formula cells by the values stored with them,
// texts as they are, cells with a date or time format as the date or time
// ("2024-03-15", "2024-03-15 08:30:00", "08:30:00", as for .xls files).
#include "spreadsheet/spreadsheetblock.h"
#include "spreadsheet/zipreader.h"

#include <optional>

namespace calvero {

// Nothing when the archive holds no readable workbook.
std::optional<SpreadsheetBlock> readXlsxBlock(const ZipReader& archive);

} // namespace calvero
