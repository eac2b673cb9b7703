#include "fit/fault.h"
#include "fit/fits.h"

#include "fault_expectations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using namespace calvero;
using calvero::testing::faultOf;

namespace {

class Fits : public ::testing::Test {
protected:
    static PointArray values(std::initializer_list<double> list)
    {
        PointArray a{};
        int i = 1;
        for (double v : list) a[i++] = v;
        return a;
    }
};

} // namespace

TEST_F(Fits, PolynomialThroughThreePoints)
{
    const PolynomialCoefficients c = fitPolynomial(values({0, 1, 2}), values({1, 6, 17}), 2, 3);
    EXPECT_NEAR(c[1], 1.0, 1e-12);
    EXPECT_NEAR(c[2], 2.0, 1e-12);
    EXPECT_NEAR(c[3], 3.0, 1e-12);
}

TEST_F(Fits, PolynomialGivesZeroBeyondItsDegree)
{
    const PolynomialCoefficients c = fitPolynomial(values({1, 3}), values({3, 7}), 1, 2);
    EXPECT_NEAR(c[1], 1.0, 1e-12);
    EXPECT_NEAR(c[2], 2.0, 1e-12);
    EXPECT_EQ(c[3], 0.0);
}

TEST_F(Fits, PolynomialOfDegreeFiveOnTwentyOnePoints)
{
    PointArray x{}, y{};
    for (int i = 1; i <= 21; ++i) {
        const double v = i - 1;
        x[i] = v;
        y[i] = 1 + v + v * v + v * v * v + v * v * v * v + v * v * v * v * v;
    }
    const PolynomialCoefficients c = fitPolynomial(x, y, 5, 21);
    for (int k = 1; k <= 6; ++k) EXPECT_NEAR(c[k], 1.0, 1e-5) << "coefficient " << k;
}

TEST_F(Fits, StraightLineFittedWithDegreeThreeHasNoCurvature)
{
    PointArray x{}, y{};
    for (int i = 1; i <= 10; ++i) {
        x[i] = i;
        y[i] = 4.0 - 0.5 * i;
    }
    const PolynomialCoefficients c = fitPolynomial(x, y, 3, 10);
    EXPECT_NEAR(c[1], 4.0, 1e-8);
    EXPECT_NEAR(c[2], -0.5, 1e-8);
    EXPECT_NEAR(c[3], 0.0, 1e-8);
    EXPECT_NEAR(c[4], 0.0, 1e-9);
}

TEST_F(Fits, PolynomialWithNegativeAbscissasIsCorrect)
{
    // y = 2 - x + 0.5 x^2 on symmetric abscissas.
    PointArray x{}, y{};
    for (int i = 1; i <= 7; ++i) {
        x[i] = i - 4.0;
        y[i] = 2 - x[i] + 0.5 * x[i] * x[i];
    }
    const PolynomialCoefficients c = fitPolynomial(x, y, 2, 7);
    EXPECT_NEAR(c[1], 2.0, 1e-10);
    EXPECT_NEAR(c[2], -1.0, 1e-10);
    EXPECT_NEAR(c[3], 0.5, 1e-10);
}

TEST_F(Fits, PolynomialOnTooFewDistinctAbscissasFails)
{
    EXPECT_THROW(fitPolynomial(values({1, 1, 1}), values({1, 2, 3}), 2, 3), ArithmeticFault);
}

TEST_F(Fits, PolynomialOverflowIsRaised)
{
    EXPECT_EQ(faultOf([&] { fitPolynomial(values({1e40, 2e40, 3e40}), values({1, 2, 3}), 8, 3); }),
              FaultKind::Overflow);
}

TEST_F(Fits, PowerCurve)
{
    TwoParameters p = fitPower(values({1, 2, 3}), values({3, 12, 27}), 3);
    EXPECT_NEAR(p.a, 3.0, 1e-12);
    EXPECT_NEAR(p.b, 2.0, 1e-12);
}

TEST_F(Fits, PowerWithUnitPointCountsIt)
{
    // (1, 1) gives u = v = 0 but still counts in n: y = x^2 exactly.
    const TwoParameters p = fitPower(values({1, 2, 4}), values({1, 4, 16}), 3);
    EXPECT_NEAR(p.a, 1.0, 1e-12);
    EXPECT_NEAR(p.b, 2.0, 1e-12);
}

