#pragma once
// Contour lines of a function sampled on a regular grid (marching squares).
#include <functional>
#include <vector>

namespace calvero {

struct ContourSegment {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

// The pieces of the line z = level of f over [x0, x1] x [y0, y1], sampled on
// a grid of cells x cells squares. Samples that are not finite leave their
// squares out.
std::vector<ContourSegment> contourSegments(const std::function<double(double, double)>& f, double x0, double x1,
                                            double y0, double y1, int cells, double level);

} // namespace calvero
