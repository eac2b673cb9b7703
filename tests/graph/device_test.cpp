// The device frames, the world-to-device mapping and the primitives.
#include "graph/colours.h"
#include "graph/device.h"
#include "graph_fixture.h"

#include <limits>

namespace calvero::testing {
namespace {

using DeviceTest = GraphTest;

TEST_F(DeviceTest, ScreenOf1024By768HasDeviceOf1014By688AndPlotAreaAt54And24)
{
    useScreen(1024, 768);
    beginDrawing(graph);
    const DeviceFrame& f = graph.frame;
    EXPECT_EQ(f.deviceWidth, 1014);
    EXPECT_EQ(f.deviceHeight, 688);
    EXPECT_EQ(f.offsetX, 0.0);
    EXPECT_EQ(f.offsetY, 0.0);
    EXPECT_EQ(f.charWidth, 6.0);
    EXPECT_EQ(f.charHeight, 6.0);
    EXPECT_EQ(canvas.fontSize, 8);

    layoutPlot(graph, 0, 0, 10, 20);
    const PlotFrame& p = graph.plot;
    EXPECT_EQ(p.originX, 54.0);
    EXPECT_EQ(p.originY, 24.0);
    EXPECT_EQ(p.extentX, 960.0);
    EXPECT_EQ(p.extentY, 664.0);
    EXPECT_EQ(p.xScale, 96.0);
    EXPECT_EQ(p.yScale, 33.2);
}

TEST_F(DeviceTest, PrinterPageOf4960By7016)
{
    usePrinter(4960, 7016);
    beginDrawing(graph);
    const DeviceFrame& f = graph.frame;
    EXPECT_EQ(f.deviceWidth, 4464);
    EXPECT_EQ(f.deviceHeight, 6314);
    EXPECT_DOUBLE_EQ(f.offsetX, 446.4);
    EXPECT_DOUBLE_EQ(f.offsetY, 446.4); // from the width, not the height
    EXPECT_DOUBLE_EQ(f.charWidth, 44.64);
    EXPECT_DOUBLE_EQ(f.charHeight, 78.925);
    EXPECT_EQ(canvas.fontSize, 10);

    layoutPlot(graph, 0, 0, 1, 1);
    const PlotFrame& p = graph.plot;
    EXPECT_DOUBLE_EQ(p.originX, 848.16);
    EXPECT_DOUBLE_EQ(p.originY, 762.1);
    EXPECT_DOUBLE_EQ(p.extentX, 4464 - 848.16);
    EXPECT_DOUBLE_EQ(p.extentY, 6314 - 762.1);
}

TEST_F(DeviceTest, TinyWindowGivesEmptyDeviceInsteadOfWrappingAround)
{
    useScreen(8, 40);
    beginDrawing(graph);
    EXPECT_EQ(graph.frame.deviceWidth, 0);
    EXPECT_EQ(graph.frame.deviceHeight, 0);
}

TEST_F(DeviceTest, LeftMarginAndExtraRowsMoveTheOrigin)
{
    useScreen();
    beginDrawing(graph);
    graph.leftMarginUnits = 2;
    graph.extraBottomRows = 1;
    layoutPlot(graph, 0, 0, 1, 1);
    EXPECT_EQ(graph.plot.originX, 108.0);
    EXPECT_EQ(graph.plot.originY, 30.0);
    // Room asked for the y labels: taken beyond the margin, up to half the width.
    for (auto [room, origin] : {std::pair{100.0, 108.0}, {300.0, 300.0}, {900.0, 507.0}}) {
        layoutPlot(graph, 0, 0, 1, 1, room);
        EXPECT_EQ(graph.plot.originX, origin) << room;
        EXPECT_EQ(graph.plot.extentX, 1014 - origin) << room;
    }
}

TEST_F(DeviceTest, BorderIsDrawnOnThePrinterOnly)
{
    usePrinter();
    beginDrawing(graph);
    drawBorder(graph);
    ASSERT_EQ(canvas.rectangles.size(), 1u);
    const Box& b = canvas.rectangles[0];
    EXPECT_EQ(b.x1, 1);
    EXPECT_EQ(b.y1, 1);
    EXPECT_EQ(b.x2, 4463);
    EXPECT_EQ(b.y2, 6314);

    RecordingCanvas screen;
    useScreen();
    graph.canvas = &screen;
    beginDrawing(graph);
    drawBorder(graph);
    EXPECT_TRUE(screen.rectangles.empty());
    EXPECT_EQ(screen.penColour, Blue);
}

int procedureRuns = 0;
void countingProcedure(GraphState&) { ++procedureRuns; }

TEST_F(DeviceTest, PassRunsTheInstalledProcedureOnly)
{
    usePrinter();
    graph.worldCoordinates = true;
    drawGraph(graph);
    EXPECT_FALSE(graph.worldCoordinates);
    EXPECT_EQ(canvas.rectangles.size(), 1u);
    EXPECT_TRUE(canvas.lines.empty());

    procedureRuns = 0;
    graph.procedure = countingProcedure;
    drawGraph(graph);
    drawGraph(graph);
    EXPECT_EQ(procedureRuns, 2);
    EXPECT_EQ(canvas.rectangles.size(), 3u); // every page has its border
}

TEST_F(DeviceTest, MappingOfWorldAndDeviceCoordinates)
{
    useScreen();
    beginDrawing(graph);
    layoutPlot(graph, 0, 0, 10, 20);
    GraphState& s = graph;

    EXPECT_EQ(deviceX(graph, 5), 5.0); // world coordinates off: unchanged
    EXPECT_EQ(deviceY(graph, 5), 683.0); // but turned over on the screen

    s.worldCoordinates = true;
    EXPECT_EQ(deviceX(graph, 5), 5 * 96.0 + 54);
    EXPECT_DOUBLE_EQ(deviceY(graph, 10), 688 - (10 * 33.2 + 24));
    s.lengthOnly = true;
    EXPECT_EQ(deviceX(graph, 2), 192.0);

    s.device = DevicePrinter;
    s.lengthOnly = false;
    EXPECT_DOUBLE_EQ(deviceY(graph, 10), 10 * 33.2 + 24); // the printer turns y in the primitives
}

TEST_F(DeviceTest, CoordinatesAreTruncatedTowardZero)
{
    useScreen();
    beginDrawing(graph);
    moveTo(graph, 10.9, 687.5); // device y 0.5 after the turn
    lineTo(graph, -0.5, 688.9);   // device y -0.9
    ASSERT_EQ(canvas.moves.size(), 1u);
    EXPECT_EQ(canvas.moves[0], (Point{10, 0}));
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].x2, 0);
    EXPECT_EQ(canvas.lines[0].y2, 0);
    EXPECT_DOUBLE_EQ(graph.currentX, -0.5);
    EXPECT_NEAR(graph.currentY, -0.9, 1e-9);
}

