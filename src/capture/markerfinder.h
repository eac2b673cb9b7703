#pragma once
// Catalogue points drawn as markers (circles, squares, triangles, filled or
// hollow): the pieces of the colour that have all one size and a marker's
// shape, their centres the points.
#include "capture/calibration.h"
#include "capture/colourpieces.h"
#include "capture/pixelmask.h"

#include <optional>
#include <vector>

namespace calvero::capture {

// The middles of the markers' boxes, left to right. The size is the one most
// pieces share, or the one of the piece nearest the seed. A marker beside a
// word (letters, as letterPieces marks them) is a legend's sample and left
// out; one that the straight lines taken out (lines) cut a strip off is
// grown back to that size on the line's side.
std::vector<PixelPoint> markerCentres(const ColourPieces& found, const std::vector<bool>& letters,
                                      std::optional<PixelPoint> seed, int largest, const PixelMask* lines = nullptr);

// The largest marker looked for on a picture of this size.
int largestMarker(int width, int height);

} // namespace calvero::capture
