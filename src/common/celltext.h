#pragma once
// How much of a cell's text is kept: enough for any number the program reads
// (a number is read from its first 130 characters), and no more, so that a
// file of one huge line never ends up as megabytes of text in a grid.
#include <cstddef>

namespace calvero {

constexpr std::size_t CellTextLength = 130;

} // namespace calvero
