#include "capture/straightlines.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// A line drawn dotted or broken by the scan still counts across gaps this wide.
constexpr int LineGap = 3;
// No line is shorter than this, however small the picture.
constexpr double ShortestLine = 30;
// Shares of the references' distance and of the picture a line spans at least.
constexpr double ReferenceShare = 0.4;
constexpr double PictureShare = 0.15;
// Beyond this slope the references are not along an axis drawn straight.
constexpr double SteepestAxis = 0.2;

struct Stretch {
    double offset; // the line's start row (or column) at position 0
    int first;
    int last;
};

// Lines along (position, offset + slope * position), positions 0..length-1,
// the cross coordinate 0..breadth-1; `inked` tells whether a pixel is set.
template <typename Inked>
std::vector<Stretch> findStretches(int length, int breadth, double slope, double shortest, Inked inked)
{
    std::vector<Stretch> found;
    const double drift = slope * (length - 1);
    const int lowest = static_cast<int>(std::floor(std::min(0.0, -drift))) - 1;
    const int highest = static_cast<int>(std::ceil(breadth + std::max(0.0, -drift))) + 1;
    for (int start = lowest; start <= highest; ++start) {
        int runStart = -1;
        int lastInk = -LineGap - 2;
        const auto close = [&] {
            if (runStart >= 0 && lastInk - runStart + 1 >= shortest) found.push_back({double(start), runStart, lastInk});
        };
        for (int position = 0; position < length; ++position) {
            const int across = static_cast<int>(std::floor(start + slope * position + 0.5));
            if (across < 0 || across >= breadth || !inked(position, across)) continue;
            if (position - lastInk - 1 > LineGap) {
                close();
                runStart = position;
            }
            lastInk = position;
        }
        close();
    }
    return found;
}

double slopeOf(double along, double across)
{
    if (!(std::abs(along) > 0)) return 0;
    const double slope = across / along;
    return std::abs(slope) <= SteepestAxis ? slope : 0;
}

} // namespace

LineDirections lineDirections(const AxesReferences& references, int width, int height)
{
    const PixelPoint xa = references.x.first, xb = references.x.second;
    const PixelPoint ya = references.y.first, yb = references.y.second;
    LineDirections directions;
    directions.acrossSlope = slopeOf(xb.x - xa.x, xb.y - xa.y);
    directions.downSlope = slopeOf(yb.y - ya.y, yb.x - ya.x);
    directions.acrossLength =
        std::max({ShortestLine, ReferenceShare * std::hypot(xb.x - xa.x, xb.y - xa.y), PictureShare * width});
    directions.downLength =
        std::max({ShortestLine, ReferenceShare * std::hypot(yb.x - ya.x, yb.y - ya.y), PictureShare * height});
    return directions;
}

void removeStraightLines(PixelMask& mask, const LineDirections& directions)
{
    const int width = mask.width();
    const int height = mask.height();
    // Both families are found before any pixel is cleared, so a frame's
    // corner or a grid crossing counts for both lines.
    const std::vector<Stretch> across = findStretches(width, height, directions.acrossSlope, directions.acrossLength,
                                                      [&](int x, int y) { return mask.at(x, y); });
    const std::vector<Stretch> down = findStretches(height, width, directions.downSlope, directions.downLength,
                                                    [&](int y, int x) { return mask.at(x, y); });
    for (const Stretch& s : across)
        for (int x = s.first; x <= s.last; ++x) {
            const int y = static_cast<int>(std::floor(s.offset + directions.acrossSlope * x + 0.5));
            for (int row = std::max(0, y - 1); row <= std::min(height - 1, y + 1); ++row) mask.set(x, row, false);
        }
    for (const Stretch& s : down)
        for (int y = s.first; y <= s.last; ++y) {
            const int x = static_cast<int>(std::floor(s.offset + directions.downSlope * y + 0.5));
            for (int column = std::max(0, x - 1); column <= std::min(width - 1, x + 1); ++column) mask.set(column, y, false);
        }
}

} // namespace calvero::capture
