// Range rounding, tick labels and the drawing of the axes.
#include "common/numtext.h"
#include "graph/axes.h"
#include "graph/device.h"
#include "graph_fixture.h"

#include <cmath>
#include <tuple>

namespace calvero::testing {
namespace {

TEST(AxisStepTableTest, IsThe125SequenceFrom0_00001To100000000)
{
    EXPECT_DOUBLE_EQ(AxisStepTable.front(), 0.00001);
    EXPECT_DOUBLE_EQ(AxisStepTable.back(), 100000000);
    for (std::size_t k = 1; k < AxisStepTable.size(); ++k) {
        const double ratio = AxisStepTable[k] / AxisStepTable[k - 1];
        const double expected = k % 3 == 1 ? 2.0 : (k % 3 == 2 ? 2.5 : 2.0);
        EXPECT_NEAR(ratio, expected, 1e-9) << k;
    }
    EXPECT_EQ(axisStepEntry(40), 2e8);
    EXPECT_EQ(axisStepEntry(41), 5e8);
    EXPECT_EQ(axisStepEntry(42), 1e9);
}

struct RangeCase {
    double lo, hi;
    double expectedLo, expectedHi, expectedStep;
};

TEST(RoundAxisRangeTest, WidensOutwardToMultiplesOfA125Step)
{
    const RangeCase cases[] = {
        {0, 10, 0, 11, 1},               // an upper bound on a multiple still moves up
        {1.7, 9, 1.5, 9.5, 0.5},
        {-3, 5, -3.5, 5.5, 0.5},
        {-10, 10, -12.5, 12.5, 2.5},     // 50 / 20
        {-10, -2, -10.5, -2, 0.5},       // a negative upper bound on a multiple stays
        {2, 6, 2, 6.25, 0.25},           // a positive lower bound on a multiple stays
        {0, 9.99, 0, 10, 0.5},
        {0, 100000000, 0, 110000000, 10000000},
        {0, 3e9, 0, 3.25e9, 2.5e8},
    };
    for (const RangeCase& c : cases) {
        const AxisRange r = roundAxisRange(c.lo, c.hi);
        EXPECT_DOUBLE_EQ(r.step, c.expectedStep) << c.lo << ".." << c.hi;
        EXPECT_DOUBLE_EQ(r.lo, c.expectedLo) << c.lo << ".." << c.hi;
        EXPECT_DOUBLE_EQ(r.hi, c.expectedHi) << c.lo << ".." << c.hi;
    }
}

TEST(RoundAxisRangeTest, EqualBoundsGiveAWindowOneTinyStepWide)
{
    const AxisRange r = roundAxisRange(3, 3);
    EXPECT_DOUBLE_EQ(r.step, 0.000001);
    EXPECT_NEAR(r.hi - r.lo, 0.000001, 1e-12);
    EXPECT_NEAR(r.lo, 3, 1.5e-6);
}

TEST(RoundAxisRangeTest, AnyFiniteRangeGetsBetween8And20Steps)
{
    for (double range = 0.00001; range < 1e300; range *= 3.7) {
        const AxisRange r = roundAxisRange(0, range);
        const double steps = range / r.step;
        EXPECT_GE(steps, 8 - 1e-9) << range;
        EXPECT_LE(steps, 20 + 1e-9) << range;
    }
    const AxisRange huge = roundAxisRange(-1e308, 1e308); // the range itself overflows
    EXPECT_TRUE(std::isfinite(huge.step));
}

class TickLabelTest : public GraphTest {
protected:
    std::string x(double v, double step)
    {
        graph.plot.xStep = step;
        return formatTickLabel(graph, Axis::X, v);
    }
    std::string y(double v, double step)
    {
        graph.plot.yStep = step;
        return formatTickLabel(graph, Axis::Y, v);
    }
};

TEST_F(TickLabelTest, DecimalsFollowTheStep)
{
    EXPECT_EQ(x(0, 1), "0");
    EXPECT_EQ(x(10, 1), "10");
    EXPECT_EQ(x(1.5, 0.5), "1.5");
    EXPECT_EQ(x(1.25, 0.05), "1.25");
    EXPECT_EQ(x(1.125, 0.005), "1.125");
    EXPECT_EQ(x(0.0015, 0.0005), "0.0015"); // below 0.001: five decimals
    EXPECT_EQ(x(0.00015, 0.00005), "0.00015");
    EXPECT_EQ(x(1234567, 100000), "1234567");
    EXPECT_EQ(x(-1234567.5, 2.5e5), "-1234568"); // large values never get decimals
}

TEST_F(TickLabelTest, EveryLabelShowsItsValueWithAllItsDigits)
{
    // Steps of 2.5 need a decimal, rounding noise is whole, small values are not "0".
    const std::tuple<double, double, std::string> cases[] = {
        {-7.5, 2.5, "-7.5"}, {3 - 4e-16, 0.5, "3"}, {0.00005, 0.00001, "0.00005"}, {5e12, 2.5e11, "5000000000000"}};
    for (const auto& [v, step, expected] : cases) {
        EXPECT_EQ(x(v, step), expected);
        EXPECT_EQ(y(v, step), std::string(expected.size() < 8 ? 8 - expected.size() : 0, ' ') + expected);
    }
}

TEST_F(TickLabelTest, TrailingZerosGoButThePointStays)
{
    EXPECT_EQ(x(2.0004, 0.05), "2.");
    EXPECT_EQ(x(2.00001, 0.005), "2.");
    EXPECT_EQ(x(0.30000000000000004, 0.1), "0.3");
}

TEST_F(TickLabelTest, ZeroWithRoundingNoiseHasNoSign)
{
    EXPECT_EQ(x(0.3 - 3 * 0.1, 0.1), "0");
    EXPECT_EQ(y(-2.7e-17, 0.1), "       0");
}

TEST_F(TickLabelTest, YLabelsAreEightCharactersWide)
{
    EXPECT_EQ(y(1.5, 0.5), "     1.5");
    // -12.250 with three decimals loses its last zero and is padded to 8.
    EXPECT_EQ(y(-12.25, 0.05), "  -12.25");
    EXPECT_EQ(y(0, 1), "       0");
    EXPECT_EQ(y(-123456.78, 0.005), "-123456.78"); // a longer text is kept whole
}

class DrawAxesTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        useScreen(1024, 768);
        beginDrawing(graph);
    }
    std::vector<std::string> textsAt(int y) const
    {
        std::vector<std::string> found;
        for (const TextOut& t : canvas.texts)
            if (t.y == y) found.push_back(t.text);
        return found;
    }
};

