// A label stretched to its own levels: a blurred stroke on grey paper comes
// out black on white, as wide as it was drawn at half way; grain alone is no letter.
#include "capture/labelcontrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace calvero::capture;

namespace {

// A stroke from column a to b on paper, blurred by a Gaussian of the given
// spread, sampled `perPixel` times a pixel across 24 pixels: the paper less
// (paper - ink) times the share of the blur's weight falling on the stroke.
std::vector<unsigned char> blurredStroke(double paper, double ink, double a, double b, double spread, int perPixel)
{
    const auto below = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
    std::vector<unsigned char> samples;
    for (int i = 0; i < 24 * perPixel; ++i) {
        const double x = (i + 0.5) / perPixel;
        const double share = below((x - a) / spread) - below((x - b) / spread);
        samples.push_back(static_cast<unsigned char>(std::lround(paper - (paper - ink) * share)));
    }
    return samples;
}

} // namespace

TEST(LabelContrast, ABlurredStrokeOnGreyPaperComesOutBlackOnWhiteAsWideAsDrawn)
{
    struct Case {
        double paper, ink, width, spread;
        int perPixel;
    };
    // Scans' papers 0.84-0.94 of white, ink 2-12 % grey, blur 0.5-1.1 pixel
    // (strokes at least four spreads wide); enlarged 3 to 8 times.
    const Case cases[] = {{214, 5, 2, 0.5, 4}, {240, 30, 5, 1.1, 8}, {222, 20, 4, 0.8, 3}, {255, 0, 1.5, 0.3, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        std::vector<unsigned char> samples = blurredStroke(c.paper, c.ink, 10, 10 + c.width, c.spread, c.perPixel);
        const auto levels = inkLevels(samples);
        ASSERT_TRUE(levels);
        // The paper, and the stroke's middle, which the blur lightens by the
        // weight falling beyond its edges: 2 (1 - Phi(w / 2s)).
        const double core = c.ink + (c.paper - c.ink) * std::erfc(c.width / (2 * c.spread) / std::sqrt(2.0));
        EXPECT_NEAR(levels->paper, c.paper, 1);
        EXPECT_NEAR(levels->ink, core, 5); // the darkest samples lie a little off the middle
        stretchLevels(samples, *levels);
        EXPECT_EQ(samples.front(), 255);
        EXPECT_EQ(*std::min_element(samples.begin(), samples.end()), 0);
        long black = 0;
        for (unsigned char s : samples) black += s < 128;
        EXPECT_NEAR(double(black) / c.perPixel, c.width, 0.25);
    }
}

TEST(LabelContrast, GrainOrAFaintMarkIsNoLetter)
{
    // Paper at 220 with grain of 8 levels either way, and a mark 12 levels darker: no levels.
    std::vector<unsigned char> samples;
    for (int i = 0; i < 400; ++i) samples.push_back(static_cast<unsigned char>(220 + (i * 7919 % 17) - 8));
    for (int i = 0; i < 40; ++i) samples.push_back(208);
    EXPECT_FALSE(inkLevels(samples));
    EXPECT_FALSE(inkLevels({}));
}

// Two digits blurred into one blot on a 150 dpi scan, enlarged: the gap
// between their strokes is darker than half way, so Tesseract's cut joins
// them. Sharpened, the gap opens past half way while the strokes stay dark,
// and the paper stays white.
TEST(LabelContrast, SharpeningOpensTheGapBetweenTwoBlurredStrokes)
{
    struct Case {
        const char* name;
        double firstStart, firstEnd, secondStart, secondEnd, spread;
    };
    // Strokes 7-8 pixels wide 3 apart, blurred as a 1-pixel blur enlarged three times or a little less.
    const Case cases[] = {{"strokes 8 wide, blur 3", 14, 22, 25, 33, 3}, {"strokes 7 wide, blur 2.5", 14, 21, 24, 31, 2.5}};
    const auto below = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
    constexpr int width = 60, height = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> row;
        for (int i = 0; i < width; ++i) {
            const double x = i + 0.5;
            const double share = below((x - c.firstStart) / c.spread) - below((x - c.firstEnd) / c.spread) +
                                 below((x - c.secondStart) / c.spread) - below((x - c.secondEnd) / c.spread);
            row.push_back(static_cast<unsigned char>(std::lround(255 - 255 * share)));
        }
        std::vector<unsigned char> grey;
        for (int y = 0; y < height; ++y) grey.insert(grey.end(), row.begin(), row.end());
        const auto at = [&](double x) { return grey[20 * width + static_cast<int>(x)]; };
        const double gap = (c.firstEnd + c.secondStart) / 2, first = (c.firstStart + c.firstEnd) / 2,
                     second = (c.secondStart + c.secondEnd) / 2;
        ASSERT_LT(at(gap), 128); // run together as drawn
        sharpenEdges(grey, width, height);
        EXPECT_GT(at(gap), 128);
        EXPECT_LT(at(first), 64);
        EXPECT_LT(at(second), 64);
        EXPECT_EQ(at(2), 255);
        EXPECT_EQ(at(width - 3), 255);
    }
}
