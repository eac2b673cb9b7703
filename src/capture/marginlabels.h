#pragma once
// The numbers written in a strip of the picture (a chart's margin, beside an
// axis): the ink's pieces grouped into words, each read on its own by the
// text reader as one number. An exponent set small and raised after its
// base (10³) is read apart from the base, grown to the base's size and set
// on its line, and joined with '^' ("10^3"); one that cannot be read leaves
// "10^?". A word not read at all is "?", so it still counts among the labels.
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"
#include "capture/textreader.h"

#include <vector>

namespace calvero::capture {

// How far the words' boxes reach beyond their ink, each way.
constexpr int LabelPadding = 3;

// The words in the strip of the picture (`ink` is the page's ink), each
// with its box on the picture (padded by a few pixels) and the reader's confidence.
// A word whose ink goes on beyond the strip is cut and left out, unless it
// goes into `ticks` (the band between the strip and its axis line, where a
// blurred label meets its tick mark).
// Under or over an x axis, `columns` are where its labels stand (its ticks
// or grid lines): numbers set so close that they run into one word
// ("10000150002000025000") are parted where the word, parted between each
// two of those columns, gives one number centred on each.
std::vector<ReadWord> labelsIn(const PixelBuffer& picture, const PixelMask& ink, const PixelRect& strip, const TextReader& reader,
                               const PixelRect& ticks = {}, const std::vector<double>& columns = {});

} // namespace calvero::capture
