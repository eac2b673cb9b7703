#pragma once
// The working data set: its points read from the point grid, and their extremes.
#include "fit/dataset.h"
#include "fit/pointgrid.h"

#include <optional>
#include <string>

namespace calvero {

// A grid cell whose text is not a number.
struct InvalidCell {
    int row = 0;
    int column = 0; // 1 = X, 2 = Y, 3 = Z
    std::string text;
    bool operator==(const InvalidCell&) const = default;
};

struct PointCount {
    int points = 0;
    std::optional<InvalidCell> invalidCell; // the first cell that is not a number
};

// Reads the point grid into x, y, z row by row and counts the points up to
// the first row whose x and y are both 0 (at most 200). A comma in a cell is
// a decimal comma; an empty or blank cell reads as 0; a cell that is not a
// number reads as 0 and the first such cell is returned (a z only for the
// surface kind, and not on the row that ends the data); the caller decides
// whether it refuses the data. Sets count and foundCount.
PointCount countPoints(const PointGrid& grid, PointSet& points, FitType kind);

// The same count over the arrays as they stand, without reading the grid.
int countStoredPoints(PointSet& points);

// Extremes of x[1..foundCount] and y[1..foundCount]; below 2 points, x[1] or y[1].
double maxX(const PointSet& points);
double minX(const PointSet& points);
double maxY(const PointSet& points);
double minY(const PointSet& points);

} // namespace calvero
