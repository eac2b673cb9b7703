#pragma once
// Writing the points back into the point grid, and ordering them by x.
#include "fit/dataset.h"
#include "entry/pointgrid.h"

#include <vector>

namespace calvero {

// Writes x, y, z of all 200 points into the grid.
void fillPointGrid(PointGrid& grid, const PointSet& points);

// Sorts points 1..count by ascending x, then refreshes the grid. The values
// of along (one per point, from the first) move with their points.
void sortPointsByX(PointSet& points, PointGrid& grid, std::vector<double>* along = nullptr);

} // namespace calvero
