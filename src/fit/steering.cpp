#include "fit/steering.h"

#include "fit/fault.h"
#include "fit/statistics.h"
#include "fit/surface.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace calvero {

namespace {

int termCount(FitType kind, int degree)
{
    return kind == FitType::SurfaceXY ? surfaceTermCount(degree) : degree + 1;
}

bool linearKind(FitType kind)
{
    return kind == FitType::Polynomial || kind == FitType::RationalPolynomial || kind == FitType::SurfaceXY;
}

// The measured value each weight and error belongs to: y, or z for the surface.
double measured(FitType kind, const PointSet& points, int i) { return kind == FitType::SurfaceXY ? points.z[i] : points.y[i]; }

std::string valueName(FitType kind) { return kind == FitType::SurfaceXY ? "z" : "y"; }

Refusal notForKind(const char* option) { return Refusal{RefusalCode::OptionNotForKind, {option}}; }

std::optional<Refusal> kindRefusal(FitType kind, const FitOptions& o)
{
    if ((!o.throughPoints.empty() || !o.fixedTerms.empty()) && !linearKind(kind)) return notForKind("through");
    if (o.weighting != Weighting::None && !linearKind(kind)) return notForKind("weights");
    if (o.minimax && kind != FitType::Polynomial && kind != FitType::SurfaceXY) return notForKind("minimax");
    if (o.monotone != Monotone::None && kind != FitType::Polynomial) return notForKind("monotone");
    if (o.curvature != Curvature::None && kind != FitType::Polynomial) return notForKind("curvature");
    return std::nullopt;
}

std::optional<Refusal> conditionRefusal(FitType kind, int degree, const FitOptions& o)
{
    const int p = termCount(kind, degree);
    const std::size_t conditions = o.throughPoints.size() + o.fixedTerms.size();
    if (conditions > static_cast<std::size_t>(p))
        return Refusal{RefusalCode::TooManyConditions, {std::to_string(conditions), std::to_string(p)}};
    std::set<int> fixed;
    for (const FixedTerm& t : o.fixedTerms) {
        if (t.term < 1 || t.term > p)
            return Refusal{RefusalCode::NoSuchTerm, {std::to_string(t.term), std::to_string(p)}};
        if (!fixed.insert(t.term).second) return Refusal{RefusalCode::TermFixedTwice, {std::to_string(t.term)}};
        if (!std::isfinite(t.value)) return Refusal{RefusalCode::InvalidCondition, {std::to_string(t.term)}};
    }
    for (const ThroughPoint& t : o.throughPoints) {
        if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.z))
            return refusalOf(RefusalCode::InvalidCondition);
        if (kind == FitType::RationalPolynomial && t.y == 0.0)
            return Refusal{RefusalCode::ThroughPointAtZero, {significant(t.x, 10)}};
    }
    return std::nullopt;
}

std::optional<Refusal> weightRefusal(FitType kind, const PointSet& points, int n, const FitOptions& o)
{
    if (o.weighting == Weighting::Relative) {
        for (int i = 1; i <= n; ++i)
            if (measured(kind, points, i) == 0.0)
                return Refusal{RefusalCode::ZeroValue, {"relative", std::to_string(i), valueName(kind)}};
    }
    if (o.weighting == Weighting::Column) {
        if (o.pointWeights.size() < static_cast<std::size_t>(n))
            return Refusal{RefusalCode::MissingWeights, {kind == FitType::SurfaceXY ? "surface" : "curve"}};
        for (int i = 1; i <= n; ++i) {
            const double w = o.pointWeights[static_cast<std::size_t>(i - 1)];
            if (!(w > 0.0) || !std::isfinite(w))
                return Refusal{RefusalCode::NonPositiveWeight, {std::to_string(i), significant(w, 10)}};
        }
    }
    if (kind == FitType::RationalPolynomial && o.weighting != Weighting::None) {
        for (int i = 1; i <= n; ++i)
            if (points.y[i] == 0.0) return Refusal{RefusalCode::ZeroValue, {"rational", std::to_string(i), "y"}};
    }
    return std::nullopt;
}

std::optional<Refusal> programmeRefusal(FitType kind, const PointSet& points, int n, const FitOptions& o)
{
    if (o.minimax) {
        if (o.weighting != Weighting::None)
            return refusalOf(RefusalCode::MinimaxWithWeights);
        for (int i = 1; i <= n; ++i)
            if (measured(kind, points, i) == 0.0)
                return Refusal{RefusalCode::ZeroValue, {"minimax", std::to_string(i), valueName(kind)}};
    }
    if (o.monotone != Monotone::None && o.throughPoints.size() > 1) {
        std::vector<ThroughPoint> through = o.throughPoints;
        std::sort(through.begin(), through.end(), [](const ThroughPoint& a, const ThroughPoint& b) { return a.x < b.x; });
        const double sign = o.monotone == Monotone::Decreasing ? -1.0 : 1.0;
        for (std::size_t k = 1; k < through.size(); ++k)
            if (sign * (through[k].y - through[k - 1].y) < 0.0)
                return Refusal{RefusalCode::ThroughPointsNotMonotone,
                               {o.monotone == Monotone::Decreasing ? "decrescente" : "crescente"}};
    }
    return std::nullopt;
}

} // namespace

std::optional<Refusal> steeringRefusal(FitType kind, int degree, const PointSet& points, int n,
                                           const FitOptions& options)
{
    if (auto refusal = kindRefusal(kind, options)) return refusal;
    if (auto refusal = conditionRefusal(kind, degree, options)) return refusal;
    if (auto refusal = weightRefusal(kind, points, n, options)) return refusal;
    return programmeRefusal(kind, points, n, options);
}

SteeredProblem steeredProblem(FitType kind, int degree, const PointSet& points, int n, const FitOptions& o)
{
    const bool surface = kind == FitType::SurfaceXY;
    const bool rational = kind == FitType::RationalPolynomial;
    SteeredProblem problem;
    problem.terms = surface ? surfaceMonomials(degree) : powersOfX(degree);
    for (int i = 1; i <= n; ++i) {
        problem.x.push_back(points.x[i]);
        if (surface) problem.y.push_back(points.y[i]);
        const double value = measured(kind, points, i);
        // The rational kind fits P = 1/y; the reciprocal as its plain fit takes it.
        problem.v.push_back(rational ? divide(1.0, value) : value);
        if (o.weighting == Weighting::None) continue;
        // A weight of the squared error of y; 1/y moves by dy/y², so its weight is w·y⁴.
        const double w = o.weighting == Weighting::Relative ? 1.0 / (value * value)
                                                            : o.pointWeights[static_cast<std::size_t>(i - 1)];
        problem.weights.push_back(checked(rational ? w * value * value * value * value : w));
    }
    for (const ThroughPoint& t : o.throughPoints)
        problem.conditions.push_back({LinearCondition::Kind::Value, t.x, surface ? t.y : 0.0, 0,
                                      surface ? t.z : rational ? divide(1.0, t.y) : t.y});
    for (const FixedTerm& t : o.fixedTerms)
        problem.conditions.push_back({LinearCondition::Kind::Coefficient, 0.0, 0.0, t.term - 1, t.value});
    problem.minimax = o.minimax;
    problem.slopeSign = o.monotone == Monotone::Decreasing ? -1 : o.monotone == Monotone::Increasing ? 1 : 0;
    problem.curvatureSign = o.curvature == Curvature::Concave ? -1 : o.curvature == Curvature::Convex ? 1 : 0;
    return problem;
}

} // namespace calvero
