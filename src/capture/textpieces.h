#pragma once
// Words on the picture: the axes' numbers, labels, a legend's text. Their
// letters (or, blurred together, whole words) are pieces of a letter's
// height standing side by side on one line, three or more together; a dashed
// curve's dashes are too thin, or step along the curve instead of standing
// on a line.
#include "capture/colourpieces.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"

#include <vector>

namespace calvero::capture {

// For each piece, whether it is a letter of a word. Letters are at most
// `tallest` pixels high. With the lines taken out of the pieces' mask, the
// pieces a line cut apart count as one: a thick level curve cut by the grid
// into short stretches is no row of letters. Through marks, a word may go on
// across marks lower than a letter ("Tc = 30 °C": no three letters stand
// side by side), which are then its letters too.
std::vector<bool> letterPieces(const ColourPieces& found, int tallest, const PixelMask* cutBy = nullptr,
                               bool throughMarks = false);

// The tallest letter looked for on a picture of this height.
int tallestLetter(int pictureHeight);

// Pieces side by side on a line, a letter's height apart at most, grouped
// into words (a number with its decimal mark, sign and raised exponent):
// each word's box and its pieces, left to right.
struct WordGroup {
    Piece box;
    std::vector<Piece> parts;
};
std::vector<WordGroup> wordGroups(std::vector<Piece> pieces);

// The letters' boxes joined into lines of text: boxes standing on one line,
// at most two letters high apart (the blanks and "=" of "Tc = 30 °C"), each
// line's box grown by a pixel.
std::vector<PixelRect> textLines(const std::vector<PixelRect>& letters);
// Whether the point lies in one of the boxes.
bool inText(const std::vector<PixelRect>& text, double x, double y);

} // namespace calvero::capture
