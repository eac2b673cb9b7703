#pragma once
// Why a trace may not be the curve the user means: it ran along a level
// straight line, it jumped, it covers too little of the x axis. The search
// still gives its points; the window and --extract say what is doubtful.
#include "capture/calibration.h"
#include "capture/colour.h"

#include <string>
#include <vector>

namespace calvero::capture {

// The doubts about a centre line (pixels, left to right), in Italian, or none.
std::vector<std::string> traceDoubts(const std::vector<PixelPoint>& line, const AxisCalibration& calibration);

// The doubt when the tolerance takes in the picture's background.
std::string backgroundDoubt(double tolerance, Rgb background);

} // namespace calvero::capture
