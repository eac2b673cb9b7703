// The solver's quad precision against the compiler's __float128, bit for bit:
// products and sums as the residuals and the fitted values make them, ties,
// cancellations, and the edges of the range where it hands over to
// __float128, each rounded back to long double and to double.
#include "fit/quad.h"
#include "fit/leastsquares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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

// Exact ties, each with the even neighbour below, so that round half up gives
// other bits than round to nearest even: for each way a product is formed,
// for sums and differences, and for the conversions to double and long
// double. Random operands almost never make one. The expected bits are
// worked out with exact rationals by tests/fit/quad_ties.py, which made the
// table and says why two significands of 113 bits never tie.
namespace {

struct Bits128 {
    std::uint64_t high, low;
    unsigned __int128 value() const { return (static_cast<unsigned __int128>(high) << 64) | low; }
};

__float128 fromBits(Bits128 bits)
{
    const unsigned __int128 value = bits.value();
    __float128 result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

struct Tie {
    const char* what;
    Bits128 a, b;
    // The quad's bits; to double, the double's bits in high; to long double,
    // the significand in high and the sign and exponent in low.
    Bits128 expected;
    char operation; // '*', '+', '-'; 'd' to double, 'l' to long double
};

const Tie Ties[] = {
    {"64 by 64 bits, product of 2^127 or more", {0x406bb50403fcd269u, 0x8000000000000000u}, {0x40769a71e4ee22c9u, 0x7306000000000000u}, {0x40e35e556dfb6220u, 0x92866ab57123e97cu}, '*'},
    {"64 by 64 bits, product of 2^127 or more", {0x40706b834e00460du, 0x7368000000000000u}, {0xc06bc9bd723da3b7u, 0x2000000000000000u}, {0xc0dd44fd34338960u, 0x09967176be5132e2u}, '*'},
    {"64 by 64 bits, product of 2^127 or more", {0x406955e36ba53e7au, 0x8000000000000000u}, {0xc06af1815879837eu, 0xf472000000000000u}, {0xc0d54c35a0dec0d5u, 0xf4a45809af76ca46u}, '*'},
    {"64 by 64 bits, product below 2^127", {0xc0677fe46b70f107u, 0xd040000000000000u}, {0xc07407e56368fa0au, 0x4a00000000000000u}, {0x40dc8bbba6c7e4f3u, 0x74d77ecf0b58e4b2u}, '*'},
    {"64 by 64 bits, product below 2^127", {0xc0736ce1fb1acfb4u, 0x9ba8000000000000u}, {0x4071122495fe553cu, 0xd000000000000000u}, {0xc0e586be04540aefu, 0xf94c44b0a77601d8u}, '*'},
    {"64 by 64 bits, product below 2^127", {0x406b04585b5ff6c0u, 0xe360000000000000u}, {0x4068611283ac7076u, 0x1c00000000000000u}, {0x40d46710aa1e547du, 0x98039ee183dfe71eu}, '*'},
    {"113 by 64 bits, product of 2^176 or more", {0x406dd3183d755f56u, 0x1270e2634a66fb80u}, {0x406fde0000000000u, 0x0000000000000000u}, {0x40deb413a1609401u, 0x5b37635ab27624ccu}, '*'},
    {"113 by 64 bits, product of 2^176 or more", {0xc06f2b0d04e0dd43u, 0x53c6a4a910000000u}, {0x4072cf5685500000u, 0x0000000000000000u}, {0xc0e30ea0cef6c5a8u, 0xb92dc40cbb2d5512u}, '*'},
    {"113 by 64 bits, product of 2^176 or more", {0xc06aa2dfe14a3dbbu, 0x5e67593dd153cb60u}, {0x4067780000000000u, 0x0000000000000000u}, {0xc0d3339c69728555u, 0x9953e58965b9895au}, '*'},
    {"113 by 64 bits, product below 2^176", {0xc069a5196b05f79fu, 0x900a45c1208b3800u}, {0x4076177000000000u, 0x0000000000000000u}, {0xc0e0cba6eec2537bu, 0x3bca3683fef5f6f0u}, '*'},
    {"113 by 64 bits, product below 2^176", {0xc068d4a5b7da803du, 0x1b426c7410000000u}, {0xc07613b84dc80000u, 0x0000000000000000u}, {0x40dff8bf69ffd692u, 0x2b7a832ee71f237cu}, '*'},
    {"113 by 64 bits, product below 2^176", {0x4068478fbec4b1cfu, 0xedcd7fc000000000u}, {0xc06d8230ccb5d600u, 0x0000000000000000u}, {0xc0d6ee252e878f75u, 0xa3c8474e28e21b8au}, '*'},
    {"113 by 64 bits, product of 2^176 or more", {0xc075d55b89c10000u, 0x0000000000000000u}, {0x406d5bb044b9a31cu, 0xb63fe3dd00000000u}, {0xc0e43ebb2053fd3du, 0xdeab15abbbd5874eu}, '*'},
    {"113 by 64 bits, product of 2^176 or more", {0x4076f64d00000000u, 0x0000000000000000u}, {0xc06d8ae94a86a972u, 0x51f22d20ec410000u}, {0xc0e5836e2027bd63u, 0x9209c52b111742c6u}, '*'},
    {"113 by 64 bits, product of 2^176 or more", {0xc0689eacc0000000u, 0x0000000000000000u}, {0xc0725458ffa01a16u, 0x85353ea1b47c0000u}, {0x40dc13a6cc39b4bdu, 0x030f3f7bc2bf8956u}, '*'},
    {"113 by 64 bits, product below 2^176", {0x4071543000000000u, 0x0000000000000000u}, {0x40751a0566bed9beu, 0x9ef78a82895a9800u}, {0x40e776c40d78bcf9u, 0xfede925f56e612dcu}, '*'},
    {"113 by 64 bits, product below 2^176", {0xc06b4222dc400000u, 0x0000000000000000u}, {0x406f633c8996a901u, 0x1516b787ca000000u}, {0xc0dbbf0284ba9bf5u, 0xad928e41f783678au}, '*'},
    {"113 by 64 bits, product below 2^176", {0x40718dce04a00000u, 0x0000000000000000u}, {0xc07028daef8fef42u, 0x5cff2d12c4000000u}, {0xc0e2cd4a6b0bf070u, 0x6b51212a7b3e2ecau}, '*'},
    {"sum in the same binade", {0x407aba822d16805bu, 0x992999fabc3202b8u}, {0x40780e1554dff82cu, 0xb84d2ffe0f2ce22au}, {0x407afe07824e7e66u, 0xc73ce5fa3ffd3b42u}, '+'},
    {"sum in the same binade", {0x406b336763fe6a29u, 0x8de3e23c72af4f89u}, {0x4067fa0f81a99db4u, 0x449631a6d1ee0278u}, {0x406b53085c190404u, 0xd22d4556dfce2fb0u}, '+'},
    {"difference in the same binade", {0x405d84fbbc7955bbu, 0xcaf05b0d0638a5a3u}, {0x405b5c58787dc417u, 0x476cf954d4e3badau}, {0x405d2de59e59e4b5u, 0xf9151cb7d0ffb6ecu}, '-'},
    {"difference in the same binade", {0x407b4d8194f6153du, 0x6ed305bba0c5a4d5u}, {0xc079b246390ac4f0u, 0x89e20c1cb80b5dc6u}, {0x407bba132338c679u, 0x914b88c2cec87c46u}, '-'},
    {"difference that loses a binade", {0x4060304e272105b2u, 0xf7902a20f7274b0cu}, {0x405e1dc2a24fec68u, 0xbae949e7f4df081bu}, {0x405fd1bafd1a1531u, 0x91abaf4df3df120au}, '-'},
    {"difference that loses a binade", {0x407e0c7b169eda3eu, 0x80490e971b84ca82u}, {0x407b02ab5e1efcc1u, 0x9a6a6932ce60dca6u}, {0x407dd84b55b5f54cu, 0x99f782e183715ddau}, '-'},
    {"sum above its first term's binade", {0x407732d547ec5d4du, 0xbd234d10ff5f3f6fu}, {0x40784a044995ee56u, 0x044ebf4213a34dd9u}, {0x4078e36eed8c1cfcu, 0xe2e065ca9352ed90u}, '+'},
    {"sum above its first term's binade", {0x407c8c6e339c5f1cu, 0x94074f471d8d1554u}, {0x407c4e4bd80e536au, 0xc053ff816d1a7815u}, {0x407d6d5d05d55943u, 0xaa2da7644553c6b4u}, '+'},
    {"sum with a far smaller term", {0x4074f1ba34928584u, 0x6609dc0b889bfef2u}, {0xc02a61d98baf6200u, 0x0000000000000000u}, {0x4074f1ba34928584u, 0x6609dc63fefeeacau}, '-'},
    {"sum with a far smaller term", {0x407600326bf2b619u, 0x53821a6fade25646u}, {0x40418c3c570c1a20u, 0x1810000000000000u}, {0x407600326bf2b619u, 0x5fe3fd280eb35706u}, '+'},
    {"sum with a far smaller term", {0x40731b88b24acb32u, 0x2f3c17f3d8167ff1u}, {0xc01817125c000000u, 0x0000000000000000u}, {0x40731b88b24acb32u, 0x2f3c17f3d839623cu}, '-'},
    {"to double", {0xc082f11c8d1ea92cu, 0x4800000000000000u}, {0, 0}, {0xc82f11c8d1ea92c4u, 0}, 'd'},
    {"to double", {0x405ac40c5c63d05cu, 0x6800000000000000u}, {0, 0}, {0x45ac40c5c63d05c6u, 0}, 'd'},
    {"to double", {0x407304a424d7e8b1u, 0xe800000000000000u}, {0, 0}, {0x47304a424d7e8b1eu, 0}, 'd'},
    {"to long double", {0x40895f84ed4197f2u, 0x7521000000000000u}, {0, 0}, {0xafc276a0cbf93a90u, 0x4089u}, 'l'},
    {"to long double", {0x406318c4d3a2b9e4u, 0xba45000000000000u}, {0, 0}, {0x8c6269d15cf25d22u, 0x4063u}, 'l'},
    {"to long double", {0xc0799a681de61138u, 0x6b51000000000000u}, {0, 0}, {0xcd340ef3089c35a8u, 0xc079u}, 'l'},

};

} // namespace

TEST(Quad, TiesRoundToEven)
{
    for (const Tie& tie : Ties) {
        const __float128 a = fromBits(tie.a), b = fromBits(tie.b);
        const Quad qa = Quad::fromFloat128(a), qb = Quad::fromFloat128(b);
        if (tie.operation == 'd') {
            const double made = static_cast<double>(qa);
            std::uint64_t bits;
            std::memcpy(&bits, &made, sizeof bits);
            EXPECT_EQ(bits, tie.expected.high) << tie.what;
            EXPECT_TRUE(sameBits(static_cast<double>(a), made)) << tie.what << ": the compiler's quad disagrees";
            continue;
        }
        if (tie.operation == 'l') {
            const long double made = static_cast<long double>(qa);
            std::uint64_t significand;
            std::uint16_t signAndExponent;
            std::memcpy(&significand, &made, sizeof significand);
            std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&made) + 8, sizeof signAndExponent);
            EXPECT_EQ(significand, tie.expected.high) << tie.what;
            EXPECT_EQ(signAndExponent, tie.expected.low) << tie.what;
            EXPECT_EQ(static_cast<long double>(a), made) << tie.what << ": the compiler's quad disagrees";
            continue;
        }
        const Quad made = tie.operation == '*' ? qa * qb : tie.operation == '+' ? qa + qb : qa - qb;
        const __float128 compilers = tie.operation == '*' ? a * b : tie.operation == '+' ? a + b : a - b;
        EXPECT_TRUE(sameBits(fromBits(tie.expected), made.toFloat128())) << tie.what;
        EXPECT_TRUE(sameBits(fromBits(tie.expected), compilers)) << tie.what << ": the compiler's quad disagrees";
    }
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
