#include "capture/tracecoverage.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

namespace {

// The end's direction: the least-squares slope of its last points.
constexpr std::size_t EndPoints = 20;
// Rows a run's middle may lie off the way the colour is followed, beyond
// half the line's thickness, and more for each column without a run.
constexpr double FollowRows = 3.0;
constexpr double FollowRowsPerBlindColumn = 0.1;
// The colour is followed across gaps up to this many columns, or this share of the picture's width.
constexpr int LongestGap = 40;
constexpr double LongestGapShare = 0.04;
// Runs longer than this are lines crossing, not the curve going on.
constexpr double LongestRun = 12.0;

struct End {
    PixelPoint at;
    double slope;
};

End endOf(const std::vector<PixelPoint>& trace, int step)
{
    const std::size_t n = std::min(trace.size(), EndPoints);
    const auto first = step > 0 ? trace.end() - static_cast<std::ptrdiff_t>(n) : trace.begin();
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (auto p = first; p != first + static_cast<std::ptrdiff_t>(n); ++p) {
        sx += p->x, sy += p->y, sxx += p->x * p->x, sxy += p->x * p->y;
    }
    const double spread = n * sxx - sx * sx;
    return {step > 0 ? trace.back() : trace.front(), spread > 0 ? (n * sxy - sx * sy) / spread : 0.0};
}

// How far (columns) the colour is followed from the end, in one direction.
int followedBeyond(const ColumnRuns& columns, const End& end, int step)
{
    double row = end.at.y;
    const double slope = end.slope;
    int reached = 0, blind = 0;
    const int longestGap = std::max(LongestGap, static_cast<int>(LongestGapShare * columns.width()));
    for (int x = static_cast<int>(std::floor(end.at.x)) + step; x >= 0 && x < columns.width() && blind <= longestGap;
         x += step) {
        ++blind;
        const double expected = row + slope * step * blind;
        const double allowed = FollowRows + FollowRowsPerBlindColumn * blind;
        const ColumnRun* best = nullptr;
        double bestDistance = allowed;
        bool crossing = false;
        for (const ColumnRun& run : columns.column(x)) {
            const double length = run.bottom - run.top + 1;
            const double distance = std::abs((run.top + run.bottom + 1) / 2.0 - expected) - length / 2;
            // A long run over the row expected is the curve merged with a line it crosses.
            if (length > LongestRun && distance <= 0) crossing = true;
            if (length <= LongestRun && distance <= bestDistance) {
                bestDistance = distance;
                best = &run;
            }
        }
        if (!best && !crossing) continue;
        row = best ? (best->top + best->bottom + 1) / 2.0 : expected;
        blind = 0;
        reached = std::abs(x + 0.5 - end.at.x) > reached ? static_cast<int>(std::abs(x + 0.5 - end.at.x)) : reached;
    }
    return reached;
}

} // namespace

std::optional<double> colourBeyondTrace(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, double slack)
{
    if (trace.size() < 2) return std::nullopt;
    std::optional<double> farthest;
    double longest = slack;
    for (int step : {-1, +1}) {
        const End end = endOf(trace, step);
        const int beyond = followedBeyond(columns, end, step);
        if (beyond > longest) {
            longest = beyond;
            farthest = end.at.x + step * beyond;
        }
    }
    return farthest;
}

} // namespace calvero::capture
