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
// A legend line in character heights.
constexpr double LegendLine = 2.5;
const char* const LevelsHeading = "curve di livello di Z";
const char* const ErrorsHeading = "errore % dei punti";
const char* const NoErrorText = "Z = 0: non calcolato";

// The points' error classes in warm colours and green, the contour lines in
// shades of blue: a point is never taken for a line.
const char* const ErrorClassTexts[] = {"fino a 0,5 %", "fino a 1 %", "fino a 2 %", "oltre 2 %"};
constexpr CanvasColour ErrorClassColours[] = {{0, 150, 0}, {200, 160, 0}, {245, 110, 0}, {210, 0, 0}};
constexpr CanvasColour NoErrorColour{0, 0, 0};

// Light blue for the lowest level to dark blue for the highest.
CanvasColour levelColour(std::size_t index, std::size_t count)
{
    const double t = count > 1 ? static_cast<double>(index) / static_cast<double>(count - 1) : 0.0;
    const auto channel = [t](double low, double high) { return static_cast<std::uint8_t>(std::lround(low + (high - low) * t)); };
    return {channel(140, 0), channel(170, 20), channel(235, 140)};
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

double levelStep(const std::vector<double>& levels) { return levels.size() > 1 ? levels[1] - levels[0] : 1.0; }

// The legend's width in device units: its headings, or a sample and the widest item.
double legendWidth(const GraphState& s, const std::vector<double>& levels, bool withNoError)
{
    const double w = s.frame.charWidth;
    double items = 0.0;
    for (const double level : levels) items = std::max(items, textWidth(s, levelText(level, levelStep(levels))));
    for (const char* text : ErrorClassTexts) items = std::max(items, textWidth(s, text));
    if (withNoError) items = std::max(items, textWidth(s, NoErrorText));
    return std::max({textWidth(s, LevelsHeading), textWidth(s, ErrorsHeading), 4.5 * w + items}) + 4 * w;
}

void drawLegend(GraphState& s, const std::vector<double>& levels, bool withNoError)
{
    const PlotFrame& p = s.plot;
    const double w = s.frame.charWidth, h = s.frame.charHeight;
    const double left = p.originX + p.extentX + 2 * w;
    double y = p.originY + p.extentY;
    s.worldCoordinates = false;
    setColour(s, ColourBlack);
    drawText(s, LevelsHeading, left, y);
    // The highest level first, as the map has it at the top of its colours.
    for (std::size_t k = levels.size(); k-- > 0;) {
        y -= LegendLine * h;
        setCanvasColour(s, levelColour(k, levels.size()));
        drawLine(s, left + w, y - 0.9 * h, left + 4 * w, y - 0.9 * h);
        drawText(s, levelText(levels[k], levelStep(levels)), left + 4.5 * w, y);
    }
    y -= 2 * LegendLine * h;
    setColour(s, ColourBlack);
    drawText(s, ErrorsHeading, left, y);
    for (std::size_t c = 0; c <= 4; ++c) {
        if (c == 4 && !withNoError) break;
        y -= LegendLine * h;
        setCanvasColour(s, c < 4 ? ErrorClassColours[c] : NoErrorColour);
        drawDisc(s, left + 2.5 * w, y - 0.9 * h, 0.7 * w);
        drawText(s, c < 4 ? ErrorClassTexts[c] : NoErrorText, left + 4.5 * w, y);
    }
}

// A world position in device units with y up, as the primitives take them
// when world coordinates are off.
double upX(const GraphState& s, double x)
{
    const PlotFrame& p = s.plot;
    return (x - p.xMin) * p.xScale + p.originX;
}
double upY(const GraphState& s, double y)
{
    const PlotFrame& p = s.plot;
    return (y - p.yMin) * p.yScale + p.originY;
}

// Each contour line carries its Z on a white patch, where the line lies
// farthest from the map's edges and from the labels already placed.
void labelContours(GraphState& s, const SurfaceGraphData& d, const std::vector<double>& levels, double x0, double x1, double y0,
                   double y1)
{
    const auto f = [&d](double x, double y) { return surfaceAt(d, x, y); };
    const double digit = textWidth(s, "00") - textWidth(s, "0");
    const double height = 2.3 * digit; // a line of text is about 1.15 of its size
    std::vector<std::pair<double, double>> placed;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        const std::string text = levelText(levels[k], levelStep(levels));
        const double width = textWidth(s, text);
        double best = 0.0, bestX = 0.0, bestY = 0.0;
        for (const ContourSegment& seg : contourSegments(f, x0, x1, y0, y1, GridCells, levels[k])) {
            const double cx = (upX(s, seg.x1) + upX(s, seg.x2)) / 2, cy = (upY(s, seg.y1) + upY(s, seg.y2)) / 2;
            double room = std::min({cx - upX(s, x0) - width / 2, upX(s, x1) - cx - width / 2, cy - upY(s, y0) - height / 2,
                                    upY(s, y1) - cy - height / 2});
            for (const auto& [px, py] : placed)
                room = std::min(room, std::max(std::fabs(cx - px) - width, std::fabs(cy - py) - height));
            if (room > best) best = room, bestX = cx, bestY = cy;
        }
        if (best <= 0.0) continue; // no room for it inside the map
        placed.emplace_back(bestX, bestY);
        s.worldCoordinates = false;
        clearBox(s, bestX - width / 2, bestY + height / 2, bestX + width / 2, bestY - height / 2);
        setCanvasColour(s, levelColour(k, levels.size()));
        drawText(s, text, bestX - width / 2, bestY + height / 2);
    }
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
    data.points.foundCount = done.pointCount;
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

    // The z range of the map, and its contour levels.
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    for (int j = 0; j <= GridCells; ++j)
        for (int i = 0; i <= GridCells; ++i) {
            const double z = surfaceAt(d, x0 + (x1 - x0) * i / GridCells, y0 + (y1 - y0) * j / GridCells);
            if (std::isfinite(z)) lowest = std::min(lowest, z), highest = std::max(highest, z);
        }
    const std::vector<double> levels = contourLevels(lowest, highest);
    bool withNoError = false;
    for (int i = 1; i <= d.count; ++i) withNoError = withNoError || !pointError(d, i);

    // The map takes the window's width but for the legend's column.
    s.rightRoom = legendWidth(s, levels, withNoError);
    drawAxes(s, "X", "Y", ColourBlue, x0, y0, x1, y1);
    s.rightRoom = 0.0;

    const auto f = [&d](double x, double y) { return surfaceAt(d, x, y); };
    for (std::size_t k = 0; k < levels.size(); ++k) {
        setCanvasColour(s, levelColour(k, levels.size()));
        s.worldCoordinates = true;
        for (const ContourSegment& seg : contourSegments(f, x0, x1, y0, y1, GridCells, levels[k]))
            drawLine(s, seg.x1, seg.y1, seg.x2, seg.y2);
    }
    labelContours(s, d, levels, x0, x1, y0, y1);
    // The map's frame, then the points in the colour of their error.
    setColour(s, ColourBlack);
    s.worldCoordinates = true;
    drawLine(s, x0, y0, x1, y0), drawLine(s, x1, y0, x1, y1), drawLine(s, x1, y1, x0, y1), drawLine(s, x0, y1, x0, y0);
    const double radius = (s.plot.xMax - s.plot.xMin) / 150.0;
    for (int i = 1; i <= d.count; ++i) {
        const std::optional<double> error = pointError(d, i);
        setCanvasColour(s, error ? ErrorClassColours[errorClass(*error)] : NoErrorColour);
        s.worldCoordinates = true;
        drawDisc(s, d.points.x[i], d.points.y[i], radius);
    }
    drawLegend(s, levels, withNoError);
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
