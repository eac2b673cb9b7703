// Shape checks and the comparison of equations. The places where a curve
// turns come from numpy (numpy.polyfit, then numpy.roots of its derivative);
// the noisy cubic from numpy's default_rng(1), 0.3 % normal noise on
// y = 1 + 2x - 0.5x² + 0.1x³, x = linspace(1, 10, 12), rounded to 4 decimals.
#include "fit/comparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace calvero;

namespace {

CalculationInput inputOf(FitType kind, int degree, const std::vector<double>& x, const std::vector<double>& y)
{
    CalculationInput in;
    in.kind = kind;
    in.degree = degree;
    for (std::size_t i = 0; i < x.size(); ++i) {
        ++in.pointCount;
        in.points.x[in.pointCount] = x[i];
        in.points.y[in.pointCount] = y[i];
    }
    return in;
}

Calculation calculated(const CalculationInput& in) { return *(calculate(in)); }

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// A fan's catalogue: pressure against airflow, rising to a peak at 1200 m³/h.
const std::vector<double> fanQ = {0, 500, 1200, 2000, 2600, 3100, 3500, 3800, 4000, 4150};
const std::vector<double> fanP = {620, 640, 650, 630, 590, 530, 460, 380, 310, 250};

const std::vector<double> cubicX = {1.0, 1.8181818181818181, 2.6363636363636362, 3.4545454545454546,
                                    4.2727272727272725, 5.0909090909090908, 5.9090909090909092, 6.7272727272727275,
                                    7.5454545454545459, 8.3636363636363633, 9.1818181818181817, 10.0};
const std::vector<double> cubicY = {2.6027,  3.5934,  4.6345,  6.0411,  8.2401,  11.4327,
                                    15.9667, 22.3104, 30.6166, 41.2925, 54.6234, 71.1164};

TEST(ShapeChecks, DegreeEightFanCurveNamesWhereItWiggles)
{
    // numpy: the degree-8 curve turns at x = 108.19 (a dip to 613.87 where the
    // points rise from 620 to 640) and at 906.76 (the peak the points make at 1200).
    const ShapeChecks s = shapeChecks(calculated(inputOf(FitType::Polynomial, 8, fanQ, fanP)));
    ASSERT_EQ(s.turns.size(), 1u);
    EXPECT_NEAR(s.turns[0], 108.19, 5.0); // the top of a parabola through the samples around it
    ASSERT_FALSE(s.outOfBand.empty());
    EXPECT_NEAR(s.outOfBand[0], 108.19, 500.0 / 16);
    EXPECT_TRUE(s.fewPoints); // 10 points for 9 coefficients
    EXPECT_NE(joined(shapeLines(s)).find("oscilla tra i punti"), std::string::npos);
}

TEST(ShapeChecks, CurvesThatFollowThePointsHaveNoFinding)
{
    const ShapeChecks cubic = shapeChecks(calculated(inputOf(FitType::Polynomial, 3, cubicX, cubicY)));
    EXPECT_FALSE(cubic.any()) << joined(shapeLines(cubic));
    const ShapeChecks power = shapeChecks(calculated(inputOf(FitType::Power, 1, cubicX, cubicY)));
    EXPECT_TRUE(power.turns.empty());
    EXPECT_TRUE(power.outOfBand.empty());
}

TEST(ShapeChecks, PoleBetweenPointsIsFlaggedWhereTheDenominatorIsZero)
{
    struct Case {
        std::vector<double> x, y;
        double pole;
    };
    std::vector<double> fanX, fanY; // 1/y = 1 - x/5120 exactly, no point at the pole
    for (int k = 1; k <= 9; ++k) fanX.push_back(1000.0 * k), fanY.push_back(1.0 / (1.0 - 1000.0 * k / 5120.0));
    for (const Case& c : {Case{{1, 2, 3, 4, 5}, {-0.667, -2.0, 2.0, 0.667, 0.4}, 2.49988753}, // numpy.roots(polyfit(x, 1/y, 1))
                          Case{fanX, fanY, 5120.0}}) {
        const ShapeChecks s = shapeChecks(calculated(inputOf(FitType::RationalPolynomial, 1, c.x, c.y)));
        ASSERT_EQ(s.notEvaluable.size(), 1u) << c.pole;
        EXPECT_NEAR(s.notEvaluable[0], c.pole, 1e-6 * c.pole);
        const std::vector<std::string> flags = shapeFlags(s);
        EXPECT_NE(std::find(flags.begin(), flags.end(), "polo"), flags.end()) << c.pole;
    }
}

TEST(Comparison, NoisyCubicPutsDegreeThreeFirstAndTheRestByAICc)
{
    // numpy.polyfit on these points: largest error 0.471 % with degree 3,
    // 104 % with degree 2: degree 3 is the simplest within 1 %.
    const std::vector<ComparisonRow> rows =
        compareEquations(inputOf(FitType::Polynomial, 2, cubicX, cubicY), DefaultTolerancePercent);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].kind, FitType::Polynomial);
    EXPECT_EQ(rows[0].degree, 3);
    EXPECT_TRUE(rows[0].recommended);
    EXPECT_NEAR(*rows[0].statistics->largestPercentError, 0.471, 0.0005);
    double previous = -HUGE_VAL;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (!rows[i].fitted() || !rows[i].statistics->aicc) break;
        EXPECT_GE(*rows[i].statistics->aicc, previous);
        previous = *rows[i].statistics->aicc;
    }
    const std::string text = joined(comparisonLines(rows, DefaultTolerancePercent));
    EXPECT_NE(text.find("<- consigliata"), std::string::npos) << text;
    EXPECT_NE(text.find("mancano le temperature"), std::string::npos) << text;
}

