#pragma once
// The values stored with the formula cells of an .xls workbook's first
// sheet: what the spreadsheet application last calculated and shows. FreeXL
// gives formula cells as empty; these fill them in. The record stream is
// read with every length and offset checked against it.
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

struct FormulaResultCell {
    int row = 1;    // from 1
    int column = 1; // from 1
    std::string text;
};

// The formula cells of rows 1..maxRows and columns 1..maxColumns of the first
// sheet of a BIFF8 "Workbook" stream, as texts: numbers as the point grid
// shows them (dates and times through their cell's format), texts as they
// are, "VERO" or "FALSO", error codes such as "#DIV/0!". None when the stream
// is not BIFF8.
std::vector<FormulaResultCell> firstSheetFormulaResults(std::string_view stream, int maxRows, int maxColumns);

} // namespace calvero
