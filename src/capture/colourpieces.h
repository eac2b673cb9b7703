#pragma once
// The pixels of one colour grouped into connected pieces (touching sideways
// or diagonally), kept as horizontal runs so a large picture costs little.
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"

#include <vector>

namespace calvero::capture {

// Pixels x0..x1 (both included) of row y.
struct RowRun {
    int y;
    int x0;
    int x1;
};

struct Piece {
    long long pixels = 0;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

struct ColourPieces {
    std::vector<RowRun> runs; // row by row, left to right
    std::vector<int> pieceOfRun;
    std::vector<Piece> pieces;
};

// The pixels of the colour; those whose centre lies in an exclusion never count.
PixelMask matchingPixels(const PixelBuffer& picture, const ColourMatcher& matcher,
                         const std::vector<PixelRect>& exclusions);
// Clears the pixels whose centre lies in an exclusion.
void clearExcluded(PixelMask& mask, const std::vector<PixelRect>& exclusions);

// Pixels this close to the background are paper (scanner grey, faint specks).
constexpr double PaperTolerance = 8.0;

// Every pixel drawn on the paper, whatever its colour.
PixelMask inkPixels(const PixelBuffer& picture, Rgb background);
// The same where the page has more than one paper (a chart's area filled grey on a white page).
PixelMask inkPixels(const PixelBuffer& picture, const std::vector<Rgb>& papers);

// Sets every pixel within `radius` (across and down) of one set: the dots of
// a dotted line joined into one line along their middle.
void widen(PixelMask& mask, int radius);

// The pieces of the pixels set in the mask.
ColourPieces findPieces(const PixelMask& mask);

// Both in one: the pieces of the colour outside the exclusions.
ColourPieces findColourPieces(const PixelBuffer& picture, const ColourMatcher& matcher,
                              const std::vector<PixelRect>& exclusions);

} // namespace calvero::capture
