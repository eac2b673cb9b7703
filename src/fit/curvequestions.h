#pragma once
// What the engineer asks a fitted curve of one variable besides its value:
// the x where it takes a given y, and where it meets a duct or pipe system's
// curve Δp = p0 + k·Q^n (the operating point of a fan or a pump). Each answer
// lists every place within the points' range of x and up to 10 % of the range
// beyond it (those marked extrapolated), with the interval of x (and of Δp)
// over which the curve's confidence band still holds the answer; refused
// when there is none. The places are those of the curve as its coefficients
// give it, evaluated in quad precision (a typed equation's, and a kind's
// fitted in y itself, in long double).
#include "common/checked.h"
#include "fit/calculation.h"
#include "fit/prediction.h"

#include <optional>
#include <vector>

namespace calvero {

// How far beyond the points' range of x the questions look, as a share of it.
constexpr double QuestionReach = 0.1;

// The curve's value at x without the rounding of its sum: the polynomials'
// powers summed in quad precision; NaN where it has none.
double preciseValue(const FittedCurve& curve, double x);

// A place found, with the interval of x whose confidence band holds it: an
// end is missing where the band holds it up to the edge of the range looked at.
struct CurvePlace {
    double x = 0.0;
    double y = 0.0;
    bool extrapolated = false;
    bool tangent = false; // the curve touches the level (or the system curve) there
    std::optional<double> xLow, xHigh;
    std::optional<double> yLow, yHigh; // the operating point's Δp at those ends
};

// Every x where the curve takes the value y.
Checked<std::vector<CurvePlace>> solveForY(const CurvePredictor& curve, double y, double level = 0.95);

// The system's curve Δp = p0 + k·Q^n.
struct SystemCurve {
    double k = 0.0;
    double p0 = 0.0;
    double n = 2.0;
    double at(double q) const;
};
// The one through the design point (q, Δp); nothing where q^n is 0 or the values are not finite.
std::optional<SystemCurve> systemThrough(double q, double dp, double p0 = 0.0, double n = 2.0);

// Every operating point: where the curve meets the system's (flows of 0 and more).
Checked<std::vector<CurvePlace>> operatingPoints(const CurvePredictor& curve, const SystemCurve& system,
                                                 double level = 0.95);

} // namespace calvero
