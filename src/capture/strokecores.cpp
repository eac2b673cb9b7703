#include "capture/strokecores.h"

#include <algorithm>
#include <vector>

namespace calvero::capture {

namespace {

// How much looser than the colour's tolerance a core may be, at most.
constexpr double CoreSlack = 15.0;

// How much lighter than the lighter of its two ends a core's pixel may be (luminance, 0-255).
constexpr double CoreLighter = 2.0;

// Along one line of pixels (a column or a row), given as `count` pixels read
// through `matched`, `near` and `lightness`: the stretches between two
// matched pixels, all near, none lighter than the ends (a core is the line's
// darkest part; a paler gap is the paper, a grid line or another colour's
// fringe between two lines), short enough; `fill` sets each of their pixels.
template <typename Matched, typename Near, typename Lightness, typename Fill>
void coresAlong(int count, Matched matched, Near near, Lightness lightness, Fill fill)
{
    int lastMatched = -1;
    for (int i = 0; i < count; ++i) {
        if (!matched(i)) continue;
        const int gap = i - lastMatched - 1;
        if (lastMatched >= 0 && gap > 0 && gap <= LongestStrokeCore) {
            const double lightest = std::max(lightness(lastMatched), lightness(i)) + CoreLighter;
            bool core = true;
            for (int k = lastMatched + 1; k < i && core; ++k) core = near(k) && lightness(k) <= lightest;
            if (core)
                for (int k = lastMatched + 1; k < i; ++k) fill(k);
        }
        lastMatched = i;
    }
}

} // namespace

double strokeCoreTolerance(double tolerance) { return tolerance + std::min(tolerance, CoreSlack); }

void fillStrokeCores(PixelMask& mask, const PixelBuffer& picture, const ColourMatcher& near)
{
    const int width = mask.width(), height = mask.height();
    if (width != picture.width() || height != picture.height()) return;
    // Along the rows (a steep line's core), then down the columns (a level
    // one's), the rows' cores counting as the colour there.
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* pixels = picture.row(y);
        coresAlong(width, [&](int x) { return mask.row(y)[x] != 0; }, [&](int x) { return near.matches(pixels[x]); },
                   [&](int x) { return luminance(pixels[x]); }, [&](int x) { mask.row(y)[x] = 1; });
    }
    for (int x = 0; x < width; ++x)
        coresAlong(height, [&](int y) { return mask.row(y)[x] != 0; }, [&](int y) { return near.matches(picture.row(y)[x]); },
                   [&](int y) { return luminance(picture.row(y)[x]); }, [&](int y) { mask.row(y)[x] = 1; });
}

} // namespace calvero::capture
