#include "fit/startvalues.h"

#include "fit/ceressolve.h"
#include "fit/linearform.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace calvero {

namespace {

using Matrix = Eigen::MatrixXd;
using Vector = Eigen::VectorXd;

constexpr int DrawnGuesses = 3000;
constexpr int FittedGuesses = 10;
constexpr int AgreeingFits = 3; // the same minimum from this many guesses: not possibly local
constexpr int LocalIterations = 400;
constexpr int PolishedGuesses = 8;
constexpr int ProjectedIterations = 100;
// The linear parameters' columns, scaled to unit length, must keep this
// share of the first pivot for a guess to count.
constexpr double DistinctTermsTolerance = 1e-8;
constexpr int PolishingSweeps = 4;

double at(std::span<const double> values, int i) { return values.empty() ? 0.0 : values[static_cast<std::size_t>(i)]; }

// How the points spread in one variable.
struct Spread {
    double low = 0.0, high = 0.0;
    double typical = 1.0; // the median of |value|, or the range where that is 0
    std::vector<double> sorted;
};

Spread spreadOf(std::span<const double> values)
{
    Spread s;
    s.sorted.assign(values.begin(), values.end());
    std::sort(s.sorted.begin(), s.sorted.end());
    if (s.sorted.empty()) return s;
    s.low = s.sorted.front();
    s.high = s.sorted.back();
    std::vector<double> sizes;
    for (double v : s.sorted) sizes.push_back(std::fabs(v));
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<long>(sizes.size() / 2), sizes.end());
    s.typical = sizes[sizes.size() / 2];
    if (s.typical == 0.0) s.typical = s.high - s.low;
    if (s.typical == 0.0) s.typical = 1.0;
    return s;
}

std::vector<double> bothSigns(const std::vector<double>& magnitudes)
{
    std::vector<double> values;
    for (double m : magnitudes) {
        values.push_back(m);
        values.push_back(-m);
    }
    return values;
}

std::vector<double> decades(double centre, int from, int to)
{
    std::vector<double> values;
    for (int k = from; k <= to; ++k) {
        values.push_back(centre * std::pow(10.0, k));
        if (k < to) values.push_back(centre * 3.0 * std::pow(10.0, k));
    }
    return values;
}

// The place of a parameter in the equation, from the step that takes it.
enum class Role { Generic, Rate, Scale, Shift, Exponent, ReciprocalExponent, Frequency, Period };

struct Place {
    Role role = Role::Generic;
    bool second = false; // of y rather than x
};

class EquationShape {
public:
    explicit EquationShape(const Expression& e) : steps_(e.steps()), parent_(steps_.size(), -1), mentions_(steps_.size(), 0)
    {
        for (std::size_t k = 0; k < steps_.size(); ++k) {
            const ExpressionStep& s = steps_[k];
            if (s.first >= 0) parent_[static_cast<std::size_t>(s.first)] = static_cast<int>(k);
            if (s.second >= 0) parent_[static_cast<std::size_t>(s.second)] = static_cast<int>(k);
            if (s.operation == Operation::X) mentions_[k] = 1;
            if (s.operation == Operation::Y) mentions_[k] = 2;
            for (int operand : {s.first, s.second})
                if (operand >= 0) mentions_[k] |= mentions_[static_cast<std::size_t>(operand)];
        }
    }

    // The place of parameter k: its first mention that says something.
    Place placeOf(int k) const
    {
        for (std::size_t s = 0; s < steps_.size(); ++s) {
            if (steps_[s].operation != Operation::Parameter || steps_[s].parameter != k) continue;
            const Place place = placeAt(static_cast<int>(s));
            if (place.role != Role::Generic) return place;
        }
        return {};
    }

private:
    bool trigonometricAbove(int s) const
    {
        for (int up = parent_[static_cast<std::size_t>(s)]; up >= 0; up = parent_[static_cast<std::size_t>(up)]) {
            const Operation o = steps_[static_cast<std::size_t>(up)].operation;
            if (o == Operation::Sin || o == Operation::Cos || o == Operation::Tan) return true;
        }
        return false;
    }

