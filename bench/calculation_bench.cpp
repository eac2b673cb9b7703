// The whole road of "&Calcola" for each kind: the points typed into the grid,
// then calculate() counts them, fits, writes the report and shows it (and the
// graph) through a presenter that shows nothing.
#include "bench_support.h"

#include "app/calculatecommand.h"

#include <benchmark/benchmark.h>

using namespace calvero;
using namespace calvero::bench;

namespace {

void BM_Calculate(benchmark::State& state, BenchCase (*makeCase)())
{
    const BenchCase c = makeCase();
    BenchWorkspace w;
    if (!prepareCalculated(state, c, w)) return;
    for (auto _ : state) {
        typeIntoGrid(w.doc.grid, c.rows);
        w.work.tell(calculate(w.work));
        benchmark::DoNotOptimize(w.doc.lastCalculation);
    }
    if (w.shown.messages > 0) state.SkipWithError(("the calculation showed: " + w.shown.firstMessage).c_str());
    state.counters["points"] = c.rows.size();
}

} // namespace

BENCHMARK_CAPTURE(BM_Calculate, Scatter200Points, scatterCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, Power200Points, powerCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, Polynomial200PointsDegree8, polynomialCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, Exponential200Points, exponentialCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, RationalPolynomial200PointsDegree3, rationalCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, TemperatureTime200Points, temperatureTimeCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, Saturation200Points, saturationCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Calculate, SurfaceXY100PointsDegree4, surfaceCase)->Unit(benchmark::kMicrosecond);