TEST_F(DrawAxesTest, XFrom0To10HasLabelsOnEveryOtherTick)
{
    drawAxes(graph, "X", "Y", 1, 0, 1, 10, 2);
    const PlotFrame& p = graph.plot;
    EXPECT_EQ(p.xMin, 0);
    EXPECT_EQ(p.xMax, 11);
    EXPECT_EQ(p.xStep, 1);
    EXPECT_DOUBLE_EQ(p.xScale, 960.0 / 11);

    // Labels hang 2.25 character heights below the axis: device y 24 - 13.5.
    const std::vector<std::string> labels = textsAt(688 - 11);
    const std::vector<std::string> expected = {" 0", " 2", " 4", " 6", " 8", " 10", " X"};
    EXPECT_EQ(labels, expected);
    const TextOut* two = canvas.findText(" 2");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->x, static_cast<int>(54 + 2 * 960.0 / 11 - 6));
    EXPECT_EQ(two->colour, Blue);

    // Ticks below the x axis (canvas y 664): long ones 6 deep, short ones 3.6.
    int longTicks = 0, shortTicks = 0;
    for (const Segment& s : canvas.lines) {
        if (s.x1 != s.x2 || s.y1 != 664) continue;
        if (s.y2 == 670) ++longTicks;
        if (s.y2 == 667) ++shortTicks;
    }
    EXPECT_EQ(longTicks, 6);  // 0, 2, ..., 10; nothing at 11
    EXPECT_EQ(shortTicks, 6); // 1, 3, ..., 11
}

TEST_F(DrawAxesTest, YFrom1_7To9HasLabelsAtTheWholeNumbers)
{
    // Ticks every 0.5 from 1.5: labels on every second one, at whole multiples of 1.
    drawAxes(graph, "X", "Y", 1, 0, 1.7, 10, 9);
    const PlotFrame& p = graph.plot;
    EXPECT_EQ(p.yMin, 1.5);
    EXPECT_EQ(p.yMax, 9.5);
    std::vector<std::string> yLabels;
    for (const TextOut& t : canvas.texts)
        if (t.x < 54 - 6 && t.text != " Y") {
            yLabels.push_back(t.text);
            // Each label ends half a character short of its long tick.
            EXPECT_EQ(t.x, static_cast<int>(54 - 6 - 3 - canvas.textWidth(t.text))) << t.text;
        }
    const std::vector<std::string> expected = {"       2", "       3", "       4", "       5",
                                               "       6", "       7", "       8", "       9"};
    EXPECT_EQ(yLabels, expected); // the drawn blank and 7 characters
    EXPECT_EQ(graph.plot.originX, 54); // short labels keep the margin
    const TextOut* title = canvas.findText(" Y");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 6 - 9);
    EXPECT_EQ(title->y, 9);
}

