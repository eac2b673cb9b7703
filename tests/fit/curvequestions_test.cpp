// The questions to a fitted curve on curves whose answers are worked out by
// hand: the x for a y of a parabola (two roots, a tangency, none, beyond the
// points), a fan curve's operating points and duty ratio, the affinity laws
// of each kind, and the intervals' rules that need no regression to check (a
// through point, the smallest largest error, the temperature-time kind, the
// transformed kinds). The intervals themselves are checked against
// statsmodels and mpmath in tests/fit/curve_questions_check.py.
#include "fit/affinity.h"
#include "fit/curvequestions.h"
#include "fit/prediction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace calvero;

namespace {

Calculation fitted(FitType kind, int degree, const std::function<double(double)>& f, double from, double to, int n,
                   FitOptions options = {}, std::optional<double> ti = {}, std::optional<double> tf = {})
{
    CalculationInput in;
    in.kind = kind;
    in.degree = degree;
    in.options = std::move(options);
    in.initialTemperature = ti;
    in.finalTemperature = tf;
    for (int i = 1; i <= n; ++i) {
        const double x = from + (to - from) * (i - 1) / (n - 1);
        in.points.x[i] = x;
        in.points.y[i] = f(x);
    }
    in.pointCount = n;
    Outcome outcome = calculate(in);
    EXPECT_TRUE(outcome) << outcome.failure();
    return *outcome;
}

double parabola(double x) { return x * x - 6 * x + 14; }
double fan(double q) { return 40 - 0.01 * q * q; }
double hump(double q) { return 10 + 2 * q - 0.05 * q * q; }

std::vector<double> xsOf(const std::vector<CurvePlace>& places)
{
    std::vector<double> xs;
    for (const CurvePlace& p : places) xs.push_back(p.x);
    return xs;
}

} // namespace

TEST(SolveForY, EveryRootTangencyAndNoneOfAParabola)
{
    const Calculation c = fitted(FitType::Polynomial, 2, parabola, 0, 6, 7);
    const CurvePredictor predictor(c);
    struct Case {
        double y;
        std::vector<double> xs;
        bool tangent, extrapolated;
    };
    const std::vector<Case> cases = {
        {6.0, {2.0, 4.0}, false, false},
        {5.0, {3.0}, true, false},
        {17.16, {3 - std::sqrt(12.16), 3 + std::sqrt(12.16)}, false, true}, // both beyond [0, 6], within 10 %
    };
    for (const Case& k : cases) {
        const auto places = solveForY(predictor, k.y);
        ASSERT_TRUE(places) << k.y;
        ASSERT_EQ(xsOf(*places).size(), k.xs.size()) << k.y;
        for (std::size_t i = 0; i < k.xs.size(); ++i) {
            const double tolerance = k.tangent ? 3e-8 * 3 : 1e-12 * std::fabs(k.xs[i]);
            EXPECT_NEAR((*places)[i].x, k.xs[i], tolerance) << k.y;
            EXPECT_EQ((*places)[i].tangent, k.tangent) << k.y;
            EXPECT_EQ((*places)[i].extrapolated, k.extrapolated) << k.y;
        }
    }
    EXPECT_EQ(solveForY(predictor, 4.0).refusal.code, RefusalCode::NoXForY);
    EXPECT_EQ(solveForY(predictor, 30.0).refusal.code, RefusalCode::NoXForY); // x = 3 ± 4 is 15 % beyond
}

