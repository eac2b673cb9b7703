#pragma once
// Charts drawn with tick marks only: no frame, no axis line, no grid (a
// style sheet's bare axes, gnuplot with its border unset). The tick marks
// along an axis are short strokes across it, in a row, one end of each on the
// axis (a minor tick is shorter than a major one, the end on the axis is the
// same), the major ones evenly spaced (linear or logarithmic alike), nothing
// else drawn in their band; a row of them under the plot and a column beside
// it meeting at a corner make a chart. Where both ends of the strokes line
// up, the axis is taken at their outer ends, so that the numbers are looked
// for beyond the marks; the marks themselves give the references' places.
#include "capture/pagestructure.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"

#include <vector>

namespace calvero::capture {

// The charts of the page's ink (structureInk) found by their tick marks,
// each with its marks' middles as the places its numbers stand at.
std::vector<ChartFrame> chartsOfTickMarks(const PixelBuffer& picture, const PixelMask& ink);

} // namespace calvero::capture
