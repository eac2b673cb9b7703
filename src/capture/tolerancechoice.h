#pragma once
// How far a search lets the curve's colour pale toward the background. A
// scanned or blurred line never shows its own colour: a black line two
// pixels wide, blurred by a pixel, is mid grey at its darkest. At the default
// tolerance the colour may fade most of the way to the background (the
// picture's commonest colour), so such a line still reads; other colours
// and their anti-aliasing lie off that fading and still do not match.
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
