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

// How far (in rows) the middle of a run may lie from where the trace expects
// the curve, beyond half the curve's thickness; a little more for every
// column since the curve's last run, more so where it is steep.
constexpr double OwnRows = 1.0;
constexpr double OwnRowsPerBlindColumn = 0.15;
constexpr double OwnRowsPerSlope = 0.1;
// While the trace is too short to have a direction (a dotted line's first
// dot), a margin this much wider for every column it has not seen the curve.
constexpr double YoungRowsPerBlindColumn = 0.5;
// The points the trend of the trace is fitted to; its curvature counts only
// once this many are behind it.
constexpr std::size_t TrendPoints = 60;
constexpr std::size_t CurvedTrendPoints = 12;
// A trace nearly all within this many rows of its middle row is a level straight line.
constexpr double LevelLineRows = 3.0;
constexpr double LevelLineShare = 0.9;
// A run longer than the curve's thickness and slope explain by this much is
// the curve merged with another line crossing it.
constexpr double MergedSlackRows = 1.5;
// Through a crossing or under a line the trace goes on for up to this many
// longest gaps.
constexpr int MergedGaps = 4;
// A curve's end is carried on under a line taken out (up to half the
// longest gap) as its last few points lead.
constexpr std::size_t EndTrendPoints = 8;
// How quickly the thickness expected of a run follows the runs taken.
constexpr double ThicknessFollowing = 0.3;
// On a thick line, a run of the curve's own this much shorter than the line
// is thick is the end of a dash or a dot, cut across at a slant: its middle
// lies off the line's, by up to half the line's thickness at the very corner,
// and learnt from it would make the next dash's middle look merged with
// another line (the trace then ran along the ends' trend, half a dot off).
// The trace goes on through it, taking neither its point nor its length. A
// thin line's runs differ by a pixel of anti-aliasing, and are all taken.
constexpr double SlantedEndShare = 0.8;
constexpr double ThickLineRows = 5.0;

double centreOf(const ColumnRun& run) { return (run.top + run.bottom + 1) / 2.0; }

double distanceTo(const ColumnRun& run, double row)
{
    if (row < run.top) return run.top - row;
    if (row > run.bottom + 1) return row - (run.bottom + 1);
    return 0;
}

double lengthOf(const ColumnRun& run) { return run.bottom - run.top + 1; }

// The row the trace continues to at a column: a least-squares parabola (a
// line while the trace is short) through its last points, so at a crossing
// or across a gap it keeps the direction and the bend it had.
class Trend {
public:
    explicit Trend(const std::vector<PixelPoint>& trace, std::size_t points = TrendPoints)
    {
        const std::size_t n = std::min(trace.size(), points);
        origin_ = trace.back();
        // Sums of d^k and of y d^k, d measured from the last point.
        double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
        for (std::size_t i = trace.size() - n; i < trace.size(); ++i) {
            const double d = trace[i].x - origin_.x;
            const double y = trace[i].y - origin_.y;
            double power = 1;
            for (int k = 0; k < 5; ++k) {
                s[k] += power;
                if (k < 3) t[k] += y * power;
                power *= d;
            }
        }
        if (n >= CurvedTrendPoints) {
            const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
            const double det = determinant(m);
            if (std::abs(det) > 1e-9) {
                const auto solved = [&](int column) {
                    double c[3][3];
                    for (int r = 0; r < 3; ++r)
                        for (int k = 0; k < 3; ++k) c[r][k] = k == column ? t[r] : m[r][k];
                    return determinant(c) / det;
                };
                level_ = solved(0);
                slope_ = solved(1);
                bend_ = solved(2);
                return;
            }
        }
        const double spread = s[0] * s[2] - s[1] * s[1];
        if (n >= 2 && spread > 0) {
            slope_ = (s[0] * t[1] - s[1] * t[0]) / spread;
            level_ = (t[0] - slope_ * s[1]) / s[0];
        }
    }

