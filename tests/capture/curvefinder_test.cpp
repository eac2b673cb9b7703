#include "capture/allcurves.h"
#include "capture/linemeant.h"
#include "capture/curvefinder.h"
#include "capture/legendstrokes.h"
#include "capture/tracebridge.h"
#include "capture/textpieces.h"
#include "capture/tracecoverage.h"
#include "capture/tracedoubts.h"
#include "capture/tolerancechoice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace calvero::capture;
using calvero::Checked;

namespace {

constexpr std::uint32_t Red = 0xffcc0000;

// Two red lines 3 pixels thick, rows 100 + x / 10 and 200 + x / 10, across columns 20..379.
PixelBuffer twoLines()
{
    PixelBuffer picture = *PixelBuffer::create(400, 300);
    for (int x = 20; x < 380; ++x)
        for (int line : {100, 200})
            for (int dy = -1; dy <= 1; ++dy) picture.setPixel(x, line + x / 10 + dy, Red);
    return picture;
}

std::uint32_t grey(int v) { return argbOf({std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)}); }

// A page 400 x 300: white as drawn, or grey (232) with a scan's grain.
PixelBuffer greyPaper(bool scanned)
{
    PixelBuffer page = *PixelBuffer::create(400, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) page.setPixel(x, y, grey(scanned ? 232 + (x * 7 + y * 13) % 7 - 3 : 255));
    return page;
}

// The paper, with the page grey (192) above row 30 and below row 250 when
// asked: a white chart between them on a grey page.
PixelBuffer paperAroundChart(bool scanned, bool greyPage)
{
    PixelBuffer page = greyPaper(scanned);
    if (greyPage)
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                if (y < 30 || y >= 250) page.setPixel(x, y, grey(192));
    return page;
}

// Column x of a level grey line along row 100: its ink, a row either side half way to the paper.
void levelLineColumn(PixelBuffer& page, int x, int ink, int paper)
{
    page.setPixel(x, 100, grey(ink));
    page.setPixel(x, 99, grey((ink + paper) / 2)), page.setPixel(x, 101, grey((ink + paper) / 2));
}

AxesReferences axes(AxisScale xScale)
{
    const bool log = xScale == AxisScale::Logarithmic;
    return {{{0, 300}, {400, 300}, log ? 1.0 : 0.0, log ? 1e4 : 400.0, xScale}, {{0, 300}, {0, 0}, 0, 300, AxisScale::Linear}};
}

} // namespace

TEST(FindCurve, TakesTheClickedCurveLeavesExcludedAreasAndSpacesPointsEvenly)
{
    const PixelBuffer picture = twoLines();
    struct Case {
        const char* name;
        std::optional<PixelPoint> seed;
        std::vector<PixelRect> exclusions;
        AxisScale xScale;
        int expectedLine; // 0: none found
    };
    const Case cases[] = {
        {"click on the lower line", PixelPoint{200, 221}, {}, AxisScale::Linear, 200},
        {"click on the upper line", PixelPoint{100, 109}, {}, AxisScale::Logarithmic, 100},
        {"upper line left out", std::nullopt, {{0, 50, 400, 100}}, AxisScale::Linear, 200},
        {"lower line left out, click on it", PixelPoint{200, 221}, {{0, 190, 400, 60}}, AxisScale::Linear, 100},
        {"both left out", std::nullopt, {{0, 50, 400, 100}, {0, 190, 400, 60}}, AxisScale::Linear, 0},
        {"only short stubs left", std::nullopt, {{0, 0, 376, 300}}, AxisScale::Linear, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(c.xScale));
        CurveSearch search{{204, 0, 0}, DefaultTolerance, 12, c.seed, c.exclusions};
        const Checked<FoundCurve> found = findCurve(picture, calibration, search);
        if (c.expectedLine == 0) {
            EXPECT_EQ(found.failure(), "nessuna curva del colore #cc0000 trovata nell'immagine");
            continue;
        }
        ASSERT_TRUE(found) << found.failure();
        ASSERT_EQ(found->points.size(), 12u);
        const auto step = [&](std::size_t i) {
            return calibration.scaledX(found->points[i + 1].x) - calibration.scaledX(found->points[i].x);
        };
        for (std::size_t i = 0; i < 12; ++i) {
            const PixelPoint pixel = found->pixels[i];
            EXPECT_NEAR(pixel.y, c.expectedLine + pixel.x / 10, 1.0) << pixel.x;
            if (i + 1 < 12) {
                EXPECT_NEAR(step(i), step(0), 1e-9 * std::abs(step(0)));
            }
        }
        EXPECT_LE(found->pixels.front().x, 21);
        EXPECT_GE(found->pixels.back().x, 379);
    }
    EXPECT_EQ(curveSearchProblem(picture, {{0, 0, 0}, 120, 30, {}, {}}), "tolleranza non valida (0..100)");
    EXPECT_EQ(curveSearchProblem(picture, {{0, 0, 0}, 20, 201, {}, {}}), "numero di punti non valido (2..200): 201");
    EXPECT_EQ(curveSearchProblem(PixelBuffer(), {}), "nessuna immagine da leggere");
}

TEST(FindCurve, MarkersGiveTheirCentres)
{
    // Markers of each shape at known points, red or black, on a black frame
    // and grid that cut some of them; a larger marker of another series too.
    enum class Shape { FilledSquare, HollowCircle, Triangle };
    for (const auto& [shape, ink] : {std::pair{Shape::FilledSquare, Red}, {Shape::HollowCircle, Red},
                                     {Shape::Triangle, Red}, {Shape::HollowCircle, 0xff000000u}}) {
        SCOPED_TRACE(static_cast<int>(shape));
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        for (int x = 20; x <= 380; ++x)
            for (int y : {20, 80, 140, 200, 280}) picture.setPixel(x, y, 0xff000000);
        for (int y = 20; y <= 280; ++y)
            for (int x : {20, 110, 200, 290, 380}) picture.setPixel(x, y, 0xff000000);
        // The second lies across a grid line, the fourth beside one.
        const std::vector<PixelPoint> drawn{{45.5, 250.5}, {95.5, 201.5}, {160.5, 170.5}, {206.5, 120.5}, {330.5, 60.5}};
        for (const PixelPoint& c : drawn)
            for (int dy = -5; dy <= 5; ++dy)
                for (int dx = -5; dx <= 5; ++dx) {
                    const double r = std::hypot(dx, dy);
                    const bool inside = shape == Shape::FilledSquare ? true
                                        : shape == Shape::HollowCircle ? r >= 3.6 && r <= 5.4
                                                                       : std::abs(dx) * 2 <= dy + 5;
                    if (inside) picture.setPixel(int(c.x) + dx, int(c.y) + dy, ink);
                }
        for (int dy = -9; dy <= 9; ++dy)
            for (int dx = -9; dx <= 9; ++dx) picture.setPixel(300 + dx, 240 + dy, ink);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        CurveSearch search{rgbOf(ink), DefaultTolerance, 12, std::nullopt, {}};
        search.markers = true;
        const Checked<FoundCurve> found = findCurve(picture, calibration, search);
        ASSERT_TRUE(found) << found.failure();
        ASSERT_EQ(found->pixels.size(), drawn.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_NEAR(found->pixels[i].x, drawn[i].x, 0.51);
            EXPECT_NEAR(found->pixels[i].y, drawn[i].y, 0.51);
            EXPECT_NEAR(found->points[i].y, 300 - drawn[i].y, 0.51);
        }
    }
}

TEST(FindCurve, HollowMarkersAThickGridLineCutsAcrossAreJoinedAgain)
{
    // A page scanned at high resolution: grid lines 6 pixels thick, hollow
    // squares 31 pixels wide, three of them with a grid line through the middle.
    PixelBuffer picture = *PixelBuffer::create(2000, 1500);
    constexpr std::uint32_t Black = 0xff000000;
    for (int t = 0; t < 6; ++t) {
        for (int x = 100; x <= 1900; ++x)
            for (int y : {100, 500, 900, 1400}) picture.setPixel(x, y + t, Black);
        for (int y = 100; y <= 1405; ++y)
            for (int x : {100, 700, 1300, 1900}) picture.setPixel(x + t, y, Black);
    }
    const std::vector<PixelPoint> drawn{{300.5, 1203}, {500.5, 903}, {703, 700.5}, {1000.5, 503}, {1200.5, 300.5}, {1600.5, 250.5}};
    for (const PixelPoint& c : drawn)
        for (int dy = -15; dy <= 15; ++dy)
            for (int dx = -15; dx <= 15; ++dx)
                if (std::max(std::abs(dx), std::abs(dy)) >= 13) picture.setPixel(int(c.x) + dx, int(c.y) + dy, Black);
    const AxesReferences references{{{100, 1400}, {1900, 1400}, 0, 1800, AxisScale::Linear},
                                    {{100, 1400}, {100, 100}, 0, 1300, AxisScale::Linear}};
    CurveSearch search{{0, 0, 0}, DefaultTolerance, 12, std::nullopt, {}};
    search.markers = true;
    const Checked<FoundCurve> found = findCurve(picture, *AxisCalibration::fromReferences(references), search);
    ASSERT_TRUE(found) << found.failure();
    ASSERT_EQ(found->pixels.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(found->pixels[i].x, drawn[i].x, 1.0) << i;
        EXPECT_NEAR(found->pixels[i].y, drawn[i].y, 1.0) << i;
    }
}

TEST(FindCurve, AThickLineAveragedOverItsThicknessLosesThePixelSteps)
{
    // A band 9 pixels thick around row 250 - 0.35 x: each column's run is
    // whole pixels, so its middle steps by up to half a pixel off the line.
    PixelBuffer picture = *PixelBuffer::create(400, 300);
    const auto row = [](double x) { return 250 - 0.35 * x; };
    for (int x = 30; x < 370; ++x)
        for (int y = 0; y < 300; ++y)
            if (std::abs(y + 0.5 - row(x + 0.5)) <= 4.5) picture.setPixel(x, y, Red);
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    CurveSearch search{{204, 0, 0}, DefaultTolerance, 50, std::nullopt, {}};
    search.averageThickness = true;
    const Checked<FoundCurve> found = findCurve(picture, calibration, search);
    ASSERT_TRUE(found) << found.failure();
    // Away from the ends, where the average runs out of line on one side.
    for (const PixelPoint& p : found->pixels)
        if (p.x > 45 && p.x < 355) {
            EXPECT_NEAR(p.y, row(p.x), 0.15) << p.x;
        }
}

