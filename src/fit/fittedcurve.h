#pragma once
// A fitted curve y = f(x) as a value: its kind's coefficients, evaluated the
// way the report and the graph read it. evaluate() raises the engine's
// arithmetic faults, for the engine; curveValue() gives no value instead, for
// everyone else.
#include "fit/fits.h"

#include <optional>
#include <variant>

namespace calvero {

struct PowerCurve { // y = A x^B
    TwoParameters parameters;
};
struct PolynomialCurve { // y = c1 + c2 x + ... + c(d+1) x^d
    PolynomialCoefficients coefficients{};
    int degree = 0;
};
struct ExponentialCurve { // y = A e^(B x)
    TwoParameters parameters;
};
struct RationalCurve { // y = 1 / (c1 + c2 x + ... + c(d+1) x^d)
    PolynomialCoefficients coefficients{};
    int degree = 0;
};
struct TemperatureTimeCurve { // T = Tf - e^(-M t) (Tf - Ti)
    double decayM = 0.0;
    double initial = 0.0;
    double final = 0.0;
};
struct SaturationCurve { // log10 p = A + B / T
    TwoParameters parameters;
};

using FittedCurve =
    std::variant<PowerCurve, PolynomialCurve, ExponentialCurve, RationalCurve, TemperatureTimeCurve, SaturationCurve>;

double evaluate(const FittedCurve& curve, double x);

// The curve's y at x; nothing where evaluate() faults (a pole, an overflow,
// the logarithm of a negative x).
std::optional<double> curveValue(const FittedCurve& curve, double x);

} // namespace calvero
