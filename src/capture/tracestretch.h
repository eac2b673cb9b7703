#pragma once
// A trace that leaves its curve for a stretch runs there on another line:
// one of another shade that the tolerance also takes (a dark grey solid line
// beside the black dashed one asked for, where the two part). The core of
// the line (its darkest pixel about the trace) keeps one lightness along a
// curve, a scan's blur included; a stretch much lighter than the rest of the
// trace is another line, and the read is told doubtful.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelbuffer.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// Where (the trace's points it runs from and to) the trace (a point per column, left to
// right) runs for a stretch on a line lighter than along the rest of it;
// nothing when it keeps one shade. `paper` is the page's background.
struct LighterStretch {
    PixelPoint from;
    PixelPoint to;
    double lightness;
    double usual;
};
std::optional<LighterStretch> lighterStretch(const PixelBuffer& picture, const std::vector<PixelPoint>& trace, Rgb paper);

// The doubt for such a stretch, its ends in the axis' values.
std::string lighterStretchDoubt(const LighterStretch& stretch, const AxisCalibration& calibration);

} // namespace calvero::capture
