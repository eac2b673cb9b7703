#pragma once
// The door to the steered fits: a polynomial in x (or in x and y) fitted to
// values v with what the engineer knows and least squares ignores: exact
// conditions (the curve through a point, a coefficient fixed), weights of
// the squared errors, the smallest largest relative error instead of the
// least squares, and a curve that never falls (or never rises) over the
// points' range of x. Numbers in, numbers out; the kinds and the user's
// options are turned into this problem by steering.h.
#include "common/checked.h"
#include "fit/leastsquares.h"

#include <optional>
#include <vector>

namespace calvero {

// One exact condition on the fitted polynomial.
struct LinearCondition {
    enum class Kind {
        Value,       // Σ c_k φk(x, y) = value: the curve through a point
        Slope,       // Σ c_k ∂φk/∂x (x, y) = value
        Curvature,   // Σ c_k ∂²φk/∂x² (x, y) = value
        Coefficient, // c_term = value
    };
    Kind kind = Kind::Value;
    double x = 0.0;
    double y = 0.0;
    int term = 0; // 0-based, for Kind::Coefficient
    double value = 0.0;
};

struct SteeredProblem {
    std::vector<double> x, y, v;  // y empty when no term has a power of y
    std::vector<double> weights;  // of the squared errors of v, one per point; empty: all 1
    std::vector<Monomial> terms;
    std::vector<LinearCondition> conditions;
    bool minimax = false; // the largest |v - fit| / |v| as small as possible (no weights, every v non-zero)
    int slopeSign = 0;    // +1 never falling in x, -1 never rising, 0 free (powers of x only)
    int curvatureSign = 0; // +1 convex (p'' ≥ 0), -1 concave (p'' ≤ 0), 0 free (powers of x only)
};

struct SteeredFit {
    std::vector<double> coefficients; // of the terms, as fitLeastSquares gives them
    // A monotone (or concave, convex) curve whose slope (or curvature) is
    // held at 0 (or at the margin) somewhere: its figures that assume free
    // coefficients are approximate.
    bool slopeBound = false;
    std::optional<double> largestRelativeError; // minimax: the programme's optimum
};

// The fit, or the Italian refusal when the conditions depend on one another,
// leave too few points, or cannot be met together. Raises the engine's
// arithmetic faults as fitLeastSquares does.
Checked<SteeredFit> fitSteered(const SteeredProblem& problem);

// diag of the covariance of the coefficients for a unit variance of the
// weighted residuals, under the exact conditions and the weights (inequalities
// not counted); empty when the problem has no such solution.
std::vector<double> steeredVarianceFactors(const SteeredProblem& problem);

} // namespace calvero
