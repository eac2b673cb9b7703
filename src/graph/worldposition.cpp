#include "graph/worldposition.h"

#include "common/numtext.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

constexpr int MostDecimals = 12;

bool usableScale(double scale) { return std::isfinite(scale) && scale != 0.0; }

// The decimals that tell apart the values of neighbouring pixels.
int pixelDecimals(double scale)
{
    const double pixel = 1.0 / std::abs(scale);
    return std::clamp(static_cast<int>(std::ceil(-std::log10(pixel))), 0, MostDecimals);
}

std::string number(double value, int decimals) { return formatReal(value, 0, decimals); }

} // namespace

ScreenPlot lastScreenPlot(const GraphState& s)
{
    return {s.plot, static_cast<double>(s.frame.deviceHeight)};
}

std::optional<WorldPoint> worldAtPixel(const ScreenPlot& screen, int px, int py)
{
    const PlotFrame& p = screen.plot;
    if (!usableScale(p.xScale) || !usableScale(p.yScale)) return std::nullopt;
    const double dx = px + 0.5;
    const double dy = screen.deviceHeight - (py + 0.5); // the screen's y points down
    // A pixel counts when it touches the plot area; the edge pixels give the window's bounds.
    const auto within = [](double v, double from, double length) { return v + 0.5 >= from && v - 0.5 <= from + length; };
    if (!within(dx, p.originX, p.extentX) || !within(dy, p.originY, p.extentY)) return std::nullopt;
    return WorldPoint{p.xMin + (std::clamp(dx, p.originX, p.originX + p.extentX) - p.originX) / p.xScale,
                      p.yMin + (std::clamp(dy, p.originY, p.originY + p.extentY) - p.originY) / p.yScale};
}

std::optional<double> curveValueAt(const CurveFunction& curve, double x)
{
    if (!curve) return std::nullopt;
    const double y = curve(x);
    if (std::isfinite(y)) return y;
    return std::nullopt; // no value there (a logarithm of a negative x, say)
}

std::string positionText(const ScreenPlot& screen, WorldPoint at, std::optional<double> curveY,
                         std::optional<double> surfaceZ)
{
    const int yDecimals = pixelDecimals(screen.plot.yScale);
    std::string text = "x = " + number(at.x, pixelDecimals(screen.plot.xScale)) + "   y = " + number(at.y, yDecimals);
    if (curveY) text += "   curva: y = " + number(*curveY, std::min(yDecimals + 2, MostDecimals));
    if (surfaceZ) {
        const double magnitude = *surfaceZ == 0 ? 0.0 : std::floor(std::log10(std::fabs(*surfaceZ)));
        text += "   superficie: Z = " + number(*surfaceZ, std::clamp(4 - static_cast<int>(magnitude), 0, MostDecimals));
    }
    return text;
}

} // namespace calvero