    double rowAt(double x) const
    {
        const double d = x - origin_.x;
        return origin_.y + level_ + slope_ * d + bend_ * d * d;
    }
    double slopeAt(double x) const { return slope_ + 2 * bend_ * (x - origin_.x); }

private:
    static double determinant(const double m[3][3])
    {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }

    PixelPoint origin_;
    double level_ = 0;
    double slope_ = 0;
    double bend_ = 0;
};

// Whether the straight lines taken out cover the row (or a row beside it) of the column.
bool hiddenAt(const PixelMask* hidden, int x, double row)
{
    // A trace stepping left runs to column -1, and a trend may lead far off the picture.
    if (!hidden || x < 0 || x >= hidden->width() || !(row > -2 && row < hidden->height() + 1)) return false;
    const int y = static_cast<int>(std::floor(row));
    for (int r = y - 1; r <= y + 1; ++r)
        if (r >= 0 && r < hidden->height() && hidden->at(x, r)) return true;
    return false;
}

// Whether the point lies under a word's box (a pixel of margin round it).
bool underText(const std::vector<PixelRect>* text, int x, double row)
{
    if (!text) return false;
    return std::any_of(text->begin(), text->end(), [&](const PixelRect& box) {
        return x + 0.5 >= box.left - 1 && x + 0.5 <= box.left + box.width + 1 && row >= box.top - 1 &&
               row <= box.top + box.height + 1;
    });
}

// A run as the curve has it in a column. Where a grid line taken out cuts
// the curve, the run is only the part beside the line. When the curve's part
// beyond the line is there too, the run reaches across the line's band to
// it: the whole curve again. Otherwise the curve's other edge is under the
// line, and only its outer edge tells where it lies.
struct CurveRun {
    int top;
    int bottom;
    // A line's band right above or below it, and not bridged.
    bool cutAbove = false;
    bool cutBelow = false;
    bool cut() const { return cutAbove || cutBelow; }
};

// A band of hidden rows longer than this is a line down the column (a
// vertical grid line), not one the curve crosses.
constexpr int WidestBand = 12;

CurveRun acrossLines(std::span<const ColumnRun> runs, std::size_t i, int x, const PixelMask* hidden)
{
    CurveRun reach{runs[i].top, runs[i].bottom};
    if (!hidden || x >= hidden->width()) return reach;
    const auto band = [&](int from, int step) {
        int n = 0;
        for (int y = from; y >= 0 && y < hidden->height() && hidden->at(x, y) && n <= WidestBand; y += step) ++n;
        return n > WidestBand ? 0 : n;
    };
    if (const int above = band(reach.top - 1, -1)) {
        if (i > 0 && runs[i - 1].bottom == reach.top - above - 1) reach.top = runs[i - 1].top;
        else reach.cutAbove = true;
    }
    if (const int below = band(reach.bottom + 1, +1)) {
        if (i + 1 < runs.size() && runs[i + 1].top == reach.bottom + below + 1) reach.bottom = runs[i + 1].bottom;
        else reach.cutBelow = true;
    }
    return reach;
}

// Where the curve's middle lies by a run: a run cut by a line and shorter
// than the curve is thick lies the curve's half thickness from its outer edge.
double middleOf(const CurveRun& run, double thickness)
{
    const double length = run.bottom - run.top + 1;
    if (!run.cut() || length >= thickness || (run.cutAbove && run.cutBelow)) return (run.top + run.bottom + 1) / 2.0;
    return run.cutAbove ? run.bottom + 1 - thickness / 2 : run.top + thickness / 2;
}

double lengthOf(const CurveRun& run) { return run.bottom - run.top + 1; }
double distanceTo(const CurveRun& run, double row)
{
    if (row < run.top) return run.top - row;
    if (row > run.bottom + 1) return row - (run.bottom + 1);
    return 0;
}

