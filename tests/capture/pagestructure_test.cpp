// The charts of a page found by their lines or filled areas, without OCR:
// pages drawn here pixel by pixel, so where each edge lies is known exactly
// (a line two pixels thick on rows 100 and 101 has its middle at 101.0).
#include "capture/pagestructure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace calvero::capture;

namespace {

constexpr std::uint32_t Black = 0xff000000, LightGrey = 0xffc8c8c8, AreaGrey = 0xffe5e5e5, Fringe = 0xffdfdfdf, White = 0xffffffff;

struct Rect {
    int left, top, right, bottom; // pixels covered, both ends included
};

void fill(PixelBuffer& p, Rect r, std::uint32_t colour)
{
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x) p.setPixel(x, y, colour);
}

// A frame two pixels thick round the plot area, with outward ticks and a
// block of "text" under the x axis; the area's edges at the lines' middles.
void frame(PixelBuffer& p, Rect r, std::uint32_t colour = Black, bool sides = true)
{
    fill(p, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
    fill(p, {r.left, r.top, r.left + 1, r.bottom}, colour);
    if (sides) {
        fill(p, {r.left, r.top, r.right, r.top + 1}, colour);
        fill(p, {r.right - 1, r.top, r.right, r.bottom}, colour);
    }
    for (int x = r.left; x <= r.right; x += 50) fill(p, {x, r.bottom + 1, x + 1, r.bottom + 6}, colour);
}

PixelBuffer page(int w, int h) { return *PixelBuffer::create(w, h); }

} // namespace

