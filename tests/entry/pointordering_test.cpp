#include "entry/pointordering.h"
#include "entry/gridinput.h"

#include <gtest/gtest.h>

using namespace calvero;

namespace {

class Staging : public ::testing::Test {
protected:
    void setPoint(int i, double x, double y, double z)
    {
        points.x[i] = x;
        points.y[i] = y;
        points.z[i] = z;
    }
    PointSet points;
    PointGrid grid;
};

} // namespace

TEST_F(Staging, SortMovesWholePointsAndRefreshesTheGrid)
{
    setPoint(1, 5, 50, 500);
    setPoint(2, 1, 10, 100);
    setPoint(3, 3, 30, 300);
    points.count = 3;
    sortPointsByX(points, grid);
    EXPECT_EQ(grid.cell(1, 1), "     1.00000");
    EXPECT_EQ(grid.cell(2, 2), "    30.00000");
    EXPECT_EQ(grid.cell(3, 3), "   500.00000");
    EXPECT_EQ(points.y[1], 10);
    EXPECT_EQ(points.x[3], 5);
}

TEST_F(Staging, ExchangeSortOrderForEqualAbscissas)
{
    setPoint(1, 3, 0, 0);
    setPoint(2, 2, 1, 0);
    setPoint(3, 2, 2, 0);
    setPoint(4, 1, 0, 0);
    points.count = 4;
    sortPointsByX(points, grid);
    const double xs[] = {1, 2, 2, 3};
    const double ys[] = {0, 2, 1, 0};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(points.x[i], xs[i - 1]);
        EXPECT_EQ(points.y[i], ys[i - 1]) << "point " << i;
    }
}

TEST_F(Staging, NothingToSortOnlyRefreshes)
{
    setPoint(1, 5, 1, 0);
    setPoint(2, 1, 1, 0);
    points.count = 1;
    sortPointsByX(points, grid);
    EXPECT_EQ(points.x[1], 5);
    EXPECT_EQ(points.x[2], 1) << "points after count are not touched";
    EXPECT_EQ(grid.cell(2, 1), "     1.00000");
    EXPECT_EQ(grid.cell(200, 3), "     0.00000");
}

TEST_F(Staging, GridKeepsFullPrecisionThroughACount)
{
    setPoint(1, 0.000001, 1.123456789, 0);
    setPoint(2, 2, 2, 0);
    fillPointGrid(grid, points);
    EXPECT_EQ(grid.cell(1, 2), " 1.123456789");
    EXPECT_EQ(grid.cell(1, 1), "    0.000001");
    EXPECT_EQ(countPoints(grid, points, FitType::Polynomial).points, 2) << "a tiny x must not end the data set";
    EXPECT_EQ(points.y[1], 1.123456789);
    EXPECT_EQ(points.x[1], 0.000001);
}