TEST_F(DeviceTest, PrinterMoveTurnsBeforeTruncatingAndLineAfter)
{
    usePrinter();
    beginDrawing(graph);
    moveTo(graph, 0, 100.5);
    lineTo(graph, 0, 100.5);
    EXPECT_EQ(canvas.moves[0].y, 6213); // t(6314 - 100.5)
    EXPECT_EQ(canvas.lines[0].y2, 6214); // 6314 - t(100.5)
}

TEST_F(DeviceTest, CoordinatesOutsideThe32BitRangeAreClamped)
{
    useScreen();
    beginDrawing(graph);
    layoutPlot(graph, 0, 0, 1e-300, 1);
    graph.worldCoordinates = true;
    moveTo(graph, 1e10, 0);
    lineTo(graph, -1e10, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(canvas.moves[0].x, std::numeric_limits<int>::max());
    EXPECT_EQ(canvas.lines[0].x2, std::numeric_limits<int>::min());
    EXPECT_EQ(canvas.lines[0].y2, 0);
    EXPECT_EQ(canvasPixel(3e9), std::numeric_limits<int>::max());
    EXPECT_EQ(canvasPixel(-2147483648.7), std::numeric_limits<int>::min());
}

TEST_F(DeviceTest, ScreenCirclesOutsideTheVisiblePartAreLeftOut)
{
    useScreen(1024, 768);
    beginDrawing(graph);
    drawCircle(graph, 9, 300, 4);   // centre at canvas x 9
    drawCircle(graph, 10, 300, 4);  // at the edge: drawn
    drawCircle(graph, 1024, 300, 4); // right edge of the window: drawn
    drawCircle(graph, 1025, 300, 4);
    drawCircle(graph, 500, 688 - 718, 4); // canvas y 718 = windowHeight - 50: drawn
    drawCircle(graph, 500, 688 - 719, 4); // canvas y 719: left out
    drawCircle(graph, 500, 689, 4);       // canvas y -1: left out
    ASSERT_EQ(canvas.ellipses.size(), 3u);
    const Box& b = canvas.ellipses[0];
    EXPECT_EQ(b.x1, 6);
    EXPECT_EQ(b.y1, 392); // cy + r: the box runs from bottom to top
    EXPECT_EQ(b.x2, 14);
    EXPECT_EQ(b.y2, 384);
    EXPECT_EQ(canvas.ellipses[2].y1, 722);
}

TEST_F(DeviceTest, PrinterCirclesHaveNoVisibilityTest)
{
    usePrinter();
    beginDrawing(graph);
    drawCircle(graph, 9, -100, 4.5);
    drawCircle(graph, 99999, 99999, 4.5);
    ASSERT_EQ(canvas.ellipses.size(), 2u);
    const Box& b = canvas.ellipses[0];
    EXPECT_EQ(b.x1, 4);       // t(9 - 4.5)
    EXPECT_EQ(b.y1, 6409);    // t(6314 + 100 - 4.5)
    EXPECT_EQ(b.x2, 13);
    EXPECT_EQ(b.y2, 6418);
}

TEST_F(DeviceTest, CircleRadiusIsAWorldLengthInWorldCoordinates)
{
    useScreen();
    beginDrawing(graph);
    layoutPlot(graph, 0, 0, 10, 20);
    graph.worldCoordinates = true;
    drawCircle(graph, 5, 10, 0.5); // radius 48 device units
    ASSERT_EQ(canvas.ellipses.size(), 1u);
    EXPECT_EQ(canvas.ellipses[0].x2 - canvas.ellipses[0].x1, 96);
    EXPECT_FALSE(graph.lengthOnly);
}

TEST_F(DeviceTest, TextsStartWithOneBlankInTimesNewRoman)
{
    useScreen();
    beginDrawing(graph);
    drawText(graph, "12", 100.7, 600.2);
    ASSERT_EQ(canvas.texts.size(), 1u);
    const TextOut& t = canvas.texts[0];
    EXPECT_EQ(t.text, " 12");
    EXPECT_EQ(t.fontName, "times new roman");
    EXPECT_EQ(t.fontSize, 12);
    EXPECT_EQ(t.x, 100);
    EXPECT_EQ(t.y, 87); // t(688 - 600.2)

    RecordingCanvas page;
    usePrinter();
    graph.canvas = &page;
    beginDrawing(graph);
    drawText(graph, "X", 10, 100.5);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0].text, " X");
    EXPECT_EQ(page.texts[0].fontSize, 10); // the printer keeps its size
    EXPECT_EQ(page.texts[0].y, 6214);
}

