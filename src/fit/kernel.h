#pragma once
// The numeric routines every fit shares: logarithms, exponential, real and
// integer power, and exchange of two values. The least-squares solver is
// fitLeastSquares (leastsquares.h).

namespace calvero {

// ln(x)/ln(10) at extended precision. log10(0) is a division by zero, a
// negative argument an invalid operation.
double log10(double x);

// ln(x) in double precision, with the faults of log10.
double naturalLog(double x);

// An extended-precision result rounded to double: NaN is an invalid
// operation, a value beyond the double range an overflow.
double roundToDouble(long double value);

// e^exponent at extended precision, rounded to double (overflow is a fault).
double exponential(long double exponent);

// Real power. power(0, e) = 0 except power(0, 0) = 1; a positive base gives
// e^(exponent * ln base) at extended precision (overflow is a fault). A
// negative base with a whole-number exponent gives the exact value, as
// intPower does; with any other exponent it is an invalid operation.
double power(double base, double exponent);

// x^n by repeated multiplication, rounded to double after each step; a
// negative n takes the reciprocal (intPower(0, -1) divides by zero).
double intPower(double x, int n);

void swapValues(double& a, double& b);

} // namespace calvero