TEST(FindCurve, AScannedLinesDulledCoreIsTheLinesMiddleAnotherColourBetweenIsNot)
{
    // A blue band 13 pixels thick around row 150 + 0.2 x: four rows of the
    // colour either side of a 5-row middle. Dulled by a scan, the middle is
    // 14.4 from the colour (CIELAB), beyond the tolerance of 11 and within
    // twice it; an orange line there instead makes two blue lines.
    const auto row = [](double x) { return 150 + 0.2 * x; };
    struct Case {
        std::uint32_t middle;
        bool atTheMiddle;
    };
    const Case cases[] = {{0xff517d9a, true}, {0xffff7f0e, false}};
    for (const Case& c : cases) {
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        for (int x = 20; x < 380; ++x)
            for (int y = 0; y < 300; ++y) {
                const double off = std::abs(y + 0.5 - row(x + 0.5));
                if (off <= 6.5) picture.setPixel(x, y, off <= 2.5 ? c.middle : 0xff348abd);
            }
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<FoundCurve> found = findCurve(picture, calibration, {{0x34, 0x8a, 0xbd}, 11.0, 50, std::nullopt, {}});
        ASSERT_TRUE(found) << found.failure();
        for (const PixelPoint& p : found->pixels)
            if (p.x > 30 && p.x < 370) {
                if (c.atTheMiddle) {
                    EXPECT_NEAR(p.y, row(p.x), 0.6) << p.x;
                } else {
                    EXPECT_GT(std::abs(p.y - row(p.x)), 3.0) << p.x;
                }
            }
    }
}

TEST(FindCurve, AThickDottedOrDashedLineIsTracedAlongItsMiddleNotItsSlantedEnds)
{
    // A line 9 pixels thick along row 220 - 0.33 x, drawn in pieces of `on`
    // pixels along it with gaps of `off` (dots are squares turned with the
    // line). The first and last column of a piece hold only a corner, 2.7
    // pixels off the middle.
    const double slope = -0.33, length = std::hypot(1.0, slope);
    const auto row = [&](double x) { return 220 + slope * x; };
    struct Case {
        double on;
        double off;
    };
    const Case cases[] = {{9, 10}, {30, 9}, {400, 0}};
    for (const Case& c : cases) {
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        for (int x = 20; x < 380; ++x)
            for (int y = 0; y < 300; ++y) {
                const double dx = x + 0.5, dy = y + 0.5 - row(0);
                const double along = (dx + slope * dy) / length, across = (dy - slope * dx) / length;
                if (std::abs(across) <= 4.5 && std::fmod(along, c.on + c.off) < c.on) picture.setPixel(x, y, Red);
            }
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<FoundCurve> found = findCurve(picture, calibration, {{204, 0, 0}, DefaultTolerance, 50, std::nullopt, {}});
        ASSERT_TRUE(found) << found.failure();
        for (const PixelPoint& p : found->pixels)
            if (p.x > 40 && p.x < 360) {
                EXPECT_NEAR(p.y, row(p.x), 1.0) << c.on << " " << p.x;
            }
    }
}

TEST(FindCurve, ATraceStartedOnAMarkerOrADashsCornerFollowsTheWholeLine)
{
    // A red line 5 pixels thick along row 100 + 0.45 x (runs of 5 or 6 rows
    // down a column), with markers centred on it every 40 columns from 40,
    // one on the line's middle column (200), where a trace without a click
    // starts: squares 13 pixels wide, diamonds 17 (runs growing by 2 rows a
    // column at their sides); or none and the line 6 pixels thick (runs of 6
    // or 7) and dashed (19 on, 8 off from column 24), clicked on its first
    // column: the first dash's corner, 3 rows.
    const double slope = 0.45, length = std::hypot(1.0, slope);
    const auto row = [&](double x) { return 100 + slope * x; };
    enum class Marker { Square, Diamond, DashedClickedAtACorner };
    struct Case {
        const char* name;
        Marker marker;
    };
    const Case cases[] = {{"dashes", Marker::DashedClickedAtACorner}, {"squares", Marker::Square}, {"diamonds", Marker::Diamond}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool dashed = c.marker == Marker::DashedClickedAtACorner;
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        std::optional<PixelPoint> click;
        for (int x = 20; x < 380; ++x)
            for (int y = 0; y < 300; ++y) {
                const double dx = x + 0.5, dy = y + 0.5 - row(0);
                const double along = (dx + slope * dy) / length, across = (dy - slope * dx) / length;
                const bool line = std::abs(across) <= (dashed ? 3 : 2.5) && (!dashed || (along >= 27 && std::fmod(along, 27.0) < 19));
                // The nearest marker's centre, on the line.
                const double mx = std::round(dx / 40) * 40, my = row(mx);
                const double ax = std::abs(dx - mx), ay = std::abs(y + 0.5 - my);
                const bool marker = mx >= 40 && mx <= 360 &&
                                    ((c.marker == Marker::Square && ax <= 6.5 && ay <= 6.5) ||
                                     (c.marker == Marker::Diamond && ax + ay <= 8.5));
                if (line || marker) picture.setPixel(x, y, Red);
            }
        // The line's first column (the first dash's corner only).
        for (int x = 20; x < 80 && dashed && !click; ++x)
            for (int y = 0; y < 300 && !click; ++y)
                if (picture.pixel(x, y) == Red) click = PixelPoint{x + 0.5, y + 0.5};
        ASSERT_TRUE(!dashed || click);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<FoundCurve> found = findCurve(picture, calibration, {{204, 0, 0}, DefaultTolerance, 50, click, {}});
        ASSERT_TRUE(found) << found.failure();
        EXPECT_TRUE(found->doubts.empty()) << found->doubts.front();
        ASSERT_FALSE(found->pixels.empty());
        EXPECT_LT(found->pixels.front().x, dashed ? 55 : 30);
        EXPECT_GT(found->pixels.back().x, 370);
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, row(p.x), 3.5) << p.x;
    }
}

TEST(FindCurve, WithoutATolerancePageColoursStayApartAndDoubtfulReadsSaySo)
{
    // A blue and a purple line 3 pixels thick 30 rows apart (ΔE about 35, as
    // tab10's blue and purple), a grey dashed iso-line crossing both; a red
    // line broken by 25 empty columns, more than the trace bridges, its part
    // left of the break 5 rows higher: no curve going on along its trend, but
    // its colour goes on along the trace.
    const Rgb blue{31, 119, 180}, purple{148, 103, 189};
    PixelBuffer page = *PixelBuffer::create(400, 300);
    for (int x = 20; x < 380; ++x) {
        for (int dy = -1; dy <= 1; ++dy) {
            page.setPixel(x, 100 + x / 10 + dy, argbOf(blue));
            page.setPixel(x, 130 + x / 10 + dy, argbOf(purple));
            if (x < 190 || x >= 215) page.setPixel(x, (x < 190 ? 35 : 40) + x / 2 + dy, 0xffcc0000);
        }
        if (x % 12 < 7) page.setPixel(x, 280 - x / 2, 0xff999999);
    }
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    struct Case {
        const char* name;
        Rgb colour;
        std::optional<double> tolerance;
        std::optional<PixelPoint> seed;
        int row;             // the line read: row 100 + x / 10, ...
        const char* note;    // the start of the note, or none
        const char* doubt;   // a part of the doubt, or none
    };
    const Case cases[] = {
        {"blue, tolerance chosen", blue, std::nullopt, std::nullopt, 100, "tolleranza ", nullptr},
        {"purple, tolerance chosen", purple, std::nullopt, std::nullopt, 130, "tolleranza ", nullptr},
        {"blue, a tolerance wide enough for the purple given", blue, 60.0, std::nullopt, 100, nullptr, "disegna 2 linee"},
        {"the same, from a point on the purple line", blue, 60.0, PixelPoint{200, 150}, 130, nullptr, nullptr},
        {"red, from right of the break", {204, 0, 0}, std::nullopt, PixelPoint{300, 190}, 0, "tolleranza ",
         "prosegue lungo di essa fino a x = 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurveSearch search{c.colour, c.tolerance, 20, c.seed, {}};
        const Checked<FoundCurve> found = findCurve(page, calibration, search);
        ASSERT_TRUE(found) << found.failure();
        if (c.note) {
            ASSERT_EQ(found->notes.size(), 1u);
            EXPECT_EQ(found->notes[0].rfind(c.note, 0), 0u) << found->notes[0];
        } else {
            EXPECT_TRUE(found->notes.empty());
        }
        std::string doubts;
        for (const std::string& d : found->doubts) doubts += d + "\n";
        if (c.doubt) {
            EXPECT_NE(doubts.find(c.doubt), std::string::npos) << doubts;
        } else {
            EXPECT_EQ(doubts, "");
        }
        if (c.row) {
            for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, c.row + p.x / 10, 1.0) << p.x;
        }
    }
}

TEST(FindCurve, ALighterCurveOnlyTheFadedColourReachesIsNoSecondLine)
{
    // A dark blue line (#0072b2) and a longer light blue one (#56b4e9, about
    // 26 apart in ΔE: the dark blue faded towards the paper), 3 pixels thick.
    // With the tolerance chosen, the light blue is another curve and the dark
    // one is read without a doubt; a tolerance given wide enough for both
    // reads two lines of the colour and says so.
    const Rgb dark{0, 114, 178}, light{86, 180, 233};
    PixelBuffer page = *PixelBuffer::create(400, 300);
    for (int x = 20; x < 380; ++x)
        for (int dy = -1; dy <= 1; ++dy) {
            if (x < 330) page.setPixel(x, 100 + x / 10 + dy, argbOf(dark));
            page.setPixel(x, 250 - x / 10 + dy, argbOf(light));
        }
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    struct Case {
        const char* name;
        std::optional<double> tolerance;
        bool twoLines;
    };
    const Case cases[] = {{"tolerance chosen", std::nullopt, false}, {"tolerance 60 given", 60.0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Checked<FoundCurve> found = findCurve(page, calibration, CurveSearch{dark, c.tolerance, 20, std::nullopt, {}});
        ASSERT_TRUE(found) << found.failure();
        std::string doubts;
        for (const std::string& d : found->doubts) doubts += d + "\n";
        EXPECT_EQ(doubts.find("disegna 2 linee") != std::string::npos, c.twoLines) << doubts;
        if (!c.twoLines) {
            for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, 100 + std::floor(p.x) / 10, 1.5) << p.x;
        }
    }
}

