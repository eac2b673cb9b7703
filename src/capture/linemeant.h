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
// A grey has only its lightness, and a line's pale edges hold every grey
// lighter than its ink: a grey line is told by its ink, its darkest pixels
// across it. On a clean page a trace whose ink is the grey asked for is the
// line meant; a scan lightens a family's greys alike, and a grey is doubted
// when another line's ink is nearly as near it.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// The doubt (Italian) when another line in the picture, outside the
// exclusions, is clearly nearer the colour asked for (nearly as near, for a
// grey) than the line traced along `centre` (a point per column); nothing
// when the trace holds the nearest line. On a clean page (judged within the
// chart when it is known) a grey trace drawn in another grey is doubted too.
std::optional<std::string> nearerLineOfTheColour(const PixelBuffer& picture, const std::vector<PixelPoint>& centre,
                                                 Rgb asked, const std::vector<PixelRect>& exclusions,
                                                 const std::optional<PixelRect>& chart = std::nullopt);

// Whether a colour is a grey (black and white too): no hue to tell it by.
bool isGrey(Rgb colour);

// Of the lines traced for a grey, those drawn in another grey: when a line
// across a good part of the plot (`wide`) has the very ink asked for on a
// clean page (one colour throughout, as drawn), the lines whose ink is clearly farther; none otherwise (a
// scan's greys may all be paled alike, and a colour's lines are all its own).
// With the chart known, the paper is judged within its rows (a white plot on a grey page).
std::vector<bool> otherGreys(const PixelBuffer& picture, const std::vector<std::vector<PixelPoint>>& traces,
                             const std::vector<bool>& wide, Rgb asked, const std::optional<PixelRect>& chart = std::nullopt);

// On a clean page where the trace's ink is the very grey asked for, whether
// a stretch of ink down column x (rows top to bottom) is drawn in another
// grey: its darkest pixel clearly farther from the grey asked (a lighter
// grey's line of the family, whose every pixel a faded black matches). An
// empty judge elsewhere (another colour, a scan, a trace of another ink).
using InkJudge = std::function<bool(int x, int top, int bottom)>;
InkJudge anotherGreyJudge(const PixelBuffer& picture, const std::vector<PixelPoint>& trace, Rgb asked,
                          const std::optional<PixelRect>& chart = std::nullopt);

// On a clean page where the trace's ink is the very grey asked for, the
// trace without the columns at its ends drawn in another ink (a label in
// black at a grey curve's end, a lighter line of the family it ran on to
// where the two meet), when they are few: the curve ends where its ink does.
// The trace as it is elsewhere.
std::vector<PixelPoint> withoutOtherGreyEnds(const PixelBuffer& picture, std::vector<PixelPoint> centre, Rgb asked,
                                             const std::optional<PixelRect>& chart = std::nullopt);

// The doubt (Italian) when the trace does not pass near the point clicked
// (the click fell on no line the search could start from, and the trace
// began on another line of the colour); nothing when it does.
std::optional<std::string> clickMissed(const std::vector<PixelPoint>& centre, PixelPoint click);

} // namespace calvero::capture
