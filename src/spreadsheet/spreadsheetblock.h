#pragma once
// What every spreadsheet reader fills: the block A1..C200 of a sheet as
// texts, and the text of a number cell. The readers of each format share it
// with the one that chooses among them (spreadsheetimport.h).
#include <array>
#include <string>

namespace calvero {

constexpr int SpreadsheetRows = 200;
constexpr int SpreadsheetColumns = 3;

// Cell texts of rows 1..200, columns A..C, at [row - 1][column - 1].
using SpreadsheetBlock = std::array<std::array<std::string, SpreadsheetColumns>, SpreadsheetRows>;

// A number cell as text: the shortest fixed-point form that reads back as the
// same double ("2.5", "-3", "0.001"); the exponent form only for the few
// values whose fixed form would be longer than a grid cell is read.
std::string spreadsheetNumberText(double value);

} // namespace calvero
