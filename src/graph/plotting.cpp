#include "graph/plotting.h"

#include "graph/device.h"
#include "graph/graphstate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace calvero {

namespace {

constexpr int MaxCurveSamples = 200;
constexpr double CircleFraction = 125.0;

} // namespace

void plotPoints(GraphState& s, int n, const PointArray& x, const PointArray& y, std::uint16_t colour)
{
    setColour(s, colour);
    const double radius = (s.plot.xMax - s.plot.xMin) / CircleFraction;
    const int last = std::min(n, MaxPoints);
    for (int i = 1; i <= last; ++i) {
        s.worldCoordinates = true;
        moveTo(s, x[i], y[i]);
        drawCircle(s, x[i], y[i], radius);
    }
}

void plotCurve(GraphState& s, const CurveFunction& f, std::uint16_t colour, double x0, double x1)
{
    setColour(s, colour);
    if (!f) return;
    const int intervals = s.curveSteps;
    const int m = std::min(intervals + 1, MaxCurveSamples);
    const double dx = intervals > 0 ? (x1 - x0) / intervals : 0.0;

    // Index 0 unused: samples run from 1 to m; m + 1 takes the mark after the last.
    std::vector<double> xs(static_cast<std::size_t>(m) + 2);
    std::vector<double> ys(xs.size());
    for (int i = 1; i <= m; ++i) {
        xs[i] = x0 + (i - 1) * dx;
        ys[i] = f(xs[i]);
    }

    std::vector<PenMark> marks(xs.size(), PenMark::Draw);
    marks[1] = PenMark::Move;
    s.worldCoordinates = true;
    for (int i = 1; i <= m; ++i) {
        if (ys[i] > s.plot.yMax || ys[i] < s.plot.yMin || std::isnan(ys[i])) {
            marks[i] = PenMark::Skip;
            marks[i + 1] = PenMark::Move;
        }
        switch (marks[i]) {
        case PenMark::Move: moveTo(s, xs[i], ys[i]); break;
        case PenMark::Draw: lineTo(s, xs[i], ys[i]); break;
        case PenMark::Skip: break;
        }
    }
    s.worldCoordinates = false;
}

} // namespace calvero
