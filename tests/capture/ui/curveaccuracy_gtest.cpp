// The points found by colour on charts drawn here with known curves: grid
// lines in another colour, a crossing curve, a legend and a label in the
// curve's colour, anti-aliasing; also as a JPEG copy, on log-log paper,
// turned by 3 degrees, and black on the black frame of the plot. Then black
// and white, as catalogues print them: black grid, crossing line and curve,
// solid or dashed, blurred by a pixel as a scan, turned by 2 degrees.
#include "capture/curvefinder.h"
#include "capture/ui/pictureload.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace calvero;
using namespace calvero::capture;

namespace {

struct ChartCase {
    const char* name;
    double x0, x1, y0, y1;
    bool logX, logY;
    std::function<double(double)> curve;
    double penWidth;
    double degrees;
    int jpegQuality; // 0: kept as drawn
    bool seeded;
    Rgb colour = {20, 40, 220};
    bool blackAndWhite = false;
    Qt::PenStyle style = Qt::SolidLine;
    bool blurred = false;
    // Read from the seed, the trace may stop at a gap of the dashes the blur and
    // the turn closed on a grid line: then it must say so.
    bool mayDoubt = false;
};

// A Gaussian blur of one pixel's radius (sigma 1), as a scan softens a line.
QImage blurredByAPixel(const QImage& image)
{
    const double weights[] = {0.0044, 0.054, 0.242, 0.399, 0.242, 0.054, 0.0044};
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    for (int pass = 0; pass < 2; ++pass) {
        const QImage source = result;
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x) {
                double sum[3] = {0, 0, 0}, total = 0;
                for (int k = -3; k <= 3; ++k) {
                    const int sx = pass == 0 ? x + k : x, sy = pass == 0 ? y : y + k;
                    if (sx < 0 || sy < 0 || sx >= source.width() || sy >= source.height()) continue;
                    const QRgb p = source.pixel(sx, sy);
                    const double w = weights[k + 3];
                    sum[0] += w * qRed(p);
                    sum[1] += w * qGreen(p);
                    sum[2] += w * qBlue(p);
                    total += w;
                }
                result.setPixel(x, y, qRgb(int(sum[0] / total + 0.5), int(sum[1] / total + 0.5), int(sum[2] / total + 0.5)));
            }
    }
    return result;
}

// Draws the chart and knows where each value lands.
class Chart {
public:
    explicit Chart(const ChartCase& c) : c_(c)
    {
        transform_.translate(600, 450);
        transform_.rotate(c.degrees);
        transform_.translate(-600, -450);
    }

    double scaledX(double v) const { return c_.logX ? std::log10(v) : v; }
    double scaledY(double v) const { return c_.logY ? std::log10(v) : v; }
    double valueX(double s) const { return c_.logX ? std::pow(10, s) : s; }

    QPointF pixelOf(double x, double y) const
    {
        const double fx = (scaledX(x) - scaledX(c_.x0)) / (scaledX(c_.x1) - scaledX(c_.x0));
        const double fy = (scaledY(y) - scaledY(c_.y0)) / (scaledY(c_.y1) - scaledY(c_.y0));
        return transform_.map(QPointF(Left + (Right - Left) * fx, Bottom + (Top - Bottom) * fy));
    }
    PixelPoint pixelPoint(double x, double y) const
    {
        const QPointF p = pixelOf(x, y);
        return {p.x(), p.y()};
    }

    AxesReferences references() const
    {
        const AxisScale xs = c_.logX ? AxisScale::Logarithmic : AxisScale::Linear;
        const AxisScale ys = c_.logY ? AxisScale::Logarithmic : AxisScale::Linear;
        return {{pixelPoint(c_.x0, c_.y0), pixelPoint(c_.x1, c_.y0), c_.x0, c_.x1, xs},
                {pixelPoint(c_.x0, c_.y0), pixelPoint(c_.x0, c_.y1), c_.y0, c_.y1, ys}};
    }

    QImage draw(const QColor& colour) const
    {
        QImage image(1200, 900, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(transform_);
        painter.setPen(QPen(c_.blackAndWhite ? Qt::black : QColor(190, 190, 190), 1));
        for (int i = 0; i <= 20; ++i) {
            painter.drawLine(QLineF(Left + (Right - Left) * i / 20, Top, Left + (Right - Left) * i / 20, Bottom));
            painter.drawLine(QLineF(Left, Top + (Bottom - Top) * i / 20, Right, Top + (Bottom - Top) * i / 20));
        }
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawRect(QRectF(Left, Top, Right - Left, Bottom - Top));
        painter.setFont(QFont("Sans", 11));
        painter.drawText(QPointF(Left, Bottom + 25), "0");

        painter.resetTransform();
        painter.setPen(QPen(colour, c_.penWidth, c_.style, Qt::RoundCap));
        painter.drawPath(curvePath());
        // Another curve crosses over it.
        painter.setPen(QPen(c_.blackAndWhite ? Qt::black : QColor(0, 150, 0), 2.5));
        painter.drawLine(pixelOf(c_.x0, c_.y1), pixelOf(c_.x1, c_.y0));

        // A legend inside the plot and a label above the curve, in the curve's colour.
        painter.setTransform(transform_);
        painter.setPen(QPen(colour, c_.penWidth));
        painter.drawLine(QPointF(Right - 170, Top + 30), QPointF(Right - 120, Top + 30));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(Right - 110, Top + 35), "D 250 mm");
        painter.resetTransform();
        painter.setPen(colour);
        painter.setFont(QFont("Sans", 12));
        const double labelX = valueX(scaledX(c_.x0) + 0.3 * (scaledX(c_.x1) - scaledX(c_.x0)));
        painter.drawText(pixelOf(labelX, c_.curve(labelX)) + QPointF(-30, -40), "n = 2900 1/min");
        painter.end();

        if (c_.blurred) image = blurredByAPixel(image);
        if (c_.jpegQuality == 0) return image;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", c_.jpegQuality);
        return QImage::fromData(bytes, "JPG");
    }

