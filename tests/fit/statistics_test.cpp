// Fit statistics against figures computed independently in numpy:
// numpy.linalg.lstsq on the same design matrix, SSE and R² on y from the
// fitted curve, s² (XᵀX)⁻¹ for the coefficients' variances (the formulas
// statsmodels' OLS uses), AICc = n ln(SSE/n) + 2K + 2K(K+1)/(n-K-1), K = p+1.
#include "fit/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace calvero;

namespace {

struct Point {
    double x, y, z = 0.0;
};

CalculationInput inputOf(FitType kind, int degree, const std::vector<Point>& points)
{
    CalculationInput in;
    in.kind = kind;
    in.degree = degree;
    for (const Point& p : points) {
        ++in.pointCount;
        in.points.x[in.pointCount] = p.x;
        in.points.y[in.pointCount] = p.y;
        in.points.z[in.pointCount] = p.z;
    }
    return in;
}

Statistics statisticsOf(const CalculationInput& in)
{
    const Outcome outcome = calculate(in);
    EXPECT_TRUE(outcome) << outcome.failure();
    return fitStatistics(*(outcome));
}

// Ten significant digits.
void expectClose(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, 5e-10 * std::fabs(expected)) << what;
}

struct Case {
    const char* name;
    FitType kind;
    int degree;
    std::vector<Point> points;
    int p;
    double sse, standardError, rSquared, adjusted, aicc; // aicc NaN: n - K - 1 <= 0
    double transformedRSquared;                          // NaN: not a transformed line
    std::vector<double> errors;                          // of the linear model's coefficients
    double largestPercent, rmsPercent, largestAbsolute;
};

const double none = std::nan("");

const Case cases[] = {
    {"polinomio2", FitType::Polynomial, 2, {{1, 2.1}, {2, 3.9}, {3, 7.2}, {4, 10.8}, {5, 16.1}}, 3,
     0.10057142857142842, 0.22424476423255507, 0.9991999599979999, 0.9983999199959999, none, none,
     {0.48095143800001355, 0.3665169762474148, 0.059931934181150885}, 3.0952380952381016, 2.0577409720266946,
     0.2228571428571433},
    {"fratto1", FitType::RationalPolynomial, 1,
     {{1, 0.52}, {2, 0.34}, {3, 0.25}, {4, 0.205}, {5, 0.165}, {6, 0.142}}, 2, 3.256577574372422e-05,
     0.0028533215619574066, 0.9996724863317762, 0.9995906079147202, -54.74404868449686, none,
     {0.05854248597182368, 0.015032322677588925}, 2.1667052352194816, 1.042827179501416, 0.0044417457321999365},
    {"potenza", FitType::Power, 1, {{1, 3.1}, {2, 4.2}, {4, 5.9}, {8, 8.3}, {16, 11.4}, {32, 16.2}}, 2,
     0.046320970881280316, 0.10761153618604317, 0.9996189090412761, 0.9995236363015951, -11.183519729166822,
     0.9996708597810271, {0.003955457068682161, 0.004339914596410817}, 1.4171504046716292, 1.027224238292265,
     0.16173974061238283},
    {"esponenziale", FitType::Exponential, 1,
     {{0, 10.2}, {1, 7.3}, {2, 5.6}, {3, 4.0}, {4, 3.05}, {5, 2.2}, {6, 1.62}}, 2, 0.04910541826658241,
     0.09910138068319978, 0.9991324949945006, 0.9989589939934007, -20.717872333646014, 0.9994412405247765,
     {0.011609814883707917, 0.0032199832970656837}, 2.215609992184738, 1.4407006955832193, 0.16173952942948588},
    {"superficie2", FitType::SurfaceXY, 2,
     {{1, 1, 5.1}, {1, 2, 7.9}, {1, 3, 12.2}, {2, 1, 6.8}, {2, 2, 10.1}, {2, 3, 14.9}, {3, 1, 9.2}, {3, 2, 13.1},
      {3, 3, 18.3}},
     6, 0.004444444444444511, 0.03849001794597534, 0.999968308799062, 0.9999154901308319, 57.48007518413438, none,
     {0.15661018156937884, 0.116534316463351, 0.11653431646335148, 0.027216552697591056, 0.02721655269759117,
      0.019245008972987674},
     0.33927056827847185, 0.21180456899847083, 0.044444444444479814},
};

class StatisticsAgainstNumpy : public testing::TestWithParam<Case> {};