TEST(TraceCoverage, ATraceStoppedShortIsToldEvenWhenItsEndWentAstray)
{
    // A falling line across columns 20..379 at row 60 + 0.4 x, 2 or 9 pixels
    // thick. The trace handed in covers columns 200..379 only; its last points
    // may run level for a while (as a trace that slid along a grid line).
    const auto row = [](double x) { return 60 + 0.4 * x; };
    struct Case {
        const char* name;
        int thickness;
        int astray;      // columns at the trace's left end that run level
        bool whole;      // the trace covers the whole line
    };
    const Case cases[] = {
        {"thin, cut short", 2, 0, false},
        {"thick, cut short", 9, 0, false},
        {"thick, cut short, end astray", 9, 30, false},
        {"thick, whole", 9, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask mask(400, 300);
        for (int x = 20; x < 380; ++x)
            for (int y = 0; y < 300; ++y)
                if (std::abs(y + 0.5 - row(x + 0.5)) <= c.thickness / 2.0) mask.set(x, y, true);
        const ColourPieces pieces = findPieces(mask);
        const ColumnRuns columns(pieces, std::vector<bool>(pieces.pieces.size(), true), 400);
        std::vector<PixelPoint> trace;
        const int first = c.whole ? 20 : 200;
        for (int x = first; x < 380; ++x) {
            const bool level = x < first + c.astray;
            trace.push_back({x + 0.5, level ? row(first + c.astray + 0.5) : row(x + 0.5)});
        }
        const std::optional<double> beyond = colourBeyondTrace(columns, trace, 8);
        if (c.whole) {
            EXPECT_FALSE(beyond);
        } else {
            ASSERT_TRUE(beyond);
            EXPECT_LT(*beyond, 30);
        }
    }
}

TEST(TraceCoverage, ALabelOrATickMarkBeyondTheCurvesEndIsNoCurveGoingOn)
{
    // A falling line across columns 20..379 at row 60 + 0.4 x, 2 pixels
    // thick, traced whole; beyond its end a label "Tc = 30" along its way
    // (columns 385..440): its letters are taken out as text, its "=" bars
    // (columns 405..411, rows 222 and 226) are left in the colour. Beyond the
    // label a grid line down at column 460, taken out. Or, without the label,
    // a tick mark at column 395 just below the plot's frame (row 214).
    const auto row = [](double x) { return 60 + 0.4 * x; };
    struct Case {
        const char* name;
        bool lettersGiven;
        bool tickMark;
        bool areaGiven;
        bool goesOn;
    };
    const Case cases[] = {
        {"label and grid line beyond", true, false, true, false},
        {"the same, the letters not known as text", false, false, true, true},
        {"a tick mark below the frame", false, true, true, false},
        {"the same, the frame not known", false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask mask(500, 320), hidden(500, 320);
        for (int x = 20; x < 380; ++x)
            for (int y = 0; y < 320; ++y)
                if (std::abs(y + 0.5 - row(x + 0.5)) <= 1.0) mask.set(x, y, true);
        if (!c.tickMark)
            for (int x = 405; x <= 411; ++x)
                for (int y : {222, 223, 226, 227}) mask.set(x, y, true);
        for (int y = 0; y < 320; ++y) hidden.set(460, y, true);
        if (c.tickMark)
            for (int x = 395; x <= 396; ++x)
                for (int y = 215; y <= 221; ++y) mask.set(x, y, true);
        const std::vector<PixelRect> letters = {{385, 218, 8, 12}, {394, 220, 7, 10}, {418, 218, 8, 12}, {428, 218, 8, 12}};
        const ColourPieces pieces = findPieces(mask);
        const ColumnRuns columns(pieces, std::vector<bool>(pieces.pieces.size(), true), 500);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 380; ++x) trace.push_back({x + 0.5, row(x + 0.5)});
        const PlotArea area(LineDirections{}, std::pair{10.0, c.tickMark ? 214.0 : 290.0}, std::pair{10.0, 490.0});
        const BeyondLimits limits{&hidden, c.areaGiven ? &area : nullptr, c.lettersGiven ? &letters : nullptr};
        EXPECT_EQ(colourBeyondTrace(columns, trace, 8, limits).has_value(), c.goesOn);
    }
}

TEST(TraceCoverage, ALevelLineAcrossTheWayBeyondTheEndHidesNoCurve)
{
    // A line falling 0.7 rows a column across columns 20..299 ends there
    // (row 270.35); beyond it a line taken out crosses its way: a thick level
    // grid line right beyond the end (rows 270..276, some 9 columns of the
    // way, more than the slack of 8), or a thin one 30 columns on (rows
    // 291..293, where the way reaches row 291); or a line taken out runs on
    // along its way.
    const auto row = [](double x) { return 60 + 0.7 * x; };
    struct Case {
        const char* name;
        int top, bottom; // the level line's rows, none when it runs along
        bool goesOn;
    };
    const Case cases[] = {
        {"a thick line right beyond the end", 270, 276, false},
        {"a thin line 30 columns on", 291, 293, false},
        {"along the way", 0, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool along = c.bottom < c.top;
        PixelMask mask(500, 400), hidden(500, 400);
        for (int x = 20; x < 300; ++x)
            for (int y = 0; y < 400; ++y)
                if (std::abs(y + 0.5 - row(x + 0.5)) <= 1.0) mask.set(x, y, true);
        for (int x = 300; x < 360; ++x)
            for (int y = 0; y < 400; ++y)
                if (along ? std::abs(y + 0.5 - row(x + 0.5)) <= 1.5 : y >= c.top && y <= c.bottom) hidden.set(x, y, true);
        const ColourPieces pieces = findPieces(mask);
        const ColumnRuns columns(pieces, std::vector<bool>(pieces.pieces.size(), true), 500);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 300; ++x) trace.push_back({x + 0.5, row(x + 0.5)});
        const std::optional<double> beyond = colourBeyondTrace(columns, trace, 8, {&hidden});
        EXPECT_EQ(beyond.has_value(), c.goesOn);
        if (c.goesOn) {
            EXPECT_GT(*beyond, 340);
        }
    }
}

TEST(TraceCoverage, ALevelLineTheWayMeetsAfterAGapHidesNoCurve)
{
    // A line falling 0.2 rows a column across columns 20..299 ends there (row
    // 120). 25 columns on, its way meets a level line taken out (rows
    // 125-126, columns 300..499) and runs within a row of it for some 10
    // columns, more than the slack of 8: crossed at a slant, not followed.
    // Where the colour comes out beyond it (columns 345..380 on the way), or
    // the line taken out runs on from the end along the way, it goes on.
    const auto row = [](double x) { return 60 + 0.2 * x; };
    struct Case {
        const char* name;
        bool level;      // the level line; else one along the way from the end
        bool comesOut;   // the colour again on the way beyond it
        bool goesOn;
    };
    const Case cases[] = {
        {"a level line crossed at a slant after a gap", true, false, false},
        {"the colour again beyond it", true, true, true},
        {"a line on from the end along the way", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask mask(500, 200), hidden(500, 200);
        const auto onWay = [&](int x, int y) { return std::abs(y + 0.5 - row(x + 0.5)) <= 1.0; };
        for (int x = 0; x < 500; ++x)
            for (int y = 0; y < 200; ++y) {
                if ((x >= 20 && x < 300 && onWay(x, y)) || (c.comesOut && x >= 345 && x < 380 && onWay(x, y)))
                    mask.set(x, y, true);
                if (x >= 300 && (c.level ? y == 125 || y == 126 : onWay(x, y))) hidden.set(x, y, true);
            }
        const ColourPieces pieces = findPieces(mask);
        const ColumnRuns columns(pieces, std::vector<bool>(pieces.pieces.size(), true), 500);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 300; ++x) trace.push_back({x + 0.5, row(x + 0.5)});
        EXPECT_EQ(colourBeyondTrace(columns, trace, 8, {&hidden}).has_value(), c.goesOn);
    }
}

TEST(TraceCoverage, ALineTheWayMeetsAfterAGapThatRunsBesideTheTraceIsAnotherCurve)
{
    // A line falling 0.5 rows a column across columns 20..299 (row 60 +
    // 0.5 x, 2 pixels thick) ends there, at row 210. Another line of the
    // colour, falling 0.8 rows a column (row -42 + 0.8 x, columns 100..420),
    // lies 15 rows and more above it up to column 290 and meets its way on at
    // column 340 (row 230), some 30 columns beyond a gap: a curve of a family
    // whose side the way met, no more of the trace's. The trace's own line
    // going on beyond a gap (columns 330..420, a legend's box over 300..329)
    // leads back onto the trace and still goes on. A line that crosses the
    // trace at column 200 before it meets the way (row(x) + 0.002 (x - 200)
    // (x - 340): below the trace before 200, above it after) may be the
    // curve the trace left at a crossing: it is not taken for a neighbour.
    const auto row = [](double x) { return 60 + 0.5 * x; };
    const auto beside = [](double x) { return -42 + 0.8 * x; };
    const auto crossing = [&](double x) { return row(x) + 0.002 * (x - 200) * (x - 340); };
    struct Case {
        const char* name;
        bool neighbour, ownGoesOn;
        bool goesOn;
        bool crosses = false;
    };
    const Case cases[] = {
        {"another curve beside the trace meets its way", true, false, false},
        {"the curve itself beyond a gap", false, true, true},
        {"a line crossing the trace meets its way", true, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask mask(500, 400);
        for (int x = 0; x < 500; ++x)
            for (int y = 0; y < 400; ++y) {
                const bool own = (x >= 20 && x < 300) || (c.ownGoesOn && x >= 330 && x <= 420);
                if ((own && std::abs(y + 0.5 - row(x + 0.5)) <= 1.0) ||
                    (c.neighbour && x >= 100 && x <= 420 && std::abs(y + 0.5 - (c.crosses ? crossing(x + 0.5) : beside(x + 0.5))) <= 1.0))
                    mask.set(x, y, true);
            }
        const ColourPieces pieces = findPieces(mask);
        const ColumnRuns columns(pieces, std::vector<bool>(pieces.pieces.size(), true), 500);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 300; ++x) trace.push_back({x + 0.5, row(x + 0.5)});
        const std::optional<double> beyond = colourBeyondTrace(columns, trace, 8);
        EXPECT_EQ(beyond.has_value(), c.goesOn);
        if (c.goesOn) {
            EXPECT_GT(*beyond, 415);
        }
    }
}

TEST(LegendStrokes, AShortLevelStrokeWithAWordBesideItIsASample)
{
    // A red stroke 3 rows thick (rows 99-101) from column 100, `length`
    // columns long, whole or in dashes (6 on, 4 off) or cut by a grid line
    // (3 columns out of its middle); a black word of three letters 6 x 10
    // (rows 95-104) `gap` columns right or left of it. The plot is 600 wide,
    // the tallest letter 16.
    struct Case {
        const char* name;
        int length;
        bool dashed, cut;
        int gap;     // columns to the word, none when negative
        bool left;   // the word left of the stroke
        bool sample;
        bool wordInColour = false; // the word written in the stroke's colour (a black family's legend)
    };
    const Case cases[] = {
        {"a word right of it", 40, false, false, 8, false, true},
        {"a word left of it", 40, false, false, 8, true, true},
        {"dashed", 40, true, false, 8, false, true},
        {"cut by a grid line", 40, false, true, 8, false, true},
        {"no word", 40, false, false, -1, false, false},
        {"the word too far", 40, false, false, 30, false, false},
        {"a level stretch longer than a sample", 120, false, false, 8, false, false},
        {"shorter than a sample", 10, false, false, 8, false, false},
        // Its letters chain on as level strokes: the sample ends before them.
        {"a word of its colour right of it", 40, false, false, 8, false, true, true},
        {"dashed, a word of its colour right of it", 40, true, false, 8, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask colour(600, 200), ink(600, 200);
        for (int x = 100; x < 100 + c.length; ++x) {
            if ((c.dashed && (x - 100) % 10 >= 6) || (c.cut && std::abs(x - 100 - c.length / 2) < 2)) continue;
            for (int y = 99; y <= 101; ++y) colour.set(x, y, true), ink.set(x, y, true);
        }
        const int wordLeft = c.left ? 100 - c.gap - 22 : 100 + c.length + c.gap;
        for (int letter = 0; c.gap >= 0 && letter < 3; ++letter)
            for (int x = 0; x < 6; ++x)
                for (int y = 95; y < 105; ++y) {
                    ink.set(wordLeft + 8 * letter + x, y, true);
                    if (c.wordInColour) colour.set(wordLeft + 8 * letter + x, y, true);
                }
        const std::vector<PixelRect> samples = legendStrokes(findPieces(colour), ink, 16, 600);
        ASSERT_EQ(samples.size(), c.sample ? 1u : 0u);
        if (c.sample) {
            EXPECT_EQ(samples[0].left, 100);
            EXPECT_EQ(samples[0].width, c.length - (c.dashed ? 4 : 0));
        }
    }
}

TEST(FindCurve, ACurveDrawnOverPartOfTheXRangeIsWholeWhereItsInkEnds)
{
    // A red line 3 pixels thick, row 100 + x / 10, over columns from..to of
    // an x axis 0..400 (a pixel a unit); some pages add other red ink. The
    // trace is the whole curve when it is all the colour's ink in the plot:
    // then however little of the x range it spans it is read without doubt.
    // A short level red stroke with a black word just right of it (three
    // letters 6 x 10, 6 columns on) is a legend's sample, not more of the colour.
    struct Case {
        const char* name;
        int from, to;
        int otherFrom, otherTo, otherRow; // another red line, level, when otherTo > otherFrom
        bool coversTooLittle;
        bool worded = false; // a word right of the other line
    };
    const Case cases[] = {
        {"a quarter of the range", 150, 250, 0, 0, 0, false},
        {"a fifth, at the left edge", 0, 80, 0, 0, 0, false},
        {"a quarter, another red line beyond its end", 150, 250, 300, 380, 250, true},
        {"a quarter, another red line beside it", 150, 250, 160, 240, 40, true},
        {"a twentieth: a fragment", 180, 200, 0, 0, 0, true},
        {"a quarter, its legend's sample", 150, 250, 300, 330, 40, false, true},
        {"a quarter, a short red stroke without a word", 150, 250, 300, 330, 40, true},
        // Level and worded as a sample, but where the curve would go on beyond a gap: its last stretch.
        {"a quarter, a level stretch with its label on its way", 150, 250, 300, 330, 130, true, true},
    };
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer page = *PixelBuffer::create(400, 300);
        for (int x = c.from; x < c.to; ++x)
            for (int dy = -1; dy <= 1; ++dy) page.setPixel(x, 100 + x / 10 + dy, Red);
        for (int x = c.otherFrom; x < c.otherTo; ++x)
            for (int dy = -1; dy <= 1; ++dy) page.setPixel(x, c.otherRow + dy, Red);
        for (int letter = 0; c.worded && letter < 3; ++letter)
            for (int x = 0; x < 6; ++x)
                for (int y = 0; y < 10; ++y) page.setPixel(c.otherTo + 6 + 8 * letter + x, c.otherRow - 5 + y, 0xff000000);
        const Checked<FoundCurve> found = findCurve(page, calibration, {{204, 0, 0}, std::nullopt, 20, std::nullopt, {}});
        ASSERT_TRUE(found) << found.failure();
        std::string doubts;
        for (const std::string& d : found->doubts) doubts += d + "\n";
        EXPECT_EQ(doubts.find("copre solo") != std::string::npos, c.coversTooLittle) << doubts;
        ASSERT_FALSE(found->points.empty());
        EXPECT_NEAR(found->points.front().x, c.from, 2.0);
        EXPECT_NEAR(found->points.back().x, c.to, 2.0);
        // Row 100 + x / 10 from the top of a 300-row picture whose y axis is 0 at the bottom.
        for (const UnitPoint& p : found->points) EXPECT_NEAR(p.y, 300 - (100 + std::floor(p.x) / 10 + 0.5), 1.0) << p.x;
    }
}

TEST(FindCurve, AShortCurveBesideItsFamilyOrNearTheChartsFootIsWhole)
{
    // A red curve 3 pixels thick, row 300 + 235 ((x - 40) / 320)^2, over
    // columns 40-359 of an x axis 0..800 (two fifths of it), ending 25 rows
    // above the foot of the chart (40, 40)-(760, 560), the page around which
    // is left out as a whole-page read leaves it. Its end is seen: it is
    // whole, but where an area left out inside the chart lies under its end,
    // or another line of its colour runs on from it, it may go on.
    struct Case {
        const char* name;
        bool areaUnderEnd;   // an area left out inside the chart, just below the end
        bool family;         // a longer red curve beside it, row 150 + 300 ((x - 40) / 720)^2, 40-759
        bool onFromEnd;      // a red line on from its end only, row 100 + (x - 420) / 4, 420-759
        bool coversTooLittle;
        // The longer curve dashed, a pixel thin: dashes 8 columns long every 12, too small to start a trace.
        bool dashedFamily = false;
        bool clicked = false;
    };
    const Case cases[] = {
        {"ends short of the chart's foot", false, false, false, false},
        {"an area left out under its end", true, false, false, true},
        {"a longer curve of its colour beside it, this one clicked", false, true, false, false},
        {"a line of its colour on from its end only, this one clicked", false, false, true, true},
        // Dashes too small to start a trace: linked, they are the other curve's ink.
        {"a longer dashed curve of its colour beside it, this one clicked", false, true, false, false, true, true},
    };
    const AxesReferences refs{{{0, 600}, {800, 600}, 0, 800, AxisScale::Linear}, {{0, 600}, {0, 0}, 0, 600, AxisScale::Linear}};
    const AxisCalibration calibration = *AxisCalibration::fromReferences(refs);
    const auto row = [](int x) { return 300 + 235.0 * (x - 40) * (x - 40) / (320.0 * 320.0); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer page = *PixelBuffer::create(800, 600);
        const auto draw = [&](int x, double y) {
            for (int dy = -1; dy <= 1; ++dy) page.setPixel(x, static_cast<int>(std::lround(y)) + dy, Red);
        };
        for (int x = 40; x < 360; ++x) draw(x, row(x));
        if (c.family)
            for (int x = 40; x < 760; ++x) {
                const double y = 150 + 300.0 * (x - 40) * (x - 40) / (720.0 * 720.0);
                if (!c.dashedFamily) draw(x, y);
                else if ((x - 40) % 12 < 8) page.setPixel(x, static_cast<int>(std::lround(y)), Red);
            }
        if (c.onFromEnd)
            for (int x = 420; x < 760; ++x) draw(x, 100 + (x - 420) / 4.0);
        CurveSearch search{{204, 0, 0}, std::nullopt, 20, std::nullopt, {}};
        search.chart = PixelRect{40, 40, 720, 520};
        // The page around the chart, as a whole-page read leaves it out (2 pixels clear of its lines).
        search.exclusions = {{0, 0, 800, 38}, {0, 562, 800, 38}, {0, 38, 38, 524}, {762, 38, 38, 524}};
        if (c.areaUnderEnd) search.exclusions.push_back({300, 545, 120, 10});
        if ((c.family && !c.dashedFamily) || c.onFromEnd || c.clicked) search.seed = PixelPoint{200, row(200)};
        const Checked<FoundCurve> found = findCurve(page, calibration, search);
        ASSERT_TRUE(found) << found.failure();
        std::string doubts;
        for (const std::string& d : found->doubts) doubts += d + "\n";
        EXPECT_EQ(doubts.find("copre solo") != std::string::npos, c.coversTooLittle) << doubts;
        ASSERT_FALSE(found->pixels.empty());
        EXPECT_NEAR(found->pixels.front().x, 40, 2.0);
        EXPECT_NEAR(found->pixels.back().x, 360, 2.0);
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, row(static_cast<int>(std::floor(p.x))) + 0.5, 1.5) << p.x;
    }
}