    QPainterPath curvePath() const
    {
        QPainterPath path;
        for (int i = 0; i <= 600; ++i) {
            const double x = valueX(scaledX(c_.x0) + (scaledX(c_.x1) - scaledX(c_.x0)) * i / 600);
            const QPointF p = pixelOf(x, c_.curve(x));
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        return path;
    }

private:
    static constexpr double Left = 150, Right = 1100, Top = 60, Bottom = 800;
    ChartCase c_;
    QTransform transform_;
};

double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * (values.size() - 1))];
}

} // namespace

TEST(CurveAccuracy, PointsFoundByColourLieOnTheDrawnCurve)
{
    const auto pump = [](double q) { return 42 - 0.0016 * q * q + 0.02 * q; };
    const auto coil = [](double q) { return 3 * std::pow(q, 1.8) / (1 + q / 400); };
    const auto fan = [](double q) { return 800 + 300 * std::sin(q / 40) - 2 * q; };
    const ChartCase cases[] = {
        {"pump", 0, 150, 0, 50, false, false, pump, 2.5, 0, 0, false},
        {"pump, JPEG", 0, 150, 0, 50, false, false, pump, 2.5, 0, 70, true},
        {"coil, log-log", 1, 1000, 1, 1e6, true, true, coil, 2, 0, 0, false},
        {"coil, log-log JPEG", 1, 1000, 1, 1e6, true, true, coil, 3, 0, 60, false},
        {"fan, turned 3 degrees", 0, 200, 0, 1500, false, false, fan, 2, 3, 0, true},
        {"fan, turned -2 degrees, JPEG", 0, 200, 0, 1500, false, false, fan, 3, -2, 75, false},
        {"black pump curve touching the black frame", 0, 150, 0, 50, false, false, pump, 2, 0, 0, false, {0, 0, 0}},
        // Black and white: the user shows which black line is the curve.
        {"black and white pump, dashed", 0, 150, 0, 50, false, false, pump, 2, 0, 0, true, {0, 0, 0}, true, Qt::DashLine},
        {"black and white pump, dotted", 0, 150, 0, 50, false, false, pump, 1.5, 0, 0, true, {0, 0, 0}, true, Qt::DotLine},
        {"black and white pump, crossed, blurred", 0, 150, 0, 50, false, false, pump, 2, 0, 0, true, {0, 0, 0}, true,
         Qt::SolidLine, true},
        {"black and white coil, log-log, blurred", 1, 1000, 1, 1e6, true, true, coil, 2, 0, 0, true, {40, 40, 60}, true,
         Qt::SolidLine, true},
        {"black and white fan, dashed, turned 2 degrees, blurred", 0, 200, 0, 1500, false, false, fan, 2, 2, 0, true,
         {0, 0, 0}, true, Qt::DashLine, true, true},
    };
    for (const ChartCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Chart chart(c);
        const Checked<PixelBuffer> picture = pictureFromImage(chart.draw(QColor(c.colour.red, c.colour.green, c.colour.blue)));
        ASSERT_TRUE(picture) << picture.failure();
        const Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(chart.references());
        ASSERT_TRUE(calibration) << calibration.failure();

        CurveSearch search;
        search.colour = c.colour;
        search.pointCount = 60;
        if (c.seeded) {
            const double x = c.logX ? std::sqrt(c.x0 * c.x1) * 3 : c.x0 + 0.7 * (c.x1 - c.x0);
            search.seed = chart.pixelPoint(x, c.curve(x));
        }
        const Checked<FoundCurve> found = findCurve(*picture, *calibration, search);
        ASSERT_TRUE(found) << found.failure();
        ASSERT_EQ(found->points.size(), 60u);
        if (c.mayDoubt && !found->doubts.empty()) continue;
        EXPECT_TRUE(found->doubts.empty()) << found->doubts.front();

        std::vector<double> errors;
        for (const UnitPoint& p : found->points)
            errors.push_back(std::abs(chart.scaledY(p.y) - chart.scaledY(c.curve(p.x))) /
                             std::abs(chart.scaledY(c.y1) - chart.scaledY(c.y0)));
        EXPECT_LE(quantile(errors, 0.5), 0.0025);
        EXPECT_LE(quantile(errors, 0.95), 0.005);
        EXPECT_TRUE(std::is_sorted(found->points.begin(), found->points.end(),
                                   [](const UnitPoint& a, const UnitPoint& b) { return a.x < b.x; }));
        const double covered = chart.scaledX(found->points.back().x) - chart.scaledX(found->points.front().x);
        EXPECT_GE(covered / (chart.scaledX(c.x1) - chart.scaledX(c.x0)), 0.9);
    }
}
