#pragma once
// A frameless plot's outermost grid lines, cut by the plot's edge: only
// their inner part is drawn, so their middles lie about a pixel inside the
// edge the labels there stand at.
#include "capture/pagestructure.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"

#include <optional>
#include <vector>

namespace calvero::capture {

// The plot's edge at a line found along it (across: a row's line; outward:
// +1 where the paper beyond lies after the line, -1 before it), when that
// line is a grid line cut there and no frame: broken, with the plot's fill
// (the colour inside the line) showing in its breaks up to its outer row
// and another beyond (a frame is drawn whole, over the fill's edge).
// Nothing otherwise.
std::optional<double> cutLineEdge(const PixelBuffer& picture, const PixelMask& ink, const EdgeLine& line, bool across, int outward);

// The places labels stand at (ticks, grid lines) along one axis, those at an
// end's cut grid line moved onto the plot's edge: lying on such a line, or
// within a pixel inside an end drawn with no line at all. The ends are the
// chart's left and right (across) or top and bottom.
void placedOnCutEdges(std::vector<double>& places, const PixelBuffer& picture, const PixelMask& ink,
                      const ChartFrame& chart, bool across);

} // namespace calvero::capture
