#include "fit/workingset.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace calvero;

namespace {

class WorkingSet : public ::testing::Test {
protected:
    PointSet& points() { return points_; }
    int countStoredPoints() { return calvero::countStoredPoints(points_); }

    PointSet points_;
};

} // namespace

TEST_F(WorkingSet, CountStoredPointsUsesTheArrays)
{
    points().x[1] = 1;
    points().y[1] = 1;
    points().x[2] = 0;
    points().y[2] = 3;
    EXPECT_EQ(countStoredPoints(), 2);
    for (int r = 1; r <= 200; ++r) points().x[r] = r;
    EXPECT_EQ(countStoredPoints(), 200);
}

TEST_F(WorkingSet, ExtremesKeepTheEarliestOfEqualValues)
{
    points().foundCount = 4;
    const double xs[] = {3, -1, 7, 7};
    const double ys[] = {0.0, -0.0, 2, -5};
    for (int i = 1; i <= 4; ++i) {
        points().x[i] = xs[i - 1];
        points().y[i] = ys[i - 1];
    }
    EXPECT_EQ(maxX(points()), 7);
    EXPECT_EQ(minX(points()), -1);
    EXPECT_EQ(maxY(points()), 2);
    EXPECT_EQ(minY(points()), -5);
    points().foundCount = 1;
    EXPECT_EQ(maxX(points()), 3);
    EXPECT_EQ(minY(points()), 0.0);
    EXPECT_FALSE(std::signbit(minY(points())));
}

TEST(KindTexts, NamesAndCaptionsKeepTheirBlanks)
{
    const int nameLengths[] = {12, 22, 22, 15, 16, 17, 8, 17};
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(kindName(static_cast<FitType>(k)).size(), nameLengths[k - 1]) << k;
    EXPECT_EQ(kindCaption(FitType::Power), "POTENZA  ");
    EXPECT_EQ(kindCaption(FitType::TemperatureTime), "CURVA temperatura-tempo ");
    EXPECT_EQ(kindName(static_cast<FitType>(9)), "");
}
