// The graph drawn through the Qt canvas: a fitted polynomial's image, the
// printed page and the canvas's own conventions.
#include "fit/calculation.h"
#include "fit/fits.h"
#include "common/numtext.h"
#include "fit/workingset.h"
#include "graph/fitgraph.h"
#include "graph/graphstate.h"
#include "graph/ui/graphimage.h"
#include "graph/ui/graphprint.h"
#include "graph/ui/qpaintercanvas.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <variant>
#include <limits>

namespace calvero {
namespace {

const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);

class GraphImageTest : public ::testing::Test {
protected:
    // y = 0.5 x^2 - x + 3 through 8 points, fitted as the calculation does.
    void fitParabola()
    {
        CalculationInput in;
        for (int i = 1; i <= 8; ++i) {
            const double x = i;
            in.points.x[i] = x;
            in.points.y[i] = 0.5 * x * x - x + 3;
        }
        in.pointCount = 8;
        in.kind = FitType::Polynomial;
        in.degree = 2;
        data = fitGraphData(*(calculate(in)));
        ASSERT_NEAR(evaluate(*data.curve, 10), 43, 1e-9);
    }
    FitGraphData data;
    GraphState graph;

    static int countColour(const QImage& image, const QColor& colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
        return n;
    }

    // Whether any pixel within d of (x, y) has the colour.
    static bool colourNear(const QImage& image, int x, int y, const QColor& colour, int d = 2)
    {
        for (int v = y - d; v <= y + d; ++v)
            for (int u = x - d; u <= x + d; ++u)
                if (image.valid(u, v) && image.pixelColor(u, v) == colour) return true;
        return false;
    }

    // Screen pixel of a world point after a pass.
    QPoint screenPixel(double x, double y) const
    {
        const GraphState& s = graph;
        const PlotFrame& p = s.plot;
        return QPoint(static_cast<int>((x - p.xMin) * p.xScale + p.originX),
                      static_cast<int>(s.frame.deviceHeight - ((y - p.yMin) * p.yScale + p.originY)));
    }
};

TEST_F(GraphImageTest, FittedPolynomialShowsBlueCirclesAndAGreenCurve)
{
    fitParabola();
    prepareScreenGraph(graph, data);
    const QImage image = renderGraphImage(graph, 1024, 768);
    ASSERT_EQ(image.size(), QSize(1024, 768));

    EXPECT_GT(countColour(image, Green), 500);
    EXPECT_GT(countColour(image, Blue), 500);

    const double radius = graph.plot.extentX / 125;
    for (int i = 1; i <= 8; ++i) {
        const double x = data.points.x[i];
        const double y = data.points.y[i];
        const QPoint centre = screenPixel(x, y);
        // The outline of the circle is blue, its inside white.
        EXPECT_TRUE(colourNear(image, centre.x() - static_cast<int>(radius), centre.y(), Blue)) << i;
        EXPECT_EQ(image.pixelColor(centre + QPoint(0, static_cast<int>(radius / 2))), QColor(Qt::white)) << i;
    }
    // Between the points the curve passes through its own values.
    for (double x : {1.5, 3.5, 6.5}) {
        const QPoint onCurve = screenPixel(x, 0.5 * x * x - x + 3);
        EXPECT_TRUE(colourNear(image, onCurve.x(), onCurve.y(), Green)) << x;
    }
    EXPECT_EQ(image.pixelColor(1023, 767), QColor(Qt::white));
    EXPECT_EQ(graph.canvas, nullptr);
}

TEST_F(GraphImageTest, ScatterShowsNoCurve)
{
    fitParabola();
    data.curve.reset();
    prepareScreenGraph(graph, data);
    const QImage image = renderGraphImage(graph, 1024, 768);
    EXPECT_EQ(countColour(image, Green), 0);
    EXPECT_GT(countColour(image, Blue), 500);
}

TEST_F(GraphImageTest, NothingInstalledGivesAWhiteImage)
{
    const QImage image = renderGraphImage(graph, 320, 200);
    EXPECT_EQ(countColour(image, QColor(Qt::white)), 320 * 200);
    EXPECT_TRUE(renderGraphImage(graph, 0, 10).isNull());
}

TEST_F(GraphImageTest, PrintedPageIsWrittenAsPdfAndTheDeviceReturnsToTheScreen)
{
    fitParabola();
    prepareScreenGraph(graph, data);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("grafico.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setOutputFileName(path);
    ASSERT_TRUE(printGraphPage(graph, printer));

    EXPECT_EQ(graph.device, DeviceScreen);
    EXPECT_EQ(graph.frame.deviceWidth, static_cast<int>(printer.width() * 0.9));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");
    EXPECT_GT(file.size(), 1000);
}

TEST_F(GraphImageTest, RefusedPrintJobIsReported)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/grafico.pdf"));
    EXPECT_FALSE(printGraphPage(graph, printer));
}

TEST(QPainterCanvasTest, TextHangsBelowItsTopLeftCorner)
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QPainterCanvas canvas(painter, QFont(QStringLiteral("Times New Roman")));
    canvas.setFontSize(12);
    canvas.setFontColour({255, 0, 0});
    canvas.textOut(20, 30, "MMM");
    painter.end();

    int top = image.height(), left = image.width(), red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                top = std::min(top, y);
                left = std::min(left, x);
                red += image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 100;
            }
    EXPECT_GE(top, 30);
    EXPECT_LT(top, 40);
    EXPECT_GE(left, 20);
    EXPECT_GT(red, 10);
}

TEST(QPainterCanvasTest, CoordinatesAtTheEndsOfThe32BitRangeAreHarmless)
{
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QPainterCanvas canvas(painter, QFont());
    canvas.setPenWidth(2);
    const int big = std::numeric_limits<int>::max();
    const int small = std::numeric_limits<int>::min();
    // Shapes that cover everything are filled white: drawn first.
    canvas.ellipse(small, small, big, big);
    canvas.rectangle(big, big, small, small);
    canvas.moveTo(50, 50);
    canvas.lineTo(big, 50);
    canvas.moveTo(small, 20);
    canvas.lineTo(big, 20); // crosses the whole image
    canvas.lineTo(small, small);
    canvas.textOut(big, big, "x");
    painter.end();
    EXPECT_NE(image.pixelColor(75, 50), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(10, 20), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(90, 20), QColor(Qt::white));
}

} // namespace
} // namespace calvero
