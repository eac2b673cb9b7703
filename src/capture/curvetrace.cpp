#include "capture/curvetrace.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero::capture {

ColumnRuns::ColumnRuns(const ColourPieces& pieces, const std::vector<bool>& kept, int width)
    : start_(static_cast<std::size_t>(width) + 1, 0)
{
    // Counting sort of the kept pixels by column; rows stay in ascending order.
    std::vector<std::size_t> count(static_cast<std::size_t>(width) + 1, 0);
    for (std::size_t i = 0; i < pieces.runs.size(); ++i)
        if (kept[static_cast<std::size_t>(pieces.pieceOfRun[i])])
            for (int x = pieces.runs[i].x0; x <= pieces.runs[i].x1; ++x) ++count[static_cast<std::size_t>(x) + 1];
    for (std::size_t x = 1; x < count.size(); ++x) count[x] += count[x - 1];
    std::vector<std::size_t> next(count.begin(), count.end() - 1);
    std::vector<ColumnRun> pixels(count.back());
    for (std::size_t i = 0; i < pieces.runs.size(); ++i) {
        const int piece = pieces.pieceOfRun[i];
        if (!kept[static_cast<std::size_t>(piece)]) continue;
        for (int x = pieces.runs[i].x0; x <= pieces.runs[i].x1; ++x)
            pixels[next[static_cast<std::size_t>(x)]++] = {pieces.runs[i].y, pieces.runs[i].y, piece};
    }
    // Neighbouring pixels of a column make one run.
    for (int x = 0; x < width; ++x) {
        start_[static_cast<std::size_t>(x)] = runs_.size();
        for (std::size_t i = count[static_cast<std::size_t>(x)]; i < count[static_cast<std::size_t>(x) + 1]; ++i) {
            if (runs_.size() > start_[static_cast<std::size_t>(x)] && runs_.back().bottom + 1 == pixels[i].top)
                runs_.back().bottom = pixels[i].top;
            else
                runs_.push_back(pixels[i]);
        }
    }
    start_[static_cast<std::size_t>(width)] = runs_.size();
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

double centreOf(const ColumnRun& run) { return (run.top + run.bottom + 1) / 2.0; }

double distanceTo(const ColumnRun& run, double row)
{
    if (row < run.top) return run.top - row;
    if (row > run.bottom + 1) return row - (run.bottom + 1);
    return 0;
}

// The row the curve is expected at in column x, carrying on the last points' direction.
double expectedRow(const std::vector<PixelPoint>& trace, double x)
{
    const PixelPoint& last = trace.back();
    if (trace.size() < 2) return last.y;
    const PixelPoint& earlier = trace[trace.size() - std::min(trace.size(), SlopePoints)];
    if (earlier.x == last.x) return last.y;
    return last.y + (last.y - earlier.y) / (last.x - earlier.x) * (x - last.x);
}

// Follows the curve from the start point in one direction (step +1 or -1).
std::vector<PixelPoint> follow(const ColumnRuns& columns, PixelPoint start, int step, int maxGap)
{
    std::vector<PixelPoint> trace{start};
    int gap = 0;
    for (int x = static_cast<int>(start.x) + step; x >= 0 && x < columns.width() && gap <= maxGap; x += step) {
        const double centreX = x + 0.5;
        const double expected = expectedRow(trace, centreX);
        const ColumnRun* best = nullptr;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (const ColumnRun& run : columns.column(x)) {
            const double distance = distanceTo(run, expected);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = &run;
            }
        }
        if (best && bestDistance <= ReachRows + gap) {
            trace.push_back({centreX, centreOf(*best)});
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

std::vector<PixelPoint> traceCurve(const ColumnRuns& columns, const Piece& start, int startPiece,
                                   std::optional<PixelPoint> seed, int maxGap)
{
    // The start column: the seed's, or the middle of the piece; else the nearest one the piece has a run in.
    const double aim = seed ? seed->x : (start.left + start.right + 1) / 2.0;
    const double row = seed ? seed->y : 0;
    const int middle = std::clamp(static_cast<int>(std::floor(aim)), start.left, start.right);
    const ColumnRun* first = nullptr;
    int column = middle;
    for (int offset = 0; !first && offset <= start.right - start.left; ++offset) {
        for (int candidate : {middle - offset, middle + offset}) {
            if (candidate < start.left || candidate > start.right) continue;
            first = pieceRun(columns, candidate, startPiece, row);
            if (first) {
                column = candidate;
                break;
            }
        }
    }
    if (!first) return {};

    const PixelPoint origin{column + 0.5, centreOf(*first)};
    std::vector<PixelPoint> left = follow(columns, origin, -1, maxGap);
    const std::vector<PixelPoint> right = follow(columns, origin, +1, maxGap);
    std::reverse(left.begin(), left.end());
    left.insert(left.end(), right.begin() + 1, right.end());
    return left;
}

} // namespace calvero::capture