TEST_P(StatisticsAgainstNumpy, AgreeToTenDigits)
{
    const Case& c = GetParam();
    const Statistics s = statisticsOf(inputOf(c.kind, c.degree, c.points));
    ASSERT_TRUE(s.fitted);
    EXPECT_EQ(s.n, static_cast<int>(c.points.size()));
    EXPECT_EQ(s.p, c.p);
    EXPECT_EQ(s.dof, s.n - c.p);
    expectClose(s.sse, c.sse, "SSE");
    expectClose(s.standardError.value(), c.standardError, "errore standard");
    expectClose(s.rSquared.value(), c.rSquared, "R2");
    expectClose(s.adjustedRSquared.value(), c.adjusted, "R2 corretto");
    if (std::isnan(c.aicc)) EXPECT_FALSE(s.aicc);
    else expectClose(s.aicc.value(), c.aicc, "AICc");
    if (std::isnan(c.transformedRSquared)) EXPECT_FALSE(s.transformedRSquared);
    else expectClose(s.transformedRSquared.value(), c.transformedRSquared, "R2 trasformato");
    ASSERT_EQ(s.coefficients.size(), c.errors.size());
    for (std::size_t j = 0; j < c.errors.size(); ++j)
        expectClose(s.coefficients[j].standardError.value(), c.errors[j], s.coefficients[j].name.c_str());
    expectClose(s.largestPercentError.value(), c.largestPercent, "errore % massimo");
    expectClose(s.rmsPercentError.value(), c.rmsPercent, "media quadratica errori %");
    expectClose(s.largestAbsoluteError, c.largestAbsolute, "errore assoluto massimo");
    EXPECT_FALSE(s.illConditioned);
}