TEST(Comparison, StraightLineThroughCurvedWaterDensityIsFlaggedNotRecommended)
{
    // Density of water in kg/m³ at 0, 10, ... 100 °C, from the Engineering
    // ToolBox table "Water - Density, Specific Weight" (SI units). numpy.polyfit:
    // the straight line's largest error is 0.6065 % with its residuals in x
    // order - - + + + + + + + - -: 3 runs of 7 + and 4 -, which 11 of the 330
    // arrangements reach (3.3 %, below 5 %); the quadratic's 0.0686 % with
    // - + + + + - - - - - +, 4 runs of 5 and 6, 51 of 462 (11 %).
    const std::vector<double> t = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    const std::vector<double> rho = {999.8, 999.7, 998.2, 995.7, 992.2, 988.1, 983.2, 977.8, 971.8, 965.3, 958.4};
    const std::vector<ComparisonRow> rows = compareEquations(inputOf(FitType::Polynomial, 1, t, rho), 1.0);
    auto row = [&rows](FitType kind, int degree) {
        return *std::find_if(rows.begin(), rows.end(),
                             [&](const ComparisonRow& r) { return r.kind == kind && r.degree == degree; });
    };
    const ComparisonRow line = row(FitType::Polynomial, 1);
    EXPECT_NEAR(*line.statistics->largestPercentError, 0.6065, 0.0001);
    ASSERT_TRUE(line.statistics->residualRuns);
    EXPECT_EQ(line.statistics->residualRuns->runs, 3);
    EXPECT_NEAR(line.statistics->residualRuns->probability, 11.0 / 330.0, 1e-12);
    EXPECT_FALSE(line.recommended);
    const std::vector<std::string> flags = rowFlags(line);
    EXPECT_NE(std::find(flags.begin(), flags.end(), "residui non casuali"), flags.end());

    const ComparisonRow quadratic = row(FitType::Polynomial, 2);
    EXPECT_NEAR(*quadratic.statistics->largestPercentError, 0.0686, 0.0001);
    EXPECT_NEAR(quadratic.statistics->residualRuns->probability, 51.0 / 462.0, 1e-12);
    EXPECT_FALSE(quadratic.statistics->residualPattern);
    ASSERT_TRUE(rows[0].recommended);
    EXPECT_EQ(rows[0].coefficientCount, 3); // a three-coefficient equation, not a straight one
    EXPECT_TRUE(rowFlags(rows[0]).empty());
    EXPECT_NE(comparisonRule(1.0).find("residui senza andamento"), std::string::npos);
}

