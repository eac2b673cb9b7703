// Reading values off the graph: window pixels back to data units.
#include "graph/device.h"
#include "graph/worldposition.h"
#include "graph_fixture.h"

#include <cmath>
#include <limits>

namespace calvero::testing {
namespace {

using WorldPositionTest = GraphTest;

TEST_F(WorldPositionTest, PixelsMapBackToTheDataUnitsDrawnThere)
{
    const struct {
        double xMin, yMin, xMax, yMax;
    } windows[] = {{0, 0, 10, 20}, {500, -40, 5500, -5}, {-1e-4, 2e6, 3e-4, 2.5e6}};
    for (const auto& w : windows) {
        useScreen(1024, 768);
        beginDrawing(graph);
        layoutPlot(graph, w.xMin, w.yMin, w.xMax, w.yMax);
        const ScreenPlot screen = lastScreenPlot(graph);
        const PlotFrame& p = screen.plot;
        graph.worldCoordinates = true;
        for (const double f : {0.0, 0.37, 0.5, 1.0}) {
            const double x = w.xMin + f * (w.xMax - w.xMin), y = w.yMin + (1 - f) * (w.yMax - w.yMin);
            const auto at = worldAtPixel(screen, canvasPixel(deviceX(graph, x)), canvasPixel(deviceY(graph, y)));
            ASSERT_TRUE(at) << w.xMin << " " << f;
            EXPECT_LE(std::abs(at->x - x), 1 / p.xScale) << w.xMin << " " << f;
            EXPECT_LE(std::abs(at->y - y), 1 / p.yScale) << w.xMin << " " << f;
        }
        // Left of the y axis, below the x axis, past the device: not in the plot.
        for (const auto& [px, py] : {std::pair{10, 300}, {600, 687}, {600, -5}, {1020, 300}})
            EXPECT_FALSE(worldAtPixel(screen, px, py)) << px << "," << py;
    }
    EXPECT_FALSE(worldAtPixel(ScreenPlot{}, 100, 100)) << "a pass without axes";
}

double infinite(double) { return std::numeric_limits<double>::infinity(); }
double line(double x) { return 3 * x - 1; }

TEST(CurveValueAt, OnlyFiniteValues)
{
    EXPECT_EQ(curveValueAt(line, 2.0), 5.0);
    EXPECT_FALSE(curveValueAt(nullptr, 2.0));
    EXPECT_FALSE(curveValueAt(infinite, 2.0));
}

TEST(PositionText, DecimalsThatOnePixelTellsApart)
{
    const struct {
        double xScale, yScale;
        std::optional<double> curve;
        const char* text;
    } cases[] = {
        {100, 0.5, 784.3361, "x = 1.23   y = 812   curva: y = 784.34"}, // pixels of 0.01 and of 2
        {0.05, 4, std::nullopt, "x = 1   y = 812.3"},                      // 20 and 0.25
        {1e9, 1e14, std::nullopt, "x = 1.234567890   y = 812.345678901230"},
    };
    for (const auto& c : cases) {
        ScreenPlot screen;
        screen.plot.xScale = c.xScale;
        screen.plot.yScale = c.yScale;
        EXPECT_EQ(positionText(screen, {1.23456789, 812.34567890123}, c.curve), c.text);
    }
    // On a surface's picture: Z with five significant digits.
    ScreenPlot screen;
    screen.plot.xScale = 100, screen.plot.yScale = 0.5;
    EXPECT_EQ(positionText(screen, {1.23456789, 812.34567890123}, std::nullopt, 14.27549),
              "x = 1.23   y = 812   superficie: Z = 14.275");
    EXPECT_EQ(positionText(screen, {1.23456789, 812.34567890123}, std::nullopt, -0.0123456),
              "x = 1.23   y = 812   superficie: Z = -0.012346");
}

} // namespace
} // namespace calvero::testing
