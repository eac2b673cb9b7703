// Speed of the fitting engine: the fits on their largest inputs and the count
// of a full grid.
#include "fit/fits.h"
#include "common/numtext.h"
#include "entry/pointgrid.h"
#include "fit/surface.h"
#include "entry/gridinput.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace calvero;

static void BM_FitPolynomial200PointsDegree8(benchmark::State& state)
{
    PointArray x{}, y{};
    for (int i = 1; i <= 200; ++i) {
        x[i] = 0.05 * i;
        y[i] = std::sin(x[i]) + 0.1 * x[i];
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(fitPolynomial(x, y, 8, 200));
    }
}
BENCHMARK(BM_FitPolynomial200PointsDegree8);

static void BM_FitSurface100PointsDegree4(benchmark::State& state)
{
    SurfacePoints points{};
    for (int i = 1; i <= 100; ++i) {
        const double x = -20 + (i - 1) % 10 * 3.0, y = 30 + (i - 1) / 10 * 2.5;
        points[i] = {x, y, 50 + 1.5 * x - 0.8 * y + 0.01 * x * y};
    }
    SurfaceCoefficients K{};
    for (auto _ : state) {
        K = fitSurface(points, 100, 4);
        benchmark::DoNotOptimize(K[15]);
    }
}
BENCHMARK(BM_FitSurface100PointsDegree4);

static void BM_CountPointsFullGrid(benchmark::State& state)
{
    PointGrid grid;
    PointSet points;
    for (int r = 1; r <= 200; ++r) {
        grid.setCell(r, 1, formatGridValue(r * 0.5));
        grid.setCell(r, 2, formatGridValue(r * 1.25));
        grid.setCell(r, 3, formatGridValue(r * 0.001));
    }
    for (auto _ : state) benchmark::DoNotOptimize(countPoints(grid, points, FitType::SurfaceXY).points);
}
BENCHMARK(BM_CountPointsFullGrid);
