#pragma once
// Whether the line traced for a colour is the line of that colour. A scan
// pales a thin line toward the paper, so a dark blue asked for matches a
// light blue curve beside it as well as its own (a light blue is what a dark
// blue faded toward white looks like). The line traced is told by its core,
// the pixels along it nearest the colour asked for; when the chart holds
// another line whose core is clearly nearer that colour, the trace may have
// taken the wrong curve, and the read is doubted with both colours named.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// The doubt (Italian) when another line in the picture, outside the
// exclusions, is clearly nearer the colour asked for than the line traced
// along `centre` (a point per column); nothing when the trace holds the
// nearest line, or the colour is a grey (a black family is told otherwise).
std::optional<std::string> nearerLineOfTheColour(const PixelBuffer& picture, const std::vector<PixelPoint>& centre,
                                                 Rgb asked, const std::vector<PixelRect>& exclusions);

} // namespace calvero::capture