// Follows the curve from the start run in one direction (step +1 or -1). A
// run far longer than the curve's thickness and slope explain is the curve
// merged with a line crossing it: the trace goes through it where its trend
// leads (for a shallow crossing, several gaps long), and stops where it meets
// nothing else. Where a straight line taken out hides the curve, the same.
// The points behind the start (in the other direction, nearest the start
// last) give the trend its direction from the first column.
std::vector<PixelPoint> follow(const ColumnRuns& columns, int column, const ColumnRun& start, int step,
                               const TraceLimits& limits, const std::vector<PixelPoint>& behind)
{
    const int maxGap = limits.maxGap;
    std::vector<PixelPoint> trace(behind.end() - static_cast<std::ptrdiff_t>(std::min(behind.size(), TrendPoints)),
                                  behind.end());
    const std::size_t first = trace.size();
    trace.push_back({column + 0.5, centreOf(start)});
    // The points the trend is drawn through: all but those of runs cut by a
    // line, whose middles lean toward or away from it.
    std::vector<PixelPoint> steady = trace;
    std::size_t lastOwn = trace.size(); // the points up to here are the curve's own runs
    double thickness = lengthOf(start);
    int gap = 0;
    int blind = 0; // columns since the last of the curve's own runs
    int mergedColumns = 0;
    for (int x = column + step;
         x >= 0 && x < columns.width() && gap <= maxGap && mergedColumns <= MergedGaps * maxGap; x += step) {
        const double centreX = x + 0.5;
        const Trend trend(steady);
        const double expected = trend.rowAt(centreX);
        const double slope = std::abs(trend.slopeAt(centreX));
        const std::span<const ColumnRun> runs = columns.column(x);
        std::optional<CurveRun> best;
        double bestDistance = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const CurveRun run = acrossLines(runs, i, x, limits.hidden);
            const double distance = distanceTo(run, expected);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = run;
            }
        }
        // A run longer than the curve's own, over the row the trend expects, is
        // the curve crossing another line: the trace goes on where its trend
        // leads. Any other run is the curve's own only if its middle is where
        // the trend expects it, within a margin that grows slowly over a gap.
        const bool merged = best && bestDistance == 0 && lengthOf(*best) > thickness + slope + MergedSlackRows;
        const double young = steady.size() < CurvedTrendPoints ? YoungRowsPerBlindColumn : 0;
        const double allowed = OwnRows + thickness / 2 + blind * (OwnRowsPerBlindColumn + OwnRowsPerSlope * slope + young);
        if (merged && !best->cut()) {
            trace.push_back({centreX, expected});
            steady.push_back(trace.back());
            ++mergedColumns;
            ++blind;
            continue;
        }
        const double middle = best ? middleOf(*best, thickness) : 0;
        if (!best || std::abs(middle - expected) > allowed) {
            // Under a grid line running nearly along the curve, the curve is hidden for long.
            if (hiddenAt(limits.hidden, x, expected) || underText(limits.text, x, expected)) ++mergedColumns;
            else ++gap;
            ++blind;
            continue;
        }
        mergedColumns = 0;
        gap = 0;
        if (!best->cut() && thickness >= ThickLineRows && lengthOf(*best) < SlantedEndShare * thickness) {
            blind = 0;
            continue;
        }
        trace.push_back({centreX, middle});
        lastOwn = trace.size();
        // Cut by a line the curve is seen but not measured well: the trend
        // keeps the course it had, and the margin stays as it was.
        if (best->cut()) continue;
        steady.push_back(trace.back());
        thickness += (lengthOf(*best) - thickness) * ThicknessFollowing;
        blind = 0;
    }
    trace.resize(lastOwn);
    // A curve that ends on a line taken out (the frame) runs on under it, as its last few points lead.
    const Trend end(trace, EndTrendPoints);
    for (int x = static_cast<int>(std::floor(trace.back().x)) + step, under = 0;
         under <= limits.maxGap / 2 && hiddenAt(limits.hidden, x, end.rowAt(x + 0.5)); x += step, ++under)
        trace.push_back({x + 0.5, end.rowAt(x + 0.5)});
    trace.erase(trace.begin(), trace.begin() + static_cast<std::ptrdiff_t>(first));
    return trace;
}

double span(const std::vector<PixelPoint>& trace) { return trace.empty() ? 0 : std::abs(trace.back().x - trace.front().x); }

