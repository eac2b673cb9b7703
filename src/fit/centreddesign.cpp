#include "fit/centreddesign.h"

#include "fit/fault.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

Real powerOf(Real base, int exponent)
{
    Real result = 1;
    for (int i = 0; i < exponent; ++i) result *= base;
    return result;
}

// (scale·w + shift)^exponent as the coefficients of w^0 .. w^exponent.
std::vector<Real> binomialExpansion(Real scale, Real shift, int exponent)
{
    std::vector<Real> coefficients(static_cast<std::size_t>(exponent) + 1);
    Real binomial = 1;
    for (int i = 0; i <= exponent; ++i) {
        coefficients[static_cast<std::size_t>(i)] = binomial * powerOf(scale, i) * powerOf(shift, exponent - i);
        binomial = binomial * (exponent - i) / (i + 1);
    }
    return coefficients;
}

int termIndex(std::span<const Monomial> terms, int xPower, int yPower)
{
    for (std::size_t k = 0; k < terms.size(); ++k)
        if (terms[k].xPower == xPower && terms[k].yPower == yPower) return static_cast<int>(k);
    return -1;
}

} // namespace

bool isPowersOfX(std::span<const Monomial> terms)
{
    for (std::size_t k = 0; k < terms.size(); ++k)
        if (terms[k].xPower != static_cast<int>(k) || terms[k].yPower != 0) return false;
    return true;
}

Axis axisOf(std::span<const double> values)
{
    if (values.empty()) return {};
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const Real halfWidth = (static_cast<Real>(*high) - *low) / 2;
    // All points at one value: its powers are constant columns, which the
    // rank test then finds dependent.
    return {(static_cast<Real>(*high) + *low) / 2, halfWidth > 0 ? halfWidth : 1};
}

bool holdsLowerPowers(std::span<const Monomial> terms)
{
    for (const Monomial& term : terms)
        for (int a = 0; a <= term.xPower; ++a)
            for (int b = 0; b <= term.yPower; ++b)
                if (termIndex(terms, a, b) < 0) return false;
    return true;
}

Axis keptInTerms(Axis axis, std::span<const Monomial> terms)
{
    if (holdsLowerPowers(terms)) return axis;
    const Real largest = std::max(std::fabs(axis.centre - axis.halfWidth), std::fabs(axis.centre + axis.halfWidth));
    return {0, largest > 0 ? largest : 1};
}

RealMatrix changeOfVariables(std::span<const Monomial> terms, Real sx, Real ox, Real sy, Real oy)
{
    const auto p = static_cast<Eigen::Index>(terms.size());
    RealMatrix change = RealMatrix::Zero(p, p);
    for (Eigen::Index j = 0; j < p; ++j) {
        const Monomial term = terms[static_cast<std::size_t>(j)];
        const std::vector<Real> alongX = binomialExpansion(sx, ox, term.xPower);
        const std::vector<Real> alongY = binomialExpansion(sy, oy, term.yPower);
        for (int a = 0; a <= term.xPower; ++a)
            for (int b = 0; b <= term.yPower; ++b) {
                const int row = termIndex(terms, a, b);
                if (row >= 0)
                    change(row, j) += alongX[static_cast<std::size_t>(a)] * alongY[static_cast<std::size_t>(b)];
            }
    }
    return change;
}

HighestPowers highestPowers(std::span<const Monomial> terms)
{
    HighestPowers highest;
    for (const Monomial& term : terms) {
        highest.x = std::max(highest.x, term.xPower);
        highest.y = std::max(highest.y, term.yPower);
    }
    return highest;
}

CentredTerms::CentredTerms(std::span<const double> x, std::span<const double> y, std::span<const Monomial> terms)
    : terms(terms), ax(keptInTerms(axisOf(x), terms)), ay(keptInTerms(axisOf(y), terms)), n(static_cast<Eigen::Index>(x.size())),
      p(static_cast<Eigen::Index>(terms.size())), unit(n, p), givenLengths(RealVector::Zero(p))
{
    const HighestPowers highest = highestPowers(terms);
    highestX = highest.x;
    highestY = highest.y;
    PointPowers<Real> centred(highestX, highestY);
    PointPowers<double> given(highestX, highestY);
    for (Eigen::Index i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        centred.at((x[at] - ax.centre) / ax.halfWidth, y.empty() ? 0 : (y[at] - ay.centre) / ay.halfWidth);
        given.at(x[at], y.empty() ? 0.0 : y[at]);
        for (Eigen::Index j = 0; j < p; ++j) {
            const Monomial term = terms[static_cast<std::size_t>(j)];
            unit(i, j) = centred.term(term);
            // Each power of the data as a double must exist: the powers
            // of x as given are what the coefficients multiply.
            const Real power = checked(given.term(term));
            givenLengths(j) += power * power;
        }
    }
    givenLengths = givenLengths.cwiseSqrt();
    lengths = unit.colwise().norm().transpose();
    if (n < p || (lengths.array() == 0).any()) raiseFault(FaultKind::InvalidOperation);
    unit = unit * lengths.cwiseInverse().asDiagonal();
}

