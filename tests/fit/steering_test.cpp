// What the fit options change beyond the coefficients (those are checked
// against independent solutions by steered_fits_check.py): the report's line,
// the statistics' count of conditions and their approximate figures, and the
// comparison that may fit with the same options.
#include "fit/calculation.h"
#include "fit/comparison.h"
#include "fit/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace calvero;

namespace {

CalculationInput pumpInput(FitOptions options, FitType kind = FitType::Polynomial, int degree = 3)
{
    CalculationInput in;
    const double q[] = {0, 600, 1200, 1800, 2400, 3000, 3600, 4200, 4800};
    const double e[] = {0.12, -0.31, 0.22, 0.05, -0.18, 0.27, -0.09, 0.14, -0.25};
    for (int i = 1; i <= 9; ++i) {
        in.points.x[i] = q[i - 1];
        in.points.y[i] = 42.0 - 0.9e-3 * q[i - 1] - 1.1e-6 * q[i - 1] * q[i - 1] + e[i - 1];
    }
    in.pointCount = 9;
    in.kind = kind;
    in.degree = degree;
    in.options = std::move(options);
    return in;
}

Calculation done(const CalculationInput& in)
{
    const Outcome outcome = calculate(in);
    if (!outcome) ADD_FAILURE() << outcome.failure();
    return outcome ? *outcome : Calculation{};
}

bool hasLine(const std::vector<std::string>& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

} // namespace

TEST(Steering, TheReportSaysTheOptionsOnItsSecondLineOnlyWhenOneIsOn)
{
    EXPECT_EQ(done(pumpInput({})).report[1], "EQUAZIONE POLINOMIALE DI GRADO:   3");
    FitOptions o;
    o.fixedTerms = {{2, 0.0}};
    o.minimax = true;
    EXPECT_EQ(done(pumpInput(o)).report[1], "vincoli: termine 2 = 0; minimo errore % massimo");
    // Many points are counted rather than listed, within the report's 130 characters.
    for (int i = 0; i < 9; ++i) o.throughPoints.push_back({1000.123456 + i, 40.98765432, 0.0});
    EXPECT_EQ(optionsLine(o, FitType::Polynomial), "vincoli: passa per 9 punti; 1 termine fisso; minimo errore % massimo");
}

TEST(Steering, StatisticsCountTheConditionsAndSayWhatIsApproximate)
{
    FitOptions through;
    through.throughPoints = {{0.0, 42.0, 0.0}};
    through.fixedTerms = {{2, -0.9e-3}};
    const Statistics s = fitStatistics(done(pumpInput(through)));
    EXPECT_EQ(s.dof, 9 - 4 + 2);
    EXPECT_TRUE(s.coefficients[1].fixed);
    EXPECT_FALSE(s.coefficients[1].standardError);
    EXPECT_TRUE(s.coefficients[2].standardError);
    EXPECT_TRUE(s.approximate.empty());
    const std::vector<std::string> lines = statisticsLines(s);
    EXPECT_TRUE(hasLine(lines, "punti n = 9, coefficienti p = 4, vincoli di uguaglianza (punti di passaggio e termini "
                               "fissi) = 2, gradi di libertà n - p + vincoli = 7"));
    EXPECT_TRUE(hasLine(lines, "  termine 2 (x) = -0.0009   fissato dal vincolo"));
    EXPECT_FALSE(hasLine(lines, "ATTENZIONE: il punto di passaggio"));

    // A through point beyond the points' x is said; one at their end (above) is not.
    FitOptions beyond;
    beyond.throughPoints = {{6000.0, 20.0, 0.0}};
    EXPECT_TRUE(hasLine(statisticsLines(fitStatistics(done(pumpInput(beyond)))),
                        "ATTENZIONE: il punto di passaggio (6000; 20) è fuori dal campo delle x dei punti (da 0 a "
                        "4800): la curva vi passa per estrapolazione"));

    FitOptions minimax;
    minimax.minimax = true;
    const Statistics m = fitStatistics(done(pumpInput(minimax)));
    EXPECT_FALSE(m.approximate.empty());
    EXPECT_TRUE(hasLine(statisticsLines(m), "ATTENZIONE: errori standard e intervalli approssimati"));

    // The pump's falling curve asked to be convex: held straight, and said so.
    FitOptions convex;
    convex.curvature = Curvature::Convex;
    EXPECT_EQ(fitStatistics(done(pumpInput(convex))).approximate,
              "la condizione di curva convessa tiene la curvatura al limite in qualche punto");

    FitOptions relative;
    relative.weighting = Weighting::Relative;
    const Statistics w = fitStatistics(done(pumpInput(relative)));
    ASSERT_TRUE(w.weighted && w.weightedSse && w.standardError);
    EXPECT_NEAR(*w.standardError, std::sqrt(*w.weightedSse / 5), 1e-15);
}

TEST(Steering, TheComparisonFitsWithTheOptionsOnlyWhenAsked)
{
    FitOptions o;
    o.throughPoints = {{0.0, 42.0, 0.0}};
    const std::vector<ComparisonRow> plain = compareEquations(pumpInput(o), 1.0);
    const std::vector<ComparisonRow> steered = compareEquations(pumpInput(o), 1.0, {}, true);
    auto row = [](const std::vector<ComparisonRow>& rows, FitType kind, int degree) {
        return *std::find_if(rows.begin(), rows.end(),
                             [&](const ComparisonRow& r) { return r.kind == kind && r.degree == degree; });
    };
    EXPECT_TRUE(row(plain, FitType::Exponential, 0).fitted());
    EXPECT_EQ(row(steered, FitType::Exponential, 0).refusal,
              "calcolo rifiutato: i punti di passaggio e i termini fissi valgono solo per POLINOMIO, POLINOMIO FRATTO e "
              "polinomio Z=F(x,y)");
    EXPECT_EQ(row(steered, FitType::Polynomial, 2).statistics->dof, 9 - 3 + 1);
    EXPECT_EQ(row(plain, FitType::Polynomial, 2).statistics->dof, 9 - 3);
}