// The run of the starting piece in column x nearest the row, if it has one there.
const ColumnRun* pieceRun(const ColumnRuns& columns, int x, int piece, double row)
{
    const ColumnRun* best = nullptr;
    for (const ColumnRun& run : columns.column(x))
        if (run.piece == piece && (!best || distanceTo(run, row) < distanceTo(*best, row))) best = &run;
    return best;
}

// Where a trace starts: the column given, unless the piece's run there (the
// one nearest the seed's row, or any) is no usual run of the line: a marker
// drawn on it (so much longer that the line's runs would pass for a dash's
// slanted ends beside it) or a dash's slanted end (a corner, much shorter).
// Started there, the trace took the marker's height or the corner's for the
// line's thickness (and the marker's level middle for its course) and lost
// the line a few columns on. Then the middle of the nearest stretch of
// columns whose runs are the line's usual ones (within reach); the column
// given when there is none.
int usualRunColumn(const ColumnRuns& columns, int column, int piece, std::optional<PixelPoint> seed, int reach)
{
    std::vector<double> lengths;
    for (int x = column - reach; x <= column + reach; ++x)
        for (const ColumnRun& run : columns.column(x))
            if (run.piece == piece) lengths.push_back(lengthOf(run));
    if (lengths.empty()) return column;
    const auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
    std::nth_element(lengths.begin(), middle, lengths.end());
    // A thin line's runs differ from their middle by a pixel or two of anti-aliasing.
    const double longest = std::max(*middle / SlantedEndShare, *middle + 2);
    const double shortest = std::min(*middle * SlantedEndShare, *middle - 2);
    const auto usual = [&](const ColumnRun& run) { return lengthOf(run) >= shortest && lengthOf(run) <= longest; };
    const auto lineOnly = [&](int x) {
        if (seed) {
            const ColumnRun* run = pieceRun(columns, x, piece, seed->y);
            return run && usual(*run);
        }
        bool any = false;
        for (const ColumnRun& run : columns.column(x))
            if (run.piece == piece) {
                if (!usual(run)) return false;
                any = true;
            }
        return any;
    };
    if (lineOnly(column)) return column;
    // A marker clicked may stand alone, the line too faint to join it (a
    // blurred scan): its tips would pass for the line's runs.
    if (const ColumnRun* clicked = seed ? pieceRun(columns, column, piece, seed->y) : nullptr; clicked && lengthOf(*clicked) > longest)
        return column;
    // The middle of the stretch: right beside the marker the trace would
    // start with too few columns to learn the line's course from.
    for (int offset = 1; offset <= reach; ++offset)
        for (int side : {-1, +1})
            if (const int near = column + side * offset; lineOnly(near)) {
                int far = near;
                while (std::abs(far + side - column) <= reach && lineOnly(far + side)) far += side;
                return (near + far) / 2;
            }
    return column;
}

} // namespace

double rowAt(const std::vector<PixelPoint>& line, double x)
{
    const auto after = std::lower_bound(line.begin(), line.end(), x, [](const PixelPoint& p, double v) { return p.x < v; });
    if (after == line.begin()) return line.front().y;
    if (after == line.end()) return line.back().y;
    const PixelPoint& a = *(after - 1);
    const PixelPoint& b = *after;
    return b.x == a.x ? b.y : a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

EndTrend endTrend(const std::vector<PixelPoint>& trace)
{
    if (trace.empty()) return {};
    const Trend trend(trace);
    return {trend.rowAt(trace.back().x), trend.slopeAt(trace.back().x)};
}

double lineThickness(const ColumnRuns& columns, const std::vector<PixelPoint>& trace)
{
    std::vector<double> lengths;
    for (const PixelPoint& p : trace)
        for (const ColumnRun& run : columns.column(static_cast<int>(std::floor(p.x))))
            if (p.y >= run.top && p.y <= run.bottom + 1) lengths.push_back(lengthOf(run));
    if (lengths.empty()) return 0;
    std::nth_element(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2), lengths.end());
    return lengths[lengths.size() / 2];
}


