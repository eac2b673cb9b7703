#include "capture/cutgridlines.h"

#include <gtest/gtest.h>

using namespace calvero::capture;

namespace {

constexpr std::uint32_t White = 0xffffffff, Grey = 0xffeaeaf2, Dark = 0xff787878;

// A plot at columns 100-399, rows 100-299 (its edges 100 and 300), grey
// filled or not, with a line along its top row drawn whole or in dashes of
// 6 pixels 2 apart, and nothing along its bottom: the chart as found, with
// the line as its top edge's.
struct Drawn {
    PixelBuffer picture;
    PixelMask ink;
    ChartFrame chart;
};

Drawn plot(bool filled, bool dashed)
{
    Drawn d{*PixelBuffer::create(500, 400), PixelMask(500, 400), {}};
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 500; ++x) d.picture.setPixel(x, y, filled && x >= 100 && x < 400 && y >= 100 && y < 300 ? Grey : White);
    for (int x = 100; x < 400; ++x)
        if (!dashed || (x - 100) % 8 < 6) d.picture.setPixel(x, 100, Dark), d.ink.set(x, 100, true);
    d.chart.left = 100, d.chart.right = 400, d.chart.top = 100.6, d.chart.bottom = 300;
    d.chart.topLine = EdgeLine{100, 100, 100, 399, 100.6};
    return d;
}

} // namespace

// A grid line at a frameless plot's edge is cut by it: only its inner half
// is drawn, its middle inside the edge, and the labels there stand at the
// edge itself. It is told from a frame by the plot's fill showing in its
// breaks, up to its outer row, with the paper beyond; the other end, drawn
// with no line, has its grid line (a faint rest, read as a tick) within a
// pixel inside. A frame, or a dashed line with no fill to tell, moves nothing.
TEST(CutGridLines, PlacesAtAnEdgeGridLineCutByThePlotStandOnTheEdge)
{
    struct Case {
        const char* name;
        bool filled, dashed;
        std::optional<double> edge;
        std::vector<double> moved; // the places below, as they end
    };
    // The line's middle and a tick beside it, a grid line, a rest within a pixel of the bottom, one two pixels in.
    const std::vector<double> places = {100.6, 100.8, 150.5, 299.3, 298.0};
    const Case cases[] = {
        {"dashed on a grey fill: a cut grid line", true, true, 100.0, {100.0, 100.0, 150.5, 300.0, 298.0}},
        {"whole on a grey fill: a frame", true, false, std::nullopt, places},
        {"dashed on white: nothing to tell", false, true, std::nullopt, places},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Drawn d = plot(c.filled, c.dashed);
        EXPECT_EQ(cutLineEdge(d.picture, d.ink, *d.chart.topLine, true, -1), c.edge);
        std::vector<double> ys = places;
        placedOnCutEdges(ys, d.picture, d.ink, d.chart, false);
        EXPECT_EQ(ys, c.moved);
        // The x axis's ends (left and right) have no line: on a plot whose top
        // is a cut grid line, a place within a pixel inside each goes onto it.
        std::vector<double> xs = {100.5, 399.5};
        placedOnCutEdges(xs, d.picture, d.ink, d.chart, true);
        EXPECT_EQ(xs, (c.edge ? std::vector<double>{100.0, 400.0} : std::vector<double>{100.5, 399.5}));
    }
}

// The same at a plot's bottom: the edge is under the cut line's last row.
TEST(CutGridLines, ALineCutAtThePlotsBottomHasTheEdgeUnderIt)
{
    Drawn d = plot(true, false);
    for (int x = 100; x < 400; ++x) {
        d.picture.setPixel(x, 100, Grey), d.ink.set(x, 100, false);
        if ((x - 100) % 8 < 6) d.picture.setPixel(x, 299, Dark), d.ink.set(x, 299, true);
    }
    EXPECT_EQ(cutLineEdge(d.picture, d.ink, EdgeLine{299, 299, 100, 399, 299.4}, true, +1), 300.0);
}
