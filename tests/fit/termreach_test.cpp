// The coefficients' digits against what their terms reach over the points.
#include "common/numtext.h"
#include "fit/termreach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace calvero;

TEST(FormatCoefficient, ThePrintedPolynomialReproducesItsValuesOverThePoints)
{
    // A degree-8 curve over x up to 5475 (a fan in m3/h): every printed term
    // together stays within 1e-11 of the largest y of the exact evaluation.
    const double c[9] = {812.51234567891, -0.3101234567, 1.2e-4, -3.3e-8, 4.1e-12, -2.7e-16, 9.1e-21, -1.3e-25, 7.7e-31};
    PointArray x{}, y{};
    const int n = 12;
    for (int i = 1; i <= n; ++i) {
        x[i] = 5475.0 * i / n;
        long double sum = 0;
        for (int k = 8; k >= 0; --k) sum = sum * x[i] + c[k];
        y[i] = static_cast<double>(sum);
    }
    double largest = 0;
    for (int i = 1; i <= n; ++i) largest = std::max(largest, std::fabs(y[i]));
    const std::vector<TermReach> reaches = polynomialTermReaches(x, y, n, 8);
    for (int i = 1; i <= n; ++i) {
        long double printed = 0;
        for (int k = 8; k >= 0; --k)
            printed = printed * x[i] + *parseDecimal(formatCoefficient(c[k], 20, 12, 100000, reaches[k]));
        EXPECT_NEAR(static_cast<double>(printed), y[i], 1e-11 * largest) << x[i];
    }
}