    // A number: neither a variable nor a parameter below.
    bool constant(int s) const
    {
        return s >= 0 && mentions_[static_cast<std::size_t>(s)] == 0 && !steps_[static_cast<std::size_t>(s)].withParameters;
    }

    Place placeAt(int s) const
    {
        const int up = parent_[static_cast<std::size_t>(s)];
        if (up < 0) return {};
        const ExpressionStep& p = steps_[static_cast<std::size_t>(up)];
        const bool isFirst = p.first == s;
        const int other = isFirst ? p.second : p.first;
        const int variables = other >= 0 ? mentions_[static_cast<std::size_t>(other)] : 0;
        const bool second = variables == 2;
        const bool trig = trigonometricAbove(s);
        switch (p.operation) {
        case Operation::Multiply:
            if (variables) return {trig ? Role::Frequency : Role::Rate, second};
            break;
        case Operation::Divide:
            if (!isFirst && variables) return {trig ? Role::Period : Role::Scale, second};
            // c/b takes the reciprocal of the place of c/b (-1/b3 as an exponent).
            if (!isFirst && constant(other)) return reciprocalOf(placeAt(up));
            break;
        case Operation::Add:
        case Operation::Subtract:
            if (variables && steps_[static_cast<std::size_t>(other)].operation <= Operation::Y) return {Role::Shift, second};
            break;
        case Operation::Power:
            if (!isFirst) return {Role::Exponent, false};
            // b^2 is where b^2 is (b5 in (x-b4)^2/b5^2 a scale).
            if (constant(other)) return placeAt(up);
            break;
        case Operation::Negate: return placeAt(up);
        default: break;
        }
        return {};
    }

    static Place reciprocalOf(Place place)
    {
        switch (place.role) {
        case Role::Rate: place.role = Role::Scale; break;
        case Role::Scale: place.role = Role::Rate; break;
        case Role::Frequency: place.role = Role::Period; break;
        case Role::Period: place.role = Role::Frequency; break;
        case Role::Exponent: place.role = Role::ReciprocalExponent; break;
        default: place.role = Role::Generic; break;
        }
        return place;
    }

    std::vector<ExpressionStep> steps_;
    std::vector<int> parent_;
    std::vector<int> mentions_; // 1: x below, 2: y below, 3: both
};

std::vector<double> exponents() { return {-4, -3, -2, -1.5, -1, -0.5, -0.25, 0.25, 0.5, 1, 1.5, 2, 3, 4}; }

std::vector<double> candidatesFor(const Place& place, const Spread& s, int points)
{
    const double range = std::max(s.high - s.low, s.typical * 1e-6);
    switch (place.role) {
    case Role::Rate: return bothSigns(decades(1.0 / s.typical, -3, 3));
    case Role::Scale: return bothSigns(decades(s.typical, -3, 3));
    case Role::Shift: {
        std::vector<double> values;
        for (int q = 0; q <= 8; ++q) values.push_back(s.sorted[static_cast<std::size_t>(q * (s.sorted.size() - 1) / 8)]);
        for (double f : {0.5, 1.0, 3.0, 10.0, 30.0}) {
            values.push_back(s.low - f * range);
            values.push_back(s.high + f * range);
        }
        values.push_back(0.0);
        return values;
    }
    case Role::Exponent: return exponents();
    case Role::ReciprocalExponent: {
        std::vector<double> values;
        for (double e : exponents()) values.push_back(1.0 / e);
        return values;
    }
    case Role::Frequency:
    case Role::Period: {
        // The periods the points can show: from twice their spacing to
        // twice their range.
        std::vector<double> values;
        const int most = std::clamp(points, 4, 400);
        for (int k = 1; k <= most; ++k) {
            const double period = 2.0 * range / k;
            values.push_back(place.role == Role::Period ? period : 2.0 * 3.141592653589793 / period);
        }
        return values;
    }
    case Role::Generic: break;
    }
    std::vector<double> values = bothSigns(decades(1.0, -6, 6));
    return values;
}

