#include "entry/pointordering.h"

#include "fit/calculation.h"
#include "common/numtext.h"

namespace calvero {

void fillPointGrid(PointGrid& grid, const PointSet& points)
{
    for (int r = 1; r <= MaxPoints; ++r) {
        grid.setCell(r, 1, formatGridValue(points.x[r]));
        grid.setCell(r, 2, formatGridValue(points.y[r]));
        grid.setCell(r, 3, formatGridValue(points.z[r]));
    }
}

void sortPointsByX(PointSet& points, PointGrid& grid, std::vector<double>* along)
{
    sortByX(points, points.count, along);
    fillPointGrid(grid, points);
}

} // namespace calvero
