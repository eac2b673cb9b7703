#pragma once
// The least-squares fits of the kinds. Each returns what it found; arithmetic
// faults propagate to the caller.
#include "fit/leastsquares.h"
#include "fit/onebased.h"

namespace calvero {

// The coefficients of a fitted polynomial: [k+1] multiplies x^k.
using PolynomialCoefficients = OneBasedArray<double, 15>;

// Least-squares polynomial of degree d (1..14) through (x[i], v[i]),
// i = 1..n (see fitLeastSquares); entries past d + 1 are zero. The
// conditioning of its design, when asked for, comes from the same
// factorization.
PolynomialCoefficients fitPolynomial(const PointArray& x, const PointArray& v, int d, int n,
                                     DesignConditioning* conditioning = nullptr);

// The two parameters of the transformed straight-line fits.
struct TwoParameters {
    double a = 0.0;
    double b = 0.0;
};

// y = A x^B, a straight line through (log10 x, log10 y).
TwoParameters fitPower(const PointArray& x, const PointArray& y, int n);

// y = A e^(B x), a straight line through (x, ln y).
TwoParameters fitExponential(const PointArray& x, const PointArray& y, int n);

// T(t) = Tf - e^(-M t) (Tf - Ti) with the two temperatures given: M, the mean
// of the per-point decay coefficients.
double fitTemperatureTime(const PointArray& x, const PointArray& y, int n, double tInitial, double tFinal);

// log10 p = A + B / T, a straight line through (1/x, log10 y).
TwoParameters fitSaturation(const PointArray& x, const PointArray& y, int n);

struct Line {
    double slope = 0.0;
    double intercept = 0.0;
};
// The least-squares straight line shared by the transformed fits.
Line fitStraightLine(const PointArray& u, const PointArray& v, int n);

} // namespace calvero
