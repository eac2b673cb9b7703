#pragma once
// A scan darkens a coloured line's middle and dulls its colour there, while
// its fringes, paled toward the paper, still match the colour: the line is
// found as two thin lines either side of its core, and a trace following one
// of them runs half the line's width off its middle (a 300 dpi scan: 4-5
// pixels, 0.7 % of the chart's height).
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"

namespace calvero::capture {

// The longest core, in pixels, taken between two matching pixels.
constexpr int LongestStrokeCore = 16;

// Sets the pixels of each stretch along a row or down a column of at most
// LongestStrokeCore pixels that all lie near the colour (`near`, a looser
// match than the mask's), none more than a little lighter than the lighter
// of the two set pixels of the mask at its ends: the line's core.
void fillStrokeCores(PixelMask& mask, const PixelBuffer& picture, const ColourMatcher& near);

// The looser tolerance of a line's core: the colour's own, and as much again
// up to a bound, so that a core stays near the colour.
double strokeCoreTolerance(double tolerance);

} // namespace calvero::capture
