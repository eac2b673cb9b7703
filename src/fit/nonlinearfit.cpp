#include "fit/nonlinearfit.h"

#include "fit/ceressolve.h"
#include "fit/quad.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

using LongMatrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;
using LongVector = Eigen::Matrix<long double, Eigen::Dynamic, 1>;

constexpr double Infinity = std::numeric_limits<double>::infinity();

double at(std::span<const double> values, int i) { return values.empty() ? 0.0 : values[static_cast<std::size_t>(i)]; }

long double longValue(const PointCoordinate& c, int i)
{
    return static_cast<long double>(at(c.high, i)) + static_cast<long double>(at(c.low, i));
}

__float128 quadValue(const PointCoordinate& c, int i)
{
    return static_cast<__float128>(at(c.high, i)) + static_cast<__float128>(at(c.low, i));
}

double weightOf(const NonlinearProblem& p, int i) { return p.weights.empty() ? 1.0 : p.weights[static_cast<std::size_t>(i)]; }

std::vector<int> freeParameters(const NonlinearProblem& p)
{
    std::vector<int> free;
    for (int k = 0; k < p.model->parameterCount(); ++k)
        if (p.fixed.empty() || !p.fixed[static_cast<std::size_t>(k)]) free.push_back(k);
    return free;
}

// The weighted residuals and their Jacobian over the free parameters, in
// double, for Ceres. A value that is not finite fails the evaluation: the
// trust region then shrinks and tries a shorter step.
class Residuals final : public ceres::CostFunction {
public:
    Residuals(const NonlinearProblem& problem, std::vector<int> free, std::vector<double> all)
        : problem_(problem), free_(std::move(free)), all_(std::move(all)), gradient_(all_.size())
    {
        set_num_residuals(problem.pointCount());
        mutable_parameter_block_sizes()->push_back(static_cast<int>(free_.size()));
        for (int i = 0; i < problem.pointCount(); ++i) {
            roots_.push_back(std::sqrt(weightOf(problem, i)));
            problem.model->valuesWithoutParameters(at(problem.x.high, i), at(problem.y.high, i), known_.emplace_back());
        }
    }

    bool Evaluate(double const* const* parameters, double* residuals, double** jacobians) const override
    {
        const std::size_t m = free_.size();
        for (std::size_t k = 0; k < m; ++k) all_[static_cast<std::size_t>(free_[k])] = parameters[0][k];
        const bool withJacobian = jacobians != nullptr && jacobians[0] != nullptr;
        const Expression& model = *problem_.model;
        for (int i = 0; i < problem_.pointCount(); ++i) {
            const double x = at(problem_.x.high, i), y = at(problem_.y.high, i);
            const std::span<const double> known = known_[static_cast<std::size_t>(i)];
            const double f = withJacobian ? model.valueAndGradient<double>(all_, x, y, gradient_, scratch_, adjoints_, known)
                                          : model.value<double>(all_, x, y, scratch_, known);
            const double root = roots_[static_cast<std::size_t>(i)];
            const double r = root * (at(problem_.value.high, i) - f);
            if (!std::isfinite(r)) return false;
            residuals[i] = r;
            if (!withJacobian) continue;
            for (std::size_t k = 0; k < m; ++k) {
                const double d = -root * gradient_[static_cast<std::size_t>(free_[k])];
                if (!std::isfinite(d)) return false;
                jacobians[0][static_cast<std::size_t>(i) * m + k] = d;
            }
        }
        return true;
    }

private:
    const NonlinearProblem& problem_;
    std::vector<int> free_;
    std::vector<double> roots_;
    std::vector<std::vector<double>> known_; // per point, the steps no parameter reaches
    // Ceres evaluates on one thread: the working space is kept between calls.
    mutable std::vector<double> all_, gradient_, scratch_, adjoints_;
};

struct TrustRegionResult {
    std::vector<double> parameters;
    int iterations = 0;
};

