#pragma once
// Whether the curve's colour goes on beyond where a trace stopped: a trace
// cut short at a crossing or a grid line, while the pixels of its colour run
// on along it, is not the whole curve, and the user must be told.
#include "capture/calibration.h"
#include "capture/curvetrace.h"
#include "capture/pixelmask.h"

#include <optional>
#include <vector>

namespace calvero::capture {

// The farthest column (pixel x) beyond either end of the trace (pixels, left
// to right) that the colour's runs reach while carrying on the trace's
// direction, when it lies more than `slack` columns beyond that end; nothing
// when the colour stops with the trace. A line taken out (`hidden`) that runs
// on along the trace's way may hide the curve: it counts as the colour.
std::optional<double> colourBeyondTrace(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, double slack,
                                        const PixelMask* hidden = nullptr);

} // namespace calvero::capture
