#include "fit/equationfit.h"

#include "common/numtext.h"
#include "fit/calculation.h"
#include "fit/linearform.h"
#include "fit/nonlinearfit.h"
#include "fit/quad.h"
#include "fit/startvalues.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

using LongMatrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;
using LongVector = Eigen::Matrix<long double, Eigen::Dynamic, 1>;

constexpr double Infinity = std::numeric_limits<double>::infinity();

Refusal settingRefusal(std::string sentence) { return Refusal{RefusalCode::InvalidParameterSetting, {std::move(sentence)}}; }

std::optional<double> settingOf(const std::vector<std::optional<double>>& values, std::size_t k)
{
    return k < values.size() ? values[k] : std::nullopt;
}

std::string numberText(double value) { return shortestText(value); }

// The weights of the squared residuals, or why they cannot be had.
Checked<std::vector<double>> weightsOf(const EquationInput& in)
{
    std::vector<double> weights;
    const int n = in.points.count();
    const std::string value = in.equation.response();
    if (in.weighting == Weighting::Relative) {
        for (int i = 0; i < n; ++i) {
            const double v = in.points.value[static_cast<std::size_t>(i)];
            if (v == 0.0)
                return failed<std::vector<double>>(Refusal{RefusalCode::ZeroValue, {"relative", std::to_string(i + 1), value}});
            weights.push_back(1.0 / (v * v));
        }
    } else if (in.weighting == Weighting::Column) {
        if (static_cast<int>(in.pointWeights.size()) != n) return failed<std::vector<double>>(refusalOf(RefusalCode::MissingWeights));
        for (int i = 0; i < n; ++i) {
            const double w = in.pointWeights[static_cast<std::size_t>(i)];
            if (!(w > 0.0) || !std::isfinite(w))
                return failed<std::vector<double>>(
                    Refusal{RefusalCode::NonPositiveWeight, {std::to_string(i + 1), numberText(w)}});
        }
        weights = in.pointWeights;
    }
    return succeeded(std::move(weights));
}

// What the points and the settings cannot give a fit.
std::optional<Refusal> inputRefusal(const EquationInput& in)
{
    const EquationPoints& p = in.points;
    const int n = p.count();
    const bool two = in.equation.twoVariables;
    if (static_cast<int>(p.x.size()) != n || (two && static_cast<int>(p.y.size()) != n))
        return Refusal{RefusalCode::BadArguments, {"i punti non hanno tutti le loro coordinate"}};
    if (n > MaxEnginePoints) return Refusal{RefusalCode::TooManyPoints, {std::to_string(MaxEnginePoints)}};
    for (const std::vector<double>* values : {&p.x, &p.y, &p.value, &p.xLow, &p.yLow, &p.valueLow})
        for (double v : *values)
            if (!std::isfinite(v)) return Refusal{RefusalCode::BadArguments, {"un valore dei punti non è un numero finito"}};
    const auto& names = in.equation.parameters;
    int free = 0;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto fixed = settingOf(in.settings.fixed, k);
        const auto start = settingOf(in.settings.start, k);
        const auto lower = settingOf(in.settings.lower, k), upper = settingOf(in.settings.upper, k);
        for (const auto& v : {fixed, start, lower, upper})
            if (v && !std::isfinite(*v)) return settingRefusal("valore non valido per il parametro " + names[k]);
        if (fixed) continue;
        ++free;
        if (lower && upper && *lower > *upper)
            return settingRefusal("limiti del parametro " + names[k] + " rovesciati: " + numberText(*lower) + " è più di " +
                                  numberText(*upper));
        if (start && ((lower && *start < *lower) || (upper && *start > *upper)))
            return settingRefusal("il valore iniziale di " + names[k] + " (" + numberText(*start) +
                                  ") è fuori dai suoi limiti");
    }
    if (free == 0) return settingRefusal("tutti i parametri sono fissati: non resta nulla da calcolare");
    if (n < 1 || n < free) return Refusal{RefusalCode::TooFewPointsForParameters, {std::to_string(free)}};
    return std::nullopt;
}

long double longAt(const std::vector<double>& high, const std::vector<double>& low, std::size_t i)
{
    return static_cast<long double>(high.empty() ? 0.0 : high[i]) + (low.empty() ? 0.0L : static_cast<long double>(low[i]));
}

