#pragma once
// The data points as small circles and the fitted curve as a polyline of
// samples, in the world window the axes set up.
#include "fit/dataset.h"
#include "fit/onebased.h"
#include "graph/graphstate.h"

#include <cstdint>
#include <functional>

namespace calvero {

// A curve y = f(x) the graph draws: NaN where it has no value; an empty one
// draws nothing.
using CurveFunction = std::function<double(double)>;

// How a curve sample is drawn.
enum class PenMark : std::uint8_t { Move = 1, Draw = 2, Skip = 3 };

// Circles of one 125th of the plot width around points 1..n (at most 200).
void plotPoints(GraphState& s, int n, const PointArray& x, const PointArray& y, std::uint16_t colour);

// The curve f sampled at curveSteps + 1 (at most 200) points from x0 to x1.
// Samples outside the y window or not a number (no value) are skipped, and
// the curve starts again with a move at the next sample.
void plotCurve(GraphState& s, const CurveFunction& f, std::uint16_t colour, double x0, double x1);

} // namespace calvero
