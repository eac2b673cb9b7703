#include "entry/pointgrid.h"

#include <algorithm>

namespace calvero {

namespace {
const std::string emptyText;
} // namespace

const std::string& PointGrid::cell(int row, int column) const
{
    if (row < 1 || static_cast<std::size_t>(row) > cells_.size() || column < 1 || column > Columns) return emptyText;
    return cells_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
}

void PointGrid::setCell(int row, int column, std::string text)
{
    if (row < 1 || row > rows_ || column < 1 || column > Columns) return;
    if (static_cast<std::size_t>(row) > cells_.size()) {
        if (text.empty()) return; // an empty cell beyond the rows written already reads as empty
        cells_.resize(static_cast<std::size_t>(row));
    }
    cells_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = std::move(text);
}

void PointGrid::clear() { cells_.clear(); }

bool PointGrid::operator==(const PointGrid& other) const
{
    if (rows_ != other.rows_) return false;
    const int written = static_cast<int>(std::max(cells_.size(), other.cells_.size()));
    for (int r = 1; r <= written; ++r)
        for (int c = 1; c <= Columns; ++c)
            if (cell(r, c) != other.cell(r, c)) return false;
    return true;
}

} // namespace calvero
