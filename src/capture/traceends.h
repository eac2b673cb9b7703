#pragma once
// A label written just beyond a curve's end ("tc 45°C") is no word of its
// own to the search when its letters reach the colour only in specks: the
// trace goes on from the line's end across them, gap after gap, and the
// last points read lie on the label. A line keeps its own pattern (a solid
// line, dashes of one length, dots); an end made of specks much shorter
// than the line's pieces, across a gap much wider than its own, is cut back
// to where the line was last itself, and the part cut off is told as a label
// (the colour there is no curve going on).
#include "capture/curvetrace.h"
#include "capture/pixelrect.h"

#include <vector>

namespace calvero::capture {

struct TrimmedTrace {
    std::vector<PixelPoint> trace;
    // The boxes of the ends cut off (none, one or two).
    std::vector<PixelRect> labels;
};

// The trace (a point per column, left to right) with each end of specks cut
// back; `tallest` is the tallest letter looked for.
TrimmedTrace trimmedAtLabels(const ColumnRuns& columns, std::vector<PixelPoint> trace, int tallest);

} // namespace calvero::capture
