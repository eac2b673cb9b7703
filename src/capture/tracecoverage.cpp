#include "capture/tracecoverage.h"

#include "capture/linesums.h"
#include "capture/textpieces.h"
#include "capture/unionfind.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero::capture {

namespace {

// The end's direction: the least-squares slope of its last points. The last
// few may have run on under a line or gone astray at a crossing, so the
// colour is also followed along the direction of the points before them.
constexpr std::size_t EndPoints = 20;
constexpr std::size_t InnerPoints = 80;
// Rows a run's middle may lie off the way the colour is followed, beyond
// half the line's thickness, and more for each column without a run; the
// way turns with the colour found, by this share of each turn.
constexpr double FollowRows = 3.0;
constexpr double FollowRowsPerBlindColumn = 0.1;
constexpr double Turning = 0.3;
// The colour is followed across gaps up to this many columns, or this share of the picture's width.
constexpr int LongestGap = 40;
constexpr double LongestGapShare = 0.04;
// Runs longer than this, or than this many of the line's thickness, are lines crossing, not the curve going on.
constexpr double LongestRun = 12.0;
constexpr double LongestRunThicknesses = 3.0;
// Columns a line taken out must run on along the way to hide the curve: more
// than a grid line down is wide, with its fringe.
constexpr int AlongColumns = 4;

// Runs this many rows beyond the line's thickness off the trace's row are
// another line; of the trace's columns this share may hold such, or ink
// beyond its ends (a scan's specks).
constexpr double BesideRows = 3.0;
constexpr double StrayShare = 0.03;

// The way followed ends this many pixels inside the plot area's edge.
constexpr double EdgeRows = 2.0;

// Whether the point lies within `margin` pixels of the area's edge, or outside it.
bool atAreaEdge(const PlotArea& area, const PixelPoint& p, double margin)
{
    return !area.contains(p.x - margin, p.y) || !area.contains(p.x + margin, p.y) || !area.contains(p.x, p.y - margin) ||
           !area.contains(p.x, p.y + margin);
}

// Where the point lies along each axis' references (0 at the first, 1 at
// the second), and how much of that span the margin (pixels) is.
struct AlongReferences {
    double x, y, xSlack, ySlack;
};
AlongReferences alongReferences(const AxisCalibration& calibration, const PixelPoint& p, double margin)
{
    const AxesReferences& refs = calibration.references();
    const UnitPoint u = calibration.toUnits(p);
    const auto share = [](double scaled, double first, double second) { return (scaled - first) / (second - first); };
    const auto slack = [&](const AxisReference& axis) {
        const double pixels = std::hypot(axis.second.x - axis.first.x, axis.second.y - axis.first.y);
        return pixels > 0 ? margin / pixels : 0;
    };
    return {share(calibration.scaledX(u.x), calibration.scaledX(refs.x.firstValue), calibration.scaledX(refs.x.secondValue)),
            share(calibration.scaledY(u.y), calibration.scaledY(refs.y.firstValue), calibration.scaledY(refs.y.secondValue)),
            slack(refs.x), slack(refs.y)};
}

// Whether the way followed from the end has reached the plot's edge: the
// area's, or the place of an axis' outermost number (the frame of a chart
// whose area is unknown) when the end lay within them.
bool leftPlot(const BeyondLimits& limits, const PixelPoint& end, const PixelPoint& p)
{
    if (limits.area && atAreaEdge(*limits.area, p, EdgeRows)) return true;
    if (!limits.edges) return false;
    const AlongReferences from = alongReferences(*limits.edges, end, EdgeRows), to = alongReferences(*limits.edges, p, EdgeRows);
    const auto within = [](double share, double slack) { return share > slack && share < 1 - slack; };
    return (within(from.x, from.xSlack) && !within(to.x, to.xSlack)) || (within(from.y, from.ySlack) && !within(to.y, to.ySlack));
}

struct End {
    PixelPoint at;
    double slope;
};

// The line through points [from, to) of the trace, as it reaches the end's column.
End lineThrough(const std::vector<PixelPoint>& trace, std::size_t from, std::size_t to, const PixelPoint& end)
{
    LineSums sums;
    for (std::size_t i = from; i < to; ++i) sums.add(trace[i].x, trace[i].y);
    if (!sums.determined()) return {end, 0.0};
    const double slope = sums.slope();
    return {{end.x, sums.offset() + slope * end.x}, slope};
}

// The ways the colour may go on beyond the end: along the last points, and along those before them.
std::vector<End> endsOf(const std::vector<PixelPoint>& trace, int step)
{
    const std::size_t n = trace.size();
    const PixelPoint& end = step > 0 ? trace.back() : trace.front();
    // Index ranges counted from the end.
    const auto range = [&](std::size_t nearest, std::size_t farthest) {
        farthest = std::min(farthest, n);
        return step > 0 ? std::pair{n - farthest, n - nearest} : std::pair{nearest, farthest};
    };
    std::vector<End> ends;
    const auto [a, b] = range(0, EndPoints);
    End last = lineThrough(trace, a, b, end);
    last.at = end;
    ends.push_back(last);
    if (n > EndPoints + EndPoints) {
        const auto [c, d] = range(EndPoints, InnerPoints);
        ends.push_back(lineThrough(trace, c, d, end));
    }
    return ends;
}

// Whether the lines taken out cover the row of the column.
bool hiddenAt(const PixelMask* hidden, int x, double row)
{
    const int y = static_cast<int>(std::floor(row));
    return hidden && x >= 0 && x < hidden->width() && y >= 0 && y < hidden->height() && hidden->at(x, y);
}

// Whether a line taken out covers the row and runs on along the way there
// (slope: rows per column), both AlongColumns and twice that ahead: a grid
// line down, or a level one, crossing the way beyond a curve's end hides no
// curve, however thick it is drawn.
bool hiddenAlong(const PixelMask* hidden, int x, int step, double row, double slope)
{
    const auto coveredAhead = [&](int columns) {
        const int ahead = x + step * columns;
        const double rowAhead = row + slope * step * columns;
        return hiddenAt(hidden, ahead, rowAhead - 1) || hiddenAt(hidden, ahead, rowAhead) || hiddenAt(hidden, ahead, rowAhead + 1);
    };
    return hiddenAt(hidden, x, row) && coveredAhead(AlongColumns) && coveredAhead(2 * AlongColumns);
}

// Whether a line taken out passes within FringeColumns of the run's middle
// in its row: the colour there is the line's fringe blurred with a curve's
// crossing it, no other line.
constexpr int FringeColumns = 2;
bool alongHidden(const PixelMask* hidden, int x, double row)
{
    for (int dx = -FringeColumns; dx <= FringeColumns; ++dx)
        if (hiddenAt(hidden, x + dx, row)) return true;
    return false;
}

// A run of the colour found on the way: its column, middle row, and how far
// the colour had been followed before it.
struct WayPoint {
    int x;
    double row;
    int reachedBefore;
};

// How far (columns) the colour is followed from the end, in one direction;
// under a line taken out it may go on hidden: a line the colour runs into
// (without a gap, or at the row the colour was last seen on). A line the way
// meets only after a gap, rows away, hides no curve unless the colour comes
// out of it further on, or the way runs along it as far as the longest gap
// bridged: a level grid line crossed at a slant runs along the way for a few
// columns only. With `way`, the runs found along it are kept there.
int followedBeyond(const ColumnRuns& columns, const End& end, int step, double thickness, const BeyondLimits& limits,
                   const std::vector<PixelRect>& text, std::vector<WayPoint>* way = nullptr)
{
    double row = end.at.y;
    double slope = end.slope;
    int reached = 0, blind = 0;
    // Whether the way since the colour last seen (or the end) ran on under lines without a gap,
    // and where it met a line after a gap (-1 while it has not).
    bool carried = true;
    int metFrom = -1;
    const int longestGap = std::max(LongestGap, static_cast<int>(LongestGapShare * columns.width()));
    const double longestRun = std::max(LongestRun, LongestRunThicknesses * thickness);
    for (int x = static_cast<int>(std::floor(end.at.x)) + step; x >= 0 && x < columns.width() && blind <= longestGap;
         x += step) {
        ++blind;
        const double expected = row + slope * step * blind;
        // The curve's label: the trace went on under a label written over the
        // curve where the curve came out beyond it, so this one ends it.
        if (inText(text, x + 0.5, expected)) break;
        // A curve that reaches the plot's edge (the frame, an axis line) has ended there.
        if (leftPlot(limits, end.at, {x + 0.5, expected})) break;
        const double allowed = FollowRows + thickness / 2 + FollowRowsPerBlindColumn * blind;
        const ColumnRun* best = nullptr;
        double bestDistance = allowed;
        bool crossing = false;
        for (const ColumnRun& run : columns.column(x)) {
            const double length = run.bottom - run.top + 1;
            const double middle = (run.top + run.bottom + 1) / 2.0;
            if ((limits.area && !limits.area->contains(x + 0.5, middle)) || (limits.samples && inText(*limits.samples, x + 0.5, middle)))
                continue;
            const double distance = std::abs(middle - expected) - length / 2;
            // A long run over the row expected is the curve merged with a line it crosses.
            if (length > longestRun && distance <= 0) crossing = true;
            if (length <= longestRun && distance <= bestDistance) {
                bestDistance = distance;
                best = &run;
            }
        }
        const bool seen = best || crossing;
        if (!seen && !hiddenAlong(limits.hidden, x, step, expected, slope)) continue;
        const double found = best ? (best->top + best->bottom + 1) / 2.0 : expected;
        // A line met after a gap, rows off the colour last seen: the curve did not run into it.
        const bool metAway = blind > AlongColumns && std::abs(found - row) > FollowRows + thickness / 2;
        slope += Turning * ((found - row) / (step * blind) - slope);
        row = found;
        const int here = static_cast<int>(std::abs(x + 0.5 - end.at.x));
        if (seen) {
            carried = true;
            metFrom = -1;
        } else if (!carried || metAway) {
            if (metFrom < 0 || metAway) metFrom = here;
            carried = here - metFrom >= longestGap;
        }
        blind = 0;
        if (best && way) way->push_back({x, found, reached});
        if (carried) reached = std::max(reached, here);
    }
    return reached;
}

// Columns a way's landing is followed back past the trace's end, and the
// points of it that must lie off the trace there: the colour found beyond
// a gap then belongs to another line running beside the trace.
constexpr int BackPastEnd = 2 * AlongColumns;
constexpr int BesidePoints = 8;
// A neighbour's few points near the trace where the lines draw close.
constexpr int MeetingPoints = 2;

// How far the colour goes on from the end: as followedBeyond, but where the
// way lands on the colour after a gap, the line landed on is followed back
// towards the end with its own slope; when it runs on past the end beside the
// trace (rows off it, as another curve of a family, whose end or side the
// way met), it is no more of the trace's curve, and the colour ends before
// the gap. A curve going on beyond a gap leads back onto the trace.
int followedOn(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, const End& end, int step, double thickness,
               const BeyondLimits& limits, const std::vector<PixelRect>& text)
{
    std::vector<WayPoint> way;
    const int reached = followedBeyond(columns, end, step, thickness, limits, text, &way);
    const double left = trace.front().x, right = trace.back().x;
    for (std::size_t i = 0; i < way.size(); ++i) {
        const int from = i == 0 ? static_cast<int>(std::floor(end.at.x)) : way[i - 1].x;
        if (std::abs(way[i].x - from) <= AlongColumns) continue;
        LineSums sums;
        for (std::size_t j = i; j < std::min(way.size(), i + EndPoints); ++j) sums.add(way[j].x + 0.5, way[j].row);
        const double slope = sums.determined() ? sums.slope() : end.slope;
        std::vector<WayPoint> back;
        followedBeyond(columns, {{way[i].x + 0.5, way[i].row}, slope}, -step, thickness, limits, text, &back);
        // Off the trace all along, on one side: a line meeting or crossing
        // it (the trace switched onto another curve there, its own going on
        // beyond) is no neighbour.
        int above = 0, below = 0, on = 0;
        for (const WayPoint& p : back) {
            const double centre = p.x + 0.5;
            if ((centre - end.at.x) * step > -BackPastEnd || centre < left || centre > right) continue;
            const double apart = p.row - rowAt(trace, centre);
            (std::abs(apart) <= thickness + BesideRows ? on : apart < 0 ? above : below) += 1;
        }
        const int off = above + below;
        if (off >= BesidePoints && on <= MeetingPoints && std::min(above, below) == 0) return way[i].reachedBefore;
    }
    return reached;
}

} // namespace