TEST(FindCurve, ASteepLineFromOneEdgeOfTheChartToAnotherIsWhole)
{
    // A red line rising from the left edge (row 200) to the top (column 120) of a
    // chart 400 x 300, a third of the x range, and its legend sample further on:
    // with the chart's frame known the line leaves the plot at both ends.
    struct Case {
        const char* name;
        bool chartKnown;
        int to; // the last column drawn
        bool coversTooLittle;
    };
    const Case cases[] = {
        {"edge to edge", true, 120, false},
        {"the frame unknown: the sample may be more of it", false, 120, true},
        {"stopped in the middle of the plot", true, 60, true},
    };
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer page = *PixelBuffer::create(400, 300);
        for (int x = 0; x < c.to; ++x)
            for (int dy = -2; dy <= 2; ++dy) page.setPixel(x, std::max(0, 200 - 5 * x / 3 + dy), Red);
        for (int x = 300; x < 330; ++x)
            for (int dy = -1; dy <= 1; ++dy) page.setPixel(x, 250 + dy, Red);
        CurveSearch search{{204, 0, 0}, std::nullopt, 20, std::nullopt, {}};
        if (c.chartKnown) search.chart = PixelRect{0, 0, 400, 300};
        const Checked<FoundCurve> found = findCurve(page, calibration, search);
        ASSERT_TRUE(found) << found.failure();
        std::string doubts;
        for (const std::string& d : found->doubts) doubts += d + "\n";
        EXPECT_EQ(doubts.find("copre solo") != std::string::npos, c.coversTooLittle) << doubts;
        ASSERT_FALSE(found->points.empty());
        EXPECT_NEAR(found->points.back().x, c.to, 3.0);
    }
}

