// The point grid and the main window's fields read into a calculation's
// input: the count, the cells that are not numbers, the temperatures.
#include "entry/gridinput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

using namespace calvero;

namespace {

class PointGridCount : public ::testing::Test {
protected:
    PointGrid& grid() { return grid_; }
    PointSet& points() { return points_; }
    PointCount countPoints() { return calvero::countPoints(grid_, points_, kind); }

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

TEST_F(PointGridCount, EmptyGridCountsNothing)
{
    EXPECT_EQ(countPoints().points, 0);
    EXPECT_EQ(points().count, 0);
    EXPECT_EQ(points().foundCount, 0);
}

TEST_F(PointGridCount, CountStopsAtTheFirstZeroPair)
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

TEST_F(PointGridCount, DecimalCommaAndZColumn)
{
    setRow(1, "1,5", " 2.5", "3e1");
    const PointCount counted = countPoints();
    EXPECT_EQ(counted.points, 1);
    EXPECT_EQ(points().x[1], 1.5);
    EXPECT_EQ(points().y[1], 2.5);
    EXPECT_EQ(points().z[1], 30.0);
    EXPECT_FALSE(counted.invalidCell.has_value());
}

TEST_F(PointGridCount, EmptiedRowEndsTheDataSetInsteadOfKeepingOldValues)
{
    for (int r = 1; r <= 5; ++r) setRow(r, std::to_string(r), std::to_string(r * r));
    EXPECT_EQ(countPoints().points, 5);
    setRow(3, "", "");
    EXPECT_EQ(countPoints().points, 2);
    EXPECT_EQ(points().x[3], 0.0);
}

TEST_F(PointGridCount, NonNumericCellIsReportedNotSilentlyKept)
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

TEST_F(PointGridCount, ZIsJudgedOnlyForTheSurfaceAndNotOnTheEndRow)
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

TEST_F(PointGridCount, CellsAreCutTo130Characters)
{
    setRow(1, "1" + std::string(129, '0') + "junk", "1");
    EXPECT_FALSE(countPoints().invalidCell.has_value());
    EXPECT_EQ(points().x[1], 1e129);
}

TEST_F(PointGridCount, TwoHundredRowsGiveTwoHundredPoints)
{
    for (int r = 1; r <= 200; ++r) setRow(r, std::to_string(r), "1");
    EXPECT_EQ(countPoints().points, 200);
    EXPECT_EQ(points().foundCount, 200);
}

TEST(TypedInput, TheRefusalsComeInTheOrderTheUserHasAlwaysSeenThem)
{
    // The message "&Calcola" shows: the grid's or the fields' refusal, else
    // the calculation's; "" when it calculates.
    struct Case {
        const char* what;
        FitType kind;
        std::vector<std::pair<const char*, const char*>> rows;
        const char* initial;
        const char* final;
        const char* shown;
    };
    const Case cases[] = {
        {"a bad cell before a bad field", FitType::TemperatureTime, {{"1", "30"}, {"2", "tre"}}, "dieci", "80",
         "valore non numerico alla riga 2, colonna Y: tre"},
        {"too few points before a bad field", FitType::TemperatureTime, {{"1", "30"}}, "dieci", "80",
         " numero punti=  <2!"},
        {"a first point at 0 before a bad field", FitType::TemperatureTime, {{"0", "30"}, {"2", "40"}}, "dieci", "80",
         "tutti numeri devono essere>0!"},
        {"a bad initial field", FitType::TemperatureTime, {{"1", "30"}, {"2", "40"}}, "dieci", "80",
         "temperatura non valida: dieci"},
        {"a bad final field", FitType::TemperatureTime, {{"1", "30"}, {"2", "40"}}, "20", "80 C",
         "temperatura non valida: 80 C"},
        {"a decimal comma", FitType::TemperatureTime, {{"1", "30"}, {"2", "40"}}, " 12,5 ", "80", ""},
        {"a field the kind does not read", FitType::Polynomial, {{"1", "30"}, {"2", "40"}}, "dieci", "", ""},
    };
    for (const Case& c : cases) {
        PointGrid grid;
        for (std::size_t r = 0; r < c.rows.size(); ++r) {
            grid.setCell(static_cast<int>(r) + 1, 1, c.rows[r].first);
            grid.setCell(static_cast<int>(r) + 1, 2, c.rows[r].second);
        }
        PointSet points;
        const Checked<CalculationInput> input = readCalculationInput(grid, points, {c.kind, 1, c.initial, c.final});
        const std::string shown = !input ? input.failure() : calculate(*input).failure();
        EXPECT_EQ(shown, c.shown) << c.what;
        if (input && c.kind == FitType::TemperatureTime && shown.empty()) {
            EXPECT_EQ(input->initialTemperature, std::optional<double>(12.5)) << c.what;
            EXPECT_EQ(input->finalTemperature, std::optional<double>(80.0)) << c.what;
        }
    }
}

TEST(TypedInput, AnEmptyFieldIsNoTemperatureAndTheCalculationReadsItAsZero)
{
    PointGrid grid;
    grid.setCell(1, 1, "1"), grid.setCell(1, 2, "50");
    grid.setCell(2, 1, "2"), grid.setCell(2, 2, "60");
    PointSet points;
    const Checked<CalculationInput> input = readCalculationInput(grid, points, {FitType::TemperatureTime, 1, "  ", "100"});
    ASSERT_TRUE(input);
    EXPECT_FALSE(input->initialTemperature.has_value());
    // From 0 towards 100: M is the mean of -ln((y - 100) / -100) / t, worked out by hand.
    const Outcome done = calculate(*input);
    ASSERT_TRUE(done) << done.failure();
    const auto& curve = std::get<TemperatureTimeCurve>(*done->curve);
    EXPECT_NEAR(curve.decayM, (-std::log(0.5) / 1 - std::log(0.4) / 2) / 2, 1e-15);
}
