// The solver's quad precision against the compiler's __float128, bit for bit:
// products and sums as the residuals and the fitted values make them, ties,
// cancellations, and the edges of the range where it hands over to
// __float128, each rounded back to long double and to double.
#include "fit/quad.h"
#include "fit/leastsquares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace calvero;

namespace {

bool sameBits(__float128 a, __float128 b)
{
    if (a != a && b != b) return true; // NaN: any payload
    unsigned __int128 x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b); }

struct Mismatches {
    long count = 0;
    void check(__float128 expected, const Quad& got)
    {
        count += !sameBits(expected, got.toFloat128());
        count += !sameBits(static_cast<double>(expected), static_cast<double>(got));
        const long double wanted = static_cast<long double>(expected), made = static_cast<long double>(got);
        count += !(wanted == made && std::signbit(wanted) == std::signbit(made)) && !(wanted != wanted && made != made);
    }
};

} // namespace

TEST(Quad, SameBitsAsTheCompilersQuad)
{
    std::mt19937_64 random(20260807);
    auto value = [&]() -> double {
        const double sign = (random() & 1) ? -1.0 : 1.0;
        switch (random() % 5) {
        case 0: return sign * std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 153);
        case 1: return sign * static_cast<double>(random() % 1000);
        case 2: return 1.0 + std::ldexp(static_cast<double>(random() % 16), -52); // next to a power of two
        case 3: return sign * std::ldexp(1.0, static_cast<int>(random() % 40) - 20);
        default: return 0.1 * static_cast<double>(random() % 100000) - 5000; // temperatures, flows
        }
    };
    Mismatches mismatches;
    for (int i = 0; i < 200000; ++i) {
        const double x = value(), y = value(), v = value();
        const long double g = static_cast<long double>(value()) * (1.0L + std::ldexp(1.0L, -60) * (random() % 16));
        const __float128 fx = x, fy = y, fv = v, fg = g;
        const Quad qx = x, qy = y, qv = v, qg = g;
        mismatches.check(fx * fy * fx, qx * qy * qx);               // a power: its third factor rounds
        mismatches.check(fv - fg * fx * fx, qv - qg * qx * qx);     // a residual
        mismatches.check(fx * fy + fy * fx, qx * qy + qy * qx);     // a sum that doubles
        mismatches.check(fx * fy - fy * fx, qx * qy - qy * qx);     // exact cancellation: +0
        mismatches.check(fv + fg - fx * fy, qv + qg - qx * qy);
        mismatches.check((fx * fy) * (fy * fv), (qx * qy) * (qy * qv)); // two full significands
    }
    // Ties: half an ulp added to or taken from numbers of both parities.
    for (int i = 0; i < 100000; ++i) {
        const unsigned __int128 fraction = ((static_cast<unsigned __int128>(random()) << 64) | random()) &
                                           ((static_cast<unsigned __int128>(1) << 112) - 1);
        const unsigned __int128 bits = (static_cast<unsigned __int128>(16383 + random() % 20) << 112) | fraction;
        __float128 a;
        std::memcpy(&a, &bits, sizeof a);
        __float128 halfUlp = 1; // 2^(exponent - 113), the exponent below 20
        for (int e = static_cast<int>((bits >> 112) & 0x7FFF) - 16383 - 113; e < 0; ++e) halfUlp /= 2;
        const Quad qa = Quad::fromFloat128(a), qh = Quad::fromFloat128(halfUlp);
        mismatches.check(a + halfUlp, qa + qh);
        mismatches.check(a - halfUlp, qa - qh);
        mismatches.check(a + halfUlp * 3, qa + qh * Quad(3.0));
    }
    // The edges of the range: overflow, results too small to be normal.
    for (int i = 0; i < 20000; ++i) {
        const long double big = std::ldexp(static_cast<long double>(random() >> 11) + 1, 16300 + static_cast<int>(random() % 80));
        const long double tiny = std::ldexp(static_cast<long double>(random() >> 11) + 1, -16400 - static_cast<int>(random() % 100));
        const double d = value();
        const __float128 fb = big, ft = tiny, fd = d;
        const Quad qb = big, qt = tiny, qd = d;
        mismatches.check(fb * fb, qb * qb);
        mismatches.check(ft * ft, qt * qt);
        mismatches.check(fb + fb, qb + qb);
        mismatches.check(ft - ft * fd, qt - qt * qd);
    }
    EXPECT_EQ(mismatches.count, 0);
}

// The fitted values a polynomial gives the statistics: most are rounded from
// double-double where its error bound allows, the rest in quad; either way
// each must be the quad sum of c_k · x^k rounded to double, bit for bit. The
// cases cancel little, cancel as kelvin fits do, sit on exact zeros, and
// cover every degree and the surface's two variables.
TEST(Quad, PolynomialValuesAreTheQuadSumRounded)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    struct Shape {
        const char* name;
        double centre, spread;
        bool surface;
    };
    const Shape shapes[] = {{"near zero", 0.0, 10.0, false},
                            {"kelvin", 300.0, 50.0, false},
                            {"far offset", 1e4, 1.0, false},
                            {"tiny", 1e-3, 1e-3, false},
                            {"surface", 20.0, 15.0, true}};
    for (const Shape& shape : shapes) {
        long mismatches = 0;
        for (int trial = 0; trial < 300; ++trial) {
            const int degree = 1 + trial % 8;
            std::vector<Monomial> terms;
            for (int a = 0; a <= degree; ++a)
                for (int b = 0; b <= (shape.surface ? degree - a : 0); ++b) terms.push_back({a, b});
            std::vector<double> c, x, y;
            for (std::size_t k = 0; k < terms.size(); ++k)
                c.push_back(unit(random) * std::pow(shape.centre + shape.spread, -terms[k].xPower - terms[k].yPower));
            for (int i = 0; i < 40; ++i) {
                x.push_back(shape.centre + shape.spread * unit(random));
                y.push_back(shape.centre + shape.spread * unit(random));
            }
            if (trial % 3 == 0) {
                // Make the sum at the first point cancel to (nearly) nothing.
                double rest = 0.0;
                for (std::size_t k = 1; k < terms.size(); ++k)
                    rest += c[k] * std::pow(x[0], terms[k].xPower) * std::pow(y[0], terms[k].yPower);
                c[0] = -rest;
            }
            PolynomialInQuad polynomial(c, terms);
            const std::vector<double> values = polynomial.values(x, shape.surface ? y : std::vector<double>{});
            for (std::size_t i = 0; i < x.size(); ++i) {
                __float128 sum = 0;
                for (std::size_t k = 0; k < terms.size(); ++k) {
                    __float128 term = 1;
                    for (int e = 0; e < terms[k].xPower; ++e) term *= x[i];
                    if (shape.surface) {
                        __float128 ofY = 1;
                        for (int e = 0; e < terms[k].yPower; ++e) ofY *= y[i];
                        term *= ofY;
                    }
                    sum += static_cast<__float128>(c[k]) * term;
                }
                mismatches += !sameBits(static_cast<double>(sum), values[i]);
                mismatches += !sameBits(static_cast<double>(sum), polynomial(x[i], shape.surface ? y[i] : 0.0));
            }
        }
        EXPECT_EQ(mismatches, 0) << shape.name;
    }
}
