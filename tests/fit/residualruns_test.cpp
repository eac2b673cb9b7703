// The runs test on the residuals' signs: its probabilities against a count of
// every arrangement of the signs, and the runs it finds in x order.
#include "fit/residualruns.h"

#include <gtest/gtest.h>

#include <vector>

using namespace calvero;

namespace {

// P(R <= runs) by enumerating every placement of the positive signs.
double enumeratedProbability(int runs, int positive, int negative)
{
    const int n = positive + negative;
    long favourable = 0, all = 0;
    for (unsigned mask = 0; mask < (1u << n); ++mask) {
        if (__builtin_popcount(mask) != positive) continue;
        int r = 1;
        for (int i = 1; i < n; ++i) r += ((mask >> i) & 1u) != ((mask >> (i - 1)) & 1u);
        ++all;
        if (r <= runs) ++favourable;
    }
    return static_cast<double>(favourable) / static_cast<double>(all);
}

TEST(ResidualRuns, ExactProbabilitiesAgreeWithEveryArrangement)
{
    // By hand: 7 and 4 signs in 3 runs or fewer, 2 + 6 + 3 of the 330 arrangements.
    EXPECT_NEAR(fewRunsProbability(3, 7, 4), 11.0 / 330.0, 1e-15);
    const int cases[][3] = {{2, 5, 5}, {3, 7, 4}, {4, 5, 6}, {5, 8, 8}, {7, 9, 6}, {10, 10, 10}, {2, 1, 12}, {3, 1, 12}};
    for (const auto& c : cases)
        EXPECT_NEAR(fewRunsProbability(c[0], c[1], c[2]), enumeratedProbability(c[0], c[1], c[2]), 1e-13)
            << c[0] << " runs, " << c[1] << " +, " << c[2] << " -";
    // Up to 200 points, beyond a double's table of factorials: the exact
    // fractions worked out with Python's integers (math.comb), rounded.
    const struct {
        int runs, positive, negative;
        double exact;
    } many[] = {{60, 100, 100, 2.881271753359181e-09},
                {80, 120, 70, 0.08136335232179784},
                {95, 100, 100, 0.21769405859476676},
                {40, 171, 29, 0.0033924440849943784}};
    for (const auto& c : many)
        EXPECT_NEAR(fewRunsProbability(c.runs, c.positive, c.negative) / c.exact, 1.0, 1e-14)
            << c.runs << " runs, " << c.positive << " +, " << c.negative << " -";
    // Beyond a thousand signs, where the binomials outgrow a double: summed
    // in logarithms, against the same exact fractions.
    const struct {
        int runs, positive, negative;
        double exact;
    } beyond[] = {{1000, 1000, 1000, 0.4910827240241045},
                  {960, 1000, 1000, 0.03500627422238351},
                  {2450, 2500, 2500, 0.07657104462296822},
                  {20000, 30000, 20000, 2.092227037197348e-303}};
    for (const auto& c : beyond)
        EXPECT_NEAR(fewRunsProbability(c.runs, c.positive, c.negative) / c.exact, 1.0, 1e-9)
            << c.runs << " runs, " << c.positive << " +, " << c.negative << " -";
}

TEST(ResidualRuns, SignsAreReadInXOrderAndZerosHaveNone)
{
    // Given out of order: by x the signs are + + - - - + +, three runs.
    const std::vector<double> x = {6, 1, 3, 7, 2, 4, 5, 2.5};
    const std::vector<double> r = {0.5, 0.3, -0.2, 0.4, 0.1, -0.1, -0.3, 1e-14};
    const std::optional<ResidualRuns> found = residualRuns(x, r, 1e-12);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->runs, 3);
    EXPECT_EQ(found->positive, 4);
    EXPECT_EQ(found->negative, 3);
    EXPECT_NEAR(found->probability, enumeratedProbability(3, 4, 3), 1e-15);
    // One sign only: no test.
    EXPECT_FALSE(residualRuns({1, 2, 3}, {0.1, 0.2, 0.0}, 1e-12));
}

} // namespace
