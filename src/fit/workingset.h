#pragma once
// The working data set's points as numbers: their count and their extremes.
#include "fit/dataset.h"

namespace calvero {

// Counts the points up to the first index whose x and y are both 0 (rows,
// the grid's 200 by default, when there is none) and stores the number in
// count and foundCount. loadRow(r) fills row r just before it is examined (a
// reader of the point grid); rows after the one that ends the data are not
// loaded.
template <typename LoadRow>
int countLoadedPoints(PointSet& p, LoadRow loadRow, int rows = MaxPoints)
{
    int result = rows;
    for (int r = 1; r <= rows; ++r) {
        loadRow(r);
        if (p.x[r] == 0.0 && p.y[r] == 0.0) {
            result = r - 1;
            break;
        }
    }
    p.count = result;
    p.foundCount = result;
    return result;
}

// The same count over the arrays as they stand.
int countStoredPoints(PointSet& points);

// Extremes of x[1..foundCount] and y[1..foundCount]; below 2 points, x[1] or y[1].
double maxX(const PointSet& points);
double minX(const PointSet& points);
double maxY(const PointSet& points);
double minY(const PointSet& points);

} // namespace calvero
