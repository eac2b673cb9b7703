#include "common/numtext.h"
#include "fit/workingset.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace calvero;

namespace {

class WorkingSet : public ::testing::Test {
protected:
    PointGrid& grid() { return grid_; }
    PointSet& points() { return points_; }
    PointCount countPoints() { return calvero::countPoints(grid_, points_, kind); }
    int countStoredPoints() { return calvero::countStoredPoints(points_); }

    PointGrid grid_;
    PointSet points_;
    FitType kind = FitType::Polynomial;
    void setRow(int row, const std::string& x, const std::string& y, const std::string& z = "")
    {
        grid().setCell(row, 1, x);
        grid().setCell(row, 2, y);
        grid().setCell(row, 3, z);
    }
};

} // namespace

TEST_F(WorkingSet, EmptyGridCountsNothing)
{
    EXPECT_EQ(countPoints().points, 0);
    EXPECT_EQ(points().count, 0);
    EXPECT_EQ(points().foundCount, 0);
}

TEST_F(WorkingSet, CountStopsAtTheFirstZeroPair)
{
    setRow(1, "1", "2");
    setRow(2, "2", "4");
    setRow(3, "3", "6");
    EXPECT_EQ(countPoints().points, 3);
    setRow(2, "0", "0");
    EXPECT_EQ(countPoints().points, 1);
    setRow(2, "0", "5");
    EXPECT_EQ(countPoints().points, 3) << "x = 0 with y = 5 is a point";
    EXPECT_EQ(points().x[2], 0.0);
    EXPECT_EQ(points().y[2], 5.0);
}

TEST_F(WorkingSet, DecimalCommaAndZColumn)
{
    setRow(1, "1,5", " 2.5", "3e1");
    const PointCount counted = countPoints();
    EXPECT_EQ(counted.points, 1);
    EXPECT_EQ(points().x[1], 1.5);
    EXPECT_EQ(points().y[1], 2.5);
    EXPECT_EQ(points().z[1], 30.0);
    EXPECT_FALSE(counted.invalidCell.has_value());
}

TEST_F(WorkingSet, EmptiedRowEndsTheDataSetInsteadOfKeepingOldValues)
{
    for (int r = 1; r <= 5; ++r) setRow(r, std::to_string(r), std::to_string(r * r));
    EXPECT_EQ(countPoints().points, 5);
    setRow(3, "", "");
    EXPECT_EQ(countPoints().points, 2);
    EXPECT_EQ(points().x[3], 0.0);
}

TEST_F(WorkingSet, NonNumericCellIsReportedNotSilentlyKept)
{
    setRow(1, "1", "2");
    setRow(2, "2", "abc", "x");
    setRow(3, "3", "4,5.6");
    PointCount counted = countPoints();
    EXPECT_EQ(counted.points, 3);
    ASSERT_TRUE(counted.invalidCell.has_value());
    EXPECT_EQ(*counted.invalidCell, (InvalidCell{2, 2, "abc"}));
    EXPECT_EQ(points().y[2], 0.0);
    setRow(2, "2", "3", "x");
    kind = FitType::SurfaceXY; // the one kind that reads z
    counted = countPoints();
    ASSERT_TRUE(counted.invalidCell.has_value());
    EXPECT_EQ(counted.invalidCell->column, 3);
    EXPECT_EQ(counted.invalidCell->row, 2);
    setRow(2, "2", "3", "");
    setRow(3, "3", "4.5");
    EXPECT_FALSE(countPoints().invalidCell.has_value()) << "a fresh count forgets the old fault";
}

TEST_F(WorkingSet, ZIsJudgedOnlyForTheSurfaceAndNotOnTheEndRow)
{
    struct Case {
        FitType kind;
        int zRow; // the row whose z is "x"; row 3 ends the data
        bool reported;
    };
    for (const Case c : {Case{FitType::Polynomial, 1, false}, Case{FitType::Scatter, 2, false},
                         Case{FitType::SurfaceXY, 2, true}, Case{FitType::SurfaceXY, 3, false}}) {
        grid_.clear();
        kind = c.kind;
        setRow(1, "1", "2", "5");
        setRow(2, "2", "4", "6");
        setRow(3, "0", " ", "   ");
        grid().setCell(c.zRow, 3, "x");
        const PointCount counted = countPoints();
        EXPECT_EQ(counted.points, 2) << "a blank cell is empty";
        EXPECT_EQ(counted.invalidCell.has_value(), c.reported) << "kind " << int(c.kind) << ", row " << c.zRow;
    }
    setRow(3, "\t", "  ", "");
    EXPECT_FALSE(countPoints().invalidCell.has_value()) << "blanks and tabs count as empty";
}

TEST_F(WorkingSet, CellsAreCutTo130Characters)
{
    setRow(1, "1" + std::string(129, '0') + "junk", "1");
    EXPECT_FALSE(countPoints().invalidCell.has_value());
    EXPECT_EQ(points().x[1], 1e129);
}

TEST_F(WorkingSet, TwoHundredRowsGiveTwoHundredPoints)
{
    for (int r = 1; r <= 200; ++r) setRow(r, std::to_string(r), "1");
    EXPECT_EQ(countPoints().points, 200);
    EXPECT_EQ(points().foundCount, 200);
}

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
