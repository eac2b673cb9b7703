#include "fit/fits.h"

#include "fit/leastsquares.h"

namespace calvero {

PolynomialCoefficients fitPolynomial(const PointArray& x, const PointArray& v, int d, int n,
                                     DesignConditioning* conditioning)
{
    const std::vector<Monomial> terms = powersOfX(d);
    const std::span<const double> xs = x.first(n);
    const std::span<const double> vs = v.first(n);
    LeastSquaresFit fitted;
    if (conditioning)
        fitted = fitLeastSquaresWithConditioning(xs, {}, vs, terms);
    else
        fitted.coefficients = fitLeastSquares(xs, {}, vs, terms);
    PolynomialCoefficients coefficients{};
    for (int k = 1; k <= d + 1; ++k) coefficients[k] = fitted.coefficients[static_cast<std::size_t>(k - 1)];
    if (conditioning) *conditioning = std::move(fitted.conditioning);
    return coefficients;
}

} // namespace calvero
