// The program's graph: axes over all points found, the listed points, the curve.
#include "graph/device.h"
#include "graph/fitgraph.h"
#include "graph_fixture.h"

#include <vector>

namespace calvero::testing {
namespace {

class FitGraphTest : public GraphTest {
protected:
    void fillPoints(int n)
    {
        PointSet& p = data.points;
        for (int i = 1; i <= n; ++i) {
            p.x[i] = i;
            p.y[i] = 2.0 * i;
        }
        p.foundCount = static_cast<std::uint8_t>(n);
        data.plotted = n;
    }
    FitGraphData data;
    int greenLines() const
    {
        int n = 0;
        for (const Segment& s : canvas.lines) n += s.colour == Green;
        return n;
    }
};

TEST_F(FitGraphTest, PrepareInstallsTheProgramsProcedureOnTheScreen)
{
    graph.device = DevicePrinter;
    prepareScreenGraph(graph, data);
    EXPECT_EQ(graph.device, DeviceScreen);
    EXPECT_EQ(graph.procedure, &fitGraphProcedure);
}

TEST_F(FitGraphTest, AxesCoverAllPointsFoundWhileOnlyTheListedOnesAreDrawn)
{
    fillPoints(200);
    data.plotted = 180; // the points the report lists
    usePrinter();
    prepareScreenGraph(graph, data);
    graph.device = DevicePrinter;
    drawGraph(graph);
    EXPECT_EQ(canvas.ellipses.size(), 180u);
    EXPECT_EQ(graph.plot.xMax, 210); // range 199, step 10: 200 moves up to 210
    EXPECT_EQ(greenLines(), 0);
}

TEST_F(FitGraphTest, YBoundsLie15PercentBeyondTheSmallestAndLargestY)
{
    fillPoints(5); // y from 2 to 10: the axes get 1.7 to 11.5, rounded out to steps of 0.5
    useScreen();
    prepareScreenGraph(graph, data);
    drawGraph(graph);
    EXPECT_EQ(graph.plot.yMin, 1.5);
    EXPECT_EQ(graph.plot.yMax, 12);
    EXPECT_EQ(graph.plot.xMin, 1);
}

TEST_F(FitGraphTest, EveryPointLiesInsideTheYWindow)
{
    // Negative data get their lower bound 15 % below the lowest point, and
    // room above the highest one, so no marker sits on the window's edge.
    for (const std::vector<double>& ys :
         {std::vector<double>{-40, -30, -20, -10, -5}, {-5, -4.9}, {-10, 0, 20}, {-10, -5, 0}, {1, 99.9}, {-46, -6}}) {
        PointSet& p = data.points;
        for (std::size_t i = 0; i < ys.size(); ++i) p.x[i + 1] = static_cast<double>(i + 1), p.y[i + 1] = ys[i];
        p.foundCount = static_cast<std::uint8_t>(ys.size());
        data.plotted = static_cast<int>(ys.size());
        useScreen();
        prepareScreenGraph(graph, data);
        drawGraph(graph);
        EXPECT_LE(graph.plot.yMin, 1.15 * ys.front());
        for (double y : ys) EXPECT_TRUE(y > graph.plot.yMin && y < graph.plot.yMax) << y;
        // The highest point stays clear of the y axis's arrow at the top.
        const double span = graph.plot.yMax - graph.plot.yMin;
        EXPECT_GE(graph.plot.yMax - ys.back(), 0.05 * span) << ys.back();
    }
}

TEST_F(FitGraphTest, CurveOfTheFitIsDrawnInGreenOverTheDataRange)
{
    fillPoints(5);
    PolynomialCoefficients line{};
    line[2] = 2;
    data.curve = PolynomialCurve{line, 1};
    useScreen();
    prepareScreenGraph(graph, data);
    drawGraph(graph);
    EXPECT_EQ(greenLines(), 199);
    EXPECT_EQ(canvas.ellipses.size(), 5u);
    EXPECT_EQ(canvas.rectangles.size(), 0u);
}

TEST_F(FitGraphTest, ThroughPointsLieInsideTheAxesAndAreMarked)
{
    // Points from x = 1 to 5 on y = 2x; the curve made to pass through (0; 0)
    // and (7; 14), outside them: the axes take them in, the curve reaches them.
    fillPoints(5);
    PolynomialCoefficients line{};
    line[2] = 2;
    data.curve = PolynomialCurve{line, 1};
    data.throughPoints = {{0, 0, 0}, {7, 14, 0}};
    useScreen();
    prepareScreenGraph(graph, data);
    drawGraph(graph);
    EXPECT_LE(graph.plot.xMin, 0.0);
    EXPECT_GE(graph.plot.xMax, 7.0);
    EXPECT_GT(graph.plot.yMax, 14.0);
    constexpr CanvasColour Red{255, 0, 0};
    int red = 0;
    for (const Box& e : canvas.ellipses) red += e.colour == Red;
    EXPECT_EQ(red, 2);
    EXPECT_EQ(drawnCurveValueAt(graph, 7.0), std::optional<double>(14.0));
    EXPECT_EQ(drawnCurveValueAt(graph, 7.5), std::nullopt);
}

} // namespace
} // namespace calvero::testing
