// Ticks a scan left a few levels darker than its grainy paper, found
// between each label and the axis line; noise never places a label.
#include "capture/faintticks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

using namespace calvero::capture;

namespace {

constexpr int Paper = 235;

std::uint32_t grey(int level)
{
    const auto v = static_cast<std::uint32_t>(std::clamp(level, 0, 255));
    return 0xff000000u | v << 16 | v << 8 | v;
}

// Grainy paper, the grain within +-8 levels (a fixed seed: the same picture every run).
PixelBuffer grainyPaper(int width, int height)
{
    PixelBuffer p = *PixelBuffer::create(width, height);
    std::mt19937 noise(12345);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.setPixel(x, y, grey(Paper - 8 + static_cast<int>(noise() % 17)));
    return p;
}

// A tick one pixel thick blurred over three rows (darkness 1/4, 1/2, 1/4
// of `contrast` twice over), its middle half a pixel below row `row`'s
// top plus one: at row + 1.5; across columns `from` to `to`. An x axis's
// tick is the same turned: down a column, across rows `from` to `to`.
void faintTick(PixelBuffer& p, int row, int contrast, int from, int to, bool alongX)
{
    const int shares[] = {contrast / 2, contrast, contrast / 2};
    for (int k = 0; k < 3; ++k)
        for (int a = from; a <= to; ++a) {
            const int x = alongX ? row + k : a, y = alongX ? a : row + k;
            const int level = static_cast<int>(p.pixel(x, y) & 0xff);
            p.setPixel(x, y, grey(level - shares[k]));
        }
}

} // namespace

TEST(FaintTicks, TicksAFontHoldsAlikeOffItsNumbersPlaceThemAndNoiseNever)
{
    struct Case {
        const char* name;
        int contrast;
        std::vector<double> offsets; // each tick's middle from its label's middle; NaN: none drawn
        double bandWidth;
        bool found;
    };
    const double none = std::nan("");
    const Case cases[] = {
        {"faint ticks three pixels below the numbers' middles", 14, {3, 3, 3, 3}, 11, true},
        {"one tick lost: its label stands as the others do", 14, {3, none, 3, 3}, 11, true},
        {"grain alone", 0, {3, 3, 3, 3}, 11, false},
        {"darkness at odd places is no font's ticks", 14, {3, -6, 1, 6}, 11, false},
        {"only two of four labels show one", 14, {3, none, none, 3}, 11, false},
        // Drawn on whole pixels, a tick is up to half a pixel off; the numbers' middles are not.
        {"ticks a pixel off the numbers' middles", 14, {1, 1, 1, 1}, 11, false},
        {"no room between the numbers and the line", 14, {3, 3, 3, 3}, 1, false},
    };
    for (const Case& c : cases)
        for (const bool alongX : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (alongX ? ", x axis" : ", y axis"));
            PixelBuffer p = alongX ? grainyPaper(420, 200) : grainyPaper(200, 420);
            std::vector<FaintTickSearch> labels;
            for (std::size_t i = 0; i < c.offsets.size(); ++i) {
                const double middle = 50.5 + 100 * static_cast<double>(i);
                // The tick's middle at row + 1.5 (see faintTick).
                if (c.contrast > 0 && !std::isnan(c.offsets[i]))
                    faintTick(p, static_cast<int>(middle + c.offsets[i] - 1.5), c.contrast, 120, 130, alongX);
                labels.push_back({middle, alongX ? PixelRect{0, 120, 0, c.bandWidth} : PixelRect{120, 0, c.bandWidth, 0}});
            }
            const std::vector<std::optional<double>> ticks = faintTicks(p, Paper, labels, alongX, 9, 1.5);
            ASSERT_EQ(ticks.size(), labels.size());
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                EXPECT_EQ(ticks[i].has_value(), c.found) << "label " << i;
                if (ticks[i] && c.found) EXPECT_NEAR(*ticks[i], labels[i].middle + 3, 0.4) << "label " << i;
            }
        }
}
