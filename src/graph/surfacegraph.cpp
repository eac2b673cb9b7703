#include "graph/surfacegraph.h"

#include "common/numtext.h"
#include "fit/surface.h"
#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/contours.h"
#include "graph/device.h"
#include "graph/plotting.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace calvero {

namespace {

constexpr int GridCells = 60;
// The map takes the points' x range; this much more is the legend's room.
constexpr double LegendShare = 0.45;
// A legend line in character heights.
constexpr double LegendLine = 2.5;

const char* const ErrorClassTexts[] = {"fino a 0.5", "fino a 1", "fino a 2", "oltre 2"};
constexpr CanvasColour ErrorClassColours[] = {{0, 150, 0}, {150, 150, 0}, {230, 120, 0}, {220, 0, 0}};

// Blue for the lowest level, through green, to red for the highest.
CanvasColour levelColour(std::size_t index, std::size_t count)
{
    const double t = count > 1 ? static_cast<double>(index) / static_cast<double>(count - 1) : 0.0;
    const auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 1.0) * 200.0); };
    return {channel(2 * t - 1), channel(1 - std::fabs(2 * t - 1)), channel(1 - 2 * t)};
}

// NaN where the surface has no value.
double surfaceAt(const SurfaceGraphData& d, double x, double y)
{
    return surfaceValue(d.coefficients, x, y, d.degree).value_or(std::numeric_limits<double>::quiet_NaN());
}

// The point's error in per cent; nothing for a z of 0 or a surface that has no value there.
std::optional<double> pointError(const SurfaceGraphData& d, int i)
{
    const double z = d.points.z[i];
    const double zint = surfaceAt(d, d.points.x[i], d.points.y[i]);
    if (z == 0.0 || !std::isfinite(zint)) return std::nullopt;
    return (zint - z) * 100.0 / z;
}

std::string levelText(double v, double step)
{
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return formatReal(v, 1, decimals);
}

void drawLegend(GraphState& s, const SurfaceGraphData& d, const std::vector<double>& levels, double mapRight)
{
    const PlotFrame& p = s.plot;
    const double w = s.frame.charWidth, h = s.frame.charHeight;
    const double left = p.originX + (mapRight - p.xMin) * p.xScale + 2 * w;
    double y = p.originY + p.extentY;
    s.worldCoordinates = false;
    setColour(s, ColourBlack);
    drawText(s, "curve di livello di Z", left, y);
    const double step = levels.size() > 1 ? levels[1] - levels[0] : 1.0;
    // The highest level first, as the map has it at the top of its colours.
    for (std::size_t k = levels.size(); k-- > 0;) {
        y -= LegendLine * h;
        setCanvasColour(s, levelColour(k, levels.size()));
        drawLine(s, left + w, y - 0.9 * h, left + 4 * w, y - 0.9 * h);
        drawText(s, levelText(levels[k], step), left + 4.5 * w, y);
    }
    y -= 2 * LegendLine * h;
    setColour(s, ColourBlack);
    drawText(s, "errore % dei punti", left, y);
    for (int c = 0; c < 4; ++c) {
        y -= LegendLine * h;
        setCanvasColour(s, ErrorClassColours[c]);
        drawCircle(s, left + 2.5 * w, y - 0.9 * h, 0.6 * w);
        drawText(s, ErrorClassTexts[c], left + 4.5 * w, y);
    }
    (void)d;
}

} // namespace

std::vector<double> contourLevels(double lowest, double highest)
{
    std::vector<double> levels;
    if (!(highest > lowest) || !std::isfinite(lowest) || !std::isfinite(highest)) return levels;
    const double step = 2 * roundAxisRange(lowest, highest).step;
    for (double v = std::floor(lowest / step + 1) * step; v < highest && levels.size() < 40; v += step)
        if (v > lowest) levels.push_back(std::fabs(v) < 1e-9 * step ? 0.0 : v);
    return levels;
}

int errorClass(double errorPercent)
{
    const double e = std::fabs(errorPercent);
    return e <= 0.5 ? 0 : e <= 1 ? 1 : e <= 2 ? 2 : 3;
}

SurfaceGraphData surfaceGraphData(const Calculation& done)
{
    SurfaceGraphData data;
    data.points = done.points;
    data.points.foundCount = static_cast<std::uint8_t>(done.pointCount);
    data.count = done.pointCount;
    data.degree = done.degree;
    data.coefficients = done.surface;
    return data;
}

void surfaceGraphProcedure(GraphState& s)
{
    const SurfaceGraphData& d = s.surface;
    s.leftMarginUnits = 1;
    s.extraBottomRows = 0;
    const double x0 = minX(d.points), x1 = maxX(d.points);
    const double y0 = minY(d.points), y1 = maxY(d.points);
    s.xTicksUpTo = x1;
    drawAxes(s, "X", "Y", ColourBlue, x0, y0, x1 + LegendShare * (x1 - x0), y1);
    s.xTicksUpTo = std::numeric_limits<double>::infinity();

    // The z range of the map, and its contour lines.
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    for (int j = 0; j <= GridCells; ++j)
        for (int i = 0; i <= GridCells; ++i) {
            const double z = surfaceAt(d, x0 + (x1 - x0) * i / GridCells, y0 + (y1 - y0) * j / GridCells);
            if (std::isfinite(z)) lowest = std::min(lowest, z), highest = std::max(highest, z);
        }
    const std::vector<double> levels = contourLevels(lowest, highest);
    const auto f = [&d](double x, double y) { return surfaceAt(d, x, y); };
    for (std::size_t k = 0; k < levels.size(); ++k) {
        setCanvasColour(s, levelColour(k, levels.size()));
        s.worldCoordinates = true;
        for (const ContourSegment& seg : contourSegments(f, x0, x1, y0, y1, GridCells, levels[k]))
            drawLine(s, seg.x1, seg.y1, seg.x2, seg.y2);
    }
    // The map's frame, then the points in the colour of their error.
    setColour(s, ColourBlack);
    s.worldCoordinates = true;
    drawLine(s, x0, y0, x1, y0), drawLine(s, x1, y0, x1, y1), drawLine(s, x1, y1, x0, y1), drawLine(s, x0, y1, x0, y0);
    const double radius = (s.plot.xMax - s.plot.xMin) / 150.0;
    for (int i = 1; i <= d.count; ++i) {
        const std::optional<double> error = pointError(d, i);
        setCanvasColour(s, error ? ErrorClassColours[errorClass(*error)] : CanvasColour{0, 0, 0});
        s.worldCoordinates = true;
        drawCircle(s, d.points.x[i], d.points.y[i], radius);
    }
    drawLegend(s, d, levels, x1);
    s.worldCoordinates = false;
}

std::optional<double> drawnSurfaceValueAt(const GraphState& s, double x, double y)
{
    const SurfaceGraphData& d = s.surface;
    if (s.procedure != &surfaceGraphProcedure || d.count == 0) return std::nullopt;
    if (x < minX(d.points) || x > maxX(d.points) || y < minY(d.points) || y > maxY(d.points)) return std::nullopt;
    const double z = surfaceAt(d, x, y);
    if (!std::isfinite(z)) return std::nullopt;
    return z;
}

void prepareSurfaceGraph(GraphState& s, SurfaceGraphData data)
{
    s.device = DeviceScreen;
    s.procedure = surfaceGraphProcedure;
    s.surface = std::move(data);
}

} // namespace calvero
