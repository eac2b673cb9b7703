#pragma once
// Blocks of cells as clipboard text: what a spreadsheet or a text editor
// copies (one row a line) going into the point grid, and what the grid copies.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

using CellBlock = std::vector<std::vector<std::string>>;

// A block laid into the grid from its first cell down and right: the cells
// that fit, and whether anything that is not blank fell outside.
struct PastedBlock {
    CellBlock cells;
    bool rowsCut = false;
    bool columnsCut = false;
};

// Splits text copied from a spreadsheet or a text editor into rows of cells
// for a grid area of `rows` x `columns`. A line splits at tabs when it has
// one (each tab ends a cell, empty or not, as a spreadsheet copies them), else
// at semicolons when it has one, else at blanks, runs of these counting as one
// separator. Blanks and a pair of double quotes around a cell go; each cell
// keeps its first 130 characters, as typed (a decimal comma stays a comma).
// Lines end in \n, \r\n or \r; the line end after the last row makes no row
// of its own; an empty line is a row of one empty cell. A UTF-8 byte-order
// mark at the start is skipped.
PastedBlock splitPastedText(std::string_view text, std::size_t rows, std::size_t columns);

// The message after a paste that left something out; empty when all fitted.
std::string pasteMessage(const PastedBlock& block);

// Cells joined by tabs and rows by line ends, one after the last row, as
// spreadsheets take them.
std::string joinCopiedCells(const CellBlock& block);

} // namespace calvero
