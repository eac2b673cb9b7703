#pragma once
// The plot's frame, axes and grid lines: long straight runs of pixels along
// the directions of the axes. They are taken out of a search, whatever
// colour was asked for, so a trace never runs along them; a curve they cross
// loses a few pixels there, which the trace bridges.
#include "capture/calibration.h"
#include "capture/pixelmask.h"

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

// Clears the pixels of every straight line of the directions (and the
// pixels beside them, where anti-aliasing leaves a fringe).
void removeStraightLines(PixelMask& mask, const LineDirections& directions);

} // namespace calvero::capture
