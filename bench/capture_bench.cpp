// Speed of finding a curve by colour on a 4000 x 3000 picture (target: under
// 0.3 s): a pump curve 3 pixels wide with soft edges, grid lines every 100
// pixels, three other curves and a legend in the curve's colour; clean as
// drawn, and with every pixel a little off as in a scan or a JPEG file.
#include "capture/curvefinder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

using namespace calvero::capture;
using calvero::Checked;

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

std::uint32_t blend(Rgb colour, double coverage)
{
    const auto mix = [&](int c) { return static_cast<std::uint8_t>(std::lround(255 - (255 - c) * coverage)); };
    return argbOf({mix(colour.red), mix(colour.green), mix(colour.blue)});
}

// A band 3 pixels wide around the row of each column, its edges partly covered.
void drawCurve(PixelBuffer& picture, Rgb colour, double (*row)(double))
{
    for (int x = 200; x < Width - 200; ++x) {
        const double centre = row(x + 0.5);
        for (int y = static_cast<int>(centre) - 3; y <= static_cast<int>(centre) + 3; ++y) {
            const double coverage = std::clamp(2.0 - std::abs(y + 0.5 - centre), 0.0, 1.0);
            if (coverage > 0 && picture.contains(x, y)) picture.setPixel(x, y, blend(colour, coverage));
        }
    }
}

PixelBuffer chart()
{
    PixelBuffer picture = *PixelBuffer::create(Width, Height);
    for (int x = 200; x < Width - 200; x += 100)
        for (int y = 200; y < Height - 200; ++y) picture.setPixel(x, y, 0xffc0c0c0);
    for (int y = 200; y < Height - 200; y += 100)
        for (int x = 200; x < Width - 200; ++x) picture.setPixel(x, y, 0xffc0c0c0);
    drawCurve(picture, {20, 40, 220}, [](double x) { return 600 + 1.5e-4 * (x - 200) * (x - 200); });
    drawCurve(picture, {220, 20, 20}, [](double x) { return 900 + 1.2e-4 * (x - 200) * (x - 200); });
    drawCurve(picture, {0, 150, 0}, [](double x) { return 2700 - 0.6 * (x - 200); });
    drawCurve(picture, {0, 0, 0}, [](double x) { return 400 + 0.1 * x; });
    for (int x = 3300; x < 3500; ++x)
        for (int y = 300; y < 303; ++y) picture.setPixel(x, y, argbOf({20, 40, 220}));
    return picture;
}

// Every channel of every pixel moved by up to 6 either way (the same each run).
PixelBuffer noisy(PixelBuffer picture)
{
    std::uint32_t state = 12345;
    for (int y = 0; y < Height; ++y) {
        std::uint32_t* row = picture.row(y);
        for (int x = 0; x < Width; ++x) {
            state = state * 1664525u + 1013904223u;
            const auto shift = [&](int c, int bits) { return std::clamp(c + int((state >> bits) % 13) - 6, 0, 255); };
            const Rgb c = rgbOf(row[x]);
            row[x] = argbOf({static_cast<std::uint8_t>(shift(c.red, 8)), static_cast<std::uint8_t>(shift(c.green, 16)),
                             static_cast<std::uint8_t>(shift(c.blue, 24))});
        }
    }
    return picture;
}

AxisCalibration calibration()
{
    return *AxisCalibration::fromReferences({{{200, 2800}, {3800, 2800}, 0, 360, AxisScale::Linear},
                                             {{200, 2800}, {200, 200}, 0, 52, AxisScale::Linear}});
}

} // namespace

static void findCurveOn(benchmark::State& state, const PixelBuffer& picture)
{
    const AxisCalibration axes = calibration();
    CurveSearch search;
    search.colour = {20, 40, 220};
    for (auto _ : state) {
        const Checked<FoundCurve> found = findCurve(picture, axes, search);
        if (!found || found->points.size() != DefaultPointCount) state.SkipWithError("the curve was not found");
        benchmark::DoNotOptimize(found);
    }
}

static void BM_FindCurve4000x3000(benchmark::State& state) { findCurveOn(state, chart()); }
BENCHMARK(BM_FindCurve4000x3000)->Unit(benchmark::kMillisecond);

static void BM_FindCurve4000x3000Noisy(benchmark::State& state) { findCurveOn(state, noisy(chart())); }
BENCHMARK(BM_FindCurve4000x3000Noisy)->Unit(benchmark::kMillisecond);