TrustRegionResult trustRegion(const NonlinearProblem& problem, const std::vector<int>& free,
                              std::span<const double> start, int maxIterations)
{
    std::vector<double> all(start.begin(), start.end());
    std::vector<double> block;
    for (int k : free) block.push_back(all[static_cast<std::size_t>(k)]);
    Residuals cost(problem, free, all);
    ceres::Problem::Options problemOptions;
    problemOptions.cost_function_ownership = ceres::DO_NOT_TAKE_OWNERSHIP;
    ceres::Problem ceresProblem(problemOptions);
    ceresProblem.AddResidualBlock(&cost, nullptr, block.data());
    for (std::size_t k = 0; k < free.size(); ++k) {
        const auto index = static_cast<std::size_t>(free[k]);
        if (!problem.lower.empty() && std::isfinite(problem.lower[index]))
            ceresProblem.SetParameterLowerBound(block.data(), static_cast<int>(k), problem.lower[index]);
        if (!problem.upper.empty() && std::isfinite(problem.upper[index]))
            ceresProblem.SetParameterUpperBound(block.data(), static_cast<int>(k), problem.upper[index]);
    }
    ceres::Solver::Options options = quietSolverOptions(maxIterations);
    options.minimizer_type = ceres::TRUST_REGION;
    options.trust_region_strategy_type = ceres::LEVENBERG_MARQUARDT;
    // Stop on the relative change of the sum of squares or of the
    // parameters; the refinement takes the last digits.
    options.function_tolerance = 1e-14;
    options.parameter_tolerance = 1e-12;
    options.gradient_tolerance = 0.0;
    options.max_num_consecutive_invalid_steps = 50;
    ceres::Solver::Summary summary;
    quietCeresLog();
    ceres::Solve(options, &ceresProblem, &summary);
    for (std::size_t k = 0; k < free.size(); ++k) all[static_cast<std::size_t>(free[k])] = block[k];
    return {all, static_cast<int>(std::max<std::size_t>(summary.iterations.size(), 1) - 1)};
}

// The refinement's arithmetic: the points in long double and, where asked
// for, in quad; residuals, their sum of squares in quad, and the Jacobian.
class Refinement {
public:
    Refinement(const NonlinearProblem& problem, std::vector<int> free) : p_(problem), free_(std::move(free))
    {
        const int n = problem.pointCount();
        for (int i = 0; i < n; ++i) {
            x_.push_back(longValue(problem.x, i));
            y_.push_back(longValue(problem.y, i));
            v_.push_back(longValue(problem.value, i));
            roots_.push_back(std::sqrt(static_cast<long double>(weightOf(problem, i))));
            problem.model->valuesWithoutParameters(x_.back(), y_.back(), known_.emplace_back());
        }
    }

    // Residuals this small against the values are lost in long double's own
    // rounding of the equation: they are taken in quad.
    void chooseQuadFor(const std::vector<long double>& parameters)
    {
        long double rr = 0, ff = 0;
        for (std::size_t i = 0; i < v_.size(); ++i) {
            const long double f = p_.model->value<long double>(parameters, x_[i], y_[i], scratch_, known_[i]);
            rr += (v_[i] - f) * (v_[i] - f);
            ff += f * f;
        }
        quad_ = std::isfinite(static_cast<double>(rr)) && rr < 1e-18L * ff;
    }

