// Points as circles and the curve as a polyline cut where it leaves the window.
#include "graph/device.h"
#include "graph/plotting.h"
#include "graph_fixture.h"

#include <cmath>
#include <limits>
#include <vector>

namespace calvero::testing {
namespace {

class PlottingTest : public GraphTest {
protected:
    // A screen of 1024 x 768 showing x 0..199 and y 0..10.
    void SetUp() override
    {
        GraphTest::SetUp();
        useScreen(1024, 768);
        beginDrawing(graph);
        layoutPlot(graph, 0, 0, 199, 10);
    }
    int canvasX(double x) const { return canvasPixel(54 + x * 960.0 / 199); }
};

double plateau(double x) { return x >= 80 && x <= 118 ? 100.0 : 5.0; }
double notANumberPlateau(double x) { return x >= 80 && x <= 118 ? std::numeric_limits<double>::quiet_NaN() : 5.0; }
double farAbove(double) { return 1000.0; }

std::vector<double> sampledAt;
double recordingCurve(double x)
{
    sampledAt.push_back(x);
    return 5.0;
}

void expectTwoPieces(const RecordingCanvas& canvas, int secondStartX)
{
    // Samples 1..80 and 120..200: two moves, 79 + 80 segments, nothing across the gap.
    ASSERT_EQ(canvas.moves.size(), 2u);
    EXPECT_EQ(canvas.moves[1].x, secondStartX);
    EXPECT_EQ(canvas.lines.size(), 79u + 80u);
    for (const Segment& s : canvas.lines) EXPECT_EQ(s.y1, s.y2);
}

TEST_F(PlottingTest, CurveLeavingTheWindowIsDrawnAsTwoPieces)
{
    plotCurve(graph, plateau, 2, 0, 199);
    expectTwoPieces(canvas, canvasX(119)); // sample 120 lies at x = 119
    EXPECT_EQ(canvas.penColour, Green);
    EXPECT_FALSE(graph.worldCoordinates);
}

TEST_F(PlottingTest, SamplesThatAreNotANumberAreSkipped)
{
    plotCurve(graph, notANumberPlateau, 2, 0, 199);
    expectTwoPieces(canvas, canvasX(119));
}

TEST_F(PlottingTest, CurveEntirelyOutsideTheWindowDrawsNothing)
{
    plotCurve(graph, farAbove, 2, 0, 199);
    EXPECT_TRUE(canvas.moves.empty());
    EXPECT_TRUE(canvas.lines.empty());
}

TEST_F(PlottingTest, CurveIsSampled200TimesOverTheDataRange)
{
    sampledAt.clear();
    plotCurve(graph, recordingCurve, 2, 1, 10);
    ASSERT_EQ(sampledAt.size(), 200u);
    EXPECT_EQ(sampledAt.front(), 1.0);
    EXPECT_DOUBLE_EQ(sampledAt[1], 1 + 9.0 / 199);
    EXPECT_NEAR(sampledAt.back(), 10.0, 1e-12);
    EXPECT_EQ(canvas.moves.size(), 1u);
    EXPECT_EQ(canvas.lines.size(), 199u);
}

TEST_F(PlottingTest, PointsAreCirclesOfOne125thOfThePlotWidth)
{
    PointArray x{}, y{};
    x[1] = 10; y[1] = 5;
    x[2] = 100; y[2] = 2;
    x[3] = 150; y[3] = 8;
    plotPoints(graph, 3, x, y, 1);
    ASSERT_EQ(canvas.ellipses.size(), 3u);
    for (const Box& b : canvas.ellipses) {
        EXPECT_NEAR(b.x2 - b.x1, 2 * 960.0 / 125, 1.0);
        EXPECT_EQ(b.colour, Blue);
    }
    const double cx = 54 + 100 * 960.0 / 199;
    EXPECT_EQ(canvas.ellipses[1].x1, canvasPixel(cx - 960.0 / 125));
    EXPECT_EQ(canvas.moves.size(), 3u); // each circle is preceded by a move to its centre
}

TEST_F(PlottingTest, PointsOutsideTheVisiblePartOfTheScreenGetNoCircle)
{
    PointArray x{}, y{};
    x[1] = 100; y[1] = 5;
    x[2] = -12; y[2] = 5;  // canvas x below 10
    x[3] = 100; y[3] = -0.5; // below the x axis, still visible
    x[4] = 100; y[4] = -4; // canvas y beyond windowHeight - 50
    plotPoints(graph, 4, x, y, 1);
    EXPECT_EQ(canvas.ellipses.size(), 2u);
}

TEST_F(PlottingTest, NoPointsAndMoreThan200Points)
{
    PointArray x{}, y{};
    for (int i = 1; i <= 500; ++i) x[i] = 50, y[i] = 5;
    plotPoints(graph, 0, x, y, 1);
    plotPoints(graph, -3, x, y, 1);
    EXPECT_TRUE(canvas.ellipses.empty());
    plotPoints(graph, 500, x, y, 1);
    EXPECT_EQ(canvas.ellipses.size(), 200u);
}

} // namespace
} // namespace calvero::testing
