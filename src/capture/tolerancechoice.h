#pragma once
// How far a search lets the curve's colour pale toward the background. A
// scanned or blurred line never shows its own colour: a black line one pixel
// wide, blurred by a pixel, is grey at its darkest. The palest the line's own
// pixels go, found on the picture, sets how far its colour may fade, so such
// a line still reads at the default tolerance.
#include "capture/colour.h"
#include "capture/pixelbuffer.h"

namespace calvero::capture {

struct ToleranceChoice {
    // The background is the picture's most common colour, its paper.
    Fading fading;
    // Whether the background itself is within the tolerance: then the search reads nothing.
    bool backgroundMatches = false;
};

ToleranceChoice chooseTolerance(const PixelBuffer& picture, Rgb colour, double tolerance);

} // namespace calvero::capture
