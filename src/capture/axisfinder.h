#pragma once
// The axes read off the picture by themselves: the plot's frame (or its axis
// lines), the tick marks on them, and the numbers under the x axis and left
// of the y axis, read by the text reader and checked against each other.
// The references are the two agreeing labels farthest apart on each axis,
// at their ticks on the axis lines.
#include "capture/calibration.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"
#include "capture/textreader.h"
#include "capture/ticklabels.h"
#include "common/checked.h"

#include <optional>
#include <string>

namespace calvero::capture {

// The frame: the x axis line's row and the y axis line's column, and how far each reaches.
struct PlotFrame {
    double axisRow = 0;   // the x axis, at the bottom
    double axisColumn = 0; // the y axis, at the left
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
};

// The frame of the largest plot on the picture, or nothing without one.
std::optional<PlotFrame> findPlotFrame(const PixelBuffer& picture);

struct FoundAxes {
    AxesReferences references;
    PlotFrame frame;
    AxisReading x;
    AxisReading y;
};

// The axes, or why they could not be read (the message says which axis).
Checked<FoundAxes> findAxes(const PixelBuffer& picture, const TextReader& reader);

// The references and the labels read, a line each, for the user to check.
std::string axesReport(const FoundAxes& axes);

} // namespace calvero::capture
