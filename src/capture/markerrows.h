#pragma once
// A curve's markers along a level stretch stand side by side on one line,
// a letter's height apart, like the letters of a word; a label's trace would
// then stop at them. They are told from letters by being alike and evenly
// spaced: pieces of one size at one pitch, farther apart than a word's
// letters stand.
#include "capture/colourpieces.h"

#include <vector>

namespace calvero::capture {

// For each piece, whether it is one of a row of markers among the letters
// given (a row of at least four).
std::vector<bool> markerRows(const ColourPieces& found, const std::vector<bool>& letters);

// The letters given, without the pieces of a row of markers.
std::vector<bool> lettersNotMarkers(const ColourPieces& found, std::vector<bool> letters);

} // namespace calvero::capture
