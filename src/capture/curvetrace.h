#pragma once
// Following a curve column by column through the pieces of its colour.
#include "capture/calibration.h"
#include "capture/colourpieces.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"

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
struct TraceLimits {
    int maxGap = 10;
    // Rows per column along the x axis.
    double levelSlope = 0;
    // The straight lines taken out of the search: the trace bridges where
    // they hid the curve, for longer than maxGap.
    const PixelMask* hidden = nullptr;
    // The boxes of the words taken out (a label written over the curve, a
    // legend's box): the trace bridges under them the same way, and goes on
    // only where the curve comes out beyond them.
    const std::vector<PixelRect>* text = nullptr;
};

// Where the start column lies on a marker drawn on the line or on a dash's
// slanted corner, the trace starts at the nearest stretch of the line's
// usual runs instead, unless the column is to be kept as given (a trace
// taken up again from a run beyond another's end).
enum class StartColumn { UsualRun, AsGiven };
std::vector<PixelPoint> traceCurve(const ColumnRuns& columns, const Piece& start, int startPiece,
                                   std::optional<PixelPoint> seed, const TraceLimits& limits,
                                   StartColumn startColumn = StartColumn::UsualRun);
// The same, each trace from a run of the piece in the start column kept (one with a seed).
std::vector<std::vector<PixelPoint>> traceEachRun(const ColumnRuns& columns, const Piece& start, int startPiece,
                                                   std::optional<PixelPoint> seed, const TraceLimits& limits,
                                                   StartColumn startColumn = StartColumn::UsualRun);

// Where a centre line (a point per column, left to right, not empty) passes
// the column x: its row there, or its nearer end's when x lies beyond it.
double rowAt(const std::vector<PixelPoint>& line, double x);

// The row and slope (rows per column) at the trace's last point, of the
// parabola through its last points that the trace itself follows.
struct EndTrend {
    double row = 0;
    double slope = 0;
};
EndTrend endTrend(const std::vector<PixelPoint>& trace);

// The middle length of the runs under the trace's points: the line's
// thickness down the columns (0 when none lies under it).
double lineThickness(const ColumnRuns& columns, const std::vector<PixelPoint>& trace);

// The trace with each point's row the mean of the rows within the line's own
// thickness (the middle length of its runs) either side, in columns: a
// thick line's centre, free of the pixels' steps.
std::vector<PixelPoint> averagedOverThickness(const ColumnRuns& columns, const std::vector<PixelPoint>& trace);

// Whether nearly all of the trace lies within a few rows of one level straight
// line (along the x axis, levelSlope rows per column).
bool levelLine(const std::vector<PixelPoint>& trace, double levelSlope);

// How much a trace counts when traces compete: its width in columns, halved
// for a level straight line (along the x axis, levelSlope rows per column),
// which is more likely a legend's box or a line of the plot than the curve.
double traceWeight(const std::vector<PixelPoint>& trace, double levelSlope);

} // namespace calvero::capture
