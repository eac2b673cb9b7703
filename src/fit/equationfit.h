#pragma once
// A typed equation fitted to points: the door of the engine for it. Numbers
// in (the equation read, the points, the start values, the parameters held
// fixed, their bounds, the weights), the fitted parameters with how they were
// found out, or a refusal. An equation linear in its free parameters (with
// no bounds) is fitted by exact linear least squares; any other by the
// nonlinear least squares of nonlinearfit.h, from the start values given or
// from those the search of startvalues.h finds.
#include "common/checked.h"
#include "fit/equationparser.h"
#include "fit/fitoptions.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

// The points of an equation of x (x, value = y) or of x and y (x, y,
// value = z). Each coordinate may carry, beside its doubles, what its decimal
// text held beyond them (value = high + low), so residuals far below a
// double's precision of the values are computed from the data as written.
struct EquationPoints {
    std::vector<double> x, y, value;
    std::vector<double> xLow, yLow, valueLow; // empty: none
    int count() const { return static_cast<int>(value.size()); }
};

// What the engineer says of the parameters, one place per parameter (in the
// equation's order); empty lists say nothing.
struct ParameterSettings {
    std::vector<std::optional<double>> start;
    std::vector<std::optional<double>> fixed;
    std::vector<std::optional<double>> lower, upper;
};

// Whether a list of ParameterSettings says anything of any parameter.
bool anySet(const std::vector<std::optional<double>>& values);

struct EquationInput {
    ParsedEquation equation;
    EquationPoints points;
    ParameterSettings settings;
    Weighting weighting = Weighting::None;
    std::vector<double> pointWeights; // with Weighting::Column, one per point
};

// How the start of the fit came about.
enum class StartKind {
    Given,     // the engineer's start values
    Found,     // the program's search (startvalues.h), or none needed (linear)
    Continued, // the engineer's start stalled; the search went on from it
};

struct EquationFit {
    ParsedEquation equation;
    EquationPoints points;
    Weighting weighting = Weighting::None;
    std::vector<double> weights; // of the squared residuals, as used; empty: all 1
    std::vector<double> parameters;
    std::vector<double> start;       // the start the final fit went from
    std::vector<bool> fixed;
    std::vector<bool> atBound;
    std::vector<double> lower, upper; // per parameter, ±inf where unbounded
    bool bounded = false; // some free parameter has a bound
    StartKind startKind = StartKind::Given;
    bool linear = false;        // linear in its free parameters: solved exactly, no iterations
    bool possiblyLocal = false; // the program chose the start and cannot exclude a lower minimum
    int localFits = 0;          // the search's local fits
    int givenStarts = 0;        // free parameters whose start the engineer gave
    int iterations = 0;
    bool converged = true;
    double weightedSse = 0.0; // Σ w r², summed in quad

    int freeCount() const;
};

Checked<EquationFit> fitEquation(EquationInput input);

// The fitted equation's value at (x, y) (y ignored for one variable); none
// where it has none.
std::optional<double> equationValue(const EquationFit& fit, double x, double y = 0.0);

// The problem of the fit's points for the solver, over the fit's own vectors.
struct NonlinearProblem;
NonlinearProblem problemOf(const EquationFit& fit);

} // namespace calvero
