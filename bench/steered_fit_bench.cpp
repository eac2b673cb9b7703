// Speed of the steered fits on the largest one-variable input: the smallest
// largest error and the monotone curve of degree 8 on 200 points (target:
// under 20 ms each), beside a through point with relative weights, and the
// concave falling curve by each road.
#include "fit/steeredfit.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace calvero;

namespace {

// A fan's falling curve over 0..5500 m³/h with a ripple a degree-8 fit follows
// into rising stretches, so the monotone condition has work to do.
SteeredProblem fanProblem()
{
    SteeredProblem problem;
    problem.terms = powersOfX(8);
    for (int i = 0; i < 200; ++i) {
        const double q = 5500.0 * i / 199.0;
        problem.x.push_back(q);
        problem.v.push_back(620.0 - 1.5e-5 * q * q + 4.0 * std::sin(q / 300.0));
    }
    return problem;
}

void runSteered(benchmark::State& state, const SteeredProblem& problem)
{
    for (auto _ : state) {
        const Checked<SteeredFit> fit = fitSteered(problem);
        if (!fit) state.SkipWithError(fit.failure().c_str());
        benchmark::DoNotOptimize(fit);
    }
}

} // namespace

static void BM_SmallestLargestError200PointsDegree8(benchmark::State& state)
{
    SteeredProblem problem = fanProblem();
    problem.minimax = true;
    runSteered(state, problem);
}
BENCHMARK(BM_SmallestLargestError200PointsDegree8)->Unit(benchmark::kMillisecond);

static void BM_MonotoneDecreasing200PointsDegree8(benchmark::State& state)
{
    SteeredProblem problem = fanProblem();
    problem.slopeSign = -1;
    runSteered(state, problem);
}
BENCHMARK(BM_MonotoneDecreasing200PointsDegree8)->Unit(benchmark::kMillisecond);

// A fan curve falling ever faster: concave and never rising, by least squares and by the smallest largest error.
static void BM_ConcaveDecreasing200PointsDegree8(benchmark::State& state)
{
    SteeredProblem problem = fanProblem();
    problem.slopeSign = -1;
    problem.curvatureSign = -1;
    runSteered(state, problem);
}
BENCHMARK(BM_ConcaveDecreasing200PointsDegree8)->Unit(benchmark::kMillisecond);

static void BM_SmallestLargestErrorConcaveDecreasing200PointsDegree8(benchmark::State& state)
{
    SteeredProblem problem = fanProblem();
    problem.minimax = true;
    problem.slopeSign = -1;
    problem.curvatureSign = -1;
    runSteered(state, problem);
}
BENCHMARK(BM_SmallestLargestErrorConcaveDecreasing200PointsDegree8)->Unit(benchmark::kMillisecond);

static void BM_ThroughPointRelativeWeights200PointsDegree8(benchmark::State& state)
{
    SteeredProblem problem = fanProblem();
    problem.conditions.push_back({LinearCondition::Kind::Value, 0.0, 0.0, 0, 620.0});
    for (double v : problem.v) problem.weights.push_back(1.0 / (v * v));
    runSteered(state, problem);
}
BENCHMARK(BM_ThroughPointRelativeWeights200PointsDegree8)->Unit(benchmark::kMillisecond);
