#pragma once
// The plot's frame, axes and grid lines: long straight runs of pixels along
// the directions of the axes. They are taken out of a search, whatever
// colour was asked for, so a trace never runs along them; a curve they cross
// loses a few pixels there, which the trace bridges.
#include "capture/calibration.h"
#include "capture/pixelmask.h"

#include <optional>
#include <utility>

namespace calvero::capture {

struct LineDirections {
    // Rows per column along the x axis (its lines run across the picture).
    double acrossSlope = 0;
    // Columns per row along the y axis.
    double downSlope = 0;
    // The shortest run taken for a line across and for a line down, in pixels.
    double acrossLength = 0;
    double downLength = 0;
};

// The directions of the axes drawn through the references, and line lengths
// no curve runs straight for: a good share of the axes' references apart or
// of the picture.
LineDirections lineDirections(const AxesReferences& references, int width, int height);

// The area the outermost lines of each direction enclose (the plot's frame,
// or its outermost axes and grid lines), where each direction has two lines
// far enough apart; beyond them are the axes' numbers and labels, never the
// curve. Without such lines, the whole picture.
class PlotArea {
public:
    PlotArea() = default;
    PlotArea(const LineDirections& directions, std::optional<std::pair<double, double>> rows,
             std::optional<std::pair<double, double>> columns)
        : directions_(directions), rows_(rows), columns_(columns)
    {
    }
    bool contains(double x, double y) const;
    // The width between the outermost lines down, when they enclose the plot.
    std::optional<double> columnSpan() const
    {
        if (!columns_) return std::nullopt;
        return columns_->second - columns_->first;
    }
    // Clears the mask outside the area.
    void clearOutside(PixelMask& mask) const;

private:
    LineDirections directions_;
    // The lines' offsets: rows at column 0, columns at row 0.
    std::optional<std::pair<double, double>> rows_;
    std::optional<std::pair<double, double>> columns_;
};

struct StraightLines {
    // The lines' pixels, with those beside them where anti-aliasing leaves a fringe.
    PixelMask pixels;
    PlotArea area;
};

// The straight lines of the directions drawn in ink. They are looked for
// among all the ink, so a faint grid line that matches the curve's colour
// only in places is still found whole. With a point inside the plot, the
// area is that plot's alone: on a page with two charts the other is outside.
StraightLines findStraightLines(const PixelMask& ink, const LineDirections& directions,
                                std::optional<PixelPoint> inside = std::nullopt);

// Clears from the mask the pixels set in the other.
void clearWhereSet(PixelMask& mask, const PixelMask& other);
// Clears from the mask the pixels not set in the other.
void keepWhereSet(PixelMask& mask, const PixelMask& other);

} // namespace calvero::capture
