#include "fit/kernel.h"

#include "fit/fault.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace calvero {

namespace {

void checkLogarithmArgument(double x)
{
    if (std::isnan(x)) raiseFault(FaultKind::InvalidOperation);
    if (x == 0.0) raiseFault(FaultKind::DivisionByZero);
    if (x < 0.0) raiseFault(FaultKind::InvalidOperation);
}

} // namespace

double log10(double x)
{
    checkLogarithmArgument(x);
    const long double quotient = std::log(static_cast<long double>(x)) / std::log(10.0L);
    return checked(static_cast<double>(quotient));
}

double naturalLog(double x)
{
    checkLogarithmArgument(x);
    return std::log(x);
}

double roundToDouble(long double value)
{
    if (std::isnan(value)) raiseFault(FaultKind::InvalidOperation);
    if (std::isinf(value) || std::fabs(value) > static_cast<long double>(DBL_MAX)) raiseFault(FaultKind::Overflow);
    return checked(static_cast<double>(value));
}

double exponential(long double exponent) { return roundToDouble(std::exp(exponent)); }

double power(double base, double exponent)
{
    if (exponent == 0.0) return 1.0;
    if (base == 0.0) return 0.0;
    if (std::isnan(base) || std::isnan(exponent)) raiseFault(FaultKind::InvalidOperation);
    if (base > 0.0) return exponential(static_cast<long double>(exponent) * std::log(static_cast<long double>(base)));
    // Negative base: only a whole-number exponent has a real value.
    if (exponent != std::trunc(exponent) || std::fabs(exponent) > 2147483647.0) raiseFault(FaultKind::InvalidOperation);
    return intPower(base, static_cast<int>(exponent));
}

double intPower(double x, int n)
{
    double result = 1.0;
    const long long steps = n < 0 ? -static_cast<long long>(n) : n;
    for (long long i = 0; i < steps; ++i) result = checked(result * x);
    if (n < 0) result = divide(1.0, result);
    return result;
}

void swapValues(double& a, double& b)
{
    unsigned char bytes[sizeof(double)];
    std::memcpy(bytes, &a, sizeof bytes);
    std::memcpy(&a, &b, sizeof bytes);
    std::memcpy(&b, bytes, sizeof bytes);
}

} // namespace calvero
