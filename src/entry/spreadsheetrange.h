#pragma once
// The block of a spreadsheet file into the point grid.
#include "common/checked.h"
#include "entry/pointgrid.h"
#include "spreadsheet/spreadsheetimport.h"

#include <string>

namespace calvero {

// Spreadsheet rows firstRow..200 into grid rows 1..(201 - firstRow), columns 1..3;
// each text cut to 130 characters. Later grid rows keep their text.
void placeSpreadsheetRows(const SpreadsheetBlock& block, int firstRow, PointGrid& grid);

// Reads the file's block into the point grid from spreadsheet row
// firstRow (1 to 200) on. When the file cannot be read the grid is untouched
// and the message says so.
Failure readSpreadsheetRange(const std::string& fileName, int firstRow, PointGrid& grid);

// The message of a spreadsheet file that cannot be read.
std::string unreadableSpreadsheetMessage(const std::string& fileName);

} // namespace calvero
