#include "fit/curvefunctions.h"

#include "fit/fault.h"
#include "fit/kernel.h"
#include "fit/session.h"

namespace calvero {

double powerCurve(double x)
{
    const double* c = session().result.curve;
    return checked(c[0] * power(x, c[1]));
}

double polynomialCurve(double x)
{
    const double* c = session().result.curve;
    const int degree = session().fit.curveDegree;
    double sum = 0.0;
    for (int k = 0; k <= degree && k < 9; ++k) sum = checked(sum + checked(c[k] * intPower(x, k)));
    return sum;
}

double exponentialCurve(double x)
{
    const double* c = session().result.curve;
    return checked(c[0] * exponential(static_cast<long double>(c[1]) * x));
}

double rationalCurve(double x)
{
    const double* c = session().result.curve;
    const int degree = session().fit.curveDegree;
    double sum = 0.0;
    for (int k = 0; k <= degree && k < 9; ++k) sum = checked(sum + checked(c[k] * power(x, k)));
    return divide(1.0, sum);
}

double temperatureTimeCurve(double x)
{
    const double* c = session().result.curve;
    return checked(c[2] - checked(exponential(-static_cast<long double>(c[0]) * x) * checked(c[2] - c[1])));
}

double saturationCurve(double x)
{
    const double* c = session().result.curve;
    return power(10.0, checked(c[0] + divide(c[1], x)));
}

void selectCurveFunction()
{
    FitResult& r = session().result;
    switch (session().fit.kind) {
    case FitType::Power: r.curveFunction = powerCurve; break;
    case FitType::Polynomial: r.curveFunction = polynomialCurve; break;
    case FitType::Exponential: r.curveFunction = exponentialCurve; break;
    case FitType::RationalPolynomial: r.curveFunction = rationalCurve; break;
    case FitType::TemperatureTime: r.curveFunction = temperatureTimeCurve; break;
    case FitType::Saturation: r.curveFunction = saturationCurve; break;
    default: r.curveFunction = nullptr; break;
    }
}

} // namespace calvero
