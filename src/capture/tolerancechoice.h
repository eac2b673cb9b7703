#pragma once
// How far a search lets pixels stray from the curve's colour, and how far
// toward the background the colour may pale. A scanned or blurred line never
// shows its own colour: a black line two pixels wide, blurred by a pixel, is
// mid grey at its darkest, so the colour may fade most of the way to the
// background (the picture's commonest colour).
//
// A tolerance the user gives is taken as it is. Without one, the default is
// narrowed until no other colour drawn on the page (another curve, grey
// iso-lines, a neighbour's anti-aliasing) is within it: on a catalogue page
// with five coloured curves the blue one never takes the purple one's pixels.
// Colours that are the curve's own colour paled toward the paper (its
// fringes, a grey grid under a black curve) do not narrow it; the straight
// lines of the plot are taken out of the search anyway.
#include "capture/colour.h"
#include "capture/pixelbuffer.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

struct ToleranceChoice {
    // The background is the picture's most common colour, its paper.
    Fading fading;
    double tolerance = DefaultTolerance;
    // Whether the background itself is within the tolerance: then the search reads nothing.
    bool backgroundMatches = false;
    // Whether the tolerance was chosen here, and the other colour of the page
    // that narrowed it, if one did.
    bool adaptive = false;
    std::optional<Rgb> neighbour;
};

ToleranceChoice chooseTolerance(const PixelBuffer& picture, Rgb colour, std::optional<double> given);

// The page's papers: its commonest colour, and any other colour that covers
// a large part of it (a chart's area filled grey, as LibreOffice draws it).
std::vector<Rgb> paperColours(const PixelBuffer& picture);

// The colours drawn on the page, the most common first: the paper, the
// colours lying on another's way to the paper (its fringes) and those
// covering too little to be a line are left out.
std::vector<Rgb> drawnColours(const PixelBuffer& picture);

// What the adaptive choice chose, in Italian, for the user; nothing for a given tolerance.
std::optional<std::string> toleranceNote(const ToleranceChoice& choice);

} // namespace calvero::capture
