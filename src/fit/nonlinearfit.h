#pragma once
// Nonlinear least squares of a typed equation: the parameters that make
// Σ w_i (v_i - f(x_i, y_i; b))² least, from a start. Two stages:
//   1. Levenberg–Marquardt in Ceres Solver's trust region, with the exact
//      Jacobian of the equation (expression.h) and Ceres' bounds;
//   2. Gauss–Newton refinement from there, the residuals evaluated in long
//      double (in quad where they are so small against the values that long
//      double would blur them) from the data as written (a value's double and
//      the rest of its decimal text), the sums of squares in quad: the
//      parameters settle to the last digits the data determine.
// Convergence is judged by the relative change of the sum of squares and of
// the parameters; a fit that did not converge, met a value that is not
// finite or a singular Jacobian is refused, never handed back as a result.
#include "common/checked.h"
#include "fit/expression.h"

#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace calvero {

// One coordinate of the points: each value's double, and optionally what its
// decimal text held beyond it (value = high + low exactly to quad precision).
struct PointCoordinate {
    std::span<const double> high;
    std::span<const double> low; // empty: the doubles are the values
};

struct NonlinearProblem {
    const Expression* model = nullptr;
    PointCoordinate x, y;  // y only for the equations of x and y
    PointCoordinate value; // what the equation should give at each point
    std::span<const double> weights; // of the squared residuals; empty: all 1
    std::vector<bool> fixed;         // per parameter: held at its start value
    // Per parameter, -inf and +inf where there is no bound.
    std::vector<double> lower, upper;

    int pointCount() const { return static_cast<int>(value.high.size()); }
};

// A problem with neither fixed parameters nor bounds.
NonlinearProblem plainProblem(const Expression& model, PointCoordinate x, PointCoordinate y, PointCoordinate value,
                              std::span<const double> weights = {});

struct NonlinearSettings {
    int maxIterations = 1000;
    bool refine = true; // the Gauss–Newton refinement in extended precision
};

struct NonlinearSolution {
    std::vector<double> parameters; // all of them, the fixed ones at their value
    int iterations = 0;             // of the trust region and of the refinement
    double sse = 0.0;               // Σ w r², summed in quad
    std::vector<bool> atBound;      // a free parameter held at one of its bounds
};

// The fit from start (every parameter's value; the fixed ones keep theirs).
// Refusals: NonFiniteValue (at the start, with its point), NotConverged,
// SingularJacobian (with the parameter's number, from 1, as the detail).
Checked<NonlinearSolution> solveNonlinear(const NonlinearProblem& problem, std::span<const double> start,
                                          const NonlinearSettings& settings = {});

// Σ w (v - f)² in double at the parameters; +inf where the equation has no
// finite value at a point. For the search of start values.
double sumOfSquares(const NonlinearProblem& problem, std::span<const double> parameters);

// The first point (from 1) where the equation has no finite value, or none.
std::optional<int> firstNonFinitePoint(const NonlinearProblem& problem, std::span<const double> parameters);

// What the Jacobian J (of the weighted residuals, free parameters only) says
// at the solution: diag((JᵀJ)⁻¹) per free parameter, for their standard
// errors, the whole of (JᵀJ)⁻¹ in long double, for the variance of a value
// through all of them, and the condition number of J with unit columns.
// Empty factors when J is singular.
struct JacobianFigures {
    std::vector<double> varianceFactors; // in the order of the free parameters
    std::vector<long double> inverse;    // (JᵀJ)⁻¹, row by row, in the same order
    double conditionNumber = std::numeric_limits<double>::infinity();
};
JacobianFigures jacobianFigures(const NonlinearProblem& problem, std::span<const double> parameters);

} // namespace calvero
