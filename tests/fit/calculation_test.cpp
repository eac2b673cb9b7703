// A calculation as a function: its input in, its outcome out, nothing shared.
#include "fit/calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

using namespace calvero;

namespace {

CalculationInput inputOf(FitType kind, int degree, const std::vector<std::vector<double>>& rows)
{
    CalculationInput in;
    in.kind = kind;
    in.degree = degree;
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        in.points.x[i] = row[0];
        in.points.y[i] = row[1];
        if (row.size() > 2) in.points.z[i] = row[2];
    }
    in.pointCount = i;
    return in;
}

// y = 1 + 2x + 3x^2 and z = 5 + x - 2y + 0.5xy, exactly.
CalculationInput quadratic()
{
    std::vector<std::vector<double>> rows;
    for (int i = 1; i <= 30; ++i) rows.push_back({i * 0.5, 1 + i + 0.75 * i * i});
    return inputOf(FitType::Polynomial, 2, rows);
}
CalculationInput plane()
{
    std::vector<std::vector<double>> rows;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) rows.push_back({double(7 - i), double(j), 5 + (7 - i) - 2.0 * j + 0.5 * (7 - i) * j});
    return inputOf(FitType::SurfaceXY, 2, rows);
}

} // namespace

TEST(CalculationFunction, TwoCalculationsAtOnceGiveWhatEachGivesAlone)
{
    const CalculationInput inputs[] = {quadratic(), plane()};
    std::vector<std::string> alone[2];
    for (int k = 0; k < 2; ++k) alone[k] = calculate(inputs[k])->report;
    std::vector<std::string> together[2];
    auto repeat = [&](int k) {
        for (int n = 0; n < 200; ++n) together[k] = calculate(inputs[k])->report;
    };
    std::thread first(repeat, 0), second(repeat, 1);
    first.join();
    second.join();
    for (int k = 0; k < 2; ++k) EXPECT_EQ(together[k], alone[k]);
}

TEST(CalculationFunction, TheOutcomeHoldsTheCurveOrTheRefusal)
{
    // The quadratic's own coefficients, found again and evaluated by the curve.
    const Calculation fitted = *(calculate(quadratic()));
    ASSERT_TRUE(fitted.curve.has_value());
    EXPECT_NEAR(evaluate(*fitted.curve, 4.0), 1 + 8 + 48, 1e-9);
    EXPECT_TRUE(fitted.hasGraph());
    EXPECT_EQ(fitted.report.front().substr(0, 18), "tipo di equazione:");

    // The surface comes back ordered by x, with its terms, and its picture.
    const Calculation surface = *(calculate(plane()));
    EXPECT_TRUE(surface.hasGraph());
    EXPECT_EQ(surface.points.x[1], 1.0);
    EXPECT_NEAR(surface.surface[6], 0.5, 1e-9); // the x*y term
    EXPECT_NEAR(evaluateSurface(surface.surface, 2, 3, 2), 5 + 2 - 6 + 3, 1e-9);

    struct Refused {
        const char* what;
        CalculationInput input;
        const char* message;
    };
    CalculationInput unknownKind = quadratic();
    unknownKind.kind = static_cast<FitType>(9);
    // No temperatures: both read as 0, so the step between them is 0.
    const CalculationInput noTemperatures = inputOf(FitType::TemperatureTime, 1, {{1, 30}, {2, 40}});
    const Refused cases[] = {
        {"one point", inputOf(FitType::Polynomial, 1, {{1, 2}}), " numero punti=  <2!"},
        {"no kind", unknownKind, " tipo non scelto= 9"},
        {"a fault", inputOf(FitType::Power, 1, {{0, 1}, {1, 2}}), "Floating point division by zero"},
        {"no temperatures", noTemperatures, "Floating point division by zero"},
    };
    for (const Refused& c : cases) {
        const Outcome outcome = calculate(c.input);
        ASSERT_FALSE(outcome) << c.what;
        EXPECT_EQ(outcome.failure(), c.message) << c.what;
    }
}

TEST(FittedCurve, EachKindEvaluatesItsOwnEquation)
{
    // Values worked out by hand at x = 2.
    PolynomialCoefficients c{};
    c[1] = 1, c[2] = 2, c[3] = 3;
    const struct {
        FittedCurve curve;
        double expected;
    } cases[] = {
        {PowerCurve{{3, 2}}, 12},
        {PolynomialCurve{c, 2}, 17},
        {ExponentialCurve{{2, 0.5}}, 2 * std::exp(1.0)},
        {RationalCurve{c, 1}, 0.2},
        {TemperatureTimeCurve{0.5, 20, 80}, 80 - 60 * std::exp(-1.0)},
        {SaturationCurve{{3, -2}}, 100},
    };
    for (const auto& k : cases) EXPECT_NEAR(evaluate(k.curve, 2.0), k.expected, 1e-12 * k.expected);
}

TEST(FittedCurve, OutsideTheEngineAFaultIsNoValue)
{
    // y = 1 / (1 - x) has its pole at 1; y = 3 x^2 has no real power of a negative x.
    PolynomialCoefficients c{};
    c[1] = 1, c[2] = -1;
    const FittedCurve pole = RationalCurve{c, 1};
    EXPECT_EQ(curveValue(pole, 2.0), -1.0);
    EXPECT_FALSE(curveValue(pole, 1.0).has_value());
    EXPECT_FALSE(curveValue(PowerCurve{{3, 2.5}}, -1.0).has_value());
    // The surface has no pole: an overflow is its fault.
    SurfaceCoefficients K{};
    K[4] = 1; // x^2
    EXPECT_EQ(surfaceValue(K, 3, 1, 2), 9.0);
    EXPECT_FALSE(surfaceValue(K, 1e300, 0, 2).has_value());
}

TEST(CalculationFunction, AReportWrittenLaterIsTheSameAndRefusesTheSame)
{
    CalculationInput rational = inputOf(FitType::RationalPolynomial, 1, {{1, 1}, {2, 0.5}, {3, 0.25}});
    // Every point at the initial temperature: M = 0, no time constant.
    CalculationInput still = inputOf(FitType::TemperatureTime, 1, {{1, 20}, {2, 20}});
    still.initialTemperature = 20, still.finalTemperature = 80;
    for (const CalculationInput& in : {quadratic(), plane(), rational, still}) {
        const Outcome now = calculate(in);
        const Outcome later = calculate(in, ReportText::Later);
        ASSERT_EQ(bool(now), bool(later)) << now.failure() << later.failure();
        EXPECT_EQ(now.failure(), later.failure());
        if (!now) continue;
        EXPECT_TRUE(later->report.empty());
        EXPECT_EQ(reportOf(*later), now->report);
    }
    EXPECT_EQ(calculate(still, ReportText::Later).failure(), "Floating point division by zero");
}