// The linear parameters solved for the others' values (variable
// projection): the sum of squares, or +inf where it cannot be had.
class Projection {
public:
    Projection(const NonlinearProblem& problem, const std::vector<bool>& linear)
        : problem_(problem), form_(linearForm(*problem.model, linear))
    {
        for (std::size_t k = 0; k < linear.size(); ++k)
            if (linear[k]) linear_.push_back(static_cast<int>(k));
    }

    double solve(std::vector<double>& parameters)
    {
        if (linear_.empty() || !form_) return sumOfSquares(problem_, parameters);
        const int n = problem_.pointCount();
        const auto m = static_cast<Eigen::Index>(linear_.size());
        Matrix g(n, m);
        Vector t(n);
        for (int i = 0; i < n; ++i) {
            const double x = at(problem_.x.high, i), y = at(problem_.y.high, i);
            const double root = problem_.weights.empty() ? 1.0 : std::sqrt(problem_.weights[static_cast<std::size_t>(i)]);
            double target = at(problem_.value.high, i);
            if (form_->offset) target -= form_->offset->value<double>(parameters, x, y, scratch_);
            t(i) = root * target;
            for (Eigen::Index k = 0; k < m; ++k) {
                const auto& column = form_->columns[static_cast<std::size_t>(linear_[static_cast<std::size_t>(k)])];
                g(i, k) = column ? root * column->value<double>(parameters, x, y, scratch_) : 0.0;
            }
        }
        if (!g.allFinite() || !t.allFinite()) return std::numeric_limits<double>::infinity();
        // Terms whose shapes the points can hardly tell apart (three rates
        // near 0, all three exponentials nearly 1 - b x) buy a low sum of
        // squares with huge opposite coefficients, a start from which the
        // fit merges them: such a guess is left out.
        const Vector lengths = g.colwise().norm().transpose();
        if ((lengths.array() == 0.0).any()) return std::numeric_limits<double>::infinity();
        Eigen::ColPivHouseholderQR<Matrix>& qr = qr_;
        qr.compute(g * lengths.cwiseInverse().asDiagonal());
        qr.setThreshold(DistinctTermsTolerance);
        if (qr.rank() < m) return std::numeric_limits<double>::infinity();
        const Vector b = qr.solve(t).cwiseQuotient(lengths);
        if (!b.allFinite()) return std::numeric_limits<double>::infinity();
        for (Eigen::Index k = 0; k < m; ++k) parameters[static_cast<std::size_t>(linear_[static_cast<std::size_t>(k)])] = b(k);
        return sumOfSquares(problem_, parameters);
    }

    bool projects() const { return form_ && !linear_.empty(); }

    // j less its part in the span of the linear parameters' columns at the
    // last solve: with the gradient over the other parameters, Kaufman's
    // Jacobian of the projected residuals.
    void removeColumnsFrom(Matrix& j) const
    {
        const Matrix q = qr_.householderQ() * Matrix::Identity(j.rows(), static_cast<Eigen::Index>(linear_.size()));
        j -= q * (q.transpose() * j);
    }

private:
    const NonlinearProblem& problem_;
    std::optional<LinearForm> form_;
    Eigen::ColPivHouseholderQR<Matrix> qr_;
    std::vector<int> linear_;
    std::vector<double> scratch_;
};

// Variable projection (Golub and Pereyra, with Kaufman's Jacobian): the
// weighted residuals as a function of the guessed parameters alone, the
// linear ones solved at each evaluation. Its minimum depends on no start of
// the linear ones, which from a guess can lead the whole fit to merge two
// terms (a coefficient of the wrong sign for Lanczos' exponentials).
class ProjectedResiduals final : public ceres::CostFunction {
public:
    ProjectedResiduals(const NonlinearProblem& problem, Projection& projection, std::vector<int> guessed,
                       std::vector<double> all)
        : problem_(problem), projection_(projection), guessed_(std::move(guessed)), all_(std::move(all))
    {
        set_num_residuals(problem.pointCount());
        mutable_parameter_block_sizes()->push_back(static_cast<int>(guessed_.size()));
    }

