#include "fit/equationstatistics.h"

#include "fit/nonlinearfit.h"
#include "fit/residualruns.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

long double longAt(const std::vector<double>& high, const std::vector<double>& low, std::size_t i)
{
    return static_cast<long double>(high.empty() ? 0.0 : high[i]) + (low.empty() ? 0.0L : static_cast<long double>(low[i]));
}

} // namespace

std::vector<double> fittedValues(const EquationFit& fit)
{
    const EquationPoints& p = fit.points;
    std::vector<long double> scratch;
    const std::vector<long double> parameters(fit.parameters.begin(), fit.parameters.end());
    std::vector<double> values;
    for (std::size_t i = 0; i < static_cast<std::size_t>(p.count()); ++i) {
        const long double v = fit.equation.expression.value<long double>(parameters, longAt(p.x, p.xLow, i),
                                                                          longAt(p.y, p.yLow, i), scratch);
        values.push_back(std::isfinite(v) && std::fabs(v) <= std::numeric_limits<double>::max()
                             ? static_cast<double>(v)
                             : std::numeric_limits<double>::quiet_NaN());
    }
    return values;
}

const char* startValuesName(const EquationFit& fit) { return fit.startKind == StartKind::Found ? "found" : "given"; }

EquationFigures equationFigures(const EquationFit& fit)
{
    EquationFigures figures;
    figures.text = fit.equation.text;
    figures.twoVariables = fit.equation.twoVariables;
    figures.linear = fit.linear;
    figures.startValues = startValuesName(fit);
    figures.continued = fit.startKind == StartKind::Continued;
    figures.possiblyLocal = fit.possiblyLocal;
    figures.localFits = fit.localFits;
    figures.givenStarts = fit.givenStarts;
    figures.iterations = fit.iterations;
    figures.converged = fit.converged;
    figures.fixedCount = static_cast<int>(std::count(fit.fixed.begin(), fit.fixed.end(), true));
    return figures;
}

Statistics equationStatistics(const EquationFit& fit)
{
    Statistics s;
    s.kind = FitType::Scatter;
    const EquationFigures figures = equationFigures(fit);
    s.equation = figures;
    s.fitted = true;
    s.n = fit.points.count();
    s.p = static_cast<int>(fit.parameters.size());
    s.equalities = figures.fixedCount;
    s.dof = s.n - s.p + s.equalities;
    s.weighted = !fit.weights.empty();

    const std::vector<double> fitted = fittedValues(fit);
    const std::vector<double>& observed = fit.points.value;
    double mean = 0.0;
    for (double v : observed) mean += v;
    mean /= std::max(s.n, 1);
    double sst = 0.0, sumSquaredPercent = 0.0, largestObserved = 0.0, sse = 0.0;
    int withPercent = 0;
    std::vector<double> residuals;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        const double residual = observed[i] - fitted[i];
        residuals.push_back(residual);
        sse += residual * residual;
        sst += (observed[i] - mean) * (observed[i] - mean);
        s.largestAbsoluteError = std::max(s.largestAbsoluteError, std::fabs(residual));
        largestObserved = std::max(largestObserved, std::fabs(observed[i]));
        if (observed[i] != 0.0) {
            const double percent = std::fabs(residual / observed[i] * 100.0);
            s.largestPercentError = std::max(s.largestPercentError.value_or(0.0), percent);
            sumSquaredPercent += percent * percent;
            ++withPercent;
        }
    }
    // The solver's sum of squares is summed in quad from the residuals of
    // the data as written: without weights it is SSE itself.
    s.sse = s.weighted ? sse : fit.weightedSse;
    if (s.weighted) s.weightedSse = fit.weightedSse;
    const double leastSum = fit.weightedSse;
    if (withPercent > 0) s.rmsPercentError = std::sqrt(sumSquaredPercent / withPercent);
    const double noise = NegligibleContribution * largestObserved;
    s.exactFit = s.dof > 0 && s.largestAbsoluteError <= noise;
    if (!fit.equation.twoVariables && s.dof > 0 && !s.exactFit) {
        s.residualRuns = residualRuns(fit.points.x, residuals, noise);
        s.residualPattern = s.residualRuns && s.residualRuns->probability <= ResidualPatternLevel;
    }
    if (s.dof > 0) s.standardError = std::sqrt(leastSum / s.dof);
    if (sst > 0.0) {
        s.rSquared = 1.0 - s.sse / sst;
        if (s.dof > 0) s.adjustedRSquared = 1.0 - (1.0 - *s.rSquared) * (s.n - 1) / s.dof;
    }
    const int k = s.p - s.equalities + 1;
    if (!s.exactFit && leastSum > 0.0 && s.n - k - 1 > 0)
        s.aicc = s.n * std::log(leastSum / s.n) + 2.0 * k + 2.0 * k * (k + 1) / (s.n - k - 1);
    if (s.dof > 0) s.tValue = studentQuantile975(s.dof);

    // The Jacobian of the parameters that moved (neither fixed nor at a bound).
    NonlinearProblem problem = problemOf(fit);
    for (std::size_t j = 0; j < fit.parameters.size(); ++j)
        if (j < fit.atBound.size() && fit.atBound[j]) problem.fixed[j] = true;
    const JacobianFigures jacobian = jacobianFigures(problem, fit.parameters);
    if (std::isfinite(jacobian.conditionNumber)) s.conditionNumber = jacobian.conditionNumber;
    std::size_t moving = 0;
    for (std::size_t j = 0; j < fit.parameters.size(); ++j) {
        CoefficientStatistics c;
        c.name = fit.equation.parameters[j];
        c.value = fit.parameters[j];
        c.fixed = fit.fixed[j];
        c.atBound = !c.fixed && j < fit.atBound.size() && fit.atBound[j];
        if (!problem.fixed[j]) {
            if (s.dof > 0 && moving < jacobian.varianceFactors.size()) {
                const double error = std::sqrt(leastSum / s.dof * jacobian.varianceFactors[moving]);
                c.standardError = error;
                c.lower = c.value - *s.tValue * error;
                c.upper = c.value + *s.tValue * error;
            }
            ++moving;
        }
        s.coefficients.push_back(c);
    }
    return s;
}

} // namespace calvero