    // The weighted residuals and their sum of squares; false where one is not finite.
    bool residuals(const std::vector<long double>& parameters, LongVector& r, Quad& sse)
    {
        const std::size_t n = v_.size();
        r.resize(static_cast<Eigen::Index>(n));
        sse = Quad(0.0);
        std::vector<__float128> quadParameters;
        if (quad_) quadParameters.assign(parameters.begin(), parameters.end());
        for (std::size_t i = 0; i < n; ++i) {
            long double residual;
            Quad q;
            if (quad_) {
                const auto at = static_cast<int>(i);
                const __float128 f = p_.model->value<__float128>(quadParameters, quadValue(p_.x, at),
                                                                 quadValue(p_.y, at), quadScratch_);
                const __float128 rq = static_cast<__float128>(roots_[i]) * (quadValue(p_.value, at) - f);
                residual = static_cast<long double>(rq);
                q = Quad::fromFloat128(rq);
            } else {
                residual = roots_[i] * (v_[i] - p_.model->value<long double>(parameters, x_[i], y_[i], scratch_, known_[i]));
                q = Quad(residual);
            }
            if (!std::isfinite(static_cast<double>(residual)) && residual != 0) return false;
            if (!std::isfinite(residual)) return false;
            r(static_cast<Eigen::Index>(i)) = residual;
            sse += q * q;
        }
        return true;
    }

    // The Jacobian of the weighted residuals over the columns asked for.
    bool jacobian(const std::vector<long double>& parameters, const std::vector<int>& columns, LongMatrix& j)
    {
        const std::size_t n = v_.size();
        j.resize(static_cast<Eigen::Index>(n), static_cast<Eigen::Index>(columns.size()));
        gradient_.resize(parameters.size());
        for (std::size_t i = 0; i < n; ++i) {
            p_.model->valueAndGradient<long double>(parameters, x_[i], y_[i], gradient_, scratch_, adjoints_, known_[i]);
            for (std::size_t k = 0; k < columns.size(); ++k) {
                const long double d = -roots_[i] * gradient_[static_cast<std::size_t>(columns[k])];
                if (!std::isfinite(d)) return false;
                j(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(k)) = d;
            }
        }
        return true;
    }

private:
    const NonlinearProblem& p_;
    std::vector<int> free_;
    std::vector<long double> x_, y_, v_, roots_;
    std::vector<std::vector<long double>> known_; // per point, the steps no parameter reaches
    std::vector<long double> scratch_, adjoints_, gradient_;
    std::vector<__float128> quadScratch_;
    bool quad_ = false;
};

// Columns of J whose length, once scaled to one, leaves less than this of
// the first pivot: the parameters do not act independently on the points.
constexpr long double JacobianRankTolerance = 1e-14L;

// The least-squares step J δ ≈ -r (J of the residuals, so the step is -J⁺ r),
// with J's columns scaled to unit length; the first dependent column (none:
// -1) when J is singular.
struct Step {
    LongVector delta;
    int dependent = -1;
};
Step gaussNewtonStep(const LongMatrix& j, const LongVector& r)
{
    LongVector lengths = j.colwise().norm().transpose();
    for (Eigen::Index k = 0; k < lengths.size(); ++k)
        if (lengths(k) == 0) return {LongVector(), static_cast<int>(k)};
    const LongMatrix unit = j * lengths.cwiseInverse().asDiagonal();
    Eigen::ColPivHouseholderQR<LongMatrix> qr(unit);
    qr.setThreshold(JacobianRankTolerance);
    if (qr.rank() < unit.cols()) {
        const auto permutation = qr.colsPermutation().indices();
        return {LongVector(), static_cast<int>(permutation(qr.rank()))};
    }
    LongVector delta = -qr.solve(r);
    return {delta.cwiseQuotient(lengths), -1};
}

// Settled: no parameter moves by more than this share of itself. Where the
// residuals stay large, Gauss–Newton closes in only linearly (ENSO's steps
// shrink by a third each), so it is given the steps to get there; steps that
// stop shrinking below RoundingChange are the sums' rounding, and settled too.
constexpr long double SettledChange = 1e-12L;
constexpr long double RoundingChange = 1e-8L;
constexpr int MaxRefinementSteps = 100;
// A step is kept unless it raises the sum of squares beyond its rounding.
constexpr long double SumRounding = 1e-15L;

bool atBoundOf(const NonlinearProblem& p, int k, long double value)
{
    const auto index = static_cast<std::size_t>(k);
    return (!p.lower.empty() && value <= p.lower[index]) || (!p.upper.empty() && value >= p.upper[index]);
}

} // namespace