    const std::vector<double>& parameters() const { return all_; }

    bool Evaluate(double const* const* parameters, double* residuals, double** jacobians) const override
    {
        for (std::size_t k = 0; k < guessed_.size(); ++k) all_[static_cast<std::size_t>(guessed_[k])] = parameters[0][k];
        if (!std::isfinite(projection_.solve(all_))) return false;
        const int n = problem_.pointCount();
        const auto m = static_cast<Eigen::Index>(guessed_.size());
        Matrix j(n, m);
        gradient_.resize(all_.size());
        for (int i = 0; i < n; ++i) {
            const double root = problem_.weights.empty() ? 1.0 : std::sqrt(problem_.weights[static_cast<std::size_t>(i)]);
            const double f = problem_.model->valueAndGradient<double>(all_, at(problem_.x.high, i), at(problem_.y.high, i),
                                                                      gradient_, scratch_, adjoints_);
            residuals[i] = root * (at(problem_.value.high, i) - f);
            if (!std::isfinite(residuals[i])) return false;
            for (Eigen::Index k = 0; k < m; ++k) j(i, k) = -root * gradient_[static_cast<std::size_t>(guessed_[static_cast<std::size_t>(k)])];
        }
        if (jacobians == nullptr || jacobians[0] == nullptr) return true;
        if (!j.allFinite()) return false;
        projection_.removeColumnsFrom(j);
        for (int i = 0; i < n; ++i)
            for (Eigen::Index k = 0; k < m; ++k) jacobians[0][static_cast<std::size_t>(i) * static_cast<std::size_t>(m) + static_cast<std::size_t>(k)] = j(i, k);
        return true;
    }

private:
    const NonlinearProblem& problem_;
    Projection& projection_;
    std::vector<int> guessed_;
    mutable std::vector<double> all_, gradient_, scratch_, adjoints_;
};

// The guess moved to the least of its projected sum of squares; the guess
// as it was where that fails.
std::vector<double> projectedMinimum(const NonlinearProblem& problem, Projection& projection,
                                     const std::vector<int>& guessed, const std::vector<double>& start)
{
    ProjectedResiduals cost(problem, projection, guessed, start);
    std::vector<double> block;
    for (int k : guessed) block.push_back(start[static_cast<std::size_t>(k)]);
    ceres::Problem::Options problemOptions;
    problemOptions.cost_function_ownership = ceres::DO_NOT_TAKE_OWNERSHIP;
    ceres::Problem ceresProblem(problemOptions);
    ceresProblem.AddResidualBlock(&cost, nullptr, block.data());
    const ceres::Solver::Options options = quietSolverOptions(ProjectedIterations);
    ceres::Solver::Summary summary;
    quietCeresLog();
    ceres::Solve(options, &ceresProblem, &summary);
    std::vector<double> moved = start;
    for (std::size_t k = 0; k < guessed.size(); ++k) moved[static_cast<std::size_t>(guessed[k])] = block[k];
    if (!std::isfinite(projection.solve(moved)) || !std::isfinite(sumOfSquares(problem, moved))) return start;
    return moved;
}

struct Guess {
    std::vector<double> parameters;
    double sse = std::numeric_limits<double>::infinity();
};

// Σ over the columns of a form at the points, as a matrix (one column per
// parameter in `which`), times each point's factor.
Matrix columnsOf(const LinearForm& form, const std::vector<int>& which, const NonlinearProblem& problem,
                 const std::vector<double>& parameters, const std::vector<double>& factor)
{
    const int n = problem.pointCount();
    Matrix g(n, static_cast<Eigen::Index>(which.size()));
    std::vector<double> scratch;
    for (int i = 0; i < n; ++i) {
        const double x = at(problem.x.high, i), y = at(problem.y.high, i);
        for (std::size_t k = 0; k < which.size(); ++k) {
            const auto& column = form.columns[static_cast<std::size_t>(which[k])];
            g(i, static_cast<Eigen::Index>(k)) = column ? factor[static_cast<std::size_t>(i)] * column->value<double>(parameters, x, y, scratch) : 0.0;
        }
    }
    return g;
}