// The equation linear in its free parameters: their exact least squares.
// Columns of powers of x (and y) alone, unweighted, go to the engine's
// polynomial solver; any other columns to a Householder QR in long double
// refined once against residuals summed in quad.
Checked<std::vector<double>> linearSolution(const EquationFit& fit, const LinearForm& form,
                                            const std::vector<int>& free)
{
    const EquationPoints& p = fit.points;
    const std::size_t n = static_cast<std::size_t>(p.count());
    std::vector<double> all = fit.parameters;

    std::vector<Monomial> terms;
    std::vector<double> factors;
    bool monomials = !form.offset && fit.weights.empty() && p.xLow.empty() && p.yLow.empty() && p.valueLow.empty();
    for (int k : free) {
        const auto& column = form.columns[static_cast<std::size_t>(k)];
        const auto m = column ? monomialOf(*column) : std::nullopt;
        if (!m) {
            monomials = false;
            break;
        }
        for (const Monomial& t : terms)
            if (t.xPower == m->term.xPower && t.yPower == m->term.yPower) monomials = false;
        terms.push_back(m->term);
        factors.push_back(m->factor);
    }
    if (monomials) {
        try {
            const std::vector<double> c = fitLeastSquares(p.x, fit.equation.twoVariables ? std::span<const double>(p.y) : std::span<const double>(), p.value, terms);
            for (std::size_t k = 0; k < free.size(); ++k) all[static_cast<std::size_t>(free[k])] = c[k] / factors[k];
            return succeeded(std::move(all));
        } catch (const std::exception&) {
            // a singular design: the general road below names the parameter
        }
    }

    const auto m = static_cast<Eigen::Index>(free.size());
    LongMatrix g(static_cast<Eigen::Index>(n), m);
    LongVector t(static_cast<Eigen::Index>(n));
    const std::vector<long double> parameters(all.begin(), all.end());
    std::vector<long double> scratch;
    for (std::size_t i = 0; i < n; ++i) {
        const long double x = longAt(p.x, p.xLow, i), y = longAt(p.y, p.yLow, i);
        const long double root = fit.weights.empty() ? 1.0L : std::sqrt(static_cast<long double>(fit.weights[i]));
        long double target = longAt(p.value, p.valueLow, i);
        if (form.offset) target -= form.offset->value<long double>(parameters, x, y, scratch);
        t(static_cast<Eigen::Index>(i)) = root * target;
        for (Eigen::Index k = 0; k < m; ++k) {
            const auto& column = form.columns[static_cast<std::size_t>(free[static_cast<std::size_t>(k)])];
            g(static_cast<Eigen::Index>(i), k) = column ? root * column->value<long double>(parameters, x, y, scratch) : 0.0L;
        }
    }
    if (!t.allFinite() || !g.allFinite()) {
        for (std::size_t i = 0; i < n; ++i)
            if (!std::isfinite(t(static_cast<Eigen::Index>(i))) || !g.row(static_cast<Eigen::Index>(i)).allFinite())
                return failed<std::vector<double>>(Refusal{RefusalCode::NonFiniteValue, {std::to_string(i + 1), "fit"}});
    }
    LongVector lengths = g.colwise().norm().transpose();
    for (Eigen::Index k = 0; k < m; ++k)
        if (lengths(k) == 0)
            return failed<std::vector<double>>(Refusal{RefusalCode::SingularJacobian, {std::to_string(free[static_cast<std::size_t>(k)] + 1)}});
    const LongMatrix unit = g * lengths.cwiseInverse().asDiagonal();
    Eigen::ColPivHouseholderQR<LongMatrix> qr(unit);
    qr.setThreshold(1e-14L);
    if (qr.rank() < m)
        return failed<std::vector<double>>(Refusal{
            RefusalCode::SingularJacobian,
            {std::to_string(free[static_cast<std::size_t>(qr.colsPermutation().indices()(qr.rank()))] + 1)}});
    LongVector b = qr.solve(t);
    // One refinement against the residuals summed in quad.
    LongVector r(static_cast<Eigen::Index>(n));
    for (Eigen::Index i = 0; i < static_cast<Eigen::Index>(n); ++i) {
        Quad residual(t(i));
        for (Eigen::Index k = 0; k < m; ++k) residual -= Quad(unit(i, k)) * Quad(b(k));
        r(i) = static_cast<long double>(residual);
    }
    b += qr.solve(r);
    for (Eigen::Index k = 0; k < m; ++k)
        all[static_cast<std::size_t>(free[static_cast<std::size_t>(k)])] = static_cast<double>(b(k) / lengths(k));
    return succeeded(std::move(all));
}

std::vector<int> freeOf(const EquationFit& fit)
{
    std::vector<int> free;
    for (std::size_t k = 0; k < fit.fixed.size(); ++k)
        if (!fit.fixed[k]) free.push_back(static_cast<int>(k));
    return free;
}

// A refusal naming the parameter by its name, where its detail is a number.
Refusal named(Refusal refusal, const ParsedEquation& equation)
{
    if (refusal.code == RefusalCode::SingularJacobian && !refusal.details.empty()) {
        const int k = std::atoi(refusal.details[0].c_str()) - 1;
        if (k >= 0 && k < static_cast<int>(equation.parameters.size()))
            refusal.details[0] = equation.parameters[static_cast<std::size_t>(k)];
    }
    return refusal;
}

} // namespace

