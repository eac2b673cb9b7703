#pragma once
// A legend's samples among the pieces of a curve's colour: a short level
// stroke with a word (of any ink) just beside it in its rows. A trace ending
// before one does not go on into it, and its ink is no other line of the
// colour.
#include "capture/colourpieces.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"

#include <vector>

namespace calvero::capture {

// The boxes of the strokes of `colour` that are legend samples: pieces no
// taller than a letter (`tallest` pixels) with a row across 80 % of them (a
// dash, a dot, a line with its marker), chained along their rows (a dashed
// or dotted sample, or one a grid line cuts), together at least 12 pixels and
// a quarter of a letter and at most an eighth of `plotWidth` wide, with a
// letter of the ink (all colours, in the plot, its lines taken out) across the
// stroke's middle row, starting or ending within a letter's height of it.
std::vector<PixelRect> legendStrokes(const ColourPieces& colour, const PixelMask& ink, int tallest, double plotWidth);

} // namespace calvero::capture