double offsetAt(const LinearForm& form, const NonlinearProblem& problem, const std::vector<double>& parameters, int i,
                std::vector<double>& scratch)
{
    return form.offset ? form.offset->value<double>(parameters, at(problem.x.high, i), at(problem.y.high, i), scratch) : 0.0;
}

// y = N / D with N and D each linear in their own free parameters and D with
// a part of its own: y D = N is linear in all of them.
std::optional<std::vector<double>> rationalStart(const NonlinearProblem& problem, const std::vector<bool>& free,
                                                 std::vector<double> parameters)
{
    const Expression& e = *problem.model;
    const ExpressionStep& root = e.steps().back();
    if (root.operation != Operation::Divide) return std::nullopt;
    const Expression numerator = subExpression(e, root.first), denominator = subExpression(e, root.second);
    const auto n = linearForm(numerator, free), d = linearForm(denominator, free);
    if (!n || !d || !d->offset) return std::nullopt;
    std::vector<int> inN, inD;
    for (std::size_t k = 0; k < free.size(); ++k) {
        if (!free[k]) continue;
        const bool a = n->columns[k].has_value(), b = d->columns[k].has_value();
        if (a == b) return std::nullopt; // in both, or in neither
        (a ? inN : inD).push_back(static_cast<int>(k));
    }
    const int count = problem.pointCount();
    std::vector<double> ones(static_cast<std::size_t>(count), 1.0), minusY;
    for (int i = 0; i < count; ++i) minusY.push_back(-at(problem.value.high, i));
    Matrix g(count, static_cast<Eigen::Index>(inN.size() + inD.size()));
    g << columnsOf(*n, inN, problem, parameters, ones), columnsOf(*d, inD, problem, parameters, minusY);
    Vector t(count);
    std::vector<double> scratch;
    for (int i = 0; i < count; ++i)
        t(i) = at(problem.value.high, i) * offsetAt(*d, problem, parameters, i, scratch) - offsetAt(*n, problem, parameters, i, scratch);
    if (!g.allFinite() || !t.allFinite()) return std::nullopt;
    const Vector b = g.colPivHouseholderQr().solve(t);
    if (!b.allFinite()) return std::nullopt;
    std::size_t k = 0;
    for (int j : inN) parameters[static_cast<std::size_t>(j)] = b(static_cast<Eigen::Index>(k++));
    for (int j : inD) parameters[static_cast<std::size_t>(j)] = b(static_cast<Eigen::Index>(k++));
    return parameters;
}

