#include "capture/tracebridge.h"

#include "capture/curvetrace.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

namespace {

// Both trends carried to the middle of the gap meet there within this many
// pixels, and this share of the gap more (a bend that is no parabola; a
// parabola's two tangents meet half way whatever its bend), and their
// slopes differ by at most this many rows per column.
constexpr double MeetRows = 3.0;
constexpr double MeetShare = 0.03;
constexpr double SlopeChange = 0.5;

} // namespace

std::optional<std::vector<PixelPoint>> bridged(const std::vector<PixelPoint>& a, const std::vector<PixelPoint>& b,
                                               double maxGap)
{
    if (a.size() < 2 || b.size() < 2) return std::nullopt;
    const bool aFirst = a.back().x < b.front().x;
    if (!aFirst && !(b.back().x < a.front().x)) return std::nullopt;
    const std::vector<PixelPoint>& left = aFirst ? a : b;
    const std::vector<PixelPoint>& right = aFirst ? b : a;
    const double x0 = left.back().x, x1 = right.front().x, gap = x1 - x0;
    if (gap > maxGap) return std::nullopt;
    const EndTrend end = endTrend(left);
    const EndTrend start = endTrend(std::vector<PixelPoint>(right.rbegin(), right.rend()));
    const double fromLeft = end.row + end.slope * gap / 2, fromRight = start.row - start.slope * gap / 2;
    if (std::abs(fromLeft - fromRight) > MeetRows + MeetShare * gap || std::abs(end.slope - start.slope) > SlopeChange)
        return std::nullopt;
    std::vector<PixelPoint> joined = left;
    // Across the gap, the cubic that leaves each end along its trend.
    for (double x = x0 + 1; x < x1; ++x) {
        const double t = (x - x0) / gap, t2 = t * t, t3 = t2 * t;
        const double y = (2 * t3 - 3 * t2 + 1) * end.row + (t3 - 2 * t2 + t) * gap * end.slope + (-2 * t3 + 3 * t2) * start.row +
                         (t3 - t2) * gap * start.slope;
        joined.push_back({x, y});
    }
    joined.insert(joined.end(), right.begin(), right.end());
    return joined;
}

} // namespace calvero::capture