TEST(FindCurve, ABlackCurveAlongABlackGridLineIsFollowedOrSaysItMayGoOnUnderIt)
{
    // A black frame and grid every 40 pixels, and a black parabola falling
    // from its vertex: through the grid line of row 140 at a shallow angle
    // (slope 0.2), or with its vertex on that line, lying along it for some
    // 80 columns. The click is right of where it leaves the line. A curve
    // thicker than the line shows beyond it and is followed through; one as
    // thin as the line is hidden under it: the trace says so.
    struct Case {
        const char* name;
        int thickness;
        double vertexX, vertexRow;
        bool followed;
    };
    const Case cases[] = {
        {"thin, crossing", 2, 20, 125, true},
        {"thick, crossing", 6, 20, 125, true},
        {"thick, along", 6, 60, 140, true},
        {"thin, along", 2, 60, 140, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto row = [&](double x) { return c.vertexRow + (x - c.vertexX) * (x - c.vertexX) / 1600; };
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        for (int x = 20; x <= 380; ++x)
            for (int y = 20; y <= 260; y += 40) picture.setPixel(x, y, 0xff000000);
        for (int y = 20; y <= 260; ++y)
            for (int x = 20; x <= 380; x += 40) picture.setPixel(x, y, 0xff000000);
        for (int x = 20; x < 380; ++x)
            for (int y = 0; y < 300; ++y)
                if (std::abs(y + 0.5 - row(x + 0.5)) <= c.thickness / 2.0) picture.setPixel(x, y, 0xff000000);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        CurveSearch search{{0, 0, 0}, DefaultTolerance, 40, PixelPoint{230, row(230)}, {}};
        const Checked<FoundCurve> found = findCurve(picture, calibration, search);
        ASSERT_TRUE(found) << found.failure();
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, row(p.x), 1.0) << p.x;
        if (c.followed) {
            EXPECT_TRUE(found->doubts.empty()) << found->doubts.front();
            EXPECT_LE(found->pixels.front().x, 25);
            EXPECT_GE(found->pixels.back().x, 375);
        } else {
            ASSERT_EQ(found->doubts.size(), 1u);
            EXPECT_NE(found->doubts[0].find("prosegue lungo di essa"), std::string::npos) << found->doubts[0];
        }
    }
}

TEST(FindCurve, ADottedLineOfSpecksIsJoinedAlongItsMiddle)
{
    // Dots of one and of two pixels square, every 5 columns on row
    // 200 - 0.4 x (a speck is too small to start a trace on its own).
    for (int dot : {1, 2}) {
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        const auto row = [](double x) { return 200 - 0.4 * x; };
        for (int x = 20; x < 380; x += 5)
            for (int dy = 0; dy < dot; ++dy)
                for (int dx = 0; dx < dot; ++dx)
                    picture.setPixel(x + dx, static_cast<int>(std::lround(row(x + dot / 2.0) - dot / 2.0)) + dy, Red);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<FoundCurve> found = findCurve(picture, calibration, {{204, 0, 0}, DefaultTolerance, 20, std::nullopt, {}});
        ASSERT_TRUE(found) << dot << ": " << found.failure();
        EXPECT_TRUE(found->doubts.empty()) << found->doubts.front();
        ASSERT_EQ(found->pixels.size(), 20u);
        EXPECT_LT(found->pixels.front().x, 30);
        EXPECT_GT(found->pixels.back().x, 370);
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, row(p.x), 0.6) << dot << " " << p.x;
        // Every curve of the colour (as all the page's curves are read): the same one line.
        const auto every = findAllCurves(picture, calibration, {{204, 0, 0}, DefaultTolerance, 20, std::nullopt, {}});
        ASSERT_TRUE(every) << dot << ": " << every.failure();
        ASSERT_EQ(every->size(), 1u);
        EXPECT_GT(every->front().pixels.back().x - every->front().pixels.front().x, 340);
        for (const PixelPoint& p : every->front().pixels) EXPECT_NEAR(p.y, row(p.x), 0.6) << dot << " " << p.x;
    }
}

TEST(TraceBridge, TwoTracesAlongOneTrendAreJoinedAcrossTheBoxBetweenThem)
{
    // A parabola's centre line, a point per column, with columns 200..299
    // hidden (a legend's box); the right part moved or cut as each case says.
    const auto row = [](double x) { return 100 + 0.3 * x + 0.0008 * x * x; };
    const auto part = [&](double from, double to, double shift) {
        std::vector<PixelPoint> line;
        for (double x = from + 0.5; x < to; ++x) line.push_back({x, row(x) + shift});
        return line;
    };
    struct Case {
        const char* name;
        std::vector<PixelPoint> right;
        double maxGap;
        bool joined;
    };
    const std::vector<Case> cases{
        {"the curve going on", part(300, 500, 0), 150, true},
        {"another curve 15 rows lower", part(300, 500, 15), 150, false},
        {"a gap wider than allowed", part(300, 500, 0), 80, false},
        {"overlapping columns", part(150, 500, 0), 150, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::vector<PixelPoint>> line = bridged(c.right, part(20, 200, 0), c.maxGap);
        ASSERT_EQ(line.has_value(), c.joined);
        if (!line) continue;
        ASSERT_EQ(line->size(), 480u);
        for (const PixelPoint& p : *line) EXPECT_NEAR(p.y, row(p.x), 1.0) << p.x;
    }
}

TEST(FindCurve, AClickedCurveGoesOnBeyondABoxDrawnOverIt)
{
    // A red line 3 pixels thick, columns 150..229 hidden under a legend's
    // box (its frame grey, its own red sample level inside it).
    PixelBuffer page = *PixelBuffer::create(400, 300);
    const auto row = [](double x) { return 60 + 0.4 * x + 0.0004 * x * x; };
    for (int x = 20; x < 380; ++x)
        for (int dy = -1; dy <= 1; ++dy)
            if (x < 150 || x >= 230) page.setPixel(x, static_cast<int>(std::lround(row(x + 0.5))) + dy, Red);
    for (int x = 150; x < 230; ++x) page.setPixel(x, 100, 0xff999999), page.setPixel(x, 160, 0xff999999);
    for (int y = 100; y <= 160; ++y) page.setPixel(150, y, 0xff999999), page.setPixel(229, y, 0xff999999);
    for (int x = 160; x < 180; ++x) page.setPixel(x, 115, Red);
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    for (const PixelPoint click : {PixelPoint{100, row(100)}, PixelPoint{300, row(300)}}) {
        const Checked<FoundCurve> found = findCurve(page, calibration, {{204, 0, 0}, std::nullopt, 20, click, {}});
        ASSERT_TRUE(found) << found.failure();
        EXPECT_TRUE(found->doubts.empty()) << found->doubts.front();
        EXPECT_LT(found->pixels.front().x, 25);
        EXPECT_GT(found->pixels.back().x, 375);
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, row(p.x), 1.0) << click.x << " " << p.x;
    }
}

TEST(FindCurve, AFadedDottedLineIsReadAsTheAskedInkOnThePaper)
{
    // A scan blurs fine dots into their ink mixed with the grey paper
    // (#e9e9e9), as grey as the grid lines beside them; 3-pixel dots every 6
    // columns on row 200 - 0.4 x, from column `last` back to 26.
    struct Case {
        const char* name;
        Rgb ink;
        double share;  // of ink in the dots' mixture
        int last;      // 0: no dots
        bool read;     // points along the dots, without a doubt
    };
    const Case cases[] = {
        {"black dots faded to #c4c4c4", {0, 0, 0}, 0.16, 374, true},
        {"blue dots faded a fifth of the way", {0x1f, 0x77, 0xb4}, 0.2, 374, true},
        {"faded dots across a third of the plot", {0, 0, 0}, 0.16, 140, false},
        {"only the grid", {0, 0, 0}, 0.16, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) picture.setPixel(x, y, 0xffe9e9e9);
        for (int i = 20; i <= 380; ++i)
            for (int line = 20; line <= 380; line += 60) {
                if (i <= 280) picture.setPixel(line, i, 0xffc6c6c6);
                if (line <= 280) picture.setPixel(i, line, 0xffc6c6c6);
            }
        const auto mixed = [&](std::uint8_t ink) { return static_cast<std::uint32_t>(std::lround(0xe9 + c.share * (ink - 0xe9))); };
        const std::uint32_t dot = 0xff000000u | mixed(c.ink.red) << 16 | mixed(c.ink.green) << 8 | mixed(c.ink.blue);
        const auto row = [](double x) { return 200 - 0.4 * x; };
        for (int x = 26; x <= c.last; x += 6)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    picture.setPixel(x + dx, static_cast<int>(std::floor(row(x + 0.5))) + dy, dot);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<FoundCurve> found = findCurve(picture, calibration, {c.ink, std::nullopt, 20, std::nullopt, {}});
        if (c.last == 0) {
            EXPECT_EQ(found.failure(), noCurveMessage(c.ink));
            continue;
        }
        ASSERT_TRUE(found) << found.failure();
        EXPECT_NE(found->notes.back().find("sbiadito sulla carta #e9e9e9"), std::string::npos) << found->notes.back();
        EXPECT_EQ(found->doubts.empty(), c.read);
        if (!c.read) continue;
        EXPECT_LT(found->pixels.front().x, 30);
        EXPECT_GT(found->pixels.back().x, 370);
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, row(p.x), 0.6) << p.x;
    }
}