NonlinearProblem plainProblem(const Expression& model, PointCoordinate x, PointCoordinate y, PointCoordinate value,
                              std::span<const double> weights)
{
    NonlinearProblem problem;
    problem.model = &model;
    problem.x = x;
    problem.y = y;
    problem.value = value;
    problem.weights = weights;
    return problem;
}

double sumOfSquares(const NonlinearProblem& problem, std::span<const double> parameters)
{
    std::vector<double> scratch;
    double sum = 0.0;
    for (int i = 0; i < problem.pointCount(); ++i) {
        const double f = problem.model->value<double>(parameters, at(problem.x.high, i), at(problem.y.high, i), scratch);
        const double r = at(problem.value.high, i) - f;
        sum += weightOf(problem, i) * r * r;
    }
    return std::isfinite(sum) ? sum : Infinity;
}

std::optional<int> firstNonFinitePoint(const NonlinearProblem& problem, std::span<const double> parameters)
{
    std::vector<double> scratch, gradient(parameters.size()), adjoints;
    for (int i = 0; i < problem.pointCount(); ++i) {
        const double f = problem.model->valueAndGradient<double>(parameters, at(problem.x.high, i),
                                                                 at(problem.y.high, i), gradient, scratch, adjoints);
        if (!std::isfinite(f)) return i + 1;
        for (double g : gradient)
            if (!std::isfinite(g)) return i + 1;
    }
    return std::nullopt;
}

Checked<NonlinearSolution> solveNonlinear(const NonlinearProblem& problem, std::span<const double> start,
                                          const NonlinearSettings& settings)
{
    if (const auto point = firstNonFinitePoint(problem, start))
        return failed<NonlinearSolution>(Refusal{RefusalCode::NonFiniteValue, {std::to_string(*point), "start"}});
    const std::vector<int> free = freeParameters(problem);
    TrustRegionResult found = trustRegion(problem, free, start, settings.maxIterations);

    NonlinearSolution solution;
    solution.iterations = found.iterations;
    solution.atBound.assign(start.size(), false);
    std::vector<long double> b(found.parameters.begin(), found.parameters.end());
    // The parameters the refinement moves: the free ones not held at a bound.
    std::vector<int> moving;
    for (int k : free) {
        if (atBoundOf(problem, k, b[static_cast<std::size_t>(k)])) solution.atBound[static_cast<std::size_t>(k)] = true;
        else moving.push_back(k);
    }

    Refinement refinement(problem, free);
    refinement.chooseQuadFor(b);
    LongVector r;
    Quad sse;
    if (!refinement.residuals(b, r, sse))
        return failed<NonlinearSolution>(Refusal{RefusalCode::NonFiniteValue, {std::to_string(1), "fit"}});
    bool settled = moving.empty();
    long double lastChange = std::numeric_limits<long double>::infinity();
    for (int step = 0; step < MaxRefinementSteps && settings.refine && !settled; ++step) {
        LongMatrix j;
        if (!refinement.jacobian(b, moving, j)) break;
        const Step gn = gaussNewtonStep(j, r);
        if (gn.dependent >= 0)
            return failed<NonlinearSolution>(Refusal{
                RefusalCode::SingularJacobian, {std::to_string(moving[static_cast<std::size_t>(gn.dependent)] + 1)}});
        // The longest part of the step that stays within the bounds.
        long double share = 1;
        long double change = 0;
        for (std::size_t k = 0; k < moving.size(); ++k) {
            const auto index = static_cast<std::size_t>(moving[k]);
            const long double to = b[index] + gn.delta(static_cast<Eigen::Index>(k));
            if (!problem.lower.empty() && to < problem.lower[index])
                share = std::min(share, (problem.lower[index] - b[index]) / gn.delta(static_cast<Eigen::Index>(k)));
            if (!problem.upper.empty() && to > problem.upper[index])
                share = std::min(share, (problem.upper[index] - b[index]) / gn.delta(static_cast<Eigen::Index>(k)));
            const long double scale = std::max(std::fabs(b[index]), 1e-300L);
            change = std::max(change, std::fabs(gn.delta(static_cast<Eigen::Index>(k))) / scale);
        }
        if (change <= SettledChange || (change <= RoundingChange && change > 0.9L * lastChange)) settled = true;
        lastChange = change;
        // A step that does not lower the sum of squares is halved; at the
        // rounding of the sums none does, and the parameters stay.
        bool taken = false;
        for (int halving = 0; halving < 4 && !taken; ++halving, share /= 2) {
            std::vector<long double> trial = b;
            for (std::size_t k = 0; k < moving.size(); ++k)
                trial[static_cast<std::size_t>(moving[k])] += share * gn.delta(static_cast<Eigen::Index>(k));
            LongVector trialR;
            Quad trialSse;
            if (!refinement.residuals(trial, trialR, trialSse)) continue;
            if (static_cast<long double>(trialSse) <= static_cast<long double>(sse) * (1 + SumRounding)) {
                b = std::move(trial);
                r = std::move(trialR);
                sse = trialSse;
                taken = true;
            }
        }
        ++solution.iterations;
        if (!taken && change <= RoundingChange) settled = true;
        if (!taken || settled) break;
    }
    if (!settings.refine) settled = true;
    if (!settled)
        return failed<NonlinearSolution>(Refusal{RefusalCode::NotConverged, {std::to_string(solution.iterations)}});
    for (long double v : b) solution.parameters.push_back(static_cast<double>(v));
    solution.sse = static_cast<double>(sse);
    return succeeded(std::move(solution));
}

