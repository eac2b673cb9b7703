// Speed of bringing a picture into digitora (target: under 1 s each): a
// 4000 x 3000 chart read from PNG and JPEG files into the pixels the window
// and the colour search use, and an A4 PDF page of a vector chart rendered by
// Poppler at 150 dots per inch. The files are drawn once, in the temporary
// folder; every run checks that the picture came in whole.
#include "capture/ui/pictureload.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <string>

namespace {

// Grid lines and three pump curves over a plot of width x height.
void drawChart(QPainter& painter, double width, double height)
{
    painter.fillRect(QRectF(0, 0, width, height), Qt::white);
    painter.setPen(QPen(QColor(170, 170, 170), width / 2000));
    for (int i = 0; i <= 20; ++i) {
        painter.drawLine(QPointF(width * (0.05 + 0.045 * i), height * 0.05), QPointF(width * (0.05 + 0.045 * i), height * 0.95));
        painter.drawLine(QPointF(width * 0.05, height * (0.05 + 0.045 * i)), QPointF(width * 0.95, height * (0.05 + 0.045 * i)));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colours[3] = {QColor(0, 0, 200), QColor(200, 0, 0), QColor(0, 140, 0)};
    for (int c = 0; c < 3; ++c) {
        QPainterPath curve;
        for (int i = 0; i <= 200; ++i) {
            const double q = i / 200.0, h = (0.5 + 0.15 * c) * (1 - 0.6 * q * q);
            const QPointF at(width * (0.05 + 0.9 * q), height * (0.95 - 0.9 * h));
            if (i == 0) curve.moveTo(at);
            else curve.lineTo(at);
        }
        painter.setPen(QPen(colours[c], width / 1400));
        painter.drawPath(curve);
    }
}

struct Files {
    std::string png, jpeg, pdf;
};

const Files& files()
{
    static const Files made = [] {
        const QString folder = QDir::tempPath() + "/calvero_capture_load_bench_";
        QImage chart(4000, 3000, QImage::Format_RGB32);
        QPainter painter(&chart);
        drawChart(painter, 4000, 3000);
        painter.end();
        chart.save(folder + "chart.png");
        chart.save(folder + "chart.jpg", "JPEG", 90);
        QPdfWriter pdf(folder + "chart.pdf");
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        QPainter page(&pdf);
        drawChart(page, pdf.width(), pdf.height());
        page.end();
        return Files{(folder + "chart.png").toStdString(), (folder + "chart.jpg").toStdString(),
                     (folder + "chart.pdf").toStdString()};
    }();
    return made;
}

void load(benchmark::State& state, const std::string& path, int width, int height)
{
    for (auto _ : state) {
        const auto picture = calvero::loadPicture(path, 1, 150);
        if (!picture || picture->width() < width || picture->height() < height) {
            state.SkipWithError(picture ? "picture smaller than drawn" : picture.failure().c_str());
            return;
        }
        benchmark::DoNotOptimize(picture->row(0));
    }
}

void openPng(benchmark::State& state) { load(state, files().png, 4000, 3000); }
void openJpeg(benchmark::State& state) { load(state, files().jpeg, 4000, 3000); }
// A4 at 150 dots per inch: 1240 x 1754 pixels.
void renderPdfPage(benchmark::State& state) { load(state, files().pdf, 1240, 1753); }

} // namespace

BENCHMARK(openPng)->Name("loadPicture/PNG 4000x3000")->Unit(benchmark::kMillisecond);
BENCHMARK(openJpeg)->Name("loadPicture/JPEG 4000x3000")->Unit(benchmark::kMillisecond);
BENCHMARK(renderPdfPage)->Name("loadPicture/PDF page A4 at 150 dpi")->Unit(benchmark::kMillisecond);
