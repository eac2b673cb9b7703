#pragma once
// The point grid as plain text: rows of 3 cells (x, y, z). The window's grid
// has 200 rows and is the master copy of the points; the point-entry window
// shows and edits it. calvero1-batch --all-lines reads a point file into a
// grid of as many rows as the engine takes points.
#include "common/celltext.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace calvero {

class PointGrid {
public:
    static constexpr int Rows = 200; // the window's grid
    static constexpr int Columns = 3;
    static constexpr std::size_t CellTextLength = calvero::CellTextLength;

    explicit PointGrid(int rows = Rows) : rows_(rows) {}

    // Rows 1..rows(), columns 1..3; cells out of range read as empty and ignore writes.
    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, std::string text);
    void clear();
    int rows() const { return rows_; }
    // Equal when every cell holds the same text.
    bool operator==(const PointGrid& other) const;

private:
    int rows_;
    // The rows written so far; those beyond read as empty.
    std::vector<std::array<std::string, Columns>> cells_;
};

} // namespace calvero