JacobianFigures jacobianFigures(const NonlinearProblem& problem, std::span<const double> parameters)
{
    JacobianFigures figures;
    const std::vector<int> free = freeParameters(problem);
    Refinement refinement(problem, free);
    const std::vector<long double> b(parameters.begin(), parameters.end());
    LongMatrix j;
    if (free.empty() || !refinement.jacobian(b, free, j)) return figures;
    LongVector lengths = j.colwise().norm().transpose();
    for (Eigen::Index k = 0; k < lengths.size(); ++k)
        if (lengths(k) == 0) return figures;
    const LongMatrix unit = j * lengths.cwiseInverse().asDiagonal();
    Eigen::ColPivHouseholderQR<LongMatrix> qr(unit);
    qr.setThreshold(JacobianRankTolerance);
    if (qr.rank() < unit.cols()) return figures;
    const Eigen::Index m = unit.cols();
    // (JᵀJ)⁻¹ = P R⁻¹ R⁻ᵀ Pᵀ for the unit columns, scaled back.
    const LongMatrix rInverse = qr.matrixR().topLeftCorner(m, m).triangularView<Eigen::Upper>().solve(LongMatrix::Identity(m, m));
    const LongMatrix unitCovariance = rInverse * rInverse.transpose();
    const auto& permutation = qr.colsPermutation().indices();
    figures.varianceFactors.assign(static_cast<std::size_t>(m), 0.0);
    figures.inverse.assign(static_cast<std::size_t>(m * m), 0.0L);
    for (Eigen::Index k = 0; k < m; ++k) {
        const Eigen::Index column = permutation(k);
        figures.varianceFactors[static_cast<std::size_t>(column)] =
            static_cast<double>(unitCovariance(k, k) / (lengths(column) * lengths(column)));
        for (Eigen::Index l = 0; l < m; ++l) {
            const Eigen::Index other = permutation(l);
            figures.inverse[static_cast<std::size_t>(column * m + other)] =
                unitCovariance(k, l) / (lengths(column) * lengths(other));
        }
    }
    Eigen::JacobiSVD<LongMatrix> svd(unit);
    const auto& singular = svd.singularValues();
    if (singular(singular.size() - 1) > 0) figures.conditionNumber = static_cast<double>(singular(0) / singular(singular.size() - 1));
    return figures;
}

} // namespace calvero