std::vector<PixelPoint> averagedOverThickness(const ColumnRuns& columns, const std::vector<PixelPoint>& trace)
{
    const double reach = lineThickness(columns, trace);
    if (reach == 0) return trace;
    std::vector<PixelPoint> averaged;
    std::size_t first = 0, last = 0; // the points within reach: [first, last)
    double sum = 0;
    for (const PixelPoint& p : trace) {
        while (last < trace.size() && trace[last].x <= p.x + reach) sum += trace[last++].y;
        while (trace[first].x < p.x - reach) sum -= trace[first++].y;
        averaged.push_back({p.x, sum / static_cast<double>(last - first)});
    }
    return averaged;
}

bool levelLine(const std::vector<PixelPoint>& trace, double levelSlope)
{
    if (trace.size() < 2) return false;
    std::vector<double> rows;
    for (const PixelPoint& p : trace) rows.push_back(p.y - levelSlope * p.x);
    std::nth_element(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(rows.size() / 2), rows.end());
    const double middle = rows[rows.size() / 2];
    const auto level = std::count_if(rows.begin(), rows.end(), [&](double y) { return std::abs(y - middle) <= LevelLineRows; });
    return static_cast<double>(level) >= LevelLineShare * static_cast<double>(rows.size());
}

double traceWeight(const std::vector<PixelPoint>& trace, double levelSlope)
{
    if (trace.size() < 2) return 0;
    const double span = trace.back().x - trace.front().x;
    return levelLine(trace, levelSlope) ? span / 2 : span;
}

std::vector<std::vector<PixelPoint>> traceEachRun(const ColumnRuns& columns, const Piece& start, int startPiece,
                                                   std::optional<PixelPoint> seed, const TraceLimits& limits,
                                                   StartColumn startColumn)
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
    if (startColumn == StartColumn::UsualRun) column = usualRunColumn(columns, column, startPiece, seed, limits.maxGap);

    // From the run nearest the seed; without one, from each run of the piece there (a
    // curve touching the plot's frame makes one piece with it).
    const ColumnRun* seeded = seed ? pieceRun(columns, column, startPiece, seed->y) : nullptr;
    std::vector<std::vector<PixelPoint>> traces;
    for (const ColumnRun& run : columns.column(column)) {
        if (run.piece != startPiece || (seeded && &run != seeded)) continue;
        // Each way keeps the trend the other way had at the start: a first
        // way shorter than the second (it had no trend to cross a line with)
        // is followed again with the trend of the second, and kept if it
        // goes farther; a short second way then again with the first's.
        std::vector<PixelPoint> trace = follow(columns, column, run, -1, limits, {});
        std::reverse(trace.begin(), trace.end());
        std::vector<PixelPoint> right = follow(columns, column, run, +1, limits, trace);
        if (trace.size() < CurvedTrendPoints || span(trace) < span(right)) {
            const std::vector<PixelPoint> behind(right.rbegin(), right.rend());
            std::vector<PixelPoint> again = follow(columns, column, run, -1, limits, behind);
            std::reverse(again.begin(), again.end());
            if (trace.size() < CurvedTrendPoints || span(again) > span(trace)) trace = std::move(again);
            if (right.size() < CurvedTrendPoints) right = follow(columns, column, run, +1, limits, trace);
        }
        trace.insert(trace.end(), right.begin() + 1, right.end());
        traces.push_back(std::move(trace));
    }
    return traces;
}

std::vector<PixelPoint> traceCurve(const ColumnRuns& columns, const Piece& start, int startPiece,
                                   std::optional<PixelPoint> seed, const TraceLimits& limits, StartColumn startColumn)
{
    std::vector<PixelPoint> best;
    for (std::vector<PixelPoint>& trace : traceEachRun(columns, start, startPiece, seed, limits, startColumn))
        if (traceWeight(trace, limits.levelSlope) > traceWeight(best, limits.levelSlope)) best = std::move(trace);
    return best;
}

} // namespace calvero::capture
