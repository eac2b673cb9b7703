#pragma once
// How far each coefficient of a fitted equation reaches over the points: the
// change a unit of it makes to the fitted value, against the largest value,
// which is what its printed digits must carry (see formatCoefficient).
#include "common/numtext.h"
#include "fit/fittedcurve.h"
#include "fit/onebased.h"

#include <vector>

namespace calvero {

// The terms x^0 .. x^degree of a polynomial fitted to the values v over
// x[1..n]; the first entry belongs to the constant term.
std::vector<TermReach> polynomialTermReaches(const PointArray& x, const PointArray& v, int n, int degree);

// The terms of the surface polynomial of that degree over the points (x, y, z).
std::vector<TermReach> surfaceTermReaches(const PointArray& x, const PointArray& y, const PointArray& z, int n,
                                          int degree);

// The coefficients of a curve y = f(x) in the report's order (A and B, M, or
// the polynomial's terms) over the points (x, y) 1..n. The rational kind's
// polynomial is fitted to 1/y and measured there; A and B of the other kinds
// by what a unit of each moves y (x^B and A x^B ln x for the power kind).
// A reach that overflows is infinite: such a coefficient keeps every digit.
std::vector<TermReach> curveTermReaches(const FittedCurve& curve, const PointArray& x, const PointArray& y, int n);

// The time constant 1/M of the temperature-time curve, likewise.
TermReach timeConstantReach(const TemperatureTimeCurve& curve, const PointArray& x, const PointArray& y, int n);

} // namespace calvero