// y = c e^g or y = c x^g (c a free parameter or absent, g linear in its free
// parameters): ln y = ln c + g, or ln c + g ln x, over the points with y > 0.
std::optional<std::vector<double>> logarithmicStart(const NonlinearProblem& problem, const std::vector<bool>& free,
                                                    std::vector<double> parameters)
{
    const Expression& e = *problem.model;
    const auto& steps = e.steps();
    int top = static_cast<int>(steps.size()) - 1;
    int factor = -1; // the parameter c
    const ExpressionStep& root = steps.back();
    if (root.operation == Operation::Multiply) {
        for (auto [c, other] : {std::pair{root.first, root.second}, std::pair{root.second, root.first}}) {
            const ExpressionStep& s = steps[static_cast<std::size_t>(c)];
            if (s.operation == Operation::Parameter && free[static_cast<std::size_t>(s.parameter)]) {
                factor = s.parameter;
                top = other;
                break;
            }
        }
        if (factor < 0) return std::nullopt;
    }
    const ExpressionStep& shape = steps[static_cast<std::size_t>(top)];
    bool power = false;
    if (shape.operation == Operation::Power && steps[static_cast<std::size_t>(shape.first)].operation == Operation::X) power = true;
    else if (shape.operation != Operation::Exp) return std::nullopt;
    const Expression exponent = subExpression(e, power ? shape.second : shape.first);
    std::vector<bool> inExponent = free;
    if (factor >= 0) inExponent[static_cast<std::size_t>(factor)] = false;
    const auto g = linearForm(exponent, inExponent);
    if (!g) return std::nullopt;
    std::vector<int> which;
    for (std::size_t k = 0; k < free.size(); ++k)
        if (inExponent[k] && g->columns[k]) which.push_back(static_cast<int>(k));
    std::vector<int> rows;
    for (int i = 0; i < problem.pointCount(); ++i)
        if (at(problem.value.high, i) > 0.0 && (!power || at(problem.x.high, i) > 0.0)) rows.push_back(i);
    const auto m = static_cast<Eigen::Index>(which.size() + (factor >= 0 ? 1 : 0));
    if (static_cast<Eigen::Index>(rows.size()) <= m || m == 0) return std::nullopt;
    Matrix a(static_cast<Eigen::Index>(rows.size()), m);
    Vector t(static_cast<Eigen::Index>(rows.size()));
    std::vector<double> scratch;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int i = rows[r];
        const double x = at(problem.x.high, i), y = at(problem.y.high, i);
        const double lnX = power ? std::log(x) : 1.0;
        const auto row = static_cast<Eigen::Index>(r);
        t(row) = std::log(at(problem.value.high, i)) - (g->offset ? lnX * g->offset->value<double>(parameters, x, y, scratch) : 0.0);
        for (std::size_t k = 0; k < which.size(); ++k)
            a(row, static_cast<Eigen::Index>(k)) = lnX * g->columns[static_cast<std::size_t>(which[k])]->value<double>(parameters, x, y, scratch);
        if (factor >= 0) a(row, m - 1) = 1.0;
    }
    if (!a.allFinite() || !t.allFinite()) return std::nullopt;
    const Vector b = a.colPivHouseholderQr().solve(t);
    if (!b.allFinite()) return std::nullopt;
    for (std::size_t k = 0; k < which.size(); ++k) parameters[static_cast<std::size_t>(which[k])] = b(static_cast<Eigen::Index>(k));
    if (factor >= 0) parameters[static_cast<std::size_t>(factor)] = std::exp(b(m - 1));
    return parameters;
}

// The same values, in any order: a sum of terms of one shape gives each
// guess again with its terms exchanged, and fitting those too adds nothing.
bool sameGuess(const Guess& a, const Guess& b)
{
    if (a.parameters == b.parameters) return true;
    if (std::fabs(a.sse - b.sse) > 1e-12 * std::max(a.sse, b.sse)) return false;
    std::vector<double> x = a.parameters, y = b.parameters;
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    for (std::size_t k = 0; k < x.size(); ++k)
        if (std::fabs(x[k] - y[k]) > 1e-9 * std::max(std::fabs(x[k]), std::fabs(y[k]))) return false;
    return true;
}

bool sameMinimum(const NonlinearSolution& a, const NonlinearSolution& b)
{
    if (std::fabs(a.sse - b.sse) > 1e-7 * std::max(a.sse, b.sse) + 1e-300) return false;
    for (std::size_t k = 0; k < a.parameters.size(); ++k)
        if (std::fabs(a.parameters[k] - b.parameters[k]) > 1e-5 * std::max(std::fabs(a.parameters[k]), std::fabs(b.parameters[k])) + 1e-300)
            return false;
    return true;
}

// Bounds keep a guess inside them.
void withinBounds(const NonlinearProblem& problem, std::vector<double>& parameters)
{
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        if (!problem.lower.empty()) parameters[k] = std::max(parameters[k], problem.lower[k]);
        if (!problem.upper.empty()) parameters[k] = std::min(parameters[k], problem.upper[k]);
    }
}

} // namespace

