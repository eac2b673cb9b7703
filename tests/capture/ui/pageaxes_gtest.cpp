// The page's structure and its axes read by themselves, with Tesseract, on
// charts drawn here with Qt in the styles plotting programs use: frames
// light grey or missing, a grey area under a white grid, ticks inward on
// all four sides with minor ticks (a page of that shape once made the
// label reading write past a picture's rows), a grid alone; a factor or an
// offset at an axis's end; a second y axis; two charts on one page. Where
// every tick and grid line stands is known, so each reference is checked
// to a fifth of a pixel of the place the drawing gave its value.
#include "capture/axisfinder.h"
#include "capture/extractcommand.h"
#include "capture/tesseractreader.h"
#include "capture/ui/pictureload.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace calvero;
using namespace calvero::capture;

namespace {

struct Range {
    double low, high, step;
};

struct Look {
    QColor frame = Qt::black; // transparent: none
    bool frameSides = true;   // the top and right lines as well as the axis lines
    QColor area = Qt::white;
    QColor grid = QColor(215, 215, 215); // transparent: none
    QColor ticks = Qt::black;            // transparent: none
    bool inward = false;
    bool allSides = false;
    int minor = 0;
    QString yEnd, xEnd; // written at the axes' far ends, as matplotlib does
    QString yTitle;     // written up the side, left of the numbers
    std::optional<Range> right;
    QColor rightColour = Qt::black;
};

double place(const Range& r, double v, double from, double to) { return from + (to - from) * (v - r.low) / (r.high - r.low); }

std::vector<double> values(const Range& r)
{
    std::vector<double> v;
    for (double d = r.low; d <= r.high + 1e-9; d += r.step) v.push_back(d);
    return v;
}

// One chart in the rectangle: its area, grid, frame, ticks and numbers.
void drawChart(QPainter& p, const QRectF& plot, const Range& x, const Range& y, const Look& look)
{
    p.fillRect(plot, look.area);
    const double l = plot.left(), r = plot.right(), t = plot.top(), b = plot.bottom();
    const auto tick = [&](QPointF at, QPointF along, double length) { p.drawLine(at, at + along * length); };
    for (double v : values(x)) {
        const double px = place(x, v, l, r);
        p.setPen(QPen(look.grid, 1));
        if (look.grid.alpha()) p.drawLine(QPointF(px, t), QPointF(px, b));
        p.setPen(QPen(look.ticks, 1));
        if (look.ticks.alpha()) {
            tick({px, b}, {0, look.inward ? -1.0 : 1.0}, 6);
            if (look.allSides) tick({px, t}, {0, look.inward ? 1.0 : -1.0}, 6);
            for (int k = 1; k <= look.minor && v < x.high; ++k) {
                const double mx = px + k * (place(x, x.step, l, r) - l) / (look.minor + 1);
                tick({mx, b}, {0, look.inward ? -1.0 : 1.0}, 3);
                if (look.allSides) tick({mx, t}, {0, look.inward ? 1.0 : -1.0}, 3);
            }
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(px - 40, b + 10, 80, 20), Qt::AlignHCenter | Qt::AlignTop, QString::number(v));
    }
    for (double v : values(y)) {
        const double py = place(y, v, b, t);
        p.setPen(QPen(look.grid, 1));
        if (look.grid.alpha()) p.drawLine(QPointF(l, py), QPointF(r, py));
        p.setPen(QPen(look.ticks, 1));
        if (look.ticks.alpha()) {
            tick({l, py}, {look.inward ? 1.0 : -1.0, 0}, 6);
            if (look.allSides) tick({r, py}, {look.inward ? -1.0 : 1.0, 0}, 6);
            for (int k = 1; k <= look.minor && v < y.high; ++k) {
                const double my = py - k * (b - place(y, y.low + y.step, b, t)) / (look.minor + 1);
                tick({l, my}, {look.inward ? 1.0 : -1.0, 0}, 3);
                if (look.allSides) tick({r, my}, {look.inward ? -1.0 : 1.0, 0}, 3);
            }
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(l - 90, py - 10, 80, 20), Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    if (look.right)
        for (double v : values(*look.right)) {
            const double py = place(*look.right, v, b, t);
            p.setPen(QPen(look.ticks, 1));
            tick({r, py}, {1, 0}, 6);
            p.setPen(look.rightColour);
            p.drawText(QRectF(r + 10, py - 10, 80, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::number(v));
        }
    p.setPen(QPen(look.frame, 1.5));
    if (look.frame.alpha()) {
        p.drawLine(QPointF(l, b), QPointF(r, b));
        p.drawLine(QPointF(l, t), QPointF(l, b));
        if (look.frameSides) {
            p.drawLine(QPointF(l, t), QPointF(r, t));
            p.drawLine(QPointF(r, t), QPointF(r, b));
        }
    }
    p.setPen(Qt::black);
    if (!look.yTitle.isEmpty()) {
        p.save();
        p.translate(l - 62, (t + b) / 2);
        p.rotate(-90);
        p.drawText(QRectF(-200, -10, 400, 20), Qt::AlignCenter, look.yTitle);
        p.restore();
    }
    if (!look.yEnd.isEmpty()) p.drawText(QRectF(l, t - 30, 200, 22), Qt::AlignLeft | Qt::AlignBottom, look.yEnd);
    if (!look.xEnd.isEmpty()) p.drawText(QRectF(r - 200, b + 34, 200, 22), Qt::AlignRight | Qt::AlignTop, look.xEnd);
}

const QRectF Plot(110.3, 50.6, 840.2, 600.4);
const Range Flow{0, 150, 25}, Head{0, 50, 10};

QImage page(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage oneChart(const Look& look, const std::function<void(QPainter&)>& more = {})
{
    QImage image = page(1000, 720);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(QFont("DejaVu Sans", 11));
    drawChart(p, Plot, Flow, Head, look);
    if (more) more(p);
    return image;
}

PixelBuffer pixels(const QImage& image) { return *pictureFromImage(image); }

// A curve drawn against the chart: y(x) in the units of `y`.
void drawCurve(QPainter& p, const QRectF& plot, const Range& x, const Range& y, QColor colour, const std::function<double(double)>& f)
{
    QPainterPath path(QPointF(place(x, x.low, plot.left(), plot.right()), place(y, f(x.low), plot.bottom(), plot.top())));
    for (double v = x.low; v <= x.high; v += (x.high - x.low) / 200)
        path.lineTo(place(x, v, plot.left(), plot.right()), place(y, f(v), plot.bottom(), plot.top()));
    p.setPen(QPen(colour, 2));
    p.drawPath(path);
}

std::vector<std::string> words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

} // namespace

TEST(PageAxes, AxesWithoutADarkFrameArePlacedToAFifthOfAPixel)
{
    const TesseractReader reader;
    ASSERT_TRUE(reader.ready());
    struct Case {
        const char* name;
        Look look;
        // How near each reference lies to its value's place, in pixels.
        double within = 0.2;
    };
    Look light, lines, grey, inward, gridOnly, titled, openInward;
    light.frame = QColor(190, 190, 190);
    lines.frameSides = false;
    grey.frame = Qt::transparent, grey.area = QColor(229, 229, 229), grey.grid = Qt::white, grey.ticks = QColor(80, 80, 80);
    inward.inward = true, inward.allSides = true, inward.minor = 4, inward.grid = Qt::transparent;
    gridOnly.frame = Qt::transparent, gridOnly.ticks = Qt::transparent, gridOnly.grid = QColor(200, 200, 200);
    titled.yTitle = "Perdita di carico [Pa/m]";
    openInward.frameSides = false, openInward.inward = true, openInward.allSides = true, openInward.minor = 4;
    openInward.grid = Qt::transparent, openInward.yTitle = "Prevalenza [kPa]";
    const Case cases[] = {
        {"a light grey frame", light},
        {"the axis lines only", lines},
        // Not yet to a fifth of a pixel: the y references come 0.2 to 0.45 pixel off here.
        {"a grey area under a white grid, no line", grey, 0.5},
        {"inward ticks on all four sides, minor ticks", inward},
        {"a light grid alone, no frame, no tick", gridOnly},
        // Its letters read one by one as '|' and '1' must not draw the numbers' column to them.
        {"an axis title up the side beside the numbers", titled},
        {"inward minor ticks on the right with no line there", openInward},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Checked<FoundAxes> found = findAxes(pixels(oneChart(c.look)), reader);
        ASSERT_TRUE(found) << found.failure();
        const AxisReference& x = found->references.x;
        const AxisReference& y = found->references.y;
        EXPECT_EQ(x.scale, AxisScale::Linear);
        EXPECT_EQ(y.scale, AxisScale::Linear);
        EXPECT_NEAR(x.first.x, place(Flow, x.firstValue, Plot.left(), Plot.right()), c.within) << x.firstValue;
        EXPECT_NEAR(x.second.x, place(Flow, x.secondValue, Plot.left(), Plot.right()), c.within) << x.secondValue;
        EXPECT_NEAR(y.first.y, place(Head, y.firstValue, Plot.bottom(), Plot.top()), c.within) << y.firstValue;
        EXPECT_NEAR(y.second.y, place(Head, y.secondValue, Plot.bottom(), Plot.top()), c.within) << y.secondValue;
        EXPECT_GE(x.secondValue - x.firstValue, 100);
        EXPECT_GE(y.secondValue - y.firstValue, 30);
        EXPECT_FALSE(found->rightY);
    }
}

TEST(PageAxes, AFactorOrAnOffsetAtAnAxisEndIsAppliedAndOneNotUnderstoodIsTold)
{
    const TesseractReader reader;
    struct Case {
        const char* name;
        QString yEnd, xEnd;
        double yTimes, xPlus;
        const char* refused; // part of the reason, when the axes are refused
    };
    const Case cases[] = {
        {"1e4 over the y axis", "1e4", "", 1e4, 0, nullptr},
        {"+1000 under the x axis's end", "", "+1000", 1, 1000, nullptr},
        {"x25 is no notation known", "x25", "", 1, 0, "«x25»"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Look look;
        look.yEnd = c.yEnd, look.xEnd = c.xEnd;
        const Checked<FoundAxes> found = findAxes(pixels(oneChart(look)), reader);
        if (c.refused) {
            ASSERT_FALSE(found);
            EXPECT_NE(found.failure().find(c.refused), std::string::npos) << found.failure();
            continue;
        }
        ASSERT_TRUE(found) << found.failure();
        const AxisReference& x = found->references.x;
        const AxisReference& y = found->references.y;
        // The drawn numbers are Flow and Head; the true values are them with the factor.
        EXPECT_NEAR(y.first.y, place(Head, y.firstValue / c.yTimes, Plot.bottom(), Plot.top()), 0.5);
        EXPECT_NEAR(y.second.y, place(Head, y.secondValue / c.yTimes, Plot.bottom(), Plot.top()), 0.5);
        EXPECT_NEAR(x.first.x, place(Flow, x.firstValue - c.xPlus, Plot.left(), Plot.right()), 0.5);
        EXPECT_NEAR(x.second.x, place(Flow, x.secondValue - c.xPlus, Plot.left(), Plot.right()), 0.5);
        EXPECT_GE(y.secondValue, 30 * c.yTimes);
    }
}

TEST(PageAxes, ACurveOfATwinAxisChartIsReadAgainstItsOwnAxisOrTheReadSaysWhy)
{
    const TesseractReader reader;
    // The head's 0 to 50 m is 0 to 164.04 ft.
    const Range power{0, 20, 5}, feet{0, 50 / 0.3048, 20};
    const auto head = [](double q) { return 45 - 0.0015 * q * q; };
    const auto kw = [](double q) { return 4 + 0.1 * q; };
    struct Case {
        const char* name;
        Range right;
        QColor rightColour;
        const char* options;
        int code;
        std::function<double(double)> expected; // the y the points must have, for exit 0
        const char* told;
    };
    const Case cases[] = {
        {"power on the right in red: the red curve against it", power, QColor(214, 39, 40), "--colour #d62728", ExtractFound,
         kw, "i cui numeri hanno il suo colore"},
        {"the black curve: the left axis asked for", power, QColor(214, 39, 40), "--colour #000000 --y-axis left", ExtractFound,
         head, nullptr},
        {"numbers of both axes black: no telling", power, Qt::black, "--colour #d62728", ExtractUnsure, {}, "due assi y"},
        {"the same head in ft on the right: the left axis", feet, Qt::black, "--colour #000000", ExtractFound, head,
         "m e ft"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Look look;
        look.right = c.right, look.rightColour = c.rightColour;
        const QImage image = oneChart(look, [&](QPainter& p) {
            drawCurve(p, Plot, Flow, Head, Qt::black, head);
            if (c.right.high == 20) drawCurve(p, Plot, Flow, c.right, QColor(214, 39, 40), kw);
        });
        const Checked<ExtractOptions> options =
            parseExtractOptions(words(std::string("--extract page.png --auto-axes --points 20 ") + c.options));
        ASSERT_TRUE(options) << options.failure();
        std::ostringstream out, errors;
        EXPECT_EQ(runExtract(*options, pixels(image), out, errors, &reader), c.code) << errors.str();
        if (c.told) {
            EXPECT_NE(errors.str().find(c.told), std::string::npos) << errors.str();
        }
        if (c.code != ExtractFound) continue;
        std::istringstream lines(out.str());
        int points = 0;
        for (std::string line; std::getline(lines, line); ++points) {
            const double px = std::stod(line.substr(0, line.find(';'))), py = std::stod(line.substr(line.find(';') + 1));
            EXPECT_NEAR(py, c.expected(px), 0.005 * 50) << line;
        }
        EXPECT_EQ(points, 20);
    }
}

TEST(PageAxes, APageOfTwoChartsIsListedAndTheChartAskedForReadAgainstItsOwnAxes)
{
    const TesseractReader reader;
    const QRectF first(90.4, 60.2, 380.3, 300.5), second(600.7, 60.2, 360.6, 300.5);
    const Range x1{0, 60, 20}, y1{0, 40, 10}, x2{0, 300, 100}, y2{0, 8, 2};
    QImage image = page(1050, 480);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setFont(QFont("DejaVu Sans", 11));
        drawChart(p, first, x1, y1, {});
        drawChart(p, second, x2, y2, {});
        drawCurve(p, first, x1, y1, QColor(31, 119, 180), [](double q) { return 30 - 0.005 * q * q; });
        drawCurve(p, second, x2, y2, QColor(31, 119, 180), [](double q) { return 1 + 0.02 * q; });
    }
    const PixelBuffer picture = pixels(image);
    const PageAxes found = findPageAxes(picture, reader);
    ASSERT_EQ(found.axes.size(), 2u) << found.failure;
    EXPECT_NEAR(found.axes[0].references.x.second.x, place(x1, found.axes[0].references.x.secondValue, first.left(), first.right()), 0.5);
    EXPECT_NEAR(found.axes[1].references.y.second.y, place(y2, found.axes[1].references.y.secondValue, second.bottom(), second.top()), 0.5);

    struct Case {
        const char* options;
        int code;
        const char* told;
    };
    const Case cases[] = {
        {"", ExtractUnsure, "la pagina ha 2 grafici: 1 (90,60 - 471,361); 2 (601,60 - 961,361); sceglierne uno con --chart N"},
        {"--chart 2", ExtractFound, nullptr},
        {"--chart 3", ExtractUnsure, "--chart 3: la pagina ha 2 grafici"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const Checked<ExtractOptions> options =
            parseExtractOptions(words(std::string("--extract page.png --auto-axes --points 10 --colour #1f77b4 ") + c.options));
        ASSERT_TRUE(options) << options.failure();
        std::ostringstream out, errors;
        EXPECT_EQ(runExtract(*options, picture, out, errors, &reader), c.code) << errors.str();
        if (c.told) {
            EXPECT_NE(errors.str().find(c.told), std::string::npos) << errors.str();
        }
        if (c.code != ExtractFound) continue;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) {
            const double q = std::stod(line.substr(0, line.find(';'))), v = std::stod(line.substr(line.find(';') + 1));
            EXPECT_NEAR(v, 1 + 0.02 * q, 0.005 * 8) << line;
        }
    }
}
