#include "capture/curvetrace.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero::capture {

ColumnRuns::ColumnRuns(const ColourPieces& pieces, const std::vector<bool>& kept, int width)
    : start_(static_cast<std::size_t>(width) + 1, 0)
{
    // Two passes over the kept pixels in row order, with the last row seen in
    // each column: one counts each column's runs, one fills them in place.
    // A pixel right below the column's last one carries on its run (and its piece).
    std::vector<int> lastRow(static_cast<std::size_t>(width));
    const auto eachPixel = [&](auto&& visit) {
        std::fill(lastRow.begin(), lastRow.end(), -2);
        for (std::size_t i = 0; i < pieces.runs.size(); ++i) {
            const RowRun& run = pieces.runs[i];
            if (!kept[static_cast<std::size_t>(pieces.pieceOfRun[i])]) continue;
            for (int x = run.x0; x <= run.x1; ++x) {
                int& last = lastRow[static_cast<std::size_t>(x)];
                visit(static_cast<std::size_t>(x), run.y, last == run.y - 1, pieces.pieceOfRun[i]);
                last = run.y;
            }
        }
    };
    eachPixel([&](std::size_t x, int, bool continues, int) {
        if (!continues) ++start_[x + 1];
    });
    for (std::size_t x = 1; x < start_.size(); ++x) start_[x] += start_[x - 1];
    runs_.resize(start_.back());
    std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
    eachPixel([&](std::size_t x, int y, bool continues, int piece) {
        if (continues) runs_[next[x] - 1].bottom = y;
        else runs_[next[x]++] = {y, y, piece};
    });
}

std::span<const ColumnRun> ColumnRuns::column(int x) const
{
    if (x < 0 || x >= width()) return {};
    return {runs_.data() + start_[static_cast<std::size_t>(x)], runs_.data() + start_[static_cast<std::size_t>(x) + 1]};
}

namespace {

// How far (in rows) a run may lie from where the trace expects the curve,
// beyond one row more for every column of gap.
constexpr double ReachRows = 3.0;
// The points the trace's direction is taken from.
constexpr std::size_t SlopePoints = 6;
// A trace nearly all within this many rows of its middle row is a level straight line.
constexpr double LevelLineRows = 3.0;
constexpr double LevelLineShare = 0.9;
// A run may be this many rows longer than twice the curve's recent thickness.
constexpr double LengthSlackRows = 4.0;
// How quickly the thickness expected of a run follows the runs taken.
constexpr double ThicknessFollowing = 0.3;

double centreOf(const ColumnRun& run) { return (run.top + run.bottom + 1) / 2.0; }

double distanceTo(const ColumnRun& run, double row)
{
    if (row < run.top) return run.top - row;
    if (row > run.bottom + 1) return row - (run.bottom + 1);
    return 0;
}

// The slope of the last points (rows per column).
double recentSlope(const std::vector<PixelPoint>& trace)
{
    const PixelPoint& last = trace.back();
    const PixelPoint& earlier = trace[trace.size() - std::min(trace.size(), SlopePoints)];
    return earlier.x == last.x ? 0 : (last.y - earlier.y) / (last.x - earlier.x);
}

double lengthOf(const ColumnRun& run) { return run.bottom - run.top + 1; }

// Follows the curve from the start run in one direction (step +1 or -1). A
// run far longer than the curve's recent runs and its slope explain is a line
// crossing it (a vertical axis, the frame) and counts as a gap.
std::vector<PixelPoint> follow(const ColumnRuns& columns, int column, const ColumnRun& start, int step, int maxGap)
{
    std::vector<PixelPoint> trace{{column + 0.5, centreOf(start)}};
    double thickness = lengthOf(start);
    int gap = 0;
    for (int x = column + step; x >= 0 && x < columns.width() && gap <= maxGap; x += step) {
        const double centreX = x + 0.5;
        const double slope = recentSlope(trace);
        const double expected = trace.back().y + slope * (centreX - trace.back().x);
        const double longest = 2 * thickness + 2 * std::abs(slope) + LengthSlackRows;
        const ColumnRun* best = nullptr;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (const ColumnRun& run : columns.column(x)) {
            const double distance = distanceTo(run, expected);
            if (distance < bestDistance && lengthOf(run) <= longest) {
                bestDistance = distance;
                best = &run;
            }
        }
        if (best && bestDistance <= ReachRows + gap) {
            trace.push_back({centreX, centreOf(*best)});
            thickness += (lengthOf(*best) - thickness) * ThicknessFollowing;
            gap = 0;
        } else {
            ++gap;
        }
    }
    return trace;
}

// The run of the starting piece in column x nearest the row, if it has one there.
const ColumnRun* pieceRun(const ColumnRuns& columns, int x, int piece, double row)
{
    const ColumnRun* best = nullptr;
    for (const ColumnRun& run : columns.column(x))
        if (run.piece == piece && (!best || distanceTo(run, row) < distanceTo(*best, row))) best = &run;
    return best;
}

} // namespace

double traceWeight(const std::vector<PixelPoint>& trace)
{
    if (trace.size() < 2) return 0;
    std::vector<double> rows;
    for (const PixelPoint& p : trace) rows.push_back(p.y);
    std::nth_element(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(rows.size() / 2), rows.end());
    const double middle = rows[rows.size() / 2];
    const auto level = std::count_if(rows.begin(), rows.end(), [&](double y) { return std::abs(y - middle) <= LevelLineRows; });
    const double span = trace.back().x - trace.front().x;
    return static_cast<double>(level) >= LevelLineShare * static_cast<double>(rows.size()) ? span / 2 : span;
}

std::vector<PixelPoint> traceCurve(const ColumnRuns& columns, const Piece& start, int startPiece,
                                   std::optional<PixelPoint> seed, int maxGap)
{
    // The start column: the seed's, or the middle of the piece; else the nearest one the piece has a run in.
    const double aim = seed ? seed->x : (start.left + start.right + 1) / 2.0;
    const int middle = std::clamp(static_cast<int>(std::floor(aim)), start.left, start.right);
    int column = -1;
    for (int offset = 0; column < 0 && offset <= start.right - start.left; ++offset)
        for (int candidate : {middle - offset, middle + offset})
            if (column < 0 && candidate >= start.left && candidate <= start.right &&
                pieceRun(columns, candidate, startPiece, 0))
                column = candidate;
    if (column < 0) return {};

    // From the run nearest the seed; without one, from each run of the piece there (a
    // curve touching the plot's frame makes one piece with it), keeping the weightiest trace.
    const ColumnRun* seeded = seed ? pieceRun(columns, column, startPiece, seed->y) : nullptr;
    std::vector<PixelPoint> best;
    for (const ColumnRun& run : columns.column(column)) {
        if (run.piece != startPiece || (seeded && &run != seeded)) continue;
        std::vector<PixelPoint> trace = follow(columns, column, run, -1, maxGap);
        const std::vector<PixelPoint> right = follow(columns, column, run, +1, maxGap);
        std::reverse(trace.begin(), trace.end());
        trace.insert(trace.end(), right.begin() + 1, right.end());
        if (traceWeight(trace) > traceWeight(best)) best = std::move(trace);
    }
    return best;
}

} // namespace calvero::capture
