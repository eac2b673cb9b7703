#pragma once
// Words on the picture: the axes' numbers, labels, a legend's text. Their
// letters (or, blurred together, whole words) are pieces of a letter's
// height standing side by side on one line, three or more together; a dashed
// curve's dashes are too thin, or step along the curve instead of standing
// on a line.
#include "capture/colourpieces.h"
#include "capture/pixelmask.h"

#include <vector>

namespace calvero::capture {

// For each piece, whether it is a letter of a word. Letters are at most
// `tallest` pixels high. With the lines taken out of the pieces' mask, the
// pieces a line cut apart count as one: a thick level curve cut by the grid
// into short stretches is no row of letters.
std::vector<bool> letterPieces(const ColourPieces& found, int tallest, const PixelMask* cutBy = nullptr);

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

} // namespace calvero::capture
