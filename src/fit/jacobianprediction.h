#pragma once
// Values with their intervals of a curve fitted by nonlinear least squares
// (a typed equation, a kind fitted by least squares of y itself), by the
// delta method on the Jacobian at the optimum: the covariance of the
// estimated parameters is C = s² (JᵀWJ)⁻¹, a value's variance gᵀ C g with g
// the curve's gradient with respect to them at the place, and Student's t
// takes the fit's degrees of freedom. The parameters held fixed are no
// estimates: they are neither in C nor counted in p. A parameter the fit
// left at one of its bounds is taken as known (out of C, still counted in
// p, as the statistics count it) and the intervals are marked approximate.
// Exact for an equation linear in its parameters; for any other the linear
// approximation near the optimum that NIST's certified standard deviations
// also use.
#include "common/checked.h"
#include "fit/expression.h"
#include "fit/fitoptions.h"
#include "fit/prediction.h"

#include <span>
#include <vector>

namespace calvero {

struct NonlinearProblem;

struct JacobianModel {
    Expression model;
    std::vector<double> parameters;   // all of them, as fitted
    std::vector<int> estimated;       // those in the covariance, by number
    std::vector<long double> inverse; // (JᵀWJ)⁻¹ over them, row by row; empty: J is singular
    int dof = 0;                      // n - p, p counting every parameter not fixed
    long double variance = 0;         // s² = Σ w r² / dof
    long double newPointVariance = 0; // s² of a new point of weight 1, on the weights scaled to mean 1
    bool relativeWeights = false;     // a new point weighs 1/value², as the fitted ones
    bool approximate = false;         // a parameter at its bound: its spread is not counted
    bool twoVariables = false;        // an equation z = f(x, y): set by the caller
};

// The model of the problem's fit at its parameters. atBound: per parameter,
// held at a bound by the fit; weightedSse: Σ w r² of the fit; counted: the
// parameters not fixed.
JacobianModel jacobianModel(const NonlinearProblem& problem, std::span<const double> parameters,
                            const std::vector<bool>& atBound, double weightedSse, Weighting weighting);

// The value and its intervals at x (and y); refused where the curve has no
// finite value or the request is not valid. The extrapolated mark is the
// caller's.
Checked<Prediction> jacobianPrediction(const JacobianModel& model, double x, double y, const PredictionRequest& request);

// The curve's value at (x, y) in long double; NaN where it has none.
double jacobianValue(const JacobianModel& model, double x, double y);

} // namespace calvero