TEST_F(DrawAxesTest, LabelsKeepTheirDigitsAndRunIntoNothing)
{
    // Each range on both axes, on a screen and on the printer; labels at whole
    // multiples of two steps, for negative data too (-40, -30, not -35, -25).
    for (auto [lo, hi, width] : {std::tuple{0.0, 125e6, 1024}, {-40.0, -5.0, 800}, {1e12, 5.1e12, 640}, {0.0, 3e-4, 1024}})
        for (bool printer : {false, true}) {
            canvas.texts.clear();
            printer ? usePrinter() : useScreen(width, 768);
            beginDrawing(graph);
            drawAxes(graph, "X", "Y", 1, lo, lo, hi, hi);
            const PlotFrame& p = graph.plot;
            const TextOut xTitle = *canvas.findText(" X");
            double xEnd = -1e9;
            std::vector<double> yLabels;
            for (const TextOut& t : canvas.texts) {
                if (t.text == " X" || t.text == " Y") continue;
                SCOPED_TRACE(t.text);
                const double v = parseDecimal(t.text.substr(t.text.find_first_not_of(' '))).value_or(NAN);
                if (t.y == xTitle.y) { // apart from the label before, on every second tick
                    EXPECT_GE(t.x, xEnd);
                    xEnd = t.x + canvas.textWidth(t.text);
                    EXPECT_NEAR(std::remainder(v / p.xStep, 2), 0, 1e-9);
                } else { // every digit, left of the long ticks
                    EXPECT_GE(t.x, 0);
                    EXPECT_LE(t.x + canvas.textWidth(t.text), p.originX - graph.frame.charHeight);
                    EXPECT_NEAR(std::remainder(v / p.yStep, 2), 0, 1e-9);
                    yLabels.push_back(v);
                }
            }
            EXPECT_LE(xEnd, xTitle.x);
            // No label missing: two steps apart, from the first two ticks to the last three.
            ASSERT_FALSE(yLabels.empty());
            EXPECT_LT(yLabels.front(), p.yMin + 2 * p.yStep);
            EXPECT_GT(yLabels.back(), p.yMax - 3 * p.yStep);
            for (std::size_t i = 1; i < yLabels.size(); ++i)
                EXPECT_NEAR(yLabels[i] - yLabels[i - 1], 2 * p.yStep, 1e-9 * p.yStep);
        }
}

TEST_F(DrawAxesTest, EqualYBoundsAreSpreadBeforeRounding)
{
    drawAxes(graph, "X", "Y", 1, 0, 4, 10, 4);
    EXPECT_EQ(graph.plot.yMin, 2);
    EXPECT_EQ(graph.plot.yMax, 6.25);
}

TEST_F(DrawAxesTest, AllZeroAxesBecomeMinusOneToOne)
{
    drawAxes(graph, "X", "Y", 1, 0, 0, 0, 0);
    const PlotFrame& p = graph.plot;
    EXPECT_EQ(p.xMin, -1);
    EXPECT_EQ(p.xMax, 1);
    EXPECT_EQ(p.yMin, -1);
    EXPECT_EQ(p.yMax, 1);
    EXPECT_TRUE(std::isfinite(p.xScale));
    EXPECT_TRUE(std::isfinite(p.yScale));
    EXPECT_NE(canvas.findText(" -0.5"), nullptr);
}

TEST_F(DrawAxesTest, HugeEqualXBoundsStillGiveAFiniteScale)
{
    drawAxes(graph, "X", "Y", 1, 1e20, 1, 1e20, 2);
    EXPECT_GT(graph.plot.xMax, graph.plot.xMin);
    EXPECT_TRUE(std::isfinite(graph.plot.xScale));
}

TEST_F(DrawAxesTest, LongXTitleShowsEightCharactersAndPushesLabelsAway)
{
    drawAxes(graph, "ABCDEFGHIJKL", "Y", 1, 0, 1, 10, 2);
    EXPECT_EQ(graph.plot.xTitle, "ABCDEFGHIJ");
    const TextOut* title = canvas.findText(" ABCDEFGH");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 1014 - 14 * 6);
    // The label 10 at device x 926.7 would run into the title: left out.
    EXPECT_NE(canvas.findText(" 8"), nullptr);
    EXPECT_EQ(canvas.findText(" 10"), nullptr);
}

TEST_F(DrawAxesTest, ArrowheadsCloseAtTheAxisEnds)
{
    drawAxes(graph, "X", "Y", 4, 0, 1, 10, 2);
    // x arrow from the right end (1014, 664), 1.5 widths back.
    bool xArrow = false, yArrow = false;
    for (const Segment& s : canvas.lines) {
        if (s.x1 == 1014 && s.y1 == 664 && s.x2 == 1005 && s.y2 == 670) xArrow = true;
        if (s.x1 == 54 && s.y1 == 0 && s.x2 == 48 && s.y2 == 6) yArrow = true;
        EXPECT_EQ(s.colour, (CanvasColour{255, 0, 0}));
    }
    EXPECT_TRUE(xArrow);
    EXPECT_TRUE(yArrow);
    EXPECT_FALSE(graph.worldCoordinates);
}

} // namespace
} // namespace calvero::testing