std::optional<double> colourBeyondTrace(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, double slack,
                                        const BeyondLimits& limits)
{
    if (trace.size() < 2) return std::nullopt;
    std::optional<double> farthest;
    double longest = slack;
    const double thickness = lineThickness(columns, trace);
    const std::vector<PixelRect> text = limits.letters ? textLines(*limits.letters) : std::vector<PixelRect>{};
    for (int step : {-1, +1}) {
        // Ink beyond an end at the plot's edge is outside the plot (tick numbers, a title).
        if (limits.edges && limits.area &&
            endAtEdge(step < 0 ? trace.front() : trace.back(), *limits.area, *limits.edges, limits.edgeMargin))
            continue;
        for (const End& end : endsOf(trace, step)) {
            const int beyond = followedOn(columns, trace, end, step, thickness, limits, text);
            if (beyond > longest) {
                longest = beyond;
                farthest = end.at.x + step * beyond;
            }
        }
    }
    return farthest;
}

namespace {

// Whether another line runs beside the trace over half its columns (another
// curve of a family) rather than on from it: what lies beyond the trace's
// ends only may be the trace's curve going on.
bool besideTrace(const std::vector<PixelPoint>& other, double left, double right)
{
    if (other.size() < 2) return false;
    const double from = std::max(left, other.front().x), to = std::min(right, other.back().x);
    return (to - from) * 2 >= right - left;
}

// A stretch of the colour off the trace (or beyond its ends), down column x.
// Runs within the slack beyond an end only link lines, uncounted.
struct StrayRun {
    int x, top, bottom;
    bool counted = true;
};

// Stray runs in columns up to this far apart, their rows overlapping within
// `LinkRows` and a row more for each column apart, are one line (a dashed or
// dotted line's gaps, as steep as one row a column).
constexpr int LinkColumns = 8;
constexpr int LinkRows = 2;

// For each stray run (by column), whether it lies on a line of them whose
// columns span half the trace's columns [left, right] or more.
std::vector<bool> besideLines(const std::vector<StrayRun>& runs, double left, double right)
{
    UnionFind lines(runs.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        while (runs[from].x < runs[i].x - LinkColumns) ++from;
        for (std::size_t j = from; j < i; ++j) {
            const int slack = LinkRows + (runs[i].x - runs[j].x);
            if (runs[j].x < runs[i].x && runs[j].top <= runs[i].bottom + slack && runs[i].top <= runs[j].bottom + slack)
                lines.join(static_cast<int>(i), static_cast<int>(j));
        }
    }
    std::vector<int> first(runs.size(), std::numeric_limits<int>::max()), last(runs.size(), std::numeric_limits<int>::min());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto root = static_cast<std::size_t>(lines.root(static_cast<int>(i)));
        first[root] = std::min(first[root], runs[i].x);
        last[root] = std::max(last[root], runs[i].x);
    }
    std::vector<bool> beside(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto root = static_cast<std::size_t>(lines.root(static_cast<int>(i)));
        const double overlap = std::min(right, last[root] + 1.0) - std::max(left, static_cast<double>(first[root]));
        beside[i] = overlap * 2 >= right - left;
    }
    return beside;
}

} // namespace

