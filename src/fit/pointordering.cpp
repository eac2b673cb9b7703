#include "fit/pointordering.h"

#include "fit/kernel.h"
#include "fit/numtext.h"
#include "fit/session.h"

namespace calvero {

void fillPointGrid()
{
    Session& s = session();
    for (int r = 1; r <= MaxPoints; ++r) {
        s.grid.setCell(r, 1, formatGridValue(s.points.x[r]));
        s.grid.setCell(r, 2, formatGridValue(s.points.y[r]));
        s.grid.setCell(r, 3, formatGridValue(s.points.z[r]));
    }
}

void sortPointsByX()
{
    Session& s = session();
    StagingPoints& t = s.staging;
    const int n = s.points.count;
    for (int i = 1; i <= n; ++i) {
        t.x[i] = s.points.x[i];
        t.y[i] = s.points.y[i];
        t.z[i] = s.points.z[i];
    }
    for (int a = 1; a <= n; ++a) {
        for (int c = a + 1; c <= n; ++c) {
            if (t.x[a] > t.x[c]) {
                swapValues(t.x[a], t.x[c]);
                swapValues(t.y[a], t.y[c]);
                swapValues(t.z[a], t.z[c]);
            }
        }
    }
    for (int i = 1; i <= n; ++i) {
        s.points.x[i] = t.x[i];
        s.points.y[i] = t.y[i];
        s.points.z[i] = t.z[i];
    }
    fillPointGrid();
}

} // namespace calvero
