#pragma once
// Whether the line traced is the line meant: the line of the colour asked
// for, through the point the user clicked.
//
// A scan
// pales a thin line toward the paper, so a dark blue asked for matches a
// light blue curve beside it as well as its own (a light blue is what a dark
// blue faded toward white looks like). The line traced is told by its core,
// the pixels along it nearest the colour asked for; when the chart holds
// another line whose core is clearly nearer that colour, the trace may have
// taken the wrong curve, and the read is doubted with both colours named.
// A scan lightens a grey family's lines alike, so the darker neighbour of
// the grey asked for may match it best: a grey is doubted when another grey
// line is nearly as near.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// The doubt (Italian) when another line in the picture, outside the
// exclusions, is clearly nearer the colour asked for (nearly as near, for a
// grey) than the line traced along `centre` (a point per column); nothing
// when the trace holds the nearest line.
std::optional<std::string> nearerLineOfTheColour(const PixelBuffer& picture, const std::vector<PixelPoint>& centre,
                                                 Rgb asked, const std::vector<PixelRect>& exclusions);

// The doubt (Italian) when the trace does not pass near the point clicked
// (the click fell on no line the search could start from, and the trace
// began on another line of the colour); nothing when it does.
std::optional<std::string> clickMissed(const std::vector<PixelPoint>& centre, PixelPoint click);

} // namespace calvero::capture