TEST(OperatingPoints, OneTwoAndNoneWithTheSystemCurve)
{
    const Calculation fanCurve = fitted(FitType::Polynomial, 2, fan, 0, 60, 9);
    const auto one = operatingPoints(CurvePredictor(fanCurve), {0.02, 0.0, 2.0});
    ASSERT_TRUE(one);
    ASSERT_EQ(one->size(), 1u);
    EXPECT_NEAR((*one)[0].x, std::sqrt(40 / 0.03), 1e-12 * 36.5);
    EXPECT_NEAR((*one)[0].y, 40.0 * 2 / 3, 1e-12 * 26.7);

    const Calculation humped = fitted(FitType::Polynomial, 2, hump, 0, 40, 9);
    const CurvePredictor predictor(humped);
    const auto two = operatingPoints(predictor, {0.01, 20.0, 2.0});
    ASSERT_TRUE(two);
    const std::vector<double> expected = {(2 - std::sqrt(1.6)) / 0.12, (2 + std::sqrt(1.6)) / 0.12};
    ASSERT_EQ(xsOf(*two).size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR((*two)[i].x, expected[i], 1e-12 * expected[i]);
    EXPECT_EQ(operatingPoints(predictor, {0.01, 40.0, 2.0}).refusal.code, RefusalCode::NoOperatingPoint);

    // Through the design point (20 m³/h, 8 Pa): k = 8 / 20².
    const std::optional<SystemCurve> through = systemThrough(20.0, 8.0);
    ASSERT_TRUE(through);
    EXPECT_DOUBLE_EQ(through->k, 0.02);
}

TEST(Affinity, ScaledCurvesOfEveryKeptKindAtTheScaledFlows)
{
    struct Case {
        FitType kind;
        int degree;
        std::function<double(double)> f;
    };
    const std::vector<Case> cases = {
        {FitType::Polynomial, 3, [](double q) { return 620 + 1.5 * q - 0.12 * q * q - 0.001 * q * q * q; }},
        {FitType::RationalPolynomial, 2, [](double q) { return 1 / (0.02 + 0.001 * q + 0.00002 * q * q); }},
        {FitType::Power, 1, [](double q) { return 3 * std::pow(q, 1.7); }},
        {FitType::Exponential, 1, [](double q) { return 50 * std::exp(-0.02 * q); }},
    };
    for (const Case& k : cases)
        for (AffinityQuantity quantity : {AffinityQuantity::Head, AffinityQuantity::Power, AffinityQuantity::Efficiency}) {
            const Calculation c = fitted(k.kind, k.degree, k.f, 5, 50, 10);
            const double factor = std::pow(0.8, affinityExponent(quantity));
            const Checked<FittedCurve> scaled = scaledCurve(*c.curve, 0.8, quantity);
            ASSERT_TRUE(scaled);
            EXPECT_EQ(scaled->index(), c.curve->index());
            for (double q = 5; q <= 50; q += 5)
                EXPECT_NEAR(evaluate(*scaled, 0.8 * q), factor * evaluate(*c.curve, q),
                            1e-12 * std::fabs(factor * evaluate(*c.curve, q)))
                    << kindLabel(k.kind) << " Q=" << q;
        }
    const Calculation cooling = fitted(
        FitType::TemperatureTime, 1, [](double t) { return 80 - 60 * std::exp(-0.5 * t); }, 1, 5, 5, {}, 20.0, 80.0);
    EXPECT_EQ(scaledCurve(*cooling.curve, 0.8, AffinityQuantity::Head).refusal.code, RefusalCode::AffinityNotKept);
    EXPECT_EQ(scaledCurve(*cooling.curve, -1, AffinityQuantity::Head).refusal.code, RefusalCode::InvalidQuestion);
}

TEST(Affinity, TheDutyPointsRatioAndNoneBeyondOneAndAHalf)
{
    const Calculation c = fitted(FitType::Polynomial, 2, fan, 0, 60, 9);
    // r² (40 - 0.01 (30/r)²) = 20: 40 r² = 29.
    const auto duty = dutyRatios(c, 30.0, 20.0, AffinityQuantity::Head);
    ASSERT_TRUE(duty);
    ASSERT_EQ(duty->size(), 1u);
    EXPECT_NEAR((*duty)[0].ratio, std::sqrt(29.0 / 40.0), 1e-12);
    EXPECT_NEAR(evaluate((*duty)[0].curve, 30.0), 20.0, 1e-11);
    // 40 r² = 109 needs r = 1.65.
    EXPECT_EQ(dutyRatios(c, 30.0, 100.0, AffinityQuantity::Head).refusal.code, RefusalCode::NoDutyRatio);
}

TEST(Prediction, RulesOfTheKindsAndTheOptions)
{
    auto noisy = [](double x) { return 3 + 0.5 * x + 0.2 * std::sin(7 * x); };
    // Through (2, 4): the curve is held there, its confidence interval is that point.
    FitOptions through;
    through.throughPoints = {{2.0, 4.0, 0.0}};
    const Calculation held = fitted(FitType::Polynomial, 2, noisy, 0, 10, 12, through);
    const Checked<Prediction> at = CurvePredictor(held).at(2.0, 0.0);
    ASSERT_TRUE(at && at->confidence);
    EXPECT_NEAR(at->value, 4.0, 1e-12);
    EXPECT_NEAR(at->confidence->high - at->confidence->low, 0.0, 1e-12);
    EXPECT_GT(at->prediction->high - at->prediction->low, 0.1);

    FitOptions minimax;
    minimax.minimax = true;
    const Calculation least = fitted(FitType::Polynomial, 2, noisy, 1, 10, 12, minimax);
    const Checked<Prediction> none = CurvePredictor(least).at(5.0, 0.0);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->none, NoInterval::Minimax);
    EXPECT_FALSE(none->confidence);

    // The power kind's interval is symmetric on log10 y: low · high = value².
    const Calculation power = fitted(FitType::Power, 1, [&](double x) { return noisy(x) * x; }, 1, 10, 12);
    const Checked<Prediction> beyond = CurvePredictor(power).at(12.0, 0.0);
    ASSERT_TRUE(beyond && beyond->confidence);
    EXPECT_TRUE(beyond->extrapolated);
    EXPECT_NEAR(beyond->confidence->low * beyond->confidence->high, beyond->value * beyond->value,
                1e-12 * beyond->value * beyond->value);

    // Temperature-time: M ± t s/√n and ± t s √(1 + 1/n) through the curve, s of the points' own M_i.
    const std::vector<double> t = {1, 2, 4}, temperature = {45, 58, 73};
    CalculationInput in;
    in.kind = FitType::TemperatureTime;
    in.initialTemperature = 20;
    in.finalTemperature = 80;
    for (int i = 1; i <= 3; ++i) in.points.x[i] = t[i - 1], in.points.y[i] = temperature[i - 1];
    in.pointCount = 3;
    const Outcome cooling = calculate(in);
    ASSERT_TRUE(cooling);
    std::vector<double> own;
    for (int i = 0; i < 3; ++i) own.push_back(-std::log((temperature[i] - 80) / (20.0 - 80)) / t[i]);
    const double mean = (own[0] + own[1] + own[2]) / 3;
    double squares = 0;
    for (double m : own) squares += (m - mean) * (m - mean);
    const double s = std::sqrt(squares / 2), t975 = 4.302652729749464; // Student's t, 2 degrees of freedom
    auto curve = [](double m, double x) { return 80 - 60 * std::exp(-m * x); };
    const Checked<Prediction> tt = CurvePredictor(*cooling).at(3.0, 0.0);
    ASSERT_TRUE(tt && tt->confidence && tt->prediction);
    EXPECT_NEAR(tt->confidence->low, curve(mean - t975 * s / std::sqrt(3.0), 3), 1e-12 * 80);
    EXPECT_NEAR(tt->confidence->high, curve(mean + t975 * s / std::sqrt(3.0), 3), 1e-12 * 80);
    EXPECT_NEAR(tt->prediction->high, curve(mean + t975 * s * std::sqrt(4.0 / 3), 3), 1e-12 * 80);
}
