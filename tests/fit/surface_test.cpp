#include "fit/fault.h"
#include "fit/surface.h"

#include <gtest/gtest.h>

using namespace calvero;

namespace {

SurfacePoints gridOf(double (*f)(double, double), int side, int& n)
{
    SurfacePoints points{};
    n = 0;
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            ++n;
            points[n] = {1.0 + i, 1.0 + 0.5 * j, f(1.0 + i, 1.0 + 0.5 * j)};
        }
    return points;
}

} // namespace

TEST(Surface, TermCountsAndOrder)
{
    EXPECT_EQ(surfaceTermCount(1), 3);
    EXPECT_EQ(surfaceTermCount(2), 6);
    EXPECT_EQ(surfaceTermCount(3), 10);
    EXPECT_EQ(surfaceTermCount(4), 15);
    EXPECT_EQ(surfaceTermCount(5), 0);
    // x = 2, y = 3: 1, x, y, x², y², xy, x³, y³, xy², x²y, x⁴, y⁴, xy³, x²y², x³y
    const double expected[] = {1, 2, 3, 4, 9, 6, 8, 27, 18, 12, 16, 81, 54, 36, 24};
    for (int k = 1; k <= 15; ++k) EXPECT_EQ(surfaceTerm(k, 2, 3), expected[k - 1]) << k;
}

TEST(Surface, PlaneOnAThreeByThreeGridWithDegreeTwo)
{
    int n = 0;
    const SurfacePoints points = gridOf([](double x, double y) { return 1 + 2 * x + 3 * y; }, 3, n);
    const SurfaceCoefficients K = fitSurface(points, n, 2);
    const double expected[] = {1, 2, 3, 0, 0, 0};
    for (int k = 1; k <= 6; ++k) EXPECT_NEAR(K[k], expected[k - 1], 1e-9) << k;
}

TEST(Surface, CubicTermXYSquared)
{
    int n = 0;
    const SurfacePoints points = gridOf([](double x, double y) { return x * y * y; }, 4, n);
    const SurfaceCoefficients K = fitSurface(points, n, 3);
    for (int k = 1; k <= 10; ++k) EXPECT_NEAR(K[k], k == 9 ? 1.0 : 0.0, 1e-7) << k;
    EXPECT_NEAR(evaluateSurface(K, 2, 3, 3), 18.0, 1e-7);
}

TEST(Surface, DegreeFourOnAFiveByFiveGrid)
{
    int n = 0;
    const SurfacePoints points =
        gridOf([](double x, double y) { return 10 - x + 0.5 * x * x * y * y - 0.25 * x * x * x * y; }, 5, n);
    const SurfaceCoefficients K = fitSurface(points, n, 4);
    EXPECT_NEAR(evaluateSurface(K, 2.5, 1.75, 4), 10 - 2.5 + 0.5 * 6.25 * 1.75 * 1.75 - 0.25 * 15.625 * 1.75, 1e-5);
    EXPECT_NEAR(K[14], 0.5, 1e-5);
    EXPECT_NEAR(K[15], -0.25, 1e-5);
}

TEST(Surface, EvaluationIgnoresTermsBeyondTheDegree)
{
    SurfaceCoefficients K{};
    for (int k = 1; k <= 15; ++k) K[k] = 1000.0 * k;
    K[1] = 1, K[2] = 1, K[3] = 1, K[4] = 0, K[5] = 0, K[6] = 1;
    EXPECT_EQ(evaluateSurface(K, 2, 3, 2), 1 + 2 + 3 + 6);
}

TEST(Surface, PointsOnOneLineCannotDetermineTheSurface)
{
    SurfacePoints points{};
    for (int i = 1; i <= 6; ++i) points[i] = {double(i), double(i), 1.0 + i};
    EXPECT_THROW(fitSurface(points, 6, 2), ArithmeticFault);
}
