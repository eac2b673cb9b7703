#pragma once
// The least-squares fits of the kinds. Each writes its result into the
// session's FitResult; arithmetic faults propagate to the caller.
#include "fit/onebased.h"

namespace calvero {

// Polynomial of degree d (1..14) through (x[i], v[i]), i = 1..n, on the normal
// equations of the monomial basis: coefficients[k+1] multiplies x^k.
void fitPolynomial(PointArray x, PointArray v, int d, int n);

// y = A x^B, a straight line through (log10 x, log10 y): paramA, paramB.
void fitPower(PointArray x, PointArray y, int n);

// y = A e^(B x), a straight line through (x, ln y): paramA, paramB.
void fitExponential(PointArray x, PointArray y, int n);

// T(t) = Tf - e^(-M t) (Tf - Ti) with the two temperatures given: tInitial,
// tFinal and decayM, the mean of the per-point decay coefficients.
void fitTemperatureTime(PointArray x, PointArray y, int n, double tInitial, double tFinal);

// log10 p = A + B / T, a straight line through (1/x, log10 y): paramA, paramB.
void fitSaturation(PointArray x, PointArray y, int n);

struct Line {
    double slope = 0.0;
    double intercept = 0.0;
};
// The straight-line regression shared by the transformed fits.
Line fitStraightLine(const PointArray& u, const PointArray& v, int n);

} // namespace calvero
