#pragma once
// Lines too faint for their pixels to stand out of a scan's grain one by one
// (a light grey grid on grey paper, no frame): a line across darkens its row,
// along a stretch, against the rows a little above and below it, and a line
// down its column against the columns beside it. Averaged along the line,
// the grain evens out and the line does not.
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"

namespace calvero::capture {

struct FaintLineInk {
    PixelMask across; // pixels of lines across
    PixelMask down;   // pixels of lines down
};

FaintLineInk faintLineInk(const PixelBuffer& picture);

} // namespace calvero::capture
