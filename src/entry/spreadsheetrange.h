#pragma once
// The block of a spreadsheet file into the point grid.
#include "fit/pointgrid.h"
#include "spreadsheet/spreadsheetimport.h"

#include <string>

namespace calvero {

// Spreadsheet rows firstRow..200 into grid rows 1..(201 - firstRow), columns 1..3;
// each text cut to 130 characters. Later grid rows keep their text.
void placeSpreadsheetRows(const SpreadsheetBlock& block, int firstRow, PointGrid& grid);

// Reads the file's block into the point grid from spreadsheet row
// firstRow (1 to 200) on. False, and the grid untouched, when the file cannot be read.
bool readSpreadsheetRange(const std::string& fileName, int firstRow, PointGrid& grid);

} // namespace calvero
