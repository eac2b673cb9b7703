#include "fit/fits.h"

#include "fit/fault.h"
#include "fit/kernel.h"
#include "fit/session.h"

namespace calvero {

void fitPolynomial(PointArray x, PointArray v, int d, int n)
{
    const int m = d + 1;
    Matrix15 A{};
    Vector15 b{};
    for (int r = 1; r <= m; ++r) {
        for (int c = 1; c <= m; ++c) {
            double sum = 0.0;
            for (int i = 1; i <= n; ++i) sum = checked(sum + power(x[i], r + c - 2));
            A[r][c] = sum;
        }
    }
    for (int r = 1; r <= m; ++r) {
        double sum = 0.0;
        for (int i = 1; i <= n; ++i) sum = checked(sum + checked(power(x[i], r - 1) * v[i]));
        b[r] = sum;
    }
    const Vector15 solution = solveLinearSystem(A, b, m);
    for (int k = 1; k <= m; ++k) session().result.coefficients[k] = solution[k];
}

} // namespace calvero
