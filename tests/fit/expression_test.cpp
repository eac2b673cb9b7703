// The equation's sine and cosine in long double, whose arguments the
// expression reduces by quarter turns itself, against libquadmath's in quad
// precision: within a few units of long double's last place, near the
// multiples of π/2 where the reduction cancels most, and beyond the range
// it reduces (the C library's road); and their derivatives, which the
// Jacobian takes from the same reduction.
#include "fit/equationparser.h"

#include <gtest/gtest.h>
#include <quadmath.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero {
namespace {

TEST(EquationExpression, LongDoubleSineAndCosineAgainstQuad)
{
    const auto sine = readEquation("y = sin(b1*x)"), cosine = readEquation("y = cos(b1*x)");
    ASSERT_TRUE(sine && cosine);
    std::vector<long double> arguments;
    for (int i = -400; i <= 400; ++i) arguments.push_back(0.37L * i * i * i / 7.0L); // up to about 3.4e6
    for (long k : {1L, 2L, 3L, 7L, 1000L, 123457L, 16777215L, 16777217L, 400000000L})
        for (long double nudge : {0.0L, 1e-12L, -3e-7L})
            arguments.push_back(k * 1.57079632679489661923132169163975144L + nudge);
    std::vector<long double> scratch;
    std::vector<__float128> quadScratch;
    const std::vector<long double> one{1.0L};
    const std::vector<__float128> quadOne{static_cast<__float128>(1.0)};
    std::vector<long double> adjoints, gradient(1);
    for (long double a : arguments) {
        for (const auto* equation : {&*sine, &*cosine}) {
            const long double got = equation->expression.value<long double>(one, a, 0.0L, scratch);
            const __float128 want =
                equation->expression.value<__float128>(quadOne, static_cast<__float128>(a), static_cast<__float128>(0.0), quadScratch);
            // Absolute: the values are at most 1; 8 units of the last place of 1.
            EXPECT_LE(std::fabs(static_cast<long double>(static_cast<__float128>(got) - want)), 8 * 0x1p-64L)
                << equation->text << " at " << static_cast<double>(a);
            // The derivative by b1 at b1 = 1, a cos(a) or -a sin(a), from
            // libquadmath's other function; relative to a.
            const long double withGradient =
                equation->expression.valueAndGradient<long double>(one, a, 0.0L, gradient, scratch, adjoints);
            EXPECT_LE(std::fabs(static_cast<long double>(static_cast<__float128>(withGradient) - want)), 8 * 0x1p-64L)
                << equation->text << " with its gradient at " << static_cast<double>(a);
            const __float128 q = static_cast<__float128>(a);
            const __float128 slope = equation == &*sine ? q * cosq(q) : -q * sinq(q);
            EXPECT_LE(std::fabs(static_cast<long double>(static_cast<__float128>(gradient[0]) - slope)),
                      8 * 0x1p-64L * std::max(1.0L, std::fabs(a)))
                << equation->text << "'s derivative at " << static_cast<double>(a);
        }
    }
}

} // namespace
} // namespace calvero
