#pragma once
// Whether the residuals of a fit follow a pattern: the runs test (Wald and
// Wolfowitz) on their signs in x order. A curve that misses the shape of the
// points leaves long runs of one sign (above the points in the middle, below
// them at the ends), however small its errors are; residuals that are noise
// change sign often.
#include <optional>
#include <vector>

namespace calvero {

struct ResidualRuns {
    int runs = 0;     // stretches of residuals of one sign, in x order
    int positive = 0; // points above the curve
    int negative = 0; // points below it
    double probability = 1.0; // of so few runs or fewer with the signs in random order
};

// The level below which the runs are too few for chance: 5 %.
constexpr double ResidualPatternLevel = 0.05;

// The runs of the residuals r[i] at x[i], taken in ascending x (in the given
// order among equal x); residuals within `zero` of 0 carry no sign and are
// left out. Nothing when fewer than one residual of each sign remains.
std::optional<ResidualRuns> residualRuns(const std::vector<double>& x, const std::vector<double>& r, double zero);

// P(R <= runs) for `positive` and `negative` signs in random order, from the
// exact distribution of the number of runs.
double fewRunsProbability(int runs, int positive, int negative);

} // namespace calvero
