#include "capture/faintlines.h"

#include "capture/colour.h"
#include "capture/median.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// Each pixel's row is averaged over this many pixels each side along it.
constexpr int Reach = 7;
// The rows compared lie this far off (and a share of the picture's larger
// side: a 300 dpi scan's blur widens a line), beyond a blurred line's edge.
constexpr int Offset = 3;
constexpr double OffsetShare = 0.001;
// A line's row is darker than both of them by this many times the spread
// of that difference over the picture (its grain), and this many levels.
constexpr double Spread = 5;
constexpr double LeastDarker = 2;
// The spread is measured on this many pixels at most, evenly taken.
constexpr std::size_t Samples = 200000;

// For one direction: lines across when `across`, read along rows.
PixelMask faintOneWay(const std::vector<float>& lum, int width, int height, bool across)
{
    const int count = across ? height : width, length = across ? width : height;
    const int offset = Offset + static_cast<int>(OffsetShare * std::max(width, height));
    PixelMask mask(width, height);
    if (count <= 2 * offset || length <= 2 * Reach) return mask;
    // The mean of each pixel's stretch along its row (column).
    std::vector<float> means(static_cast<std::size_t>(count) * static_cast<std::size_t>(length));
    std::vector<double> sums(static_cast<std::size_t>(length) + 1);
    for (int c = 0; c < count; ++c) {
        for (int a = 0; a < length; ++a)
            sums[static_cast<std::size_t>(a) + 1] =
                sums[static_cast<std::size_t>(a)] + lum[across ? static_cast<std::size_t>(c) * width + a : static_cast<std::size_t>(a) * width + c];
        for (int a = 0; a < length; ++a) {
            const int from = std::max(0, a - Reach), to = std::min(length - 1, a + Reach);
            means[static_cast<std::size_t>(c) * length + a] =
                static_cast<float>((sums[static_cast<std::size_t>(to) + 1] - sums[static_cast<std::size_t>(from)]) / (to - from + 1));
        }
    }
    const auto darker = [&](int c, int a) {
        const auto at = [&](int cc) { return means[static_cast<std::size_t>(cc) * length + a]; };
        return std::min(at(c - offset), at(c + offset)) - at(c);
    };
    std::vector<double> sample;
    const std::size_t all = static_cast<std::size_t>(count - 2 * offset) * static_cast<std::size_t>(length);
    const std::size_t step = std::max<std::size_t>(1, all / Samples);
    for (std::size_t i = 0; i < all; i += step)
        sample.push_back(std::abs(darker(offset + static_cast<int>(i / length), static_cast<int>(i % length))));
    const double limit = std::max(LeastDarker, Spread * 1.4826 * median(sample));
    for (int c = offset; c < count - offset; ++c)
        for (int a = 0; a < length; ++a)
            if (darker(c, a) > limit) across ? mask.set(a, c, true) : mask.set(c, a, true);
    return mask;
}

} // namespace

FaintLineInk faintLineInk(const PixelBuffer& picture)
{
    const int w = picture.width(), h = picture.height();
    std::vector<float> lum(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) lum[static_cast<std::size_t>(y) * w + x] = static_cast<float>(luminance(picture.pixel(x, y)));
    return {faintOneWay(lum, w, h, true), faintOneWay(lum, w, h, false)};
}

} // namespace calvero::capture