TEST(PageStructure, EveryChartOfThePageInReadingOrderWithItsEdges)
{
    struct Case {
        const char* name;
        PixelBuffer picture;
        std::vector<std::array<double, 4>> expected; // each chart's left, top, right, bottom: the middles of its lines
    };
    std::vector<Case> cases;
    {
        PixelBuffer p = page(800, 600);
        frame(p, {100, 50, 701, 501});
        cases.push_back({"one framed chart", std::move(p), {{101, 51, 701, 501}}});
    }
    {
        PixelBuffer p = page(800, 600);
        frame(p, {100, 50, 701, 501}, LightGrey);
        cases.push_back({"a light grey frame", std::move(p), {{101, 51, 701, 501}}});
    }
    {
        PixelBuffer p = page(800, 600);
        frame(p, {100, 50, 701, 501}, Black, false);
        cases.push_back({"the axis lines alone: the area ends where they do", std::move(p), {{101, 50, 702, 501}}});
    }
    {
        PixelBuffer p = page(800, 600);
        frame(p, {100, 50, 701, 501});
        frame(p, {500, 70, 681, 161}); // a legend's box
        cases.push_back({"a legend's box inside is part of the chart", std::move(p), {{101, 51, 701, 501}}});
    }
    {
        // The axis lines alone, light grid rows, and a legend's box ending 11 pixels short of the
        // plot's right end: its edges down, a fifth of the plot's height, are no side of it.
        PixelBuffer p = page(800, 600);
        frame(p, {100, 50, 701, 501}, Black, false);
        for (int y = 50; y < 500; y += 90) fill(p, {102, y, 701, y}, LightGrey);
        frame(p, {560, 150, 690, 241});
        cases.push_back({"a legend's box near the end of the axis lines", std::move(p), {{101, 50.5, 702, 501}}});
    }
    {
        // A 2 x 2 page with a border round it, and a line of text between the rows.
        PixelBuffer p = page(1200, 1000);
        frame(p, {10, 10, 1189, 989});
        frame(p, {620, 60, 1101, 401});
        frame(p, {100, 60, 501, 401});
        frame(p, {100, 560, 501, 901});
        frame(p, {620, 560, 1101, 901});
        for (int x = 100; x < 900; x += 9) fill(p, {x, 470, x + 5, 480}, Black);
        cases.push_back({"four charts in a border, text between them", std::move(p),
                         {{101, 61, 501, 401}, {621, 61, 1101, 401}, {101, 561, 501, 901}, {621, 561, 1101, 901}}});
    }
    {
        // A grey area with a white grid and no line: its edges are the area's.
        PixelBuffer p = page(800, 600);
        fill(p, {100, 50, 699, 499}, AreaGrey);
        for (int x = 150; x < 700; x += 100) fill(p, {x, 50, x, 499}, White);
        for (int y = 100; y < 500; y += 100) fill(p, {100, y, 699, y}, White);
        cases.push_back({"a grey area under a white grid", std::move(p), {{100, 50, 700, 500}}});
    }
    {
        // Grid lines only, light grey, spanning the area (no frame, no axis line).
        PixelBuffer p = page(800, 600);
        for (int x = 100; x <= 700; x += 100) fill(p, {x, 50, x, 500}, LightGrey);
        for (int y = 50; y <= 500; y += 90) fill(p, {100, y, 700, y}, LightGrey);
        // One pixel lines: column 100 covers 100 to 101, its middle 100.5.
        cases.push_back({"a light grid without a frame", std::move(p), {{100.5, 50.5, 700.5, 500.5}}});
    }
    {
        // The same grid dashed (6 pixels drawn, 4 left out), as gnuplot draws it with no border.
        PixelBuffer p = page(800, 600);
        for (int x = 100; x <= 700; x += 100)
            for (int y = 50; y <= 500; y += 10) fill(p, {x, y, x, std::min(y + 5, 500)}, LightGrey);
        for (int y = 50; y <= 500; y += 90)
            for (int x = 100; x <= 700; x += 10) fill(p, {x, y, std::min(x + 5, 700), y}, LightGrey);
        cases.push_back({"a dashed grid without a frame", std::move(p), {{100.5, 50.5, 700.5, 500.5}}});
    }
    {
        // A scan's shading from the picture's edge runs into the area: the area is still a chart.
        PixelBuffer p = page(800, 600);
        fill(p, {100, 50, 699, 499}, AreaGrey);
        fill(p, {700, 200, 799, 300}, AreaGrey);
        cases.push_back({"a grey area joined to the picture's edge by a shade", std::move(p), {{100, 50, 700, 500}}});
    }
    {
        // A white plot on a grey page, its edge a line too faint for ink (11
        // levels off the page), its grid dashed with gaps of two pixels, but
        // three in the middle: the solid lines' pieces make four charts, the
        // dashed grid spans the area, which is the chart.
        PixelBuffer p = page(800, 600);
        constexpr std::uint32_t DashGrey = 0xffdddddd; // 30 levels off the page, 34 off the plot
        fill(p, {0, 0, 799, 599}, 0xffbfbfbf);
        fill(p, {99, 49, 700, 500}, 0xffb4b4b4);
        fill(p, {100, 50, 699, 499}, White);
        for (int x = 200; x <= 600; x += 100)
            for (int y = 50; y <= 499; y += 7) fill(p, {x, y, x, std::min(y + (y == 267 ? 3 : 4), 499)}, DashGrey);
        for (int y = 140; y <= 410; y += 90)
            for (int x = 100; x <= 699; x += 7) fill(p, {x, y, std::min(x + (x == 394 ? 3 : 4), 699), y}, DashGrey);
        cases.push_back({"a white plot on a grey page, its dashed grid broken", std::move(p), {{100, 50, 700, 500}}});
    }
    {
        // A tinted panel inside a page's border, two framed charts on it: the
        // border is a solid frame, no dashed grid of the panel's.
        PixelBuffer p = page(1200, 1000);
        frame(p, {10, 10, 1189, 989});
        fill(p, {60, 60, 1139, 939}, AreaGrey);
        frame(p, {100, 100, 501, 441});
        frame(p, {620, 100, 1101, 441});
        cases.push_back({"framed charts on a tinted panel in a border", std::move(p), {{101, 101, 501, 441}, {621, 101, 1101, 441}}});
    }
    {
        // gnuplot's dashes at 300 dpi: 10 pixels drawn, 18 left out.
        PixelBuffer p = page(2400, 1800);
        for (int x = 300; x <= 2100; x += 300)
            for (int y = 150; y <= 1500; y += 28) fill(p, {x, y, x + 1, std::min(y + 9, 1500)}, LightGrey);
        for (int y = 150; y <= 1500; y += 270)
            for (int x = 300; x <= 2100; x += 28) fill(p, {x, y, std::min(x + 9, 2101), y + 1}, LightGrey);
        cases.push_back({"a sparse dashed grid of a page at 300 dpi", std::move(p), {{301, 151, 2101, 1501}}});
    }
    {
        PixelBuffer p = page(800, 600);
        for (int y = 100; y < 400; y += 20)
            for (int x = 100; x < 700; x += 9) fill(p, {x, y, x + 5, y + 10}, Black);
        cases.push_back({"a page of text: no chart", std::move(p), {}});
    }
    {
        // The top corner's number blurred into the frame's top line: the line starts at the number.
        PixelBuffer p = page(800, 600);
        frame(p, {100, 50, 701, 501});
        fill(p, {60, 45, 97, 56}, Black);
        cases.push_back({"a number run into the frame's corner", std::move(p), {{101, 51, 701, 501}}});
    }
    {
        // A scan's stray grey joined to the area, reaching the picture's edge: the area is still a chart.
        PixelBuffer p = page(800, 600);
        fill(p, {100, 50, 699, 499}, AreaGrey);
        fill(p, {0, 300, 99, 302}, AreaGrey);
        cases.push_back({"a grey area joined to the edge by a stray strip", std::move(p), {{100, 50, 700, 500}}});
    }
    {
        // A scan's x numbers blurred into a band three quarters inked, joined to
        // the area by its ticks across a gap thinner than a line: ink, not area.
        PixelBuffer p = page(800, 600);
        fill(p, {100, 50, 699, 499}, AreaGrey);
        for (int x = 100; x < 700; x += 40) fill(p, {x, 504, x + 29, 519}, Black);
        for (int x = 100; x < 700; x += 200) fill(p, {x + 14, 500, x + 15, 503}, Black);
        cases.push_back({"a grey area with its numbers joined to it", std::move(p), {{100, 50, 700, 500}}});
    }
    {
        // Stacked panels 10 pixels apart: their frames come near enough to touch.
        PixelBuffer p = page(800, 700);
        frame(p, {100, 50, 701, 301});
        frame(p, {100, 312, 701, 601});
        cases.push_back({"stacked framed panels", std::move(p), {{101, 51, 701, 301}, {101, 313, 701, 601}}});
    }
    {
        // Stacked grey areas under a white grid, joined across their gap by the labels beside it.
        PixelBuffer p = page(800, 700);
        for (const Rect r : {Rect{100, 50, 699, 299}, Rect{100, 310, 699, 559}}) {
            fill(p, r, AreaGrey);
            for (int y = r.top + 50; y < r.bottom; y += 50) fill(p, {r.left, y, r.right, y + 1}, White);
        }
        fill(p, {80, 290, 96, 320}, Black);
        cases.push_back({"stacked grey areas", std::move(p), {{100, 50, 700, 300}, {100, 310, 700, 560}}});
    }
    {
        // Tick marks only: outward, major ones 8 pixels long and minor ones 4
        // between them, the marks' ends on the axes at row 500 and column 100.
        PixelBuffer p = page(800, 600);
        for (int x = 100; x <= 700; x += 50) fill(p, {x, 500, x, x % 100 ? 503 : 507}, Black);
        for (int y = 50; y <= 500; y += 45) fill(p, {y % 90 == 50 % 90 ? 92 : 96, y, 99, y}, Black);
        cases.push_back({"tick marks only, with minor ones", std::move(p), {{100, 50.5, 700.5, 500}}});
    }
    {
        // Inward tick marks on all four sides, all alike: the area ends at their outer ends.
        PixelBuffer p = page(800, 600);
        for (int x = 150; x <= 650; x += 100) fill(p, {x, 493, x, 499}, Black), fill(p, {x, 51, x, 57}, Black);
        for (int y = 100; y <= 420; y += 80) fill(p, {101, y, 107, y}, Black), fill(p, {693, y, 699, y}, Black);
        cases.push_back({"tick marks only, inward on four sides", std::move(p), {{101, 51, 700, 500}}});
    }
    {
        // A 150 dpi scan's marks: blurred 4 pixels thick, a speck of grain
        // joined to the side of each (the box 6 wide); both ends line up, so
        // the area ends at their outer ends.
        PixelBuffer p = page(800, 600);
        for (int x = 150; x <= 700; x += 50) fill(p, {x, 500, x + 3, 509}, Black), fill(p, {x - 2, 504, x - 1, 504}, Black);
        for (int y = 50; y <= 455; y += 45) fill(p, {90, y, 99, y + 3}, Black), fill(p, {95, y + 4, 95, y + 5}, Black);
        cases.push_back({"a scan's blurred tick marks with grain", std::move(p), {{90, 52, 702, 510}}});
    }
    {
        // Three of the y axis's marks joined to curves starting on the axis
        // (left out here): steps of one and two alike, the more of two.
        PixelBuffer p = page(800, 600);
        for (int x = 150; x <= 700; x += 50) fill(p, {x, 500, x + 1, 507}, Black);
        for (int y = 50; y <= 455; y += 45)
            if (y != 140 && y != 230 && y != 320) fill(p, {92, y, 99, y + 1}, Black);
        cases.push_back({"tick marks, some hidden by curves", std::move(p), {{92, 51, 701, 508}}});
    }
    {
        // A 300 dpi scan's marks, 7 pixels thick and 24 long.
        PixelBuffer p = page(2400, 1800);
        for (int x = 400; x <= 2000; x += 200) fill(p, {x, 1500, x + 6, 1523}, Black);
        for (int y = 200; y <= 1250; y += 150) fill(p, {276, y, 299, y + 6}, Black);
        cases.push_back({"a 300 dpi scan's thick tick marks", std::move(p), {{276, 203.5, 2003.5, 1524}}});
    }
    {
        // Solid axis lines left and under a dashed grid that closes the plot
        // on top; a scan's blur made parts of the grid solid (half a line
        // across and two pieces down), which alone would end the chart there.
        // On the right the plot ends with the x axis's line.
        PixelBuffer p = page(800, 600);
        fill(p, {100, 50, 101, 501}, Black);
        fill(p, {100, 500, 701, 501}, Black);
        for (int y = 50; y < 500; y += 100)
            for (int x = 102; x <= 701; x += 10) fill(p, {x, y, std::min(x + 5, 701), y + 1}, LightGrey);
        for (int x = 300; x <= 700; x += 200)
            for (int y = 50; y < 500; y += 10) fill(p, {x, y, x + 1, std::min(y + 5, 499)}, LightGrey);
        fill(p, {102, 150, 330, 151}, LightGrey);
        for (const int x : {300, 500}) fill(p, {x, 140, x + 1, 400}, LightGrey);
        cases.push_back({"solid axis lines under a dashed grid", std::move(p), {{101, 51, 702, 501}}});
    }
    {
        // Anti-aliased marks one pixel wide, a light fringe on each side:
        // inward, majors 7 long, four minors 5 long between them, whose three
        // pixels of ink across are one of width (a stroke, not a blob).
        PixelBuffer p = page(800, 600);
        const auto mark = [&](int x0, int y0, int x1, int y1, bool down) {
            fill(p, {x0, y0, x1, y1}, Black);
            fill(p, down ? Rect{x0 - 1, y0, x0 - 1, y1} : Rect{x0, y0 - 1, x1, y0 - 1}, Fringe);
            fill(p, down ? Rect{x1 + 1, y0, x1 + 1, y1} : Rect{x0, y1 + 1, x1, y1 + 1}, Fringe);
        };
        for (int x = 150; x <= 650; x += 20) mark(x, (x - 150) % 100 ? 495 : 493, x, 499, true);
        for (int y = 60; y <= 460; y += 16) mark(100, y, (y - 60) % 80 ? 104 : 106, y, false);
        cases.push_back({"anti-aliased tick marks with short minor ones", std::move(p), {{100, 60.5, 650.5, 500}}});
    }
    {
        // Stacked panels with tick marks only, their y marks in one column at
        // two steps (60 and 40 pixels): the upper panel's x axis is no top of the lower one.
        PixelBuffer p = page(800, 700);
        for (const int axis : {331, 621})
            for (int x = 150; x <= 650; x += 100) fill(p, {x, axis, x + 1, axis + 7}, Black);
        for (int y = 60; y <= 300; y += 60) fill(p, {92, y, 99, y + 1}, Black);
        for (int y = 380; y <= 580; y += 40) fill(p, {92, y, 99, y + 1}, Black);
        cases.push_back({"stacked panels' tick marks in one column", std::move(p), {{92, 61, 651, 339}, {92, 381, 651, 629}}});
    }
    {
        // The same with one step (60 pixels) through both panels: the
        // upper panel's x marks part the column.
        PixelBuffer p = page(800, 700);
        for (const int axis : {331, 631})
            for (int x = 150; x <= 650; x += 100) fill(p, {x, axis, x + 1, axis + 7}, Black);
        for (int y = 60; y <= 600; y += 60) fill(p, {92, y, 99, y + 1}, Black);
        cases.push_back({"stacked panels' tick marks in one column at one step", std::move(p), {{92, 61, 651, 339}, {92, 361, 651, 639}}});
    }
    {
        // A short row of strokes inside one chart (a curve's bar markers): no panel's x axis, it parts nothing.
        PixelBuffer p = page(800, 600);
        for (int x = 150; x <= 650; x += 100) fill(p, {x, 500, x + 1, 507}, Black);
        for (int y = 60; y <= 460; y += 40) fill(p, {92, y, 99, y + 1}, Black);
        for (int x = 150; x <= 330; x += 60) fill(p, {x, 320, x + 1, 325}, Black);
        cases.push_back({"a row of strokes inside a chart of tick marks", std::move(p), {{92, 61, 651, 508}}});
    }
    {
        // A number's "1" right of the x marks, its foot on their outer ends: no mark of the row.
        PixelBuffer p = page(800, 600);
        for (int x = 150; x <= 550; x += 100) fill(p, {x, 500, x + 1, 507}, Black);
        fill(p, {750, 498, 751, 507}, Black);
        for (int y = 50; y <= 455; y += 45) fill(p, {92, y, 99, y + 1}, Black);
        cases.push_back({"tick marks beside a number's 1", std::move(p), {{92, 51, 551, 508}}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<ChartFrame> charts = findCharts(c.picture);
        ASSERT_EQ(charts.size(), c.expected.size()) << chartListText(charts);
        for (std::size_t i = 0; i < charts.size(); ++i) {
            EXPECT_NEAR(charts[i].left, c.expected[i][0], 0.05) << i;
            EXPECT_NEAR(charts[i].top, c.expected[i][1], 0.05) << i;
            EXPECT_NEAR(charts[i].right, c.expected[i][2], 0.05) << i;
            EXPECT_NEAR(charts[i].bottom, c.expected[i][3], 0.05) << i;
        }
        if (c.expected.size() == 4) {
            EXPECT_EQ(chartAt(charts, {700, 700}), 3u);
            EXPECT_EQ(chartAt(charts, {560, 200}), std::nullopt);
        }
    }
}

// A light grid with no frame on a grainy grey scan: each line's pixels are
// no darker than the grain reaches (16 levels under paper, the grain 10
// either way), but along its row or column the line stands out. The grain
// alone makes no chart.
TEST(PageStructure, AGridTooFaintForTheGrainIsFoundByItsRows)
{
    for (const bool grid : {true, false}) {
        SCOPED_TRACE(grid ? "a faint grid" : "grain alone");
        PixelBuffer p = page(800, 600);
        std::uint32_t seed = 12345;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const bool line = grid && ((y >= 100 && y <= 501 && x >= 100 && x <= 701 && (x - 100) % 150 <= 1) ||
                                           (x >= 100 && x <= 701 && y >= 100 && y <= 501 && (y - 100) % 100 <= 1));
                const int v = 200 - (line ? 16 : 0) + static_cast<int>(seed >> 24) % 21 - 10;
                p.setPixel(x, y, 0xff000000u | std::uint32_t(v) << 16 | std::uint32_t(v) << 8 | std::uint32_t(v));
            }
        const std::vector<ChartFrame> charts = findCharts(p);
        ASSERT_EQ(charts.size(), grid ? 1u : 0u) << chartListText(charts);
        if (!grid) continue;
        EXPECT_NEAR(charts[0].left, 101, 0.5);
        EXPECT_NEAR(charts[0].top, 101, 0.5);
        EXPECT_NEAR(charts[0].right, 701, 0.5);
        EXPECT_NEAR(charts[0].bottom, 501, 0.5);
    }
}

TEST(PageStructure, ALineIsPlacedAtTheCentreOfItsInkToATenthOfAPixel)
{
    // A line across whose middle lies at row 200 + share: its rows 199 and
    // 200 carry the ink a renderer gives a one pixel line at that place.
    for (double share : {0.0, 0.3, 0.5, 0.8}) {
        SCOPED_TRACE(share);
        PixelBuffer p = page(400, 300);
        const auto grey = [](double ink) {
            const auto v = static_cast<std::uint32_t>(std::lround(255 * (1 - ink)));
            return 0xff000000u | v << 16 | v << 8 | v;
        };
        // One pixel of ink spread over rows 199 and 200 as its middle sits between their centres.
        const double middle = 199.5 + share;
        for (int x = 50; x < 350; ++x) {
            p.setPixel(x, 199, grey(std::clamp(200.5 - middle, 0.0, 1.0)));
            p.setPixel(x, 200, grey(std::clamp(middle - 199.5, 0.0, 1.0)));
        }
        const EdgeLine line{199, 200, 50, 349, 0};
        EXPECT_NEAR(lineCentre(p, line, true), middle, 0.1);
    }
    // A frame of one pixel (row 200) between the white page and a grey plot area below it: the area is no ink.
    PixelBuffer p = page(400, 300);
    fill(p, {50, 201, 349, 299}, AreaGrey);
    fill(p, {50, 200, 349, 200}, 0xffc1c1c1);
    EXPECT_NEAR(lineCentre(p, EdgeLine{200, 200, 50, 349, 0}, true), 200.5, 0.05);
}

TEST(PageStructure, AScanIsTurnedBackOnlyByItsLongLines)
{
    constexpr double Pi = 3.14159265358979323846;
    // A stroke three pixels thick from (x0, y0) at `degrees` below the row (positive descends to the right).
    const auto stroke = [](PixelBuffer& p, double x0, double y0, double length, double degrees, std::uint32_t colour = Black) {
        const double c = std::cos(degrees * Pi / 180), s = std::sin(degrees * Pi / 180);
        for (double t = 0; t < length; t += 0.5)
            for (int d = -1; d <= 1; ++d) {
                const int x = int(std::lround(x0 + t * c)), y = int(std::lround(y0 + t * s + d));
                if (p.contains(x, y)) p.setPixel(x, y, colour);
            }
    };
    struct Case {
        const char* name;
        double turn;     // the frame's, in degrees (none drawn when `frame` is false)
        bool frame;
        std::uint32_t colour;
        double expected; // the turn found
        bool areaOnly = false; // the grey area the only paper the caller knows of
    };
    const Case cases[] = {
        {"a frame turned by 1.5 degrees", 1.5, true, Black, 1.5},
        {"a frame turned back by 0.8 degrees", -0.8, true, Black, -0.8},
        {"a light grey frame turned by 1 degree", 1.0, true, LightGrey, 1.0},
        // The grey area is the only paper the page's colours give; its frame is lighter than the area is dark.
        {"a light frame round a grey area, the area the only paper", -1.3, true, LightGrey, -1.3, true},
        {"a frame drawn straight", 0, true, Black, 0},
        {"a frame turned by 2.35 degrees", 2.35, true, Black, 2.35},
        // Seaborn's grey area with slanting curves and labels: nothing lines up but by chance.
        {"slanting curves without any long line", 0, false, Black, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = page(760, 570);
        fill(p, {60, 23, 722, 517}, AreaGrey);
        if (c.frame) {
            const double tangent = std::tan(c.turn * Pi / 180);
            stroke(p, 60, 23, 662, c.turn, c.colour), stroke(p, 60, 517, 662, c.turn, c.colour);
            stroke(p, 60, 23, 494, 90 + c.turn, c.colour), stroke(p, 722, 23 + 662 * tangent, 494, 90 + c.turn, c.colour);
        }
        for (int k = 0; k < 4; ++k) stroke(p, 60 + 100 * k, 517, 560, -48);
        stroke(p, 60, 60, 200, 3); // a curve's flat start, straight over a fair length
        for (int k = 0; k < 5; ++k) fill(p, {35, 20 + 124 * k, 50, 30 + 124 * k}, Black);
        const std::vector<Rgb> papers = c.areaOnly ? std::vector<Rgb>{{229, 229, 229}} : std::vector<Rgb>{{233, 233, 241}, {255, 255, 255}};
        EXPECT_NEAR(pageTurn(p, papers), c.expected, 0.05);
    }
}

// A scan's blur and grain leave a thin line's ink on two neighbouring rows,
// now one, now the other: the two together are the line, and a small frame
// so drawn still turns the page; half its ink, on one row, is too short a line.
TEST(PageStructure, AFrameBlurredOverTwoRowsTurnsThePage)
{
    constexpr double Pi = 3.14159265358979323846, Turn = 1.5;
    struct Case {
        const char* name;
        bool bothRows;
        double expected;
    };
    const Case cases[] = {{"each line's pixels on two rows by turns", true, Turn}, {"only one row's share of them", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = page(760, 570);
        const double cs = std::cos(Turn * Pi / 180), sn = std::sin(Turn * Pi / 180);
        // A frame 180 x 135 from (300, 200), its sides about a quarter of the page's: each pixel
        // along a side is set one row (or column) over every other step.
        const auto side = [&](double x0, double y0, int length, bool across) {
            for (int t = 0; t < length; ++t) {
                if (t % 2 && !c.bothRows) continue;
                const double x = across ? x0 + t * cs : x0 - t * sn, y = across ? y0 + t * sn : y0 + t * cs;
                p.setPixel(int(std::lround(x)) + (across ? 0 : t % 2), int(std::lround(y)) + (across ? t % 2 : 0), Black);
            }
        };
        side(300, 200, 180, true), side(300 - 135 * sn, 200 + 135 * cs, 180, true);
        side(300, 200, 135, false), side(300 + 180 * cs, 200 + 180 * sn, 135, false);
        EXPECT_NEAR(pageTurn(p, pagePapers(p)), c.expected, 0.05);
    }
}

// The turn of a page is its structure's (frames, text); curves sloping
// across a page drawn straight turn nothing.
TEST(PageStructure, APageIsTurnedByItsStructureNotByItsCurves)
{
    constexpr double Pi = 3.14159265358979323846;
    // A line of `thickness` pixels from (x0, y0), `length` long, descending `degrees` to the right.
    const auto line = [&](PixelBuffer& p, double x0, double y0, double length, double degrees, int thickness, std::uint32_t colour) {
        const double c = std::cos(degrees * Pi / 180), s = std::sin(degrees * Pi / 180);
        for (double t = 0; t <= length; t += 0.5)
            for (int k = 0; k < thickness; ++k) {
                const int x = int(x0 + t * c - k * s), y = int(y0 + t * s + k * c);
                if (p.contains(x, y)) p.setPixel(x, y, colour);
            }
    };
    struct Case {
        const char* name;
        PixelBuffer picture;
        double turn;
    };
    std::vector<Case> cases;
    {
        PixelBuffer p = page(800, 600);
        for (int y = 60; y < 540; y += 30) line(p, 60, y, 680, 1.5, 2, Black);
        for (int x = 100; x < 740; x += 160) line(p, x, 40, 480, 91.5, 2, Black);
        cases.push_back({"a grid turned 1.5°", std::move(p), 1.5});
    }
    {
        PixelBuffer p = page(800, 600);
        fill(p, {100, 50, 699, 499}, AreaGrey);
        for (int k = 0; k < 12; ++k) line(p, 100, 80 + 30 * k, 600, 2.2, 3, 0xff1f77b4);
        for (int y = 520; y < 560; y += 20) line(p, 300, y, 200, 0, 2, Black);
        cases.push_back({"coloured curves sloping over a straight page", std::move(p), 0});
    }
    {
        PixelBuffer p = page(800, 600);
        for (int k = 0; k < 6; ++k) line(p, 100, 60 + 40 * k, 600, 8 + k, 4, Black);
        cases.push_back({"black curves falling steeply: no peak within the turns a scan has", std::move(p), 0});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(pageTurn(c.picture, pagePapers(c.picture)), c.turn, 0.05);
    }
}

TEST(PageStructure, CurvesOutsideEveryChartFoundAreTold)
{
    // A framed chart on the left half of a 1000 x 700 page (cells of 10
    // pixels); beside it, on the right, what may or may not be a chart's curves.
    constexpr std::uint32_t Blue = 0xff1f77b4;
    const auto slope = [](PixelBuffer& p, int x0, int x1, int y0, int rise, int dash, int gap) {
        for (int x = x0; x <= x1; ++x)
            if ((x - x0) % (dash + gap) < dash) fill(p, {x, y0 - rise * (x - x0) / (x1 - x0), x, y0 - rise * (x - x0) / (x1 - x0) + 1}, Blue);
    };
    struct Case {
        const char* name;
        void (*draw)(PixelBuffer&, decltype(slope)&);
        bool told;
    };
    const Case cases[] = {
        {"a curve inside the chart", [](PixelBuffer& p, decltype(slope)& s) { s(p, 120, 380, 400, 250, 1, 0); }, false},
        {"a dash-dot curve of a chart with tick marks only", [](PixelBuffer& p, decltype(slope)& s) { s(p, 560, 940, 600, 300, 12, 6); }, true},
        {"a legend's sample outside the frame", [](PixelBuffer& p, decltype(slope)& s) { s(p, 560, 620, 300, 0, 1, 0); }, false},
        {"a coloured heading", [](PixelBuffer& p, decltype(slope)&) { fill(p, {560, 60, 940, 80}, 0xff1f77b4); }, false},
        {"a coloured axis's numbers in a column", [](PixelBuffer& p, decltype(slope)&) {
             for (int y = 100; y <= 500; y += 50) fill(p, {460, y, 480, y + 10}, 0xff1f77b4);
         }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = page(1000, 700);
        frame(p, {100, 100, 401, 501});
        c.draw(p, slope);
        const std::vector<ChartFrame> charts = findCharts(p);
        ASSERT_EQ(charts.size(), 1u);
        EXPECT_EQ(!curveInkOutside(p, charts).empty(), c.told);
    }
}

// A chart not found takes its place in reading order only where its unseen
// frame, reaching from its curves up to the charts round it or the page's
// edge, could stand nowhere else (an A4 page at 300 dpi, 2480 x 3508).
TEST(PageStructure, AChartNotFoundIsPlacedWhereNoReachOfItsFrameCouldMoveIt)
{
    const auto box = [](double l, double t, double r, double b) {
        ChartFrame c;
        c.left = l, c.top = t, c.right = r, c.bottom = b;
        return c;
    };
    const ChartFrame wide = box(230, 930, 2330, 1680), lowLeft = box(230, 2120, 1150, 2920), lowRight = box(1440, 2090, 2350, 2890);
    struct Case {
        const char* name;
        std::vector<ChartFrame> found;
        PixelRect lines;
        std::optional<std::size_t> place;
    };
    const Case cases[] = {
        // Beside the lower left chart whatever its top: in its row (top above that chart's middle) or the next, after it.
        {"the lower right of three", {wide, lowLeft}, {1435, 2485, 665, 420}, 2},
        // Its top may be anywhere from the wide chart's bottom to its lines': before the lower right chart or in a row after it.
        {"the lower left of three, lines low in it", {wide, lowRight}, {210, 2555, 595, 315}, std::nullopt},
        {"the lower left of three, lines high in it", {wide, lowRight}, {210, 2100, 595, 700}, 1},
        {"between two stacked panels", {box(230, 350, 1970, 1540), box(270, 2130, 2000, 2750)}, {270, 1590, 1500, 390}, 1},
        {"above the only chart found", {box(250, 1580, 1670, 2200)}, {190, 480, 1390, 340}, 0},
        {"lines running into a chart found", {wide, lowLeft}, {1100, 2485, 665, 420}, std::nullopt},
        // Two rows without it; reaching from above both, it starts a row whose middle takes the
        // second chart in beside the first, and their order turns by their left edges.
        {"a chart whose frame would reorder the others", {box(1000, 100, 1400, 300), box(100, 250, 500, 450)}, {1500, 50, 400, 550}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(placeAmongCharts(c.found, c.lines, 3508), c.place);
    }
}

TEST(PageStructure, ADarkCurveOutsideEveryChartFoundIsTold)
{
    // A framed chart on the left half of a 1000 x 700 page; beside it, on the
    // right, black ink that is or is not the curve of a chart without lines
    // (one reaching 10 % of the width and 4 % of the height is far enough).
    const auto curve = [](PixelBuffer& p, int x0, int x1, int y0, int rise) {
        for (int x = x0; x <= x1; ++x) {
            const int y = y0 - rise * (x - x0) * (x - x0) / ((x1 - x0) * (x1 - x0));
            fill(p, {x, y, x, y + 2}, Black);
        }
    };
    struct Case {
        const char* name;
        void (*draw)(PixelBuffer&, decltype(curve)&);
        bool told;
    };
    const Case cases[] = {
        {"a black curve inside the chart", [](PixelBuffer& p, decltype(curve)& c) { c(p, 120, 380, 450, 300); }, false},
        {"a black curve of a chart with numbers only", [](PixelBuffer& p, decltype(curve)& c) { c(p, 560, 940, 600, 300); }, true},
        {"two black curves crossing", [](PixelBuffer& p, decltype(curve)& c) {
             c(p, 560, 940, 600, 300);
             for (int x = 560; x <= 940; ++x) fill(p, {x, 400 + (x - 560) / 4, x, 402 + (x - 560) / 4}, Black);
         }, true},
        {"a table's grid", [](PixelBuffer& p, decltype(curve)&) {
             for (int y = 300; y <= 420; y += 30) fill(p, {560, y, 940, y + 1}, Black);
             for (int x = 560; x <= 940; x += 95) fill(p, {x, 300, x + 1, 421}, Black);
         }, false},
        {"a box drawn round a note", [](PixelBuffer& p, decltype(curve)&) {
             fill(p, {560, 300, 940, 301}, Black), fill(p, {560, 380, 940, 381}, Black);
             fill(p, {560, 300, 561, 381}, Black), fill(p, {939, 300, 940, 381}, Black);
         }, false},
        {"lines of text, each letter apart", [](PixelBuffer& p, decltype(curve)&) {
             for (int y = 300; y <= 400; y += 20)
                 for (int x = 560; x <= 940; x += 9) fill(p, {x, y, x + 5, y + 10}, Black);
         }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = page(1000, 700);
        frame(p, {100, 100, 401, 501});
        c.draw(p, curve);
        // A box with no numbers round it (the table's, the note's) is dropped when the axes are read.
        std::vector<ChartFrame> charts = findCharts(p);
        charts.erase(std::remove_if(charts.begin(), charts.end(), [](const ChartFrame& f) { return f.left > 500; }), charts.end());
        ASSERT_EQ(charts.size(), 1u);
        EXPECT_EQ(!darkCurveOutside(p, structureInk(p, pagePapers(p)), charts).empty(), c.told);
    }
}