TEST(FindCurve, ATraceDarkerThanTheColourAskedForIsAnotherLine)
{
    // A dark grey line 3 pixels thick, its edge rows half mixed with the paper.
    PixelBuffer picture = *PixelBuffer::create(400, 300);
    for (int x = 20; x < 380; ++x) {
        for (int dy = -1; dy <= 1; ++dy) picture.setPixel(x, 150 + x / 10 + dy, 0xff444444);
        for (int dy : {-2, 2}) picture.setPixel(x, 150 + x / 10 + dy, 0xffa2a2a2);
    }
    const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
    struct Case {
        Rgb colour;
        bool doubted;
    };
    // CIELAB lightness: #444444 29, #555555 36, #777777 50.
    const Case cases[] = {{{0x44, 0x44, 0x44}, false}, {{0x55, 0x55, 0x55}, false}, {{0x77, 0x77, 0x77}, true}};
    for (const Case& c : cases) {
        const Checked<FoundCurve> found = findCurve(picture, calibration, {c.colour, 30.0, 20, std::nullopt, {}});
        ASSERT_TRUE(found) << found.failure();
        const bool doubted = std::any_of(found->doubts.begin(), found->doubts.end(),
                                         [](const std::string& d) { return d.find("più scura del colore") != std::string::npos; });
        EXPECT_EQ(doubted, c.doubted) << colourText(c.colour);
    }
}

