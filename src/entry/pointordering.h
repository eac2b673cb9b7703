#pragma once
// Writing the points back into the point grid, and ordering them by x.
#include "fit/dataset.h"
#include "entry/pointgrid.h"

namespace calvero {

// Writes x, y, z of all 200 points into the grid.
void fillPointGrid(PointGrid& grid, const PointSet& points);

// Sorts points 1..count by ascending x, then refreshes the grid.
void sortPointsByX(PointSet& points, PointGrid& grid);

} // namespace calvero
