#include "entry/pointgrid.h"

namespace calvero {

namespace {
const std::string emptyText;
bool inRange(int row, int column)
{
    return row >= 1 && row <= PointGrid::Rows && column >= 1 && column <= PointGrid::Columns;
}
} // namespace

const std::string& PointGrid::cell(int row, int column) const
{
    return inRange(row, column) ? cells_[row - 1][column - 1] : emptyText;
}

void PointGrid::setCell(int row, int column, std::string text)
{
    if (inRange(row, column)) cells_[row - 1][column - 1] = std::move(text);
}

void PointGrid::clear()
{
    for (auto& row : cells_)
        for (auto& text : row) text.clear();
}

} // namespace calvero
