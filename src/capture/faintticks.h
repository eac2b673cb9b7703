#pragma once
// Tick marks a scan has left too faint to count as ink: a grey tick,
// blurred and dulled at 150 dpi, is a few levels darker than the paper. A
// label with no tick found stands by its own middle, which on a spreadsheet's
// scanned chart lies two or three pixels off its tick; the faint tick
// between the label and its axis line still places it.
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"

#include <optional>
#include <vector>

namespace calvero::capture {

// One label's search: its middle along the axis and the band between it and
// the axis line where its tick would be drawn.
struct FaintTickSearch {
    double middle = 0;
    PixelRect band;
};

// Each label's faint tick (nullopt where none), taken only where most of the
// labels show one at the same offset from their middles, and that offset is
// more than `centred` (a tick drawn on whole pixels may be half a pixel off
// where its label's middle is not); the labels that show none then stand
// at that offset too. `alongX`: the labels of an x axis; `reach`: how far
// from its middle a label's tick is looked for.
std::vector<std::optional<double>> faintTicks(const PixelBuffer& picture, double paper, const std::vector<FaintTickSearch>& labels,
                                              bool alongX, double reach, double centred);

} // namespace calvero::capture
