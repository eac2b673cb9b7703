#pragma once
// The point grid as plain text: 200 rows of 3 cells (x, y, z). It is the
// master copy of the points; the point-entry window shows and edits it.
#include "common/celltext.h"

#include <array>
#include <cstddef>
#include <string>

namespace calvero {

class PointGrid {
public:
    static constexpr int Rows = 200;
    static constexpr int Columns = 3;
    static constexpr std::size_t CellTextLength = calvero::CellTextLength;

    // Rows 1..200, columns 1..3; cells out of range read as empty and ignore writes.
    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, std::string text);
    void clear();
    bool operator==(const PointGrid&) const = default;

private:
    // No "{}" here: clang 14 crashes value-initialising nested arrays of
    // strings in C++20, and the strings start empty anyway.
    std::array<std::array<std::string, Columns>, Rows> cells_;
};

} // namespace calvero
