#include "fit/fittedcurve.h"

#include "fit/fault.h"
#include "fit/kernel.h"

namespace calvero {

namespace {

// The sum of c[k+1] x^k, k = 0..degree, with the kind's own power (the
// rational kind has always used the real power, the polynomial the integer one).
template <typename Power>
double polynomialSum(const PolynomialCoefficients& c, int degree, double x, Power raise)
{
    double sum = 0.0;
    for (int k = 0; k <= degree && k < 9; ++k) sum = checked(sum + checked(c[k + 1] * raise(x, k)));
    return sum;
}

struct Evaluation {
    double x;
    double operator()(const PowerCurve& c) const { return checked(c.parameters.a * power(x, c.parameters.b)); }
    double operator()(const PolynomialCurve& c) const
    {
        // intPower(x, k) multiplied out afresh for each term: carrying x^(k-1)
        // over makes the same products in the same order, with the same faults.
        double lastPower = 1.0;
        return polynomialSum(c.coefficients, c.degree, x, [&lastPower](double v, int k) {
            if (k > 0) lastPower = checked(lastPower * v);
            return lastPower;
        });
    }
    double operator()(const ExponentialCurve& c) const
    {
        return checked(c.parameters.a * exponential(static_cast<long double>(c.parameters.b) * x));
    }
    double operator()(const RationalCurve& c) const
    {
        return divide(1.0, polynomialSum(c.coefficients, c.degree, x, [](double v, int k) { return power(v, k); }));
    }
    double operator()(const TemperatureTimeCurve& c) const
    {
        return checked(c.final - checked(exponential(-static_cast<long double>(c.decayM) * x) * checked(c.final - c.initial)));
    }
    double operator()(const SaturationCurve& c) const
    {
        return power(10.0, checked(c.parameters.a + divide(c.parameters.b, x)));
    }
};

} // namespace

double evaluate(const FittedCurve& curve, double x) { return std::visit(Evaluation{x}, curve); }

std::optional<double> curveValue(const FittedCurve& curve, double x)
{
    try {
        return evaluate(curve, x);
    } catch (const ArithmeticFault&) {
        return std::nullopt;
    }
}

} // namespace calvero
