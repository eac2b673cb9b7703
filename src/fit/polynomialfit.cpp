#include "fit/fits.h"

#include "fit/leastsquares.h"

namespace calvero {

PolynomialCoefficients fitPolynomial(const PointArray& x, const PointArray& v, int d, int n)
{
    const std::vector<Monomial> terms = powersOfX(d);
    const std::vector<double> fitted = fitLeastSquares(std::span(x.items.data(), static_cast<std::size_t>(n)), {},
                                                           std::span(v.items.data(), static_cast<std::size_t>(n)), terms);
    PolynomialCoefficients coefficients{};
    for (int k = 1; k <= d + 1; ++k) coefficients[k] = fitted[static_cast<std::size_t>(k - 1)];
    return coefficients;
}

} // namespace calvero
