// The axes and the curves read by themselves, with Tesseract, on charts
// drawn here with Qt: the tick numbers in several forms (whole numbers,
// decimal commas, thousands marks, powers of ten with raised exponents),
// then a family of black pump curves each labelled "D=..." beside it, as
// drawn and as scanned (blurred, a grid line through each label).
#include "capture/allcurves.h"
#include "capture/axisfinder.h"
#include "capture/tesseractreader.h"
#include "capture/ui/pictureload.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace calvero;
using namespace calvero::capture;

namespace {

constexpr double Left = 110, Right = 950, Top = 40, Bottom = 660;

struct Axis {
    double low, high, step;
    bool log;
    std::function<QString(double)> text;
};

double place(const Axis& a, double v, double from, double to)
{
    const auto s = [&](double x) { return a.log ? std::log10(x) : x; };
    return from + (to - from) * (s(v) - s(a.low)) / (s(a.high) - s(a.low));
}

// Draws "10" with the exponent raised and smaller when the text is "10^k".
void drawLabel(QPainter& painter, const QString& text, QPointF at, Qt::Alignment align)
{
    const int caret = text.indexOf('^');
    const QFontMetricsF base(painter.font());
    QFont small = painter.font();
    small.setPointSizeF(painter.font().pointSizeF() * 0.7);
    const QString main = caret < 0 ? text : text.left(caret), power = caret < 0 ? QString() : text.mid(caret + 1);
    const double width = base.horizontalAdvance(main) + QFontMetricsF(small).horizontalAdvance(power);
    const double left = align & Qt::AlignRight ? at.x() - width : at.x() - width / 2;
    const double baseline = at.y() + base.ascent() / 2 - 1;
    painter.drawText(QPointF(left, baseline), main);
    if (caret < 0) return;
    const QFont kept = painter.font();
    painter.setFont(small);
    painter.drawText(QPointF(left + base.horizontalAdvance(main), baseline - base.ascent() * 0.45), power);
    painter.setFont(kept);
}

// The chart's grid is light grey unless given; zoom 2 draws it as a 300 dpi
// scan of a page drawn for the screen at 150.
QImage chart(const Axis& x, const Axis& y, QPen grid = QPen(QColor(200, 200, 200), 1), int zoom = 1)
{
    QImage image(1000 * zoom, 720 * zoom, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(zoom, zoom);
    painter.setFont(QFont("DejaVu Sans", 11));
    const auto values = [](const Axis& a) {
        std::vector<double> v;
        if (a.log)
            for (double d = a.low; d <= a.high * 1.0001; d *= 10) v.push_back(d);
        else
            for (double d = a.low; d <= a.high + 1e-9; d += a.step) v.push_back(d);
        return v;
    };
    for (double v : values(x)) {
        const double px = place(x, v, Left, Right);
        painter.setPen(grid);
        painter.drawLine(QPointF(px, Top), QPointF(px, Bottom));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(px, Bottom), QPointF(px, Bottom + 5));
        drawLabel(painter, x.text(v), QPointF(px, Bottom + 18), Qt::AlignHCenter);
    }
    for (double v : values(y)) {
        const double py = place(y, v, Bottom, Top);
        painter.setPen(grid);
        painter.drawLine(QPointF(Left, py), QPointF(Right, py));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(Left - 5, py), QPointF(Left, py));
        drawLabel(painter, y.text(v), QPointF(Left - 9, py), Qt::AlignRight);
    }
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawRect(QRectF(Left, Top, Right - Left, Bottom - Top));
    painter.end();
    return image;
}

QString plain(double v) { return QString::number(v); }

} // namespace