TEST(FitStatistics, ConditionNumberOfTheScaledDesign)
{
    // numpy.linalg.cond(Xs), Xs the quadratic's Vandermonde columns over
    // x = 1..5 scaled to unit length: 25.537210.
    const Statistics s = statisticsOf(inputOf(FitType::Polynomial, 2, cases[0].points));
    EXPECT_NEAR(s.conditionNumber.value(), 25.537210, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StatisticsAgainstNumpy, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(StudentQuantile, MatchesClosedFormsAndTables)
{
    // ν = 1: tan(π (p - 1/2)); ν = 2: (2p - 1) / √(2p(1 - p)); ν = 10 and
    // ν = 30 from printed tables of t (0.975) to their 12 digits; ν large
    // tends to the normal 1.959963984540.
    EXPECT_NEAR(studentQuantile(0.975, 1), std::tan(M_PI * 0.475), 1e-9);
    EXPECT_NEAR(studentQuantile(0.975, 2), 0.95 / std::sqrt(2 * 0.975 * 0.025), 1e-11);
    EXPECT_NEAR(studentQuantile(0.975, 10), 2.228138851986, 1e-11);
    EXPECT_NEAR(studentQuantile(0.975, 30), 2.042272456301, 1e-11);
    EXPECT_NEAR(studentQuantile(0.975, 100000), 1.959963984540, 1e-4);
}

TEST(ConfidenceIntervals, StudentTimesErrorAndPowerAInTransformedBack)
{
    // The quadratic above: 2 degrees of freedom, t = 0.95 / √(2·0.975·0.025).
    const double t = 0.95 / std::sqrt(2 * 0.975 * 0.025);
    const Statistics quadratic = statisticsOf(inputOf(FitType::Polynomial, 2, cases[0].points));
    const CoefficientStatistics& c3 = quadratic.coefficients[2];
    expectClose(c3.lower.value(), 0.5214285714285715 - t * 0.059931934181150885, "limite inferiore");
    expectClose(c3.upper.value(), 0.5214285714285715 + t * 0.059931934181150885, "limite superiore");

    // Power: log10 A = 0.4851630613721944 (numpy) ± t(4) · its error; t(4) =
    // 2.776445105198 from the tables.
    const Statistics power = statisticsOf(inputOf(FitType::Power, 1, cases[2].points));
    EXPECT_EQ(power.coefficients[0].errorOf, "log10 A");
    expectClose(power.coefficients[0].value, std::pow(10.0, 0.4851630613721944), "A");
    expectClose(power.coefficients[0].lower.value(),
                std::pow(10.0, 0.4851630613721944 - 2.776445105198 * 0.003955457068682161), "A inferiore");
    expectClose(power.coefficients[0].upper.value(),
                std::pow(10.0, 0.4851630613721944 + 2.776445105198 * 0.003955457068682161), "A superiore");
}

TEST(FitStatistics, ExactFitHasNoErrorsAndSaysSo)
{
    // Three points, a quadratic: n = p.
    const Statistics s = statisticsOf(inputOf(FitType::Polynomial, 2, {{1, 1}, {2, 5}, {3, 4}}));
    EXPECT_EQ(s.dof, 0);
    EXPECT_FALSE(s.standardError);
    EXPECT_FALSE(s.adjustedRSquared);
    EXPECT_FALSE(s.aicc);
    for (const CoefficientStatistics& c : s.coefficients) EXPECT_FALSE(c.standardError);
    std::string text;
    for (const std::string& line : statisticsLines(s)) text += line + "\n";
    EXPECT_NE(text.find("nessun errore si può stimare"), std::string::npos) << text;
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
}

TEST(FitStatistics, EqualValuesLeaveRSquaredUncomputedAndScatterHasNone)
{
    const Statistics flat = statisticsOf(inputOf(FitType::Polynomial, 1, {{1, 3}, {2, 3}, {3, 3}, {4, 3}}));
    EXPECT_FALSE(flat.rSquared);
    std::string text;
    for (const std::string& line : statisticsLines(flat)) text += line + "\n";
    EXPECT_NE(text.find("R² = 1 - SSE / Σ(y - media)² = non calcolabile"), std::string::npos) << text;

    const Statistics scatter = statisticsOf(inputOf(FitType::Scatter, 1, {{1, 3}, {2, 4}}));
    EXPECT_FALSE(scatter.fitted);
    EXPECT_EQ(statisticsLines(scatter).size(), 2u);
}

TEST(FitStatistics, HighDegreeOnLargeXWarnsOfLostDigits)
{
    // Airflow in m³/h, degree 8: with the columns scaled to unit length,
    // numpy.linalg.cond(Xs) gives 5.84286e6 on this matrix. The points lie on
    // a parabola, so the six highest coefficients are rounding noise that a
    // change of the data in its 16th digit moves by more than themselves:
    // none of their digits is sure (conditioning_digits_check.py measures
    // the figures against exact least squares).
    std::vector<Point> points;
    for (int i = 0; i < 12; ++i) points.push_back({1000.0 + 400.0 * i, 800.0 - 0.00002 * (400.0 * i) * (400.0 * i)});
    const Statistics s = statisticsOf(inputOf(FitType::Polynomial, 8, points));
    EXPECT_TRUE(s.illConditioned);
    EXPECT_NEAR(s.conditionNumber.value(), 5.84286e6, 0.00001e6);
    EXPECT_EQ(s.coefficientDigits, s.dataSensitivityDigits); // the former name, the same figure
    EXPECT_LT(s.dataSensitivityDigits.value(), 1.0);
    std::string text;
    for (const std::string& line : statisticsLines(s)) text += line + "\n";
    EXPECT_NE(text.find("coefficienti mal condizionati"), std::string::npos) << text;
    EXPECT_NE(text.find("sedicesima cifra significativa"), std::string::npos) << text;
    EXPECT_NE(text.find("in doppia precisione ne conserva"), std::string::npos) << text;
}

TEST(SignificantText, FixedPointWhereItReadsExponentBeyondNeverANumberThatIsNot)
{
    EXPECT_EQ(significant(0.000012345678, 4), "0.00001235");
    EXPECT_EQ(significant(123456.0, 3), "123456"); // whole digits are never dropped
    EXPECT_EQ(significant(-2.5, 10), "-2.5");
    // Beyond five zeros after the point or fifteen digits before it, neither
    // 0 nor a 70-digit figure: the exponent form.
    EXPECT_EQ(significant(-1.7763568394002505e-14, 6), "-1.77636e-14");
    EXPECT_EQ(significant(7.619047619e-164, 10), "7.619047619e-164");
    EXPECT_EQ(significant(1e300, 6), "1e+300");
    EXPECT_EQ(significant(std::nan(""), 10), "non calcolabile");
    EXPECT_EQ(significant(HUGE_VAL, 10), "non calcolabile");
}

} // namespace

// Column weights are scaled to mean 1 before s and AICc (numpy: weighted
// lstsq, s² = Σ w̄ r² / (n - p), w̄ = w / mean(w)): the same figures whatever
// the weights' unit. With a through point the adjusted R² is the formula its
// label gives, with n - p + vincoli.
TEST(FitStatistics, ColumnWeightsOfMeanOneAndAdjustedRSquaredAsLabelled)
{
    const std::vector<double> q = {0, 600, 1200, 1800, 2400, 3000, 3600, 4200, 4800, 5400, 6000};
    const std::vector<double> head = {42.12,  40.754, 39.556, 36.866, 33.324000000000005, 29.669999999999998,
                                      24.413999999999998, 18.956, 12.085999999999999, 5.144, -2.89};
    std::vector<Point> points;
    for (std::size_t i = 0; i < q.size(); ++i) points.push_back({q[i], head[i]});
    CalculationInput in = inputOf(FitType::Polynomial, 3, points);
    in.options.weighting = Weighting::Column;
    for (double scale : {1.0, 1e10, 1e-10}) {
        in.options.pointWeights.clear();
        for (double w : {1, 2, 1, 4, 1, 1, 3, 1, 2, 1, 5}) in.options.pointWeights.push_back(w * scale);
        const Statistics s = statisticsOf(in);
        expectClose(s.standardError.value(), 0.19144435743684624, "s");
        expectClose(s.aicc.value(), -19.341313995116913, "AICc");
    }

    CalculationInput through = inputOf(FitType::Polynomial, 3, points);
    through.options.throughPoints = {{0.0, 42.0}};
    const Statistics s = statisticsOf(through);
    const StatisticsText text = statisticsText(s);
    const auto adjusted = std::find_if(text.figures.begin(), text.figures.end(),
                                       [](const StatisticsFigure& f) { return f.label.rfind("R² corretto", 0) == 0; });
    ASSERT_NE(adjusted, text.figures.end());
    EXPECT_EQ(adjusted->label, "R² corretto = 1 - (1 - R²)(n - 1)/(n - p + vincoli)");
    expectClose(s.adjustedRSquared.value(), 1.0 - (1.0 - s.rSquared.value()) * (11 - 1) / (11 - 4 + 1), "adjusted R²");
}