// One row of the unit columns' terms, or of a derivative of them, at (x, y)
// as given: of computes it from the centred powers, perUnit turns it into
// units of x (or y) as given.
namespace {
template <typename Of>
RealVector unitRowAt(const CentredTerms& t, double x, double y, Of of, Real perUnit)
{
    PointPowers<Real> centred(t.highestX, t.highestY);
    centred.at((x - t.ax.centre) / t.ax.halfWidth, (y - t.ay.centre) / t.ay.halfWidth);
    RealVector row(t.p);
    for (Eigen::Index j = 0; j < t.p; ++j)
        row(j) = of(centred, t.terms[static_cast<std::size_t>(j)]) / perUnit / t.lengths(j);
    return row;
}
} // namespace

RealVector CentredTerms::rowAt(double x, double y) const
{
    return unitRowAt(*this, x, y, [](const PointPowers<Real>& c, const Monomial& m) { return c.term(m); }, 1);
}

RealVector CentredTerms::slopeRowAt(double x, double y) const
{
    return unitRowAt(*this, x, y, [](const PointPowers<Real>& c, const Monomial& m) { return c.slope(m); },
                     ax.halfWidth);
}

RealVector CentredTerms::slopeYRowAt(double x, double y) const
{
    return unitRowAt(*this, x, y, [](const PointPowers<Real>& c, const Monomial& m) { return c.slopeY(m); },
                     ay.halfWidth);
}

RealVector CentredTerms::curvatureRowAt(double x, double y) const
{
    return unitRowAt(*this, x, y, [](const PointPowers<Real>& c, const Monomial& m) { return c.curvature(m); },
                     ax.halfWidth * ax.halfWidth);
}

RealMatrix CentredTerms::toGiven() const
{
    return changeOfVariables(terms, 1 / ax.halfWidth, -ax.centre / ax.halfWidth, 1 / ay.halfWidth,
                             -ay.centre / ay.halfWidth) *
           lengths.cwiseInverse().asDiagonal();
}

DesignConditioning conditioningFromFactor(const RealMatrix& R, const ColumnPermutation& P,
                                          const RealMatrix& toCentred, const RealMatrix& toGiven,
                                          const RealVector& lengths, const RealVector& givenLengths,
                                          FactorPrecision precision)
{
    const Eigen::Index p = R.rows();
    // With X = Q·S·diag(givenLengths), S's singular values are those of X with
    // unit columns, and (XᵀX)⁻¹ = (toGiven·P·R⁻¹)(toGiven·P·R⁻¹)ᵀ.
    const RealMatrix unitDesign =
        R * P.transpose() * lengths.asDiagonal() * toCentred * givenLengths.cwiseInverse().asDiagonal();
    DesignConditioning conditioning;
    if (precision == FactorPrecision::Double) {
        const Eigen::VectorXd sigma = Eigen::JacobiSVD<Eigen::MatrixXd>(unitDesign.cast<double>()).singularValues();
        conditioning.conditionNumber = sigma(0) / sigma(p - 1);
    } else {
        const RealVector sigma = Eigen::JacobiSVD<RealMatrix>(unitDesign).singularValues();
        conditioning.conditionNumber = static_cast<double>(sigma(0) / sigma(p - 1));
    }
    const RealMatrix spread = R.triangularView<Eigen::Upper>().solve<Eigen::OnTheRight>(RealMatrix(toGiven * P));
    for (Eigen::Index j = 0; j < p; ++j)
        conditioning.varianceFactors.push_back(static_cast<double>(spread.row(j).squaredNorm()));
    return conditioning;
}

} // namespace calvero
