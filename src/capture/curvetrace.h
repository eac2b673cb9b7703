#pragma once
// Following a curve column by column through the pieces of its colour.
#include "capture/calibration.h"
#include "capture/colourpieces.h"

#include <optional>
#include <span>
#include <vector>

namespace calvero::capture {

// Rows top..bottom (both included) of one column, all of one piece.
struct ColumnRun {
    int top;
    int bottom;
    int piece;
};

// The vertical runs of every column, made from the pieces that are kept.
class ColumnRuns {
public:
    ColumnRuns(const ColourPieces& pieces, const std::vector<bool>& kept, int width);
    std::span<const ColumnRun> column(int x) const;
    int width() const { return static_cast<int>(start_.size()) - 1; }

private:
    std::vector<std::size_t> start_;
    std::vector<ColumnRun> runs_;
};

// The curve's centre line, one point per column it was found in (the middle
// of the run taken there), left to right. The trace starts on the given
// piece, at the seed's column or in the middle of the piece, and goes both
// ways while the columns continue it; a gap of up to maxGap columns is bridged.
// Without a seed it starts from each run of the piece in that column and
// keeps the trace of most weight.
std::vector<PixelPoint> traceCurve(const ColumnRuns& columns, const Piece& start, int startPiece,
                                   std::optional<PixelPoint> seed, int maxGap);

// How much a trace counts when traces compete: its width in columns, halved
// for a level straight line, which is more likely the plot's frame, an axis
// or a grid line than the curve.
double traceWeight(const std::vector<PixelPoint>& trace);

} // namespace calvero::capture
