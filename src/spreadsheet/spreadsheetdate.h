#pragma once
// Dates and times of spreadsheet cells: a serial day number shown through a
// number format that holds date or time letters becomes the text
// "2024-03-15", "2024-03-15 08:30:00" or "08:30:00" (as FreeXL gives the
// date cells of .xls files).
#include <optional>
#include <string>

namespace calvero {

// The date or time text of a serial day number for a number format code
// (built-in formats by their number, the others by their code); nothing when
// the format shows no date or time, or the number is no day of years 1 to 9999.
std::optional<std::string> serialDateText(double serial, int formatId, const std::string& formatCode, bool from1904);

} // namespace calvero
