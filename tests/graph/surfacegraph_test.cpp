// The picture of a surface: its contour levels, its contour lines, the
// classes of the points' errors, and a pass that draws all of them.
#include "graph/contours.h"
#include "graph/device.h"
#include "graph/surfacegraph.h"
#include "graph_fixture.h"

#include <cmath>
#include <map>

namespace calvero::testing {
namespace {

TEST(SurfacePicture, LevelsAreWholeStepsStrictlyInsideTheRange)
{
    // Worked out by hand: a range of 6 to 23 has axis steps of 1 (a twentieth
    // of the next 1-2-5 number above 17), so the levels go in twos; 0 to 1
    // has steps of 0.1, its levels go in 0.2.
    EXPECT_EQ(contourLevels(6.0, 23.0), (std::vector<double>{8, 10, 12, 14, 16, 18, 20, 22}));
    const std::vector<double> unit = contourLevels(0.0, 1.0);
    ASSERT_EQ(unit.size(), 4u);
    EXPECT_NEAR(unit.front(), 0.2, 1e-12);
    EXPECT_NEAR(unit.back(), 0.8, 1e-12);
    EXPECT_TRUE(contourLevels(5.0, 5.0).empty()) << "a flat surface has no lines";
    EXPECT_TRUE(contourLevels(NAN, 1.0).empty());
}

TEST(SurfacePicture, ContourOfAPlaneIsItsStraightLine)
{
    // z = x + 2y: the line z = 1 runs from (1, 0) to (0, 0.5) across the unit square.
    const auto plane = [](double x, double y) { return x + 2 * y; };
    const std::vector<ContourSegment> segments = contourSegments(plane, 0, 1, 0, 1, 10, 1.0);
    ASSERT_FALSE(segments.empty());
    for (const ContourSegment& s : segments) {
        EXPECT_NEAR(plane(s.x1, s.y1), 1.0, 1e-12);
        EXPECT_NEAR(plane(s.x2, s.y2), 1.0, 1e-12);
    }
    // A saddle z = x*y about the centre: the level 0 is the two axes, none of its pieces crossing a quadrant.
    const auto saddle = [](double x, double y) { return x * y; };
    for (const ContourSegment& s : contourSegments(saddle, -1, 1, -1, 1, 7, 0.01))
        EXPECT_GT(saddle((s.x1 + s.x2) / 2, (s.y1 + s.y2) / 2), 0.0);
    // Where the function has no value there are no lines.
    EXPECT_TRUE(contourSegments([](double, double) { return NAN; }, 0, 1, 0, 1, 4, 0.5).empty());
}

TEST(SurfacePicture, ErrorClassesFollowTheirLimits)
{
    const std::pair<double, int> cases[] = {{0.0, 0}, {-0.5, 0}, {0.51, 1}, {-1.0, 1}, {1.5, 2}, {2.0, 2}, {-2.01, 3}, {40, 3}};
    for (auto [error, expected] : cases) EXPECT_EQ(errorClass(error), expected) << error;
}

class SurfacePictureTest : public GraphTest {};

bool blueShade(CanvasColour c) { return c.blue > c.red && c.blue > c.green; }

TEST_F(SurfacePictureTest, APassDrawsTheLabelledMapThePointsAndTheLegend)
{
    // z = 5 + x - 2y on a 4 x 4 grid, the point at (2, 2) 3 % off the plane, the one at (1, 3) at z = 0.
    SurfaceGraphData data;
    int i = 0;
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y) {
            ++i;
            data.points.x[i] = x, data.points.y[i] = y, data.points.z[i] = 5 + x - 2.0 * y;
        }
    data.points.z[6] *= 1.03;
    data.count = data.points.foundCount = 16;
    data.degree = 2;
    data.coefficients[1] = 5, data.coefficients[2] = 1, data.coefficients[3] = -2;
    for (const auto& [width, height] : {std::pair{1024, 768}, std::pair{800, 600}}) {
        canvas = RecordingCanvas{};
        useScreen(width, height);
        prepareSurfaceGraph(graph, data);
        drawGraph(graph);
        EXPECT_EQ(canvas.ellipses.size(), 16u + 5u); // the points and the legend's five marks
        std::map<std::string, int> shown; // but the axes' numbers
        for (const TextOut& t : canvas.texts) shown[t.text] += t.colour != Blue;
        for (const char* text : {" curve di livello di Z", " errore % dei punti", " oltre 2 %", " Z = 0: non calcolato"})
            EXPECT_EQ(shown[text], 1) << text;
        // z runs from -2 to 7.09: levels -1 to 6 in ones (worked out by hand), each in the
        // legend and on its line, on a white patch.
        for (int level = -1; level <= 6; ++level) EXPECT_EQ(shown[" " + std::to_string(level)], 2) << level;
        EXPECT_EQ(canvas.rectangles.size(), 8u);
        // The lines in shades of blue, the points in colours that are not.
        int blueLines = 0;
        for (const Segment& line : canvas.lines) blueLines += blueShade(line.colour) && line.colour != Blue;
        EXPECT_GT(blueLines, 8);
        for (const Box& mark : canvas.ellipses) EXPECT_FALSE(blueShade(mark.colour));
        // The map takes the width the legend leaves: the legend's column ends at the window's edge, inside it.
        const TextOut* heading = canvas.findText(" curve di livello di Z");
        ASSERT_NE(heading, nullptr);
        EXPECT_GT(heading->x + canvas.textWidth(heading->text), 0.9 * width);
        EXPECT_LE(heading->x + canvas.textWidth(heading->text), width);
    }
    // The readout under the mouse: the plane's value on the map, nothing beside it.
    ASSERT_TRUE(drawnSurfaceValueAt(graph, 2.5, 1.5).has_value());
    EXPECT_NEAR(*drawnSurfaceValueAt(graph, 2.5, 1.5), 5 + 2.5 - 3, 1e-12);
    EXPECT_FALSE(drawnSurfaceValueAt(graph, 5.5, 2).has_value()) << "the legend's side of the picture";
}

} // namespace
} // namespace calvero::testing
