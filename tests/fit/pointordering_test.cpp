#include "fit/session.h"
#include "fit/pointordering.h"
#include "fit/workingset.h"

#include <gtest/gtest.h>

using namespace calvero;

namespace {

class Staging : public ::testing::Test {
protected:
    void SetUp() override { resetSession(); }
    void setPoint(int i, double x, double y, double z)
    {
        session().points.x[i] = x;
        session().points.y[i] = y;
        session().points.z[i] = z;
    }
};

} // namespace

TEST_F(Staging, SortMovesWholePointsAndRefreshesTheGrid)
{
    setPoint(1, 5, 50, 500);
    setPoint(2, 1, 10, 100);
    setPoint(3, 3, 30, 300);
    session().points.count = 3;
    sortPointsByX();
    EXPECT_EQ(session().grid.cell(1, 1), "     1.00000");
    EXPECT_EQ(session().grid.cell(2, 2), "    30.00000");
    EXPECT_EQ(session().grid.cell(3, 3), "   500.00000");
    EXPECT_EQ(session().points.y[1], 10);
    EXPECT_EQ(session().staging.x[3], 5);
}

TEST_F(Staging, ExchangeSortOrderForEqualAbscissas)
{
    setPoint(1, 3, 0, 0);
    setPoint(2, 2, 1, 0);
    setPoint(3, 2, 2, 0);
    setPoint(4, 1, 0, 0);
    session().points.count = 4;
    sortPointsByX();
    const double xs[] = {1, 2, 2, 3};
    const double ys[] = {0, 2, 1, 0};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(session().points.x[i], xs[i - 1]);
        EXPECT_EQ(session().points.y[i], ys[i - 1]) << "point " << i;
    }
}

TEST_F(Staging, NothingToSortOnlyRefreshes)
{
    setPoint(1, 5, 1, 0);
    setPoint(2, 1, 1, 0);
    session().points.count = 1;
    sortPointsByX();
    EXPECT_EQ(session().points.x[1], 5);
    EXPECT_EQ(session().points.x[2], 1) << "points after count are not touched";
    EXPECT_EQ(session().grid.cell(2, 1), "     1.00000");
    EXPECT_EQ(session().grid.cell(200, 3), "     0.00000");
}

TEST_F(Staging, GridKeepsFullPrecisionThroughACount)
{
    setPoint(1, 0.000001, 1.123456789, 0);
    setPoint(2, 2, 2, 0);
    fillPointGrid();
    EXPECT_EQ(session().grid.cell(1, 2), " 1.123456789");
    EXPECT_EQ(session().grid.cell(1, 1), "    0.000001");
    EXPECT_EQ(countPoints().points, 2) << "a tiny x must not end the data set";
    EXPECT_EQ(session().points.y[1], 1.123456789);
    EXPECT_EQ(session().points.x[1], 0.000001);
}
