#include "fit/equalityfit.h"

#include "fit/fault.h"

#include <cmath>

namespace calvero {

namespace {

// Conditions whose rows, each of unit length, leave less than this of a row
// once the others are taken out say the same thing twice.
constexpr Real DependentConditions = 1e-12L;

} // namespace

std::vector<Quad> givenConditionRow(const LinearCondition& condition, std::span<const Monomial> terms)
{
    std::vector<Quad> row(terms.size(), Quad(0.0));
    if (condition.kind == LinearCondition::Kind::Coefficient) {
        row[static_cast<std::size_t>(condition.term)] = Quad(1.0);
        return row;
    }
    const auto [highestX, highestY] = highestPowers(terms);
    PointPowers<Quad> powers(highestX, highestY);
    powers.at(condition.x, condition.y);
    for (std::size_t k = 0; k < terms.size(); ++k)
        row[k] = condition.kind == LinearCondition::Kind::Value   ? powers.term(terms[k])
                 : condition.kind == LinearCondition::Kind::Slope ? powers.slope(terms[k])
                                                                  : powers.curvature(terms[k]);
    return row;
}

Checked<ConditionedDesign> ConditionedDesign::make(const WeightedProblem& problem, const CentredTerms& design,
                                                   const std::vector<LinearCondition>& conditions)
{
    ConditionedDesign d(problem, design, conditions);
    const Eigen::Index n = design.n, p = design.p, m = static_cast<Eigen::Index>(conditions.size());
    if (m > p) return failed<ConditionedDesign>(refusalOf(RefusalCode::DependentConditions));
    d.rowScales_ = RealVector::Ones(n);
    for (Eigen::Index i = 0; i < n && !problem.weights.empty(); ++i)
        d.rowScales_(i) = std::sqrt(static_cast<Real>(problem.weights[static_cast<std::size_t>(i)]));

    const RealMatrix toGiven = design.toGiven();
    d.rows_ = RealMatrix(m, p);
    d.conditionScales_ = RealVector(m);
    for (Eigen::Index j = 0; j < m; ++j) {
        const LinearCondition& c = conditions[static_cast<std::size_t>(j)];
        const RealVector row = c.kind == LinearCondition::Kind::Value   ? design.rowAt(c.x, c.y)
                               : c.kind == LinearCondition::Kind::Slope ? design.slopeRowAt(c.x, c.y)
                               : c.kind == LinearCondition::Kind::Curvature ? design.curvatureRowAt(c.x, c.y)
                                                                        : RealVector(toGiven.row(c.term).transpose());
        const Real length = row.norm();
        // Powers of a through point too large for a double are an overflow,
        // not a dependence among the conditions.
        if (!std::isfinite(static_cast<double>(length))) return failed<ConditionedDesign>(refusalOf(RefusalCode::Overflow));
        if (!(length > 0)) return failed<ConditionedDesign>(refusalOf(RefusalCode::DependentConditions));
        d.rows_.row(j) = row.transpose() / length;
        d.conditionScales_(j) = length;
    }
    if (m > 0) {
        Eigen::ColPivHouseholderQR<RealMatrix> rank(d.rows_.transpose());
        rank.setThreshold(DependentConditions);
        if (rank.rank() < m) return failed<ConditionedDesign>(refusalOf(RefusalCode::DependentConditions));
        const Eigen::HouseholderQR<RealMatrix> qr(d.rows_.transpose());
        const RealMatrix q = qr.householderQ();
        d.rangeSpace_ = q.leftCols(m);
        d.nullSpace_ = q.rightCols(p - m);
        d.conditionsR_ = qr.matrixQR().topLeftCorner(m, m).triangularView<Eigen::Upper>();
    } else {
        d.rangeSpace_ = RealMatrix(p, 0);
        d.nullSpace_ = RealMatrix::Identity(p, p);
        d.conditionsR_ = RealMatrix(0, 0);
    }
    // As many conditions as terms leave nothing to fit: the conditions alone are the curve.
    if (p == m) return succeeded(std::move(d));
    const RealMatrix reducedDesign = d.rowScales_.asDiagonal() * design.unit * d.nullSpace_;
    d.reduced_ = Eigen::ColPivHouseholderQR<RealMatrix>(reducedDesign.rows(), reducedDesign.cols());
    d.reduced_.setThreshold(RankTolerance);
    d.reduced_.compute(reducedDesign);
    if (d.reduced_.rank() < p - m) return failed<ConditionedDesign>(refusalOf(RefusalCode::ConditionsUndetermined));
    return succeeded(std::move(d));
}

RealVector ConditionedDesign::conditionValues() const
{
    RealVector values(static_cast<Eigen::Index>(conditions_.size()));
    for (Eigen::Index j = 0; j < values.size(); ++j)
        values(j) = conditions_[static_cast<std::size_t>(j)].value / conditionScales_(j);
    return values;
}

RealVector ConditionedDesign::particular() const
{
    if (conditions_.empty()) return RealVector::Zero(design_.p);
    return rangeSpace_ * conditionsR_.transpose().triangularView<Eigen::Lower>().solve(conditionValues());
}

RealVector ConditionedDesign::step(const RealVector& valueResiduals, const RealVector& conditionResiduals) const
{
    RealVector along = RealVector::Zero(design_.p);
    if (conditionResiduals.size() > 0)
        along = rangeSpace_ * conditionsR_.transpose().triangularView<Eigen::Lower>().solve(conditionResiduals);
    if (nullSpace_.cols() == 0) return along;
    const RealVector left = rowScales_.asDiagonal() * (valueResiduals - design_.unit * along);
    return along + nullSpace_ * reduced_.solve(left);
}

ConditionedDesign::Solution ConditionedDesign::solve() const
{
    const Eigen::Index n = design_.n, m = static_cast<Eigen::Index>(conditions_.size());
    RealVector values(n);
    for (Eigen::Index i = 0; i < n; ++i) values(i) = problem_.v[static_cast<std::size_t>(i)];
    const RealVector wanted = conditionValues();
    RealVector scaled = step(values, wanted);
    scaled += step(values - design_.unit * scaled, wanted - rows_ * scaled);
    const RealMatrix toGiven = design_.toGiven();
    RealVector given = toGiven * scaled;

    // One refinement against the residuals of the powers of x as given.
    PointPowers<Quad> powers(design_.highestX, design_.highestY);
    RealVector residuals(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        powers.at(problem_.x[at], problem_.y.empty() ? 0.0 : problem_.y[at]);
        Quad residual = problem_.v[at];
        for (Eigen::Index j = 0; j < design_.p; ++j)
            residual -= static_cast<Quad>(given(j)) * powers.term(problem_.terms[static_cast<std::size_t>(j)]);
        residuals(i) = static_cast<Real>(residual);
    }
    RealVector conditionResiduals(m);
    for (Eigen::Index j = 0; j < m; ++j) {
        const LinearCondition& c = conditions_[static_cast<std::size_t>(j)];
        const std::vector<Quad> row = givenConditionRow(c, problem_.terms);
        Quad residual = c.value;
        for (Eigen::Index k = 0; k < design_.p; ++k) residual -= row[static_cast<std::size_t>(k)] * static_cast<Quad>(given(k));
        conditionResiduals(j) = static_cast<Real>(residual) / conditionScales_(j);
    }
    given += toGiven * step(residuals, conditionResiduals);
    // A fixed coefficient is the user's number, not one near it.
    for (const LinearCondition& c : conditions_)
        if (c.kind == LinearCondition::Kind::Coefficient) given(c.term) = c.value;
    return {given, scaled};
}

std::vector<double> ConditionedDesign::varianceFactors() const
{
    const Eigen::Index free = nullSpace_.cols();
    std::vector<double> factors(static_cast<std::size_t>(design_.p), 0.0);
    if (free == 0) return factors;
    const RealMatrix R = reduced_.matrixR().topLeftCorner(free, free).triangularView<Eigen::Upper>();
    const RealMatrix spread = R.triangularView<Eigen::Upper>().solve<Eigen::OnTheRight>(
        RealMatrix(design_.toGiven() * nullSpace_ * reduced_.colsPermutation()));
    for (Eigen::Index j = 0; j < design_.p; ++j) factors[static_cast<std::size_t>(j)] = static_cast<double>(spread.row(j).squaredNorm());
    return factors;
}

Real ConditionedDesign::leverage(const RealVector& row) const
{
    const Eigen::Index free = nullSpace_.cols();
    if (free == 0) return 0;
    // With A·N·P = Q·R, (NᵀAᵀAN)⁻¹ = P·R⁻¹·R⁻ᵀ·Pᵀ: the leverage is |R⁻ᵀ·Pᵀ·Nᵀ·row|².
    const RealVector along = reduced_.colsPermutation().transpose() * (nullSpace_.transpose() * row);
    const RealMatrix R = reduced_.matrixR().topLeftCorner(free, free).triangularView<Eigen::Upper>();
    return R.transpose().triangularView<Eigen::Lower>().solve(along).squaredNorm();
}

} // namespace calvero