StartSearch searchStart(const NonlinearProblem& problem, const std::vector<double>& fixedValues,
                        const std::vector<std::optional<double>>& given)
{
    const Expression& model = *problem.model;
    const auto p = static_cast<std::size_t>(model.parameterCount());
    std::vector<bool> free(p, true);
    for (std::size_t k = 0; k < p && k < problem.fixed.size(); ++k) free[k] = !problem.fixed[k];
    // Bounded parameters are guessed, never projected past their bounds.
    std::vector<bool> candidates = free;
    for (std::size_t k = 0; k < p; ++k)
        if ((!problem.lower.empty() && std::isfinite(problem.lower[k])) || (!problem.upper.empty() && std::isfinite(problem.upper[k])))
            candidates[k] = false;
    const std::vector<bool> linear = linearParameters(model, candidates);
    Projection projection(problem, linear);

    const Spread xs = spreadOf(problem.x.high), ys = spreadOf(problem.y.high);
    const Spread values = spreadOf(problem.value.high);
    const EquationShape shape(model);
    std::vector<int> guessed;
    std::vector<Place> places;
    std::vector<std::vector<double>> lists;
    for (std::size_t k = 0; k < p; ++k) {
        if (!free[k] || linear[k]) continue;
        guessed.push_back(static_cast<int>(k));
        const Place place = shape.placeOf(static_cast<int>(k));
        std::vector<double> list = candidatesFor(place, place.second ? ys : xs, problem.pointCount());
        if (place.role == Role::Generic && values.typical != 1.0)
            for (double v : {values.typical, -values.typical, values.high, values.low}) list.push_back(v);
        if (given[k]) list.insert(list.begin(), *given[k]);
        places.push_back(place);
        lists.push_back(std::move(list));
    }
    // Two parameters of the same place with the same value (two rates, two
    // centres) would start two terms as one, which the fit cannot part.
    auto distinct = [&](const std::vector<double>& parameters) {
        for (std::size_t j = 0; j < guessed.size(); ++j)
            for (std::size_t l = j + 1; l < guessed.size(); ++l)
                if (places[j].role != Role::Generic && places[j].role == places[l].role && places[j].second == places[l].second
                    && parameters[static_cast<std::size_t>(guessed[j])] == parameters[static_cast<std::size_t>(guessed[l])])
                    return false;
        return true;
    };

    std::vector<Guess> guesses;
    auto guessOf = [&](std::vector<double> parameters) {
        withinBounds(problem, parameters);
        Guess guess;
        guess.sse = projection.solve(parameters);
        withinBounds(problem, parameters);
        guess.parameters = std::move(parameters);
        return guess;
    };
    auto consider = [&](std::vector<double> parameters) {
        if (!distinct(parameters)) return;
        Guess guess = guessOf(std::move(parameters));
        if (std::isfinite(guess.sse)) guesses.push_back(std::move(guess));
    };
    std::vector<double> base = fixedValues;
    for (std::size_t k = 0; k < p; ++k)
        if (free[k]) base[k] = given[k].value_or(1.0);
    // The recognised shapes first, then the given values, then the draws.
    std::vector<std::vector<double>> shapes;
    if (auto r = rationalStart(problem, free, base)) shapes.push_back(*r);
    if (auto l = logarithmicStart(problem, free, base)) shapes.push_back(*l);
    for (const auto& s : shapes) {
        std::vector<double> parameters = s;
        withinBounds(problem, parameters);
        guesses.push_back({parameters, sumOfSquares(problem, parameters)});
    }
    consider(base);
    double combinations = 1.0;
    for (const auto& list : lists) combinations *= static_cast<double>(list.size());
    if (!guessed.empty() && combinations <= DrawnGuesses) {
        std::vector<std::size_t> index(lists.size(), 0);
        while (true) {
            std::vector<double> parameters = base;
            for (std::size_t j = 0; j < lists.size(); ++j)
                parameters[static_cast<std::size_t>(guessed[j])] = lists[j][index[j]];
            consider(parameters);
            std::size_t j = 0;
            while (j < index.size() && ++index[j] == lists[j].size()) index[j++] = 0;
            if (j == index.size()) break;
        }
    } else if (!guessed.empty()) {
        std::mt19937_64 draw(20240538);
        for (int g = 0; g < DrawnGuesses; ++g) {
            std::vector<double> parameters = base;
            for (std::size_t j = 0; j < lists.size(); ++j) {
                std::uniform_int_distribution<std::size_t> pick(0, lists[j].size() - 1);
                parameters[static_cast<std::size_t>(guessed[j])] = lists[j][pick(draw)];
            }
            consider(parameters);
        }
    }

    // The recognised shapes' starts are always fitted; then the best guesses,
    // each first moved one parameter at a time to the value of its list that
    // lowers the sum of squares most (the linear ones solved again each
    // time), while any does: a draw among many combinations rarely lands on
    // the right one for every term, but is seldom wrong in all of them.
    std::vector<Guess> chosen(guesses.begin(), guesses.begin() + static_cast<long>(shapes.size()));
    std::vector<Guess> rest(guesses.begin() + static_cast<long>(shapes.size()), guesses.end());
    auto lower = [](const Guess& a, const Guess& b) { return a.sse < b.sse; };
    std::stable_sort(rest.begin(), rest.end(), lower);
    if (combinations > DrawnGuesses) {
        std::vector<Guess> polished;
        for (std::size_t g = 0; g < rest.size() && static_cast<int>(polished.size()) < PolishedGuesses; ++g) {
            Guess guess = rest[g];
            for (int sweep = 0; sweep < PolishingSweeps; ++sweep) {
                bool moved = false;
                for (std::size_t j = 0; j < guessed.size(); ++j) {
                    for (double v : lists[j]) {
                        std::vector<double> trial = guess.parameters;
                        trial[static_cast<std::size_t>(guessed[j])] = v;
                        if (!distinct(trial)) continue;
                        Guess candidate = guessOf(std::move(trial));
                        if (candidate.sse < guess.sse * (1 - 1e-9)) {
                            guess = std::move(candidate);
                            moved = true;
                        }
                    }
                }
                if (!moved) break;
            }
            const bool seen = std::any_of(polished.begin(), polished.end(), [&](const Guess& c) { return c.parameters == guess.parameters; });
            if (!seen) polished.push_back(std::move(guess));
        }
        rest.insert(rest.begin(), polished.begin(), polished.end());
        std::stable_sort(rest.begin(), rest.end(), lower);
    }
    for (Guess& g : rest) {
        if (static_cast<int>(chosen.size()) >= FittedGuesses) break;
        const bool seen = std::any_of(chosen.begin(), chosen.end(), [&](const Guess& c) { return sameGuess(c, g); });
        if (!seen) chosen.push_back(std::move(g));
    }

    StartSearch search;
    std::vector<NonlinearSolution> minima;
    NonlinearSettings settings;
    settings.maxIterations = LocalIterations;
    const bool bounded = std::any_of(problem.lower.begin(), problem.lower.end(), [](double v) { return std::isfinite(v); })
                         || std::any_of(problem.upper.begin(), problem.upper.end(), [](double v) { return std::isfinite(v); });
    const bool project = projection.projects() && !guessed.empty() && !bounded;
    for (Guess& guess : chosen) {
        if (project) guess.parameters = projectedMinimum(problem, projection, guessed, guess.parameters);
        Checked<NonlinearSolution> solved = solveNonlinear(problem, guess.parameters, settings);
        ++search.localFits;
        if (!solved) {
            if (!search.best && search.best.refusal.code == RefusalCode::NotConverged) search.best = solved;
            continue;
        }
        minima.push_back(*solved);
        if (!search.best || solved->sse < search.best->sse) {
            search.best = solved;
            search.start = guess.parameters;
        }
    }
    // No fit came to a minimum within the iterations each guess is given (Bennett5's
    // valley takes hundreds of steps): the best guess once more with the
    // solver's whole allowance.
    if (!search.best && !chosen.empty()) {
        const Guess& best = *std::min_element(chosen.begin(), chosen.end(), lower);
        search.best = solveNonlinear(problem, best.parameters);
        ++search.localFits;
        if (search.best) {
            minima.push_back(*search.best);
            search.start = best.parameters;
        }
    }
    if (search.best) {
        const auto agreeing = std::count_if(minima.begin(), minima.end(),
                                            [&](const NonlinearSolution& m) { return sameMinimum(m, *search.best); });
        search.possiblyLocal = agreeing < AgreeingFits;
    }
    return search;
}

} // namespace calvero