TEST_F(DeviceTest, ColourTableAndUnknownNumbers)
{
    EXPECT_EQ(*colourOf(0), Black);
    EXPECT_EQ(*colourOf(1), Blue);
    EXPECT_EQ(*colourOf(2), Green);
    EXPECT_EQ(*colourOf(6), (CanvasColour{128, 0, 0}));
    EXPECT_EQ(*colourOf(14), (CanvasColour{128, 128, 0}));
    for (std::uint16_t n : {8, 9, 13, 15, 400}) EXPECT_FALSE(colourOf(n).has_value()) << n;

    useScreen();
    setColour(graph, 4);
    EXPECT_EQ(canvas.penColour, (CanvasColour{255, 0, 0}));
    setColour(graph, 9);
    EXPECT_EQ(graph.colourIndex, 9);
    EXPECT_EQ(canvas.penColour, (CanvasColour{255, 0, 0}));
    EXPECT_EQ(canvas.fontColour, (CanvasColour{255, 0, 0}));
}

TEST_F(DeviceTest, NoCanvasDrawsNothingAndDoesNotFail)
{
    graph.procedure = countingProcedure;
    procedureRuns = 0;
    drawGraph(graph);
    moveTo(graph, 1, 1);
    drawCircle(graph, 1, 1, 1);
    drawText(graph, "a", 1, 1);
    setColour(graph, 1);
    EXPECT_EQ(procedureRuns, 1);
}

} // namespace
} // namespace calvero::testing
