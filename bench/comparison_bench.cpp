// The comparison of every equation that applies to 200 points (power,
// exponential, saturation, the polynomial and rational degrees 1 to 8 and the
// temperature-time curve): each fitted, its statistics and shape checks.
// Target: under 50 ms.
#include "fit/comparison.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace calvero;

namespace {

// A positive, smoothly falling fan-like curve with a little noise-like ripple.
CalculationInput fanPoints(int count)
{
    CalculationInput in;
    in.kind = FitType::Polynomial;
    in.degree = 3;
    in.initialTemperature = 15.0;
    in.finalTemperature = 900.0;
    for (int i = 1; i <= count; ++i) {
        const double q = 100.0 + 20.0 * i;
        in.points.x[i] = q;
        in.points.y[i] = 800.0 - 0.00003 * q * q + 2.0 * std::sin(0.7 * i);
    }
    in.pointCount = count;
    return in;
}

void BM_CompareEquations(benchmark::State& state)
{
    const CalculationInput in = fanPoints(static_cast<int>(state.range(0)));
    std::size_t rows = 0;
    for (auto _ : state) {
        const std::vector<ComparisonRow> compared = compareEquations(in, DefaultTolerancePercent);
        rows = compared.size();
        benchmark::DoNotOptimize(compared.data());
    }
    state.counters["equations"] = static_cast<double>(rows);
}

} // namespace

BENCHMARK(BM_CompareEquations)->Arg(200)->Unit(benchmark::kMillisecond);
