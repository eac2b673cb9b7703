#include "fit/fits.h"

#include "common/fault.h"
#include "fit/kernel.h"

#include <vector>

namespace calvero {

PolynomialCoefficients fitPolynomial(const PointArray& x, const PointArray& v, int d, int n)
{
    const int m = d + 1;
    // Every entry of the normal equations is a sum of x[i]^e, e = 0 .. 2d: each
    // power is computed once per point and reused across the matrix.
    std::vector<double> powers(static_cast<std::size_t>(2 * d + 1) * static_cast<std::size_t>(n > 0 ? n : 0));
    auto at = [&](int e, int i) -> double& { return powers[static_cast<std::size_t>(e) * n + (i - 1)]; };
    for (int e = 0; e <= 2 * d; ++e)
        for (int i = 1; i <= n; ++i) at(e, i) = power(x[i], e);

    Matrix15 A{};
    Vector15 b{};
    for (int r = 1; r <= m; ++r) {
        for (int c = 1; c <= m; ++c) {
            double sum = 0.0;
            for (int i = 1; i <= n; ++i) sum = checked(sum + at(r + c - 2, i));
            A[r][c] = sum;
        }
    }
    for (int r = 1; r <= m; ++r) {
        double sum = 0.0;
        for (int i = 1; i <= n; ++i) sum = checked(sum + checked(at(r - 1, i) * v[i]));
        b[r] = sum;
    }
    const Vector15 solution = solveLinearSystem(A, b, m);
    PolynomialCoefficients coefficients{};
    for (int k = 1; k <= m; ++k) coefficients[k] = solution[k];
    return coefficients;
}

} // namespace calvero