int EquationFit::freeCount() const { return static_cast<int>(std::count(fixed.begin(), fixed.end(), false)); }

NonlinearProblem problemOf(const EquationFit& fit)
{
    NonlinearProblem problem = plainProblem(fit.equation.expression, {fit.points.x, fit.points.xLow},
                                            {fit.points.y, fit.points.yLow}, {fit.points.value, fit.points.valueLow},
                                            fit.weights);
    problem.fixed = fit.fixed;
    problem.lower = fit.lower;
    problem.upper = fit.upper;
    return problem;
}

Checked<EquationFit> fitEquation(EquationInput in)
{
    if (auto refusal = inputRefusal(in)) return failed<EquationFit>(*refusal);
    Checked<std::vector<double>> weights = weightsOf(in);
    if (!weights) return failed<EquationFit>(weights.refusal);

    EquationFit fit;
    const std::size_t p = in.equation.parameters.size();
    fit.equation = std::move(in.equation);
    fit.points = std::move(in.points);
    fit.weighting = in.weighting;
    fit.weights = std::move(*weights);
    fit.fixed.assign(p, false);
    fit.atBound.assign(p, false);
    fit.parameters.assign(p, 1.0);
    std::vector<double> lower(p, -Infinity), upper(p, Infinity);
    std::vector<std::optional<double>> given(p);
    bool allGiven = true;
    for (std::size_t k = 0; k < p; ++k) {
        if (const auto v = settingOf(in.settings.fixed, k)) {
            fit.fixed[k] = true;
            fit.parameters[k] = *v;
            continue;
        }
        given[k] = settingOf(in.settings.start, k);
        if (given[k]) fit.parameters[k] = *given[k], ++fit.givenStarts;
        else allGiven = false;
        if (const auto v = settingOf(in.settings.lower, k)) lower[k] = *v, fit.bounded = true;
        if (const auto v = settingOf(in.settings.upper, k)) upper[k] = *v, fit.bounded = true;
    }
    fit.lower = lower;
    fit.upper = upper;
    const std::vector<int> free = freeOf(fit);
    NonlinearProblem problem = problemOf(fit);
    fit.startKind = allGiven ? StartKind::Given : StartKind::Found;

    // Linear in the free parameters, and nothing bounds them: exact.
    std::vector<bool> asLinear(p, false);
    for (int k : free) asLinear[static_cast<std::size_t>(k)] = true;
    if (!fit.bounded) {
        if (const auto form = linearForm(fit.equation.expression, asLinear)) {
            fit.start = fit.parameters;
            Checked<std::vector<double>> solved = linearSolution(fit, *form, free);
            if (!solved) return failed<EquationFit>(named(solved.refusal, fit.equation));
            fit.parameters = std::move(*solved);
            fit.linear = true;
            fit.weightedSse = sumOfSquares(problem, fit.parameters);
            if (const auto point = firstNonFinitePoint(problem, fit.parameters))
                return failed<EquationFit>(Refusal{RefusalCode::NonFiniteValue, {std::to_string(*point), "fit"}});
            return succeeded(std::move(fit));
        }
    }

    Checked<NonlinearSolution> solution = failed<NonlinearSolution>(refusalOf(RefusalCode::NotConverged));
    if (allGiven) {
        fit.start = fit.parameters;
        solution = solveNonlinear(problem, fit.parameters);
        // A given start from which the solver stalls goes on with the search.
        if (!solution && solution.refusal.code == RefusalCode::NotConverged) fit.startKind = StartKind::Continued;
        else if (!solution) return failed<EquationFit>(named(solution.refusal, fit.equation));
    }
    if (fit.startKind != StartKind::Given) {
        const StartSearch search = searchStart(problem, fit.parameters, given);
        fit.localFits = search.localFits;
        fit.possiblyLocal = search.possiblyLocal;
        if (!search.best) return failed<EquationFit>(named(search.best.refusal, fit.equation));
        solution = search.best;
        fit.start = search.start;
    }
    fit.parameters = solution->parameters;
    fit.atBound = solution->atBound;
    fit.iterations = solution->iterations;
    fit.weightedSse = solution->sse;
    return succeeded(std::move(fit));
}

std::optional<double> equationValue(const EquationFit& fit, double x, double y)
{
    std::vector<long double> scratch;
    const std::vector<long double> parameters(fit.parameters.begin(), fit.parameters.end());
    const long double v = fit.equation.expression.value<long double>(parameters, x, y, scratch);
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<double>::max()) return std::nullopt;
    return static_cast<double>(v);
}

bool anySet(const std::vector<std::optional<double>>& values)
{
    return std::any_of(values.begin(), values.end(), [](const std::optional<double>& v) { return v.has_value(); });
}

} // namespace calvero