TEST(ColourRival, ATraceOnALineFartherFromTheColourThanAnotherIsDoubted)
{
    // A scan's #0072b2 and #56b4e9 lines on grey paper, as a 300 dpi scan
    // leaves their cores: (48, 119, 157) and (108, 162, 195). ΔE (CIE76,
    // worked out with numpy): #0072b2 to the dark core 15.7, to the light
    // core 27.2; #56b4e9 to the light core 13.9, to the dark core 23.9.
    const Rgb darkCore{48, 119, 157}, lightCore{108, 162, 195};
    PixelBuffer page = *PixelBuffer::create(600, 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) page.setPixel(x, y, 0xffdedede);
    std::vector<PixelPoint> alongDark, alongLight;
    for (int x = 20; x < 580; ++x) {
        for (int dy = -1; dy <= 1; ++dy) {
            page.setPixel(x, 100 + x / 10 + dy, argbOf(darkCore));
            page.setPixel(x, 300 - x / 10 + dy, argbOf(lightCore));
        }
        alongDark.push_back({double(x), 100.0 + x / 10});
        alongLight.push_back({double(x), 300.0 - x / 10});
    }
    struct Case {
        const char* name;
        Rgb asked;
        const std::vector<PixelPoint>* trace;
        std::vector<PixelRect> exclusions;
        bool doubted;
    };
    const Case cases[] = {
        {"dark blue asked, light line traced", {0, 114, 178}, &alongLight, {}, true},
        {"dark blue asked, dark line traced", {0, 114, 178}, &alongDark, {}, false},
        {"light blue asked, light line traced", {0x56, 0xb4, 0xe9}, &alongLight, {}, false},
        {"dark blue asked, the dark line outside the chart read", {0, 114, 178}, &alongLight, {{0, 0, 600, 180}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> doubt = nearerLineOfTheColour(page, *c.trace, c.asked, c.exclusions);
        EXPECT_EQ(doubt.has_value(), c.doubted) << doubt.value_or("");
    }
}

TEST(ColourRival, AGreyIsDoubtedWhenAnotherGreyLineIsNearlyAsNear)
{
    // A scanned black line, core (55, 55, 55), traced for #444444, under a
    // frame line of the same black across the chart, and another grey line.
    // CIELAB lightness (by hand, L = 116 f(Y) - 16): #444444 28.9, (55) 23.1,
    // (95) 40.3, (120) 50.4; the other line 11.4 or 21.5 from the grey asked
    // for, the trace's core 5.8. Black asked and a #444444 line traced (28.9
    // away) beside a steep black dotted line: its dots, 3 columns wide every
    // 4 and rows 4.8 apart, are one line, the black one.
    struct Case {
        const char* name;
        Rgb asked;
        std::uint8_t traceGrey, otherGrey;
        bool steepDots, doubted;
        // The other line drawn in dashes 12 columns long and 12 apart (each a line of its own), on a grained paper.
        bool dashed = false, grained = false;
        // No other line: numbers in the other grey under the chart, 12 columns wide every 24.
        bool numbersBelow = false;
    };
    const Case cases[] = {{"another grey nearly as near", {0x44, 0x44, 0x44}, 55, 95, false, true},
                          {"another grey far: the frame line is no line", {0x44, 0x44, 0x44}, 55, 120, false, false},
                          {"black asked, a steep dotted black line beside", {0, 0, 0}, 0x44, 0, true, true},
                          {"a dashed grey nearly as near on a scan: its dashes together", {0x44, 0x44, 0x44}, 55, 95, false, true, true, true},
                          {"dashes on a clean page are no line", {0x44, 0x44, 0x44}, 55, 95, false, false, true, false},
                          {"numbers under the chart on a scan are no dashes", {0x44, 0x44, 0x44}, 55, 95, false, false, false, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer page = *PixelBuffer::create(600, 400);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x) {
                const auto paper = static_cast<std::uint8_t>(c.grained ? 0xe0 + (x * 37 + y * 91) % 17 : 0xe8);
                page.setPixel(x, y, argbOf({paper, paper, paper}));
            }
        const auto grey = [](std::uint8_t v) { return argbOf({v, v, v}); };
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 580; ++x) {
            for (int dy = -1; dy <= 1; ++dy) {
                page.setPixel(x, 100 + x / 10 + dy, grey(c.traceGrey));
                if (!c.steepDots && !c.numbersBelow && (!c.dashed || (x / 12) % 2 == 0)) page.setPixel(x, 300 - x / 10 + dy, grey(c.otherGrey));
                page.setPixel(x, 20 + dy, grey(55));
            }
            trace.push_back({double(x), 100.0 + x / 10});
        }
        if (c.steepDots)
            for (int x = 20; x < 300; x += 4) {
                const int top = 390 - (x - 20) * 6 / 5;
                for (int dx = 0; dx < 3; ++dx)
                    for (int dy = 0; dy < 2; ++dy) page.setPixel(x + dx, top + dy, grey(c.otherGrey));
            }
        if (c.numbersBelow)
            for (int x = 20; x + 12 < 580; x += 24)
                for (int y = 384; y < 396; ++y)
                    for (int dx = 0; dx < 12; ++dx)
                        // Each column darkest on its own row, as a letter's strokes are.
                        page.setPixel(x + dx, y, grey(y == 384 + (x + dx) * 7 % 12 ? c.otherGrey - 10 : c.otherGrey));
        const std::optional<std::string> doubt = nearerLineOfTheColour(page, trace, c.asked, {}, PixelRect{10, 10, 580, 370});
        EXPECT_EQ(doubt.has_value(), c.doubted) << doubt.value_or("");
    }
}

TEST(ColourRival, AGreyOfAFamilyIsToldByItsInkOnACleanPageOnly)
{
    // Black, #444444 and #777777 lines, each a full row with a row either
    // side half way to the paper (a drawing's smoothed edges: black's are
    // (127, 127, 127), 24 ΔE from #444444 and as near as #777777 itself), a
    // black label over the #444444 line. Drawn clean on white, or as a scan
    // leaves them: grey paper with grain, the inks paled to 60, 100 and 150,
    // so the black line's ink (L 25.4) is nearer #444444 (L 28.9) than the
    // #444444 line's own (L 42.0). A black label written on at the end of
    // the #444444 line may be traced on: then the read is doubted.
    struct Case {
        const char* name;
        bool scanned;
        Rgb asked;
        int line; // the row at column 0 of the line meant, or 0: the read is doubted
        bool labelAtEnd;
        // Columns 0-79 tinted below row 150 (a plot's fill meeting the page), a
        // short #777777 stroke in them: a line on paper of two colours, not judged.
        bool tintedCorner = false;
        // The page grey (192) above row 30 and below row 250, the chart
        // between them white and known (the page around it left out).
        bool greyPage = false;
        // The #777777 line along row 300 - x / 2, crossing the #444444 one
        // (drawn from column 150 only) at column 283: one piece, the lighter
        // line the longer.
        bool crossing = false;
    };
    const Case cases[] = {{"clean page, #444444", false, {0x44, 0x44, 0x44}, 130, false},
                          {"clean page, #777777", false, {0x77, 0x77, 0x77}, 250, false},
                          {"clean page, black, a black label elsewhere", false, {0, 0, 0}, 40, false},
                          {"clean page, #444444, a black label at its end", false, {0x44, 0x44, 0x44}, 130, true},
                          {"scan, #444444", true, {0x44, 0x44, 0x44}, 0, false},
                          {"scan, #777777", true, {0x77, 0x77, 0x77}, 0, false},
                          {"clean page, #777777, a stroke where a tint meets the page", false, {0x77, 0x77, 0x77}, 250,
                           false, true},
                          {"a white chart on a grey page, #444444", false, {0x44, 0x44, 0x44}, 130, false, false, true},
                          {"clean page, #444444 crossed by a longer #777777", false, {0x44, 0x44, 0x44}, 130, false, false, false,
                           true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int paper = c.scanned ? 232 : 255;
        PixelBuffer page = paperAroundChart(c.scanned, c.greyPage);
        if (c.tintedCorner) {
            for (int y = 150; y < 300; ++y)
                for (int x = 0; x < 80; ++x) page.setPixel(x, y, argbOf({250, 244, 232}));
            for (int x = 24; x < 76; ++x)
                for (int y = 99; y <= 101; ++y) page.setPixel(x, y, grey(0x77));
        }
        const int inks[] = {c.scanned ? 60 : 0, c.scanned ? 100 : 0x44, c.scanned ? 150 : 0x77};
        for (int x = 20; x < 380; ++x) {
            const int rows[] = {40 + x / 10, 130 + x / 10, c.crossing ? 300 - x / 2 : 250 - x / 10};
            for (int k = 0; k < 3; ++k) {
                if (c.crossing && k == 1 && x < 150) continue;
                page.setPixel(x, rows[k], grey(inks[k]));
                page.setPixel(x, rows[k] - 1, grey((inks[k] + paper) / 2));
                page.setPixel(x, rows[k] + 1, grey((inks[k] + paper) / 2));
            }
        }
        for (int x = 150; x < 190; x += 6)
            for (int y = 140; y < 153; ++y) page.setPixel(x, y, grey(0)), page.setPixel(x + 1, y, grey(0));
        if (c.labelAtEnd)
            for (int x = 380; x < 396; ++x) {
                page.setPixel(x, 167, grey(0)), page.setPixel(x, 168, grey(0));
                if (x % 5 < 2)
                    for (int y = 160; y < 175; ++y) page.setPixel(x, y, grey(0));
            }
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        CurveSearch search{c.asked, DefaultTolerance, 12, std::nullopt, {}};
        if (c.greyPage) {
            search.chart = PixelRect{0, 30, 400, 220};
            search.exclusions = {{0, 0, 400, 28}, {0, 252, 400, 48}};
        }
        const Checked<FoundCurve> found = findCurve(page, calibration, search);
        ASSERT_TRUE(found) << found.failure();
        const std::optional<std::string> rival = nearerLineOfTheColour(page, found->centre, c.asked, search.exclusions, search.chart);
        if (c.line == 0) {
            EXPECT_TRUE(rival || !found->doubts.empty());
            continue;
        }
        if (c.labelAtEnd && (rival || !found->doubts.empty())) continue;
        EXPECT_FALSE(rival) << *rival;
        EXPECT_TRUE(found->doubts.empty()) << found->doubts.front();
        const int slope = c.line == 250 ? -1 : 1;
        for (const PixelPoint& p : found->pixels) {
            EXPECT_NEAR(p.y, c.line + slope * p.x / 10, 1.5) << p.x;
            EXPECT_LT(p.x, 381) << "a point on the label";
        }
    }
}

TEST(ColourRival, AGreyTraceDrawnInAnotherGreyIsDoubtedOnACleanPage)
{
    // The line asked for too broken to trace, the trace is on another grey's
    // line (its ink a full row, a row either side half way to the paper).
    // CIELAB lightness by hand: black 0, #444444 28.9, #999999 63.2: the ink
    // 28.9 and 34.3 away from the grey asked for, beyond 20 for a lighter
    // ink and 12 for a darker one; a #777777 line read as #999999 (13.2, a
    // line thinner than a pixel) is its own. A scan pales black toward
    // #444444, so there the ink tells nothing.
    struct Case {
        const char* name;
        bool scanned;
        Rgb asked;
        int ink;
        bool greyPage; // the page grey (192) around a white chart, the chart known
        const char* doubt; // a part of the doubt, or none
    };
    const Case cases[] = {{"black asked, a #444444 line", false, {0, 0, 0}, 0x44, false, "più chiara"},
                          {"#999999 asked, a #444444 line", false, {0x99, 0x99, 0x99}, 0x44, false, "più scura"},
                          {"#444444 asked, its own line", false, {0x44, 0x44, 0x44}, 0x44, false, nullptr},
                          {"#777777 asked, a line of ink #999999", false, {0x77, 0x77, 0x77}, 0x99, false, nullptr},
                          {"#999999 asked, a line of ink #777777", false, {0x99, 0x99, 0x99}, 0x77, false, "più scura"},
                          {"black asked, a #444444 line in a white chart on a grey page", false, {0, 0, 0}, 0x44, true,
                           "più chiara"},
                          {"black asked, a scanned line of ink 68", true, {0, 0, 0}, 0x44, false, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int paper = c.scanned ? 232 : 255;
        PixelBuffer page = paperAroundChart(c.scanned, c.greyPage);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 380; ++x) {
            const int row = 130 + x / 10;
            page.setPixel(x, row, grey(c.ink));
            page.setPixel(x, row - 1, grey((c.ink + paper) / 2)), page.setPixel(x, row + 1, grey((c.ink + paper) / 2));
            trace.push_back({double(x), double(row)});
        }
        const std::optional<PixelRect> chart = c.greyPage ? std::optional(PixelRect{0, 30, 400, 220}) : std::nullopt;
        const std::vector<PixelRect> exclusions =
            c.greyPage ? std::vector<PixelRect>{{0, 0, 400, 28}, {0, 252, 400, 48}} : std::vector<PixelRect>{};
        const std::optional<std::string> doubt = nearerLineOfTheColour(page, trace, c.asked, exclusions, chart);
        if (!c.doubt) {
            EXPECT_FALSE(doubt) << *doubt;
            continue;
        }
        ASSERT_TRUE(doubt);
        EXPECT_NE(doubt->find(c.doubt), std::string::npos) << *doubt;
    }
}

TEST(ColourRival, InkOfALighterGreyIsToldOnACleanPageWhereTheTraceHasTheGreyAsked)
{
    // A line along row 100 (its ink `lineInk`, a row either side half way to
    // the paper) traced for the grey asked; judged: a stretch of column 200
    // over rows 198-200, (198 and 200 half way to the paper, 199 `stretchInk`).
    // Lightness (CIELAB): black 0, #222222 13.1, #444444 28.9, #505050 33.9,
    // #777777 50.0; another grey is more than 12 from the grey asked.
    struct Case {
        const char* name;
        Rgb asked;
        int lineInk, stretchInk;
        bool scanned;
        bool judged;   // a judge is given at all
        bool another;  // the stretch is told as another grey's
    };
    const Case cases[] = {
        {"black asked, a #777777 stretch", {0, 0, 0}, 0, 0x77, false, true, true},
        {"black asked, a black stretch", {0, 0, 0}, 0, 0, false, true, false},
        {"#444444 asked, a #777777 stretch", {0x44, 0x44, 0x44}, 0x44, 0x77, false, true, true},
        {"#444444 asked, a #222222 stretch", {0x44, 0x44, 0x44}, 0x44, 0x22, false, true, true},
        {"#444444 asked, a #505050 stretch (a pale pixel of its own ink)", {0x44, 0x44, 0x44}, 0x44, 0x50, false, true, false},
        {"black asked, the line traced is #444444", {0, 0, 0}, 0x44, 0x77, false, false, false},
        {"black asked on a scan", {0, 0, 0}, 0, 0x77, true, false, false},
        {"a colour asked", {204, 0, 0}, 0, 0x77, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int paper = c.scanned ? 232 : 255;
        PixelBuffer page = greyPaper(c.scanned);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 380; ++x) {
            levelLineColumn(page, x, c.lineInk, paper);
            trace.push_back({x + 0.5, 100.5});
        }
        page.setPixel(200, 199, grey(c.stretchInk));
        page.setPixel(200, 198, grey((c.stretchInk + paper) / 2)), page.setPixel(200, 200, grey((c.stretchInk + paper) / 2));
        const InkJudge judge = anotherGreyJudge(page, trace, c.asked);
        ASSERT_EQ(static_cast<bool>(judge), c.judged);
        if (judge) EXPECT_EQ(judge(200, 198, 200), c.another);
    }
}

TEST(ColourRival, AGreyTracesEndInAnotherInkIsCutOffWhenItIsShort)
{
    // A line along row 100 in the grey asked (a row either side half way to
    // the paper) over columns 20..399, traced a point a column; its last
    // `otherColumns` columns in black (a label written at its end, or the
    // trace gone astray onto a black line). The trace's ends are its last 11
    // columns (3 % of 380, at least 10), and up to twice that is cut off.
    struct Case {
        const char* name;
        Rgb asked;
        int otherColumns;
        bool scanned;
        double lastColumn; // the trace's last point's column afterwards
    };
    const Case cases[] = {
        {"#777777 ending in black over 20 columns", {0x77, 0x77, 0x77}, 20, false, 379},
        {"#777777 ending in black over 4 columns: its end still its own ink", {0x77, 0x77, 0x77}, 4, false, 399},
        {"#777777 in black over 60 columns: gone astray", {0x77, 0x77, 0x77}, 60, false, 399},
        {"black asked: its own ink", {0, 0, 0}, 20, false, 399},
        {"a scan", {0x77, 0x77, 0x77}, 20, true, 399},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int paper = c.scanned ? 232 : 255;
        PixelBuffer page = greyPaper(c.scanned);
        std::vector<PixelPoint> trace;
        for (int x = 20; x < 400; ++x) {
            const int ink = x >= 400 - c.otherColumns ? 0 : c.asked.red;
            levelLineColumn(page, x, ink, paper);
            trace.push_back({double(x), 100.0});
        }
        const std::vector<PixelPoint> kept = withoutOtherGreyEnds(page, trace, c.asked);
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(kept.front().x, 20);
        EXPECT_EQ(kept.back().x, c.lastColumn);
    }
}

TEST(ColourRival, ATraceThatMissesTheClickIsDoubted)
{
    // A trace bridging a gap over columns 300-349 (a label on the curve).
    std::vector<PixelPoint> trace;
    for (int x = 20; x < 580; ++x)
        if (x < 300 || x >= 350) trace.push_back({double(x), 100.0 + x / 10});
    // Row 120 at column 200; in the gap, 132.4 at column 325 (from 129.9 at 299 to 135 at 350).
    const std::pair<PixelPoint, bool> cases[] = {{{200, 123}, false}, {{200.4, 160}, true}, {{10, 101}, true}, {{325, 140}, false}, {{325, 150}, true}};
    for (const auto& [click, doubted] : cases) EXPECT_EQ(clickMissed(trace, click).has_value(), doubted) << click.x << "," << click.y;
}

TEST(TextPieces, ALabelWithMarksBetweenItsWordsIsText)
{
    // "Tc = 60 °C" as the colour matches it at a curve's end: "T" and "c"
    // touching, the two bars of "=", "6" and "0", "°" and "C" (boxes in
    // pixels: left, right, top, bottom). No three letters stand close enough
    // to make a word alone; across the marks they are one label. A row of
    // dots (a dotted curve) beside letters of two is none, nor markers with
    // stretches of their line between them, nor pieces stepping along a slope.
    struct Box {
        int left, right, top, bottom;
    };
    struct Case {
        const char* name;
        std::vector<Box> boxes;
        bool throughMarks;
        bool text;
    };
    const std::vector<Box> label = {{84, 93, 1, 12},  {93, 99, 4, 12},   {106, 113, 5, 5},  {106, 113, 9, 9},
                                    {121, 127, 1, 12}, {130, 137, 1, 12}, {144, 148, 1, 5}, {150, 160, 1, 12}};
    std::vector<Box> dots = {{84, 93, 1, 12}, {93, 99, 4, 12}};
    for (int x = 106; x < 160; x += 9) dots.push_back({x, x + 3, 6, 9});
    // Markers 10 pixels high every 34, the line between them broken by a scan.
    std::vector<Box> markers;
    for (int x = 84; x < 200; x += 34) {
        markers.push_back({x, x + 9, 2, 11});
        markers.push_back({x + 11, x + 24, 6, 7});
    }
    // Dashes with markers on them as tall as letters, each 4 rows below the
    // last (a curve falling by half a dash's height from one to the next);
    // "log", its letters' middles 2 and 1.5 rows apart (an ascender, a descender);
    // the falling pieces with three letters written on level from the last.
    const std::vector<Box> falling = {{84, 93, 1, 10}, {96, 105, 5, 14}, {108, 117, 9, 18}};
    const std::vector<Box> log = {{84, 90, 1, 12}, {92, 99, 5, 12}, {101, 108, 5, 15}};
    std::vector<Box> labelAfterMarkers = falling;
    for (int x = 120; x < 150; x += 9) labelAfterMarkers.push_back({x, x + 7, 9, 18});
    const Case cases[] = {
        {"a label, through its marks", label, true, true},
        {"the same, letters only", label, false, false},
        {"two letters and a row of dots", dots, true, false},
        {"markers along a level curve", markers, true, false},
        {"a dashed curve's pieces stepping down", falling, false, false},
        {"a word whose letters' middles differ", log, false, true},
        {"a label written on from its curve's last markers", labelAfterMarkers, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask mask(200, 20);
        for (const Box& b : c.boxes)
            for (int x = b.left; x <= b.right; ++x)
                for (int y = b.top; y <= b.bottom; ++y) mask.set(x, y, true);
        const ColourPieces pieces = findPieces(mask);
        const std::vector<bool> letters = letterPieces(pieces, 14, nullptr, c.throughMarks);
        for (std::size_t i = 0; i < pieces.pieces.size(); ++i) {
            if (pieces.pieces[i].left == 84) {
                EXPECT_EQ(letters[i], c.text);
            }
        }
    }
}

namespace {

struct NoWords : TextReader {
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect&, TextKind, const ReadHints&) const override { return {}; }
};

} // namespace

TEST(EveryCurve, ALineSeenButNotFollowedIsCounted)
{
    // A black frame, a black curve rising across the plot and, in the second
    // case, a grey one (#999999: to the colour search, the black's fringe on
    // its way to the paper) below it: it is counted as a line seen and not
    // followed. A second black curve that ends before the middle of the x
    // range (a family's lowest, drawn to 35 % of it) is a curve of its own;
    // a stroke of 15 % of the width is none. Without a curve followed whole
    // the short one is a line seen, not a curve (no curve: a failure). A grey
    // curve left in stretches, none half the width, is one line seen; so is
    // a grey curve across a third of the width (a scan's curve broken by its labels).
    struct Case {
        const char* name;
        bool grey;
        int shortTo;   // the last column of a black curve from column 30, or none
        std::size_t curves, linesLeft;
        bool whole = true;   // the curve across the plot is drawn
        int stretch = 0;     // the grey curve drawn in stretches this long, 6 pixels apart (dots farther apart than their join)
        int greyTo = 369;    // the grey curve's last column
    };
    const Case cases[] = {{"the black curve alone", false, 0, 1, 0},
                          {"and a grey curve", true, 0, 1, 1},
                          {"and a black curve to 35 % of the range", false, 170, 2, 0},
                          {"and a black stroke of 15 % of the width", false, 90, 1, 0},
                          {"a black curve to 35 % of the range alone", false, 170, 0, 0, false},
                          {"and a grey curve in stretches", true, 0, 1, 1, true, 40},
                          {"and a grey curve across a third of the width", true, 0, 1, 1, true, 0, 150}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer picture = *PixelBuffer::create(400, 300);
        for (int x = 0; x < 400; ++x)
            for (int y = 0; y < 300; ++y) picture.setPixel(x, y, 0xffffffff);
        for (int i = 10; i <= 390; ++i) {
            picture.setPixel(i, 10, 0xff000000), picture.setPixel(i, 290, 0xff000000);
            if (i <= 290) picture.setPixel(10, i, 0xff000000), picture.setPixel(390, i, 0xff000000);
        }
        for (int x = 30; x < 370; ++x)
            for (int dy = -1; dy <= 1; ++dy) {
                if (c.whole) picture.setPixel(x, 150 - x / 4 + dy, 0xff000000);
                if (c.grey && x <= c.greyTo && (!c.stretch || (x - 30) % (c.stretch + 6) < c.stretch))
                    picture.setPixel(x, 270 - x / 4 + dy, 0xff999999);
                if (x <= c.shortTo) picture.setPixel(x, 250 - x / 3 + dy, 0xff000000);
            }
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<EveryCurve> every =
            findEveryCurve(picture, calibration, CurveSearch{{0, 0, 0}, std::nullopt, 20, std::nullopt, {}}, NoWords{},
                           PixelRect{10, 10, 380, 280});
        if (c.curves == 0) {
            EXPECT_FALSE(every);
            continue;
        }
        ASSERT_TRUE(every) << every.failure();
        ASSERT_EQ(every->curves.size(), c.curves);
        EXPECT_EQ(every->linesLeft.size(), c.linesLeft);
        if (c.curves == 2) {
            // The short curve is read along its own rows, 250 - x/3, from column 30 to its end.
            const FoundCurve& low = every->curves[0].curve.centre.back().x < 200 ? every->curves[0].curve : every->curves[1].curve;
            EXPECT_NEAR(low.centre.front().x, 30, 2);
            EXPECT_NEAR(low.centre.back().x, c.shortTo, 2);
            for (const PixelPoint& p : low.centre) EXPECT_NEAR(p.y, 250 - p.x / 3, 1.5);
        }
    }
}

TEST(FindCurve, AChartFilledGreyOnAWhitePageIsPaperAndItsCurveIsFound)
{
    // A white page with a plot area filled #e5e5e5 (matplotlib's ggplot sheet)
    // over 29 % of it, a blue line 3 pixels thick across the grey: the grey is
    // the chart's paper, not ink that hides the curve (it used to end in
    // "nessuna curva del colore ... trovata").
    struct Case {
        const char* name;
        Rgb fill;
    };
    const Case cases[] = {{"white plot area", {255, 255, 255}}, {"grey plot area", {229, 229, 229}}};
    const Rgb blue{52, 138, 189};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer page = *PixelBuffer::create(400, 300);
        for (int x = 0; x < 400; ++x)
            for (int y = 0; y < 300; ++y)
                page.setPixel(x, y, argbOf(x >= 40 && x < 360 && y >= 40 && y < 150 ? c.fill : Rgb{255, 255, 255}));
        for (int x = 60; x < 340; ++x)
            for (int dy = -1; dy <= 1; ++dy) page.setPixel(x, 130 - x / 4 + dy, argbOf(blue));
        const std::vector<Rgb> papers = paperColours(page);
        EXPECT_EQ(papers.size(), c.fill.red == 255 ? 1u : 2u);
        const AxisCalibration calibration = *AxisCalibration::fromReferences(axes(AxisScale::Linear));
        const Checked<FoundCurve> found = findCurve(page, calibration, CurveSearch{blue, std::nullopt, 20, std::nullopt, {}});
        ASSERT_TRUE(found) << found.failure();
        ASSERT_FALSE(found->pixels.empty());
        // Rows 130 - floor(x / 4), centres half a pixel down: a stair of steps 4 columns long.
        for (const PixelPoint& p : found->pixels) EXPECT_NEAR(p.y, 130.5 - p.x / 4, 1.0) << p.x;
        EXPECT_LE(found->pixels.front().x, 62);
        EXPECT_GE(found->pixels.back().x, 337);
    }
}

TEST(EveryCurve, ALineAlongACurveTakenIsThatCurveAgain)
{
    // The curve taken: rows 150 - x / 4 over columns 30..370, a plot 280 high
    // (near: 3 pixels). A line whose points lie within 3 rows of it over 90 %
    // of them is the same curve (its markers' edges); 2 points of 10 off, or
    // a line 10 rows away, is another.
    std::vector<PixelPoint> taken;
    for (int x = 30; x <= 370; ++x) taken.push_back({double(x), 150 - x / 4.0});
    const auto line = [](double shift, int off) {
        std::vector<PixelPoint> l;
        for (int i = 0; i < 10; ++i) {
            const double x = 40 + 30 * i;
            l.push_back({x, 150 - x / 4 + shift + (i < off ? 20 : 0)});
        }
        return l;
    };
    struct Case {
        const char* name;
        std::vector<PixelPoint> line;
        bool same;
    };
    const Case cases[] = {
        {"on it", line(0, 0), true},
        {"2.5 rows below it", line(2.5, 0), true},
        {"one point of ten off", line(0, 1), true},
        {"two points of ten off", line(0, 2), false},
        {"10 rows below it", line(10, 0), false},
        {"nothing taken", line(0, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(alongTakenCurve(c.line, std::string(c.name) == "nothing taken" ? std::vector<PixelPoint>{} : taken, 280), c.same);
    }
}

// A trace's cover judged where the x references span less than half the
// plot (the other numbers not read): against the plot's width. The plot
// 0-800, the references at columns 100 and `refsTo`, one value a column.
TEST(TraceDoubts, ATraceIsJudgedAgainstThePlotWhereItsXReferencesSpanLittleOfIt)
{
    struct Case {
        const char* name;
        int refsTo;
        int traceTo; // the trace from column 100
        bool plotKnown;
        const char* told; // nullptr: no doubt of its cover
    };
    const Case cases[] = {
        {"short references, a quarter of the plot", 400, 300, true, "copre solo il 25 % della larghezza del grafico"},
        {"short references, the plot unknown", 400, 300, false, nullptr},
        {"short references, three quarters of the plot", 400, 700, true, nullptr},
        {"long references, a quarter of the plot", 800, 300, true, "copre solo il 28.6 % dell'intervallo delle x tra i riferimenti"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AxesReferences refs{{{100, 600}, {double(c.refsTo), 600}, 0, double(c.refsTo - 100), AxisScale::Linear},
                                  {{0, 600}, {0, 0}, 0, 600, AxisScale::Linear}};
        const AxisCalibration calibration = *AxisCalibration::fromReferences(refs);
        std::vector<PixelPoint> line;
        for (int x = 100; x <= c.traceTo; ++x) line.push_back({double(x), 500 - (x - 100) * 0.5});
        const std::vector<std::string> doubts =
            traceDoubts(line, calibration, false, c.plotKnown ? std::optional<PixelRect>(PixelRect{0, 0, 800, 600}) : std::nullopt);
        std::string all;
        for (const std::string& d : doubts) all += d + "\n";
        if (c.told) EXPECT_NE(all.find(c.told), std::string::npos) << all;
        else EXPECT_EQ(all.find("copre solo"), std::string::npos) << all;
    }
}
