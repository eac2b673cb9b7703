#include "capture/curvetrace.h"
#include "capture/markerrows.h"
#include "capture/traceends.h"
#include "capture/tracecoverage.h"
#include "capture/tracestretch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace calvero::capture;

namespace {

Piece box(int left, int top, int width, int height)
{
    return {static_cast<long long>(width) * height, left, left + width - 1, top, top + height - 1};
}

} // namespace

TEST(MarkerRows, LikePiecesAtOnePitchFartherApartThanLettersAreMarkers)
{
    // Five pieces on one line: the pitch between left edges, the widths (all
    // 8 high), and whether they are a row of markers.
    struct Case {
        const char* what;
        std::vector<int> lefts;
        std::vector<int> widths;
        bool markers;
    };
    const std::vector<Case> cases{
        {"markers 8 wide every 17 pixels", {10, 27, 44, 61, 78}, {8, 8, 8, 8, 8}, true},
        {"markers a scan made 7 to 9 wide", {10, 27, 44, 61, 78}, {7, 9, 8, 9, 7}, true},
        {"letters 2 pixels apart", {10, 20, 30, 40, 50}, {8, 8, 8, 8, 8}, false},
        {"uneven steps: a word's letters and blanks", {10, 27, 34, 61, 70}, {8, 5, 8, 8, 8}, false},
        {"pieces of unlike sizes", {10, 27, 44, 61, 78}, {8, 3, 8, 14, 8}, false},
        {"three alike are no row", {10, 27, 44}, {8, 8, 8}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ColourPieces found;
        for (std::size_t i = 0; i < c.lefts.size(); ++i) found.pieces.push_back(box(c.lefts[i], 50, c.widths[i], 8));
        const std::vector<bool> all(found.pieces.size(), true);
        const std::vector<bool> markers = markerRows(found, all);
        for (bool m : markers) EXPECT_EQ(m, c.markers);
        // Pieces not among the letters are never a row.
        EXPECT_EQ(markerRows(found, std::vector<bool>(found.pieces.size(), false)), std::vector<bool>(found.pieces.size(), false));
    }
}

TEST(TraceEnds, SpecksOfALabelBeyondTheLineAreCutOffAndTold)
{
    // A line along row 100 (3 pixels thick) from column 40 to lineEnds,
    // solid, dashed or dash-dot; beyond it, maybe a label's specks or
    // the line's own part; the trace the search gives runs a point per
    // column from 40 to its last column.
    struct Case {
        const char* what;
        int dash; // pixels on, then 5 off (a dash-dot line: 14 on, 8 off, 3 on, 8 off); 0 for a solid line
        int lineEnds;
        std::vector<std::pair<int, int>> beyond; // columns from, to of ink on row 100
        int traceTo;
        int kept; // the last column kept
        bool label;
    };
    const std::vector<Case> cases{
        {"dashed line, a label's specks 20 and 60 pixels beyond", 12, 289, {{310, 313}, {350, 351}, {353, 354}, {356, 357}}, 358, 289, true},
        {"solid line, a label's specks beyond", 0, 299, {{320, 321}, {360, 361}, {364, 365}}, 366, 299, true},
        {"dashed line, no label", 12, 289, {}, 289, 289, false},
        {"dash-dot line ending on a dot, no label", -1, 295, {}, 295, 295, false},
        {"solid line, a stub beyond a crossing 3 pixels wide", 0, 299, {{303, 308}}, 308, 308, false},
        {"solid line, its part beyond a box 40 pixels wide", 0, 299, {{340, 369}}, 369, 369, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PixelMask mask(400, 200);
        for (int x = 40; x <= c.lineEnds; ++x)
            if (c.dash == 0 || (c.dash > 0 && (x - 40) % (c.dash + 5) < c.dash) ||
                (c.dash < 0 && ((x - 40) % 33 < 14 || ((x - 40) % 33 >= 22 && (x - 40) % 33 < 25))))
                for (int y = 99; y <= 101; ++y) mask.set(x, y, true);
        for (const auto& [from, to] : c.beyond)
            for (int x = from; x <= to; ++x)
                for (int y = 100; y <= 101; ++y) mask.set(x, y, true);
        const ColourPieces pieces = findPieces(mask);
        const ColumnRuns columns(pieces, std::vector<bool>(pieces.pieces.size(), true), mask.width());
        std::vector<PixelPoint> trace;
        for (int x = 40; x <= c.traceTo; ++x) trace.push_back({x + 0.5, 100.5});
        const TrimmedTrace trimmed = trimmedAtLabels(columns, trace, 14);
        ASSERT_FALSE(trimmed.trace.empty());
        EXPECT_EQ(trimmed.trace.front().x, 40.5);
        EXPECT_EQ(trimmed.trace.back().x, c.kept + 0.5);
        ASSERT_EQ(trimmed.labels.size(), c.label ? 1u : 0u);
        if (c.label) {
            EXPECT_GT(trimmed.labels[0].left, c.lineEnds);
            EXPECT_LE(trimmed.labels[0].left, c.beyond.front().first);
            EXPECT_GT(trimmed.labels[0].left + trimmed.labels[0].width, c.beyond.back().second);
        }
    }
}

TEST(TraceStretch, AStretchOnALighterLineIsToldAndAShadeKeptAlongIsNot)
{
    // A black line 3 pixels thick along row 100 from column 20 to 319; the
    // trace runs on it, or from column `onGrey` on a line of another grey at
    // row 140 (a neighbour of the family where the two part).
    struct Case {
        const char* what;
        std::uint32_t other;
        int onGrey;  // first column on the other line (past the end: never)
        int offGrey; // first column back on the black line
        std::optional<int> from;
    };
    const std::vector<Case> cases{
        {"last quarter on a dark grey line", 0xff444444, 240, 320, 240},
        {"a middle stretch on a mid grey line", 0xff777777, 120, 200, 120},
        {"never off the black line", 0xff444444, 320, 320, std::nullopt},
        {"a few columns on grey (a crossing)", 0xff777777, 150, 158, std::nullopt},
        {"last quarter on a line nearly as dark", 0xff222222, 240, 320, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PixelBuffer picture = *PixelBuffer::create(400, 200);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 320; ++x) {
            const bool grey = x >= c.onGrey && x < c.offGrey;
            for (int dy = -1; dy <= 1; ++dy) picture.setPixel(x, 100 + dy, 0xff000000);
            for (int dy = -1; dy <= 1; ++dy) picture.setPixel(x, 140 + dy, c.other);
            trace.push_back({x + 0.5, grey ? 140.5 : 100.5});
        }
        const std::optional<LighterStretch> stretch = lighterStretch(picture, trace, Rgb{255, 255, 255});
        ASSERT_EQ(stretch.has_value(), c.from.has_value());
        if (stretch) {
            EXPECT_NEAR(stretch->from.x, *c.from + 0.5, 20);
            EXPECT_NEAR(stretch->to.x, c.offGrey - 0.5, 20);
        }
    }
}

TEST(TraceCoverage, AnEndAtAnAreaEdgeWellInsideTheAxesSpanMayGoOn)
{
    // The axes: x 0 at column 50 to 100 at column 450, y 0 at row 350 to 50
    // at row 50 (level, upright). The area found: columns 50..450 (the
    // frame) or 150..450 (a grid line at x = 25 taken for the frame's left side).
    const AxisCalibration calibration = *AxisCalibration::fromReferences(
        {{{50, 350}, {450, 350}, 0, 100, AxisScale::Linear}, {{50, 350}, {50, 50}, 0, 50, AxisScale::Linear}});
    struct Case {
        const char* what;
        double areaLeft;
        PixelPoint end;
        bool inside;
    };
    const std::vector<Case> cases{
        {"end at the frame's left side, x = 0", 50, {51, 200}, false},
        {"end at a grid line taken for the left side, x = 25", 150, {151, 200}, true},
        {"end in the middle of the plot, at no edge", 150, {300, 200}, false},
        {"end at the frame's right side, x = 100", 150, {449, 200}, false},
        {"end at the area's top, above y = 50", 150, {300, 41}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PlotArea area(LineDirections{}, std::pair{40.0, 360.0}, std::pair{c.areaLeft, 450.0});
        EXPECT_EQ(endAtInnerEdge(c.end, area, calibration, 8), c.inside);
    }
}
