#pragma once
// The text of the main window's clock.
#include <string>

namespace calvero {

// Day 1 is Sunday; every name is 9 characters, padded with blanks.
std::string dayName(int dayOfWeek);

// Day name, two blanks, the date, "  Ore:", the time.
std::string clockText(int dayOfWeek, const std::string& shortDate, const std::string& longTime);

} // namespace calvero
