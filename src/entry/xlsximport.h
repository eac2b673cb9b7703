#pragma once
// Reading the block A1..C200 of the first sheet of an Excel 2007+ workbook
// (.xlsx): numbers as numbers, formula cells by the values stored with them,
// texts as they are, cells with a date or time format as the date or time
// ("2024-03-15", "2024-03-15 08:30:00", "08:30:00", as for .xls files).
#include "entry/spreadsheetimport.h"
#include "entry/zipreader.h"

#include <optional>

namespace calvero {

// Nothing when the archive holds no readable workbook.
std::optional<SpreadsheetBlock> readXlsxBlock(const ZipReader& archive);

// The date or time text of a serial day number for a number format code
// (built-in formats by their number, the others by their code); nothing when
// the format shows no date or time, or the number is no day of years 1 to 9999.
std::optional<std::string> serialDateText(double serial, int formatId, const std::string& formatCode, bool from1904);

} // namespace calvero
