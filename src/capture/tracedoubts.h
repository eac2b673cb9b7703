#pragma once
// Why a trace may not be the curve the user means: it ran along a level
// straight line, it jumped, it covers too little of the x axis, it stopped
// where its colour goes on, the colour draws other lines across the plot.
// The search still gives its points; the window and --extract say what is
// doubtful.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelrect.h"

#include <optional>

#include <string>
#include <vector>

namespace calvero::capture {

// The doubts about a centre line (pixels, left to right), in Italian, or
// none. With wholeInk the line is all its colour's ink in the plot, followed
// to where the ink ends: a curve drawn over part of the x range, not cut short.
// `plot`, the chart's frame when known: where the x references span less
// than half its width (the other numbers not read), the trace's cover is
// judged against the plot's width.
std::vector<std::string> traceDoubts(const std::vector<PixelPoint>& line, const AxisCalibration& calibration,
                                     bool wholeInk = false, const std::optional<PixelRect>& plot = std::nullopt);

// Whether the doubts say only that the trace covers too little of the x
// range: a curve of a family may end well before the others do.
bool onlyCoversTooLittle(const std::vector<std::string>& doubts);

// The doubt when the colour draws `lines` lines across the plot and no click said which.
std::string otherLinesDoubt(Rgb colour, int lines);

// The doubt when the colour goes on along the line (pixels) to column `reaches` beyond where it stopped.
std::string cutShortDoubt(const std::vector<PixelPoint>& line, const AxisCalibration& calibration, double reaches);

// The doubt when the tolerance takes in the picture's background.
std::string backgroundDoubt(double tolerance, Rgb background);

} // namespace calvero::capture
