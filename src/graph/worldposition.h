#pragma once
// From a pixel of the graph window back to data units, so that values can be
// read off the graph: the inverse of the screen device's world mapping.
#include "fit/dataset.h"
#include "graph/graphstate.h"
#include "graph/plotting.h"

#include <optional>
#include <string>

namespace calvero {

// What a screen pass laid out: enough to turn a window pixel back into data
// units after the pass (a later print pass changes the engine's frames).
struct ScreenPlot {
    PlotFrame plot;
    double deviceHeight = 0.0;
};

// The screen plot of the pass that has just run; a plot with no scale when
// the pass drew no axes.
ScreenPlot lastScreenPlot(const GraphState& s);

struct WorldPoint {
    double x = 0.0;
    double y = 0.0;
};

// The data-unit point at the centre of window pixel (px, py), held within the
// world window; nothing for a pixel outside the plot area or when the pass
// drew no axes.
std::optional<WorldPoint> worldAtPixel(const ScreenPlot& screen, int px, int py);

// The curve's y at x; nothing where the curve has no finite value.
std::optional<double> curveValueAt(const CurveFunction& curve, double x);

// "x = 1250   y = 812" and, with a curve value, "   curva: y = 784.34"; x
// and y with the decimals one pixel tells apart, the curve's y with two more.
// On the picture of a surface, "   superficie: Z = 14.275" instead, Z with
// five significant digits.
std::string positionText(const ScreenPlot& screen, WorldPoint at, std::optional<double> curveY,
                         std::optional<double> surfaceZ = std::nullopt);

} // namespace calvero
