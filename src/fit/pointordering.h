#pragma once
// Writing the points back into the point grid, and ordering them by x.

namespace calvero {

// Writes x, y, z of all 200 points of the working data set into the grid.
void fillPointGrid();

// Sorts points 1..count by ascending x (an exchange sort through the staging
// copy), then refreshes the grid.
void sortPointsByX();

} // namespace calvero
