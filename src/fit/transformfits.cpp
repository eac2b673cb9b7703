#include "fit/fits.h"

#include "fit/fault.h"
#include "fit/kernel.h"
#include "fit/leastsquares.h"

namespace calvero {

Line fitStraightLine(const PointArray& u, const PointArray& v, int n)
{
    const std::vector<Monomial> terms = powersOfX(1);
    const std::vector<double> fitted = fitLeastSquares(u.first(n), {}, v.first(n), terms);
    return {fitted[1], fitted[0]};
}

TwoParameters fitPower(const PointArray& x, const PointArray& y, int n)
{
    PointArray u{}, v{};
    for (int i = 1; i <= n; ++i) {
        u[i] = log10(x[i]);
        v[i] = log10(y[i]);
    }
    const Line line = fitStraightLine(u, v, n);
    return {power(10.0, line.intercept), line.slope};
}

TwoParameters fitExponential(const PointArray& x, const PointArray& y, int n)
{
    PointArray v{};
    for (int i = 1; i <= n; ++i) v[i] = naturalLog(y[i]);
    const Line line = fitStraightLine(x, v, n);
    return {exponential(line.intercept), line.slope};
}

double fitTemperatureTime(const PointArray& x, const PointArray& y, int n, double tInitial, double tFinal)
{
    PointArray theta{};
    for (int i = 1; i <= n; ++i) theta[i] = divide(checked(y[i] - tFinal), checked(tInitial - tFinal));
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double m = divide(-naturalLog(theta[i]), x[i]);
        sum = checked(sum + m);
    }
    return divide(sum, static_cast<double>(n));
}

TwoParameters fitSaturation(const PointArray& x, const PointArray& y, int n)
{
    PointArray u{}, v{};
    for (int i = 1; i <= n; ++i) {
        u[i] = divide(1.0, x[i]);
        v[i] = log10(y[i]);
    }
    const Line line = fitStraightLine(u, v, n);
    return {line.intercept, line.slope};
}

} // namespace calvero