TEST(Comparison, ExactFitsHaveNoAiccAndComeFirstByTheirOtherFigures)
{
    // y = 5 everywhere: the power, exponential and saturation curves pass
    // through the points to rounding (SSE about 1e-29), the polynomials exactly.
    const std::vector<ComparisonRow> rows =
        compareEquations(inputOf(FitType::Polynomial, 1, {1, 2, 3, 4, 5, 6}, {5, 5, 5, 5, 5, 5}), 1.0);
    int exact = 0;
    for (const ComparisonRow& row : rows) {
        if (!row.fitted() || row.statistics->dof == 0) continue;
        EXPECT_TRUE(row.statistics->exactFit) << kindLabel(row.kind) << " " << row.degree;
        EXPECT_FALSE(row.statistics->aicc) << kindLabel(row.kind) << " " << row.degree;
        ++exact;
    }
    EXPECT_EQ(exact, 11);
    // Simplest first, then the smaller largest error: the straight line, exactly 0.
    EXPECT_EQ(rows[0].kind, FitType::Polynomial);
    EXPECT_EQ(rows[0].degree, 1);
    for (std::size_t i = 1; i + 1 < rows.size() && rows[i + 1].fitted() && rows[i + 1].statistics->exactFit; ++i)
        EXPECT_LE(rows[i].coefficientCount, rows[i + 1].coefficientCount);
    const std::string text = joined(comparisonLines(rows, 1.0));
    EXPECT_NE(text.find("curva esatta"), std::string::npos) << text;
}

TEST(Comparison, NothingWithinTheToleranceMarksTheFirstRowAsBestByAicc)
{
    const std::vector<ComparisonRow> rows =
        compareEquations(inputOf(FitType::Polynomial, 2, cubicX, cubicY), 0.0);
    EXPECT_EQ(rowMark(rows, 0), "migliore per AICc");
    EXPECT_EQ(rowMark(rows, 1), "");
    const std::vector<std::string> lines = comparisonLines(rows, 0.0, "0,0");
    EXPECT_NE(lines[1].find("non oltre 0,0 %"), std::string::npos) << lines[1]; // as the user wrote it
    EXPECT_NE(lines[2].find("tutte ordinate per AICc"), std::string::npos) << lines[2];
    EXPECT_NE(joined(lines).find("<- migliore per AICc\n"), std::string::npos);
    EXPECT_EQ(joined(lines).find("consigliata"), std::string::npos);
    EXPECT_NE(comparisonRule(1e300).find("non oltre 1e+300 %"), std::string::npos);
}

TEST(Comparison, BadInputGivesItalianLinesNeverANumberThatIsNot)
{
    struct BadCase {
        const char* what;
        CalculationInput input;
        const char* expected;
    };
    CalculationInput negative = inputOf(FitType::Polynomial, 2, {1, 2, 3, 4}, {-1, 2, 5, 3});
    CalculationInput none = inputOf(FitType::Polynomial, 2, {}, {});
    const BadCase cases[] = {
        {"due punti", inputOf(FitType::Polynomial, 2, {1, 2}, {3, 5}), "nessuna equazione ha più punti"},
        {"y negative", negative, "non applicabile: servono x e y tutti maggiori di 0"},
        {"nessun punto", none, "numero punti=  <2!"},
    };
    for (const BadCase& c : cases) {
        const std::vector<ComparisonRow> rows = compareEquations(c.input, 1.0);
        const std::string text = joined(comparisonLines(rows, 1.0));
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.what << "\n" << text;
        EXPECT_EQ(text.find("nan"), std::string::npos) << c.what;
        EXPECT_EQ(text.find("inf"), std::string::npos) << c.what;
        // The kinds that do not apply close the table.
        bool refusedSeen = false;
        for (const ComparisonRow& row : rows) {
            if (!row.fitted()) refusedSeen = true;
            else EXPECT_FALSE(refusedSeen) << c.what;
        }
    }
}

TEST(Comparison, SurfacePointsCompareTheSurfaceDegrees)
{
    CalculationInput in;
    in.kind = FitType::SurfaceXY;
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) {
            ++in.pointCount;
            in.points.x[in.pointCount] = i;
            in.points.y[in.pointCount] = j;
            in.points.z[in.pointCount] = 3 + i * j + 0.5 * i * i;
        }
    const std::vector<ComparisonRow> rows = compareEquations(in, 1.0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].degree, 2); // exact at degree 2: the simplest with no error
    EXPECT_TRUE(rows[0].recommended);
}

} // namespace
