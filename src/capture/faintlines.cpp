#include "capture/faintlines.h"

#include "capture/colour.h"
#include "capture/median.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// Each pixel's row (column) is averaged over this many pixels each side along it.
constexpr int Reach = 7;
// The rows (columns) compared lie this far off, and a share of the
// picture's larger side (a 300 dpi scan's blur widens a line), beyond a
// blurred line's edge.
constexpr int Offset = 3;
constexpr double OffsetShare = 0.001;
// A line's row is darker than both of them by this many times the spread
// of that difference over the picture (its grain), and this many levels.
constexpr double Spread = 5;
constexpr double LeastDarker = 2;
// The spread is measured on about this many pixels, evenly taken.
constexpr long long Samples = 200000;

// How much darker each pixel's stretch along its row is than the stretches
// `offset` rows above and below it (the lighter of the two), visited as
// (x, y, darker); row by row, a few rows of means held at a time.
template <typename Visit>
void acrossDarkness(const PixelBuffer& picture, int offset, Visit visit)
{
    const int w = picture.width(), h = picture.height();
    const int held = 2 * offset + 1;
    std::vector<std::vector<float>> means(static_cast<std::size_t>(held), std::vector<float>(static_cast<std::size_t>(w)));
    std::vector<double> sums(static_cast<std::size_t>(w) + 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) sums[static_cast<std::size_t>(x) + 1] = sums[static_cast<std::size_t>(x)] + luminance(picture.pixel(x, y));
        std::vector<float>& row = means[static_cast<std::size_t>(y % held)];
        for (int x = 0; x < w; ++x) {
            const int from = std::max(0, x - Reach), to = std::min(w - 1, x + Reach);
            row[static_cast<std::size_t>(x)] =
                static_cast<float>((sums[static_cast<std::size_t>(to) + 1] - sums[static_cast<std::size_t>(from)]) / (to - from + 1));
        }
        if (y < 2 * offset) continue;
        const int c = y - offset;
        const std::vector<float>& above = means[static_cast<std::size_t>((c - offset) % held)];
        const std::vector<float>& own = means[static_cast<std::size_t>(c % held)];
        for (int x = 0; x < w; ++x)
            visit(x, c, std::min(above[static_cast<std::size_t>(x)], row[static_cast<std::size_t>(x)]) - own[static_cast<std::size_t>(x)]);
    }
}

// The same for columns: each pixel's stretch down its column against the
// columns `offset` left and right of it, the window of rows slid down.
template <typename Visit>
void downDarkness(const PixelBuffer& picture, int offset, Visit visit)
{
    const int w = picture.width(), h = picture.height();
    std::vector<double> sums(static_cast<std::size_t>(w), 0.0);
    std::vector<float> means(static_cast<std::size_t>(w));
    int first = 0, last = -1; // the rows summed
    for (int y = 0; y < h; ++y) {
        for (; last < std::min(h - 1, y + Reach);) {
            ++last;
            for (int x = 0; x < w; ++x) sums[static_cast<std::size_t>(x)] += luminance(picture.pixel(x, last));
        }
        for (; first < y - Reach; ++first)
            for (int x = 0; x < w; ++x) sums[static_cast<std::size_t>(x)] -= luminance(picture.pixel(x, first));
        for (int x = 0; x < w; ++x) means[static_cast<std::size_t>(x)] = static_cast<float>(sums[static_cast<std::size_t>(x)] / (last - first + 1));
        for (int x = offset; x < w - offset; ++x)
            visit(x, y,
                  std::min(means[static_cast<std::size_t>(x - offset)], means[static_cast<std::size_t>(x + offset)]) -
                      means[static_cast<std::size_t>(x)]);
    }
}

// The pixels darker than their neighbours by more than the grain's spread allows.
template <typename Darkness>
PixelMask faintOneWay(const PixelBuffer& picture, int offset, Darkness darkness)
{
    PixelMask mask(picture.width(), picture.height());
    const long long all = static_cast<long long>(picture.width()) * picture.height();
    const long long step = std::max(1LL, all / Samples);
    std::vector<double> sample;
    long long i = 0;
    darkness(picture, offset, [&](int, int, float d) {
        if (i++ % step == 0) sample.push_back(std::abs(d));
    });
    if (sample.empty()) return mask;
    const double limit = std::max(LeastDarker, Spread * 1.4826 * median(std::move(sample)));
    darkness(picture, offset, [&](int x, int y, float d) {
        if (d > limit) mask.set(x, y, true);
    });
    return mask;
}

} // namespace

FaintLineInk faintLineInk(const PixelBuffer& picture)
{
    const int offset = Offset + static_cast<int>(OffsetShare * std::max(picture.width(), picture.height()));
    if (picture.width() <= 2 * offset || picture.height() <= 2 * offset)
        return {PixelMask(picture.width(), picture.height()), PixelMask(picture.width(), picture.height())};
    return {faintOneWay(picture, offset, [](const PixelBuffer& p, int o, auto visit) { acrossDarkness(p, o, visit); }),
            faintOneWay(picture, offset, [](const PixelBuffer& p, int o, auto visit) { downDarkness(p, o, visit); })};
}

} // namespace calvero::capture