TEST(AutoAxes, TheTickNumbersGiveTheReferencesInTheirManyForms)
{
    const TesseractReader reader;
    ASSERT_TRUE(reader.ready());
    const auto comma = [](double v) { return QString::number(v).replace('.', ','); };
    const auto thousands = [](double v) { return v >= 1000 ? QString("%1.%2").arg(int(v) / 1000).arg(int(v) % 1000, 3, 10, QChar('0')) : QString::number(v); };
    const auto power = [](double v) { return QString("10^%1").arg(std::lround(std::log10(v))); };
    struct Case {
        const char* name;
        Axis x, y;
    };
    const Case cases[] = {
        {"whole numbers", {0, 150, 25, false, plain}, {0, 50, 10, false, plain}},
        {"decimal commas", {0, 1.5, 0.25, false, comma}, {0, 5, 0.5, false, comma}},
        {"thousands marks, negative values", {0, 5000, 1000, false, thousands}, {-20, 40, 10, false, plain}},
        {"powers of ten, raised exponents", {1, 1000, 0, true, power}, {10, 1e6, 0, true, power}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Checked<PixelBuffer> picture = pictureFromImage(chart(c.x, c.y));
        ASSERT_TRUE(picture);
        const Checked<FoundAxes> found = findAxes(*picture, reader);
        ASSERT_TRUE(found) << found.failure();
        EXPECT_EQ(found->references.x.scale, c.x.log ? AxisScale::Logarithmic : AxisScale::Linear);
        EXPECT_EQ(found->references.y.scale, c.y.log ? AxisScale::Logarithmic : AxisScale::Linear);
        // Each reference where the drawing put its value, within 0.5 % of the axis.
        const AxisReference& x = found->references.x;
        const AxisReference& y = found->references.y;
        for (const auto& [pixel, value] : {std::pair{x.first.x, x.firstValue}, {x.second.x, x.secondValue}})
            EXPECT_NEAR(pixel, place(c.x, value, Left, Right), 0.005 * (Right - Left)) << value;
        for (const auto& [pixel, value] : {std::pair{y.first.y, y.firstValue}, {y.second.y, y.secondValue}})
            EXPECT_NEAR(pixel, place(c.y, value, Bottom, Top), 0.005 * (Bottom - Top)) << value;
        EXPECT_NEAR(x.first.y, Bottom, 2);
        EXPECT_NEAR(y.first.x, Left, 2);
    }
}

// A scan: the page blurred (shrunk and enlarged again, smoothly) and its
// ink a dark grey on light grey paper.
QImage scanned(const QImage& page, double shrink)
{
    const QSize size = page.size();
    QImage image = page.scaled(size * shrink, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 60 + qGray(row[x]) * (235 - 60) / 255;
            row[x] = qRgb(grey, grey, grey);
        }
    }
    return image;
}

TEST(AutoAxes, APumpFamilyGivesEachCurveWithItsDiameter)
{
    const TesseractReader reader;
    ASSERT_TRUE(reader.ready());
    const Axis q{0, 60, 10, false, plain}, h{0, 40, 10, false, plain};
    const int diameters[] = {200, 215, 230};
    struct Page {
        const char* name;
        QPen grid;
        int zoom;
        // How far the page is shrunk to blur it as a scan (1: as drawn).
        double shrink;
    };
    // Each label's middle digit lies on the vertical grid line at 40 m3/h.
    const Page pages[] = {
        {"as drawn", QPen(QColor(200, 200, 200), 1), 1, 1},
        {"a 150 dpi scan: the labels' small letters blurred together", QPen(Qt::black, 0.5), 1, 0.5},
        {"a 300 dpi scan: a black grid line through each label", QPen(Qt::black, 0.5), 2, 0.6},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.name);
        QImage image = chart(q, h, page.grid, page.zoom);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(page.zoom, page.zoom);
        // Light letters: the scan blurs "D=" into one piece but keeps the digits apart.
        painter.setFont(QFont("DejaVu Sans", 11, QFont::Light));
        for (int i = 0; i < 3; ++i) {
            const auto head = [i](double flow) { return 26 + 5 * i - 0.004 * flow * flow; };
            QPainterPath path(QPointF(place(q, 0, Left, Right), place(h, head(0), Bottom, Top)));
            for (double flow = 0.5; flow <= 60; flow += 0.5) path.lineTo(place(q, flow, Left, Right), place(h, head(flow), Bottom, Top));
            painter.setPen(QPen(Qt::black, 2));
            painter.drawPath(path);
            painter.drawText(QPointF(place(q, 37.6, Left, Right), place(h, head(37.6) + 1.6, Bottom, Top)),
                             QString("D=%1").arg(diameters[i]));
        }
        painter.end();
        const QImage drawn = page.shrink < 1 ? scanned(image, page.shrink) : image;
        const Checked<PixelBuffer> picture = pictureFromImage(drawn);
        ASSERT_TRUE(picture);
        const Checked<FoundAxes> axes = findAxes(*picture, reader);
        ASSERT_TRUE(axes) << axes.failure();
        CurveSearch search;
        search.pointCount = 20;
        const Checked<EveryCurve> every =
            findEveryCurve(*picture, *AxisCalibration::fromReferences(axes->references), search, reader);
        ASSERT_TRUE(every) << every.failure();
        const std::vector<LabelledCurve>* curves = &every->curves;
        ASSERT_EQ(curves->size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const LabelledCurve& c = (*curves)[std::size_t(i)];
            EXPECT_EQ(c.parameter, diameters[i]) << c.label;
            for (const UnitPoint& p : c.curve.points) EXPECT_NEAR(p.y, 26 + 5 * i - 0.004 * p.x * p.x, 0.2) << c.label << " " << p.x;
        }
        const std::vector<std::string> doubts = labelDoubts(*curves, every->labelsLeft);
        EXPECT_TRUE(doubts.empty()) << doubts.front();
        const std::string text = everyCurveText(*curves, {});
        for (const char* parameter : {";200;", ";215;", ";230;"}) EXPECT_NE(text.find(parameter), std::string::npos) << text;
    }
}
