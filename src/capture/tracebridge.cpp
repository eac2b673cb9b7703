#include "capture/tracebridge.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

namespace {

// The trend is taken over this many columns at the end of each trace.
constexpr std::size_t TrendColumns = 30;
// Both trends carried to the middle of the gap meet there within this many
// pixels, and this share of the gap more (a bend that is no parabola; a
// parabola's two tangents meet half way whatever its bend), and their
// slopes differ by at most this many rows per column.
constexpr double MeetRows = 3.0;
constexpr double MeetShare = 0.03;
constexpr double SlopeChange = 0.5;

struct Trend {
    double y;     // at the end
    double slope; // rows per column
};

// The straight line fitted to the points, evaluated at x.
Trend trendAt(std::vector<PixelPoint>::const_iterator first, std::vector<PixelPoint>::const_iterator last, double x)
{
    const double n = static_cast<double>(last - first);
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (auto p = first; p != last; ++p) sx += p->x, sy += p->y, sxx += p->x * p->x, sxy += p->x * p->y;
    const double spread = n * sxx - sx * sx;
    const double slope = spread > 0 ? (n * sxy - sx * sy) / spread : 0;
    return {(sy - slope * sx) / n + slope * x, slope};
}

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
    const Trend end = trendAt(left.end() - static_cast<long>(std::min(TrendColumns, left.size())), left.end(), x0);
    const Trend start = trendAt(right.begin(), right.begin() + static_cast<long>(std::min(TrendColumns, right.size())), x1);
    const double fromLeft = end.y + end.slope * gap / 2, fromRight = start.y - start.slope * gap / 2;
    if (std::abs(fromLeft - fromRight) > MeetRows + MeetShare * gap || std::abs(end.slope - start.slope) > SlopeChange)
        return std::nullopt;
    std::vector<PixelPoint> joined = left;
    // Across the gap, the cubic that leaves each end along its trend.
    for (double x = x0 + 1; x < x1; ++x) {
        const double t = (x - x0) / gap, t2 = t * t, t3 = t2 * t;
        const double y = (2 * t3 - 3 * t2 + 1) * end.y + (t3 - 2 * t2 + t) * gap * end.slope + (-2 * t3 + 3 * t2) * start.y +
                         (t3 - t2) * gap * start.slope;
        joined.push_back({x, y});
    }
    joined.insert(joined.end(), right.begin(), right.end());
    return joined;
}

} // namespace calvero::capture