bool loneInk(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, const PlotArea& area, const PixelMask* hidden,
             double slack, const std::vector<std::vector<PixelPoint>>& others, const std::vector<PixelRect>& letters,
             const std::vector<PixelRect>& samples, const LoneInkJudges& judges)
{
    // A label's marks that the letters' search missed (the "=" of "n=700", a
    // "p" hanging below the line) lie on its line of text, or a letter beyond its ends.
    std::vector<PixelRect> text = textLines(letters);
    for (PixelRect& line : text) {
        line.left -= line.height;
        line.width += 2 * line.height;
    }
    if (trace.size() < 2) return false;
    const double left = trace.front().x, right = trace.back().x, thickness = lineThickness(columns, trace);
    std::vector<const std::vector<PixelPoint>*> beside;
    for (const std::vector<PixelPoint>& other : others)
        if (besideTrace(other, left, right)) beside.push_back(&other);
    // A run on a line beside the trace is that line's ink.
    const auto onBeside = [&](double centre, const ColumnRun& run) {
        const double middle = (run.top + run.bottom + 1) / 2.0;
        return std::any_of(beside.begin(), beside.end(), [&](const std::vector<PixelPoint>* other) {
            return centre >= other->front().x - slack && centre <= other->back().x + slack &&
                   std::abs(middle - rowAt(*other, centre)) - (run.bottom - run.top + 1) / 2.0 <= thickness + BesideRows;
        });
    };
    std::vector<StrayRun> strays;
    for (int x = 0; x < columns.width(); ++x) {
        const double centre = x + 0.5;
        const bool beyond = centre < left - slack || centre > right + slack;
        const bool within = centre >= left && centre <= right;
        for (const ColumnRun& run : columns.column(x)) {
            const double middle = (run.top + run.bottom + 1) / 2.0;
            if (!area.contains(centre, middle) || alongHidden(hidden, x, middle) || onBeside(centre, run) ||
                inText(text, centre, middle) || inText(samples, centre, middle) || (judges.otherInk && judges.otherInk(x, run)))
                continue;
            const double off = std::abs(middle - (within ? rowAt(trace, centre) : middle)) - (run.bottom - run.top + 1) / 2.0;
            if (beyond || off > thickness + BesideRows) strays.push_back({x, run.top, run.bottom});
            else if (judges.clicked && !within) strays.push_back({x, run.top, run.bottom, false});
        }
    }
    // The line clicked is the curve meant: the stray ink that links into
    // another line beside it over half its columns (a dashed or dotted curve
    // of the family, traced from no piece of its own) is that curve's.
    if (judges.clicked) {
        const std::vector<bool> besideLine = besideLines(strays, left, right);
        std::vector<StrayRun> kept;
        for (std::size_t i = 0; i < strays.size(); ++i)
            if (!besideLine[i]) kept.push_back(strays[i]);
        strays = std::move(kept);
    }
    double stray = 0;
    int lastColumn = -1;
    for (const StrayRun& run : strays)
        if (run.counted && run.x != lastColumn) {
            ++stray;
            lastColumn = run.x;
        }
    return stray <= StrayShare * (right - left);
}

bool endAtEdge(const PixelPoint& end, const PlotArea& area, const AxisCalibration& calibration, double margin)
{
    if (atAreaEdge(area, end, margin)) return true;
    // Without a frame the axes' outermost numbers mark where the plot ends.
    const AlongReferences a = alongReferences(calibration, end, margin);
    return std::abs(a.x) <= a.xSlack || std::abs(a.x - 1) <= a.xSlack || std::abs(a.y) <= a.ySlack || std::abs(a.y - 1) <= a.ySlack;
}

bool endAtInnerEdge(const PixelPoint& end, const PlotArea& area, const AxisCalibration& calibration, double margin)
{
    if (!atAreaEdge(area, end, margin)) return false;
    const AlongReferences a = alongReferences(calibration, end, margin);
    return a.x > a.xSlack && a.x < 1 - a.xSlack && a.y > a.ySlack && a.y < 1 - a.ySlack;
}

} // namespace calvero::capture
