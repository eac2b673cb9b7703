#pragma once
// The point grid and the working points an import test reads into.
#include "entry/pointimport.h"

namespace calvero::testing {

struct ImportTarget {
    PointGrid grid;
    PointSet points;
    PointTarget target() { return {grid, points}; }
    void reset() { *this = ImportTarget{}; }
};

} // namespace calvero::testing