TEST_F(Fits, PowerFaultsOnZeroOrNegativeData)
{
    EXPECT_EQ(faultOf([&] { fitPower(values({0, 1, 2}), values({1, 2, 3}), 3); }), FaultKind::DivisionByZero);
    EXPECT_EQ(faultOf([&] { fitPower(values({1, 2, 3}), values({1, -2, 3}), 3); }), FaultKind::InvalidOperation);
    EXPECT_EQ(faultOf([&] { fitPower(values({10, 10, 10}), values({1, 2, 3}), 3); }), FaultKind::InvalidOperation);
}

TEST_F(Fits, ExponentialCurveAlsoWithNegativeAbscissa)
{
    const double e = std::exp(1.0);
    TwoParameters p = fitExponential(values({0, 1, 2}), values({2, 2 * e, 2 * e * e}), 3);
    EXPECT_NEAR(p.a, 2.0, 1e-12);
    EXPECT_NEAR(p.b, 1.0, 1e-12);
    p = fitExponential(values({-1, 0, 1}), values({3 * std::exp(0.5), 3, 3 * std::exp(-0.5)}), 3);
    EXPECT_NEAR(p.a, 3.0, 1e-12);
    EXPECT_NEAR(p.b, -0.5, 1e-12);
    EXPECT_EQ(faultOf([&] { fitExponential(values({0, 1}), values({0, 1}), 2); }), FaultKind::DivisionByZero);
}

TEST_F(Fits, RationalPolynomialThroughReciprocals)
{
    const PointArray y = values({1.0 / 3, 1.0 / 5, 1.0 / 7});
    PointArray w{};
    for (int i = 1; i <= 3; ++i) w[i] = 1.0 / y[i];
    const PolynomialCoefficients c = fitPolynomial(values({1, 2, 3}), w, 1, 3);
    EXPECT_NEAR(c[1], 1.0, 1e-12);
    EXPECT_NEAR(c[2], 2.0, 1e-12);
}

TEST_F(Fits, TemperatureTimeMeanDecay)
{
    EXPECT_NEAR(fitTemperatureTime(values({1, 2}), values({80 - 60 * std::exp(-0.5), 80 - 60 * std::exp(-1.0)}), 2, 20, 80),
                0.5, 1e-12);
}

TEST_F(Fits, TemperatureTimeIsAMeanNotALeastSquaresFit)
{
    // Per-point coefficients 0.5 and 1.5: M is their mean, 1.0.
    EXPECT_NEAR(fitTemperatureTime(values({1, 1}), values({80 - 60 * std::exp(-0.5), 80 - 60 * std::exp(-1.5)}), 2, 20, 80),
                1.0, 1e-12);
}

TEST_F(Fits, TemperatureTimeFaults)
{
    // A temperature beyond the final one, equal temperatures, a later time of 0.
    EXPECT_EQ(faultOf([&] { fitTemperatureTime(values({1, 2}), values({50, 90}), 2, 20, 80); }),
              FaultKind::InvalidOperation);
    EXPECT_EQ(faultOf([&] { fitTemperatureTime(values({1, 2}), values({80, 70}), 2, 20, 80); }),
              FaultKind::DivisionByZero);
    EXPECT_THROW(fitTemperatureTime(values({1, 2}), values({30, 40}), 2, 50, 50), ArithmeticFault);
    EXPECT_THROW(fitTemperatureTime(values({1, 0}), values({30, 40}), 2, 20, 80), ArithmeticFault);
}

TEST_F(Fits, SaturationCurve)
{
    PointArray x{}, y{};
    const double temperatures[] = {250, 300, 350, 400};
    for (int i = 1; i <= 4; ++i) {
        x[i] = temperatures[i - 1];
        y[i] = std::pow(10.0, 5 - 1000 / x[i]);
    }
    const TwoParameters p = fitSaturation(x, y, 4);
    EXPECT_NEAR(p.a, 5.0, 1e-9);
    EXPECT_NEAR(p.b, -1000.0, 1e-6);
    EXPECT_EQ(faultOf([&] { fitSaturation(values({0, 1}), values({1, 2}), 2); }), FaultKind::DivisionByZero);
}
