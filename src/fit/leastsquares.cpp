#include "fit/leastsquares.h"

#include "fit/fault.h"
#include "fit/kernel.h"
#include "fit/quad.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>

namespace calvero {

namespace {

using Real = long double;
using Matrix = Eigen::Matrix<Real, Eigen::Dynamic, Eigen::Dynamic>;
using Vector = Eigen::Matrix<Real, Eigen::Dynamic, 1>;
// The residuals of the powers of x cancel by many digits: they are summed in
// quad precision (fit/quad.h), whose 113 bits keep what long double's 64
// would lose.

// A variable and the one centred and scaled from it: t = (v - centre) / halfWidth.
struct Axis {
    Real centre = 0;
    Real halfWidth = 1;
};

Axis axisOf(std::span<const double> values)
{
    if (values.empty()) return {};
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const Real halfWidth = (static_cast<Real>(*high) - *low) / 2;
    // All points at one value: its powers are constant columns, which the
    // rank test then finds dependent.
    return {(static_cast<Real>(*high) + *low) / 2, halfWidth > 0 ? halfWidth : 1};
}

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

// The matrix that takes the coefficients of the terms in (u, v) to those of
// the same terms in (w, z), where u = sx·w + ox and v = sy·z + oy. The term
// lists of the engine hold every lower power of each of their terms, so the
// expansion never leaves the list.
Matrix changeOfVariables(std::span<const Monomial> terms, Real sx, Real ox, Real sy, Real oy)
{
    const auto p = static_cast<Eigen::Index>(terms.size());
    Matrix change = Matrix::Zero(p, p);
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

// The powers of one point's x and y, up to the highest the terms use (at
// most MaxPower), kept in place: the statistics take them at every point.
constexpr int MaxPower = 15;

template <typename Number>
struct PointPowers {
    std::array<Number, MaxPower + 1> ofX, ofY;
    int highestX, highestY;

    PointPowers(int highestX, int highestY) : highestX(highestX), highestY(highestY)
    {
        if (highestX > MaxPower || highestY > MaxPower) raiseFault(FaultKind::Overflow);
    }
    void at(Number x, Number y)
    {
        ofX[0] = ofY[0] = static_cast<Number>(1.0);
        ofX[1] = x; // 1 · x, exactly
        ofY[1] = y;
        for (int e = 2; e <= highestX; ++e) ofX[static_cast<std::size_t>(e)] = ofX[static_cast<std::size_t>(e - 1)] * x;
        for (int e = 2; e <= highestY; ++e) ofY[static_cast<std::size_t>(e)] = ofY[static_cast<std::size_t>(e - 1)] * y;
    }
    Number term(const Monomial& m) const
    {
        return highestY == 0 ? ofX[static_cast<std::size_t>(m.xPower)]
                             : ofX[static_cast<std::size_t>(m.xPower)] * ofY[static_cast<std::size_t>(m.yPower)];
    }
};

// The design of the terms in x and y centred and scaled to [-1, 1], with its
// columns of unit length, factorized.
struct CentredDesign {
    Axis ax, ay;
    Eigen::Index n = 0, p = 0;
    int highestX = 0, highestY = 0;
    Matrix unit;
    Vector lengths; // of the columns before they were scaled
    Eigen::ColPivHouseholderQR<Matrix> qr;
    Vector givenLengths; // of the columns of the powers of x (and y) as given

    CentredDesign(std::span<const double> x, std::span<const double> y, std::span<const Monomial> terms)
        : ax(axisOf(x)), ay(axisOf(y)), n(static_cast<Eigen::Index>(x.size())),
          p(static_cast<Eigen::Index>(terms.size())), unit(n, p), givenLengths(Vector::Zero(p))
    {
        for (const Monomial& term : terms) {
            highestX = std::max(highestX, term.xPower);
            highestY = std::max(highestY, term.yPower);
        }
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
        qr = Eigen::ColPivHouseholderQR<Matrix>(n, p);
        qr.setThreshold(RankTolerance);
        qr.compute(unit);
        if (qr.rank() < p) raiseFault(FaultKind::InvalidOperation);
    }

    // The matrix taking the coefficients of the unit columns to those of the
    // powers of x (and y) as given.
    Matrix toGiven(std::span<const Monomial> terms) const
    {
        return changeOfVariables(terms, 1 / ax.halfWidth, -ax.centre / ax.halfWidth, 1 / ay.halfWidth,
                                 -ay.centre / ay.halfWidth) *
               lengths.cwiseInverse().asDiagonal();
    }
};

} // namespace

std::vector<Monomial> powersOfX(int degree)
{
    std::vector<Monomial> terms;
    for (int k = 0; k <= degree; ++k) terms.push_back({k, 0});
    return terms;
}

namespace {

std::vector<double> solved(const CentredDesign& design, std::span<const double> x, std::span<const double> y,
                           std::span<const double> v, std::span<const Monomial> terms)
{
    const Matrix toGiven = design.toGiven(terms);
    Vector values(design.n);
    for (Eigen::Index i = 0; i < design.n; ++i) values(i) = v[static_cast<std::size_t>(i)];
    Vector scaled = design.qr.solve(values);
    scaled += design.qr.solve(Vector(values - design.unit * scaled));
    Vector given = toGiven * scaled;

    // One refinement against the residuals of the powers of x as given.
    PointPowers<Quad> powers(design.highestX, design.highestY);
    std::vector<Quad> coefficients(static_cast<std::size_t>(design.p));
    for (Eigen::Index j = 0; j < design.p; ++j) coefficients[static_cast<std::size_t>(j)] = Quad(given(j));
    Vector residuals(design.n);
    for (Eigen::Index i = 0; i < design.n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        powers.at(x[at], y.empty() ? 0.0 : y[at]);
        Quad residual = v[at];
        for (std::size_t j = 0; j < coefficients.size(); ++j) residual -= coefficients[j] * powers.term(terms[j]);
        residuals(i) = static_cast<Real>(residual);
    }
    given += toGiven * design.qr.solve(residuals);

    std::vector<double> rounded;
    for (Eigen::Index j = 0; j < design.p; ++j) rounded.push_back(roundToDouble(given(j)));
    return rounded;
}

DesignConditioning conditioningOf(const CentredDesign& design, std::span<const Monomial> terms)
{
    const Eigen::Index p = design.p;
    // With X = Q·S·diag(givenLengths), S's singular values are those of X with
    // unit columns, and (XᵀX)⁻¹ = (toGiven·P·R⁻¹)(toGiven·P·R⁻¹)ᵀ.
    const Matrix R = design.qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
    const Matrix toCentred = changeOfVariables(terms, design.ax.halfWidth, design.ax.centre, design.ay.halfWidth,
                                               design.ay.centre);
    const Matrix unitDesign = R * design.qr.colsPermutation().transpose() * design.lengths.asDiagonal() * toCentred *
                              design.givenLengths.cwiseInverse().asDiagonal();
    const Vector sigma = Eigen::JacobiSVD<Matrix>(unitDesign).singularValues();
    DesignConditioning conditioning;
    conditioning.conditionNumber = static_cast<double>(sigma(0) / sigma(p - 1));
    const Matrix spread = R.triangularView<Eigen::Upper>().solve<Eigen::OnTheRight>(
        Matrix(design.toGiven(terms) * design.qr.colsPermutation()));
    for (Eigen::Index j = 0; j < p; ++j)
        conditioning.varianceFactors.push_back(static_cast<double>(spread.row(j).squaredNorm()));
    return conditioning;
}

} // namespace

std::vector<double> fitLeastSquares(std::span<const double> x, std::span<const double> y, std::span<const double> v,
                                    std::span<const Monomial> terms)
{
    return solved(CentredDesign(x, y, terms), x, y, v, terms);
}

LeastSquaresFit fitLeastSquaresWithConditioning(std::span<const double> x, std::span<const double> y,
                                                std::span<const double> v, std::span<const Monomial> terms)
{
    const CentredDesign design(x, y, terms);
    return {solved(design, x, y, v, terms), conditioningOf(design, terms)};
}

double polynomialValue(std::span<const double> coefficients, std::span<const Monomial> terms, double x, double y)
{
    return PolynomialInQuad(coefficients, terms)(x, y);
}

struct PolynomialInQuad::Sum {
    std::vector<Quad> coefficients;
    std::vector<Monomial> terms;
    PointPowers<Quad> powers;
};

PolynomialInQuad::PolynomialInQuad(std::span<const double> coefficients, std::span<const Monomial> terms)
{
    int highestX = 0, highestY = 0;
    for (const Monomial& term : terms) highestX = std::max(highestX, term.xPower), highestY = std::max(highestY, term.yPower);
    sum_ = std::make_unique<Sum>(Sum{{}, {terms.begin(), terms.end()}, PointPowers<Quad>(highestX, highestY)});
    for (std::size_t k = 0; k < terms.size(); ++k) sum_->coefficients.emplace_back(coefficients[k]);
}

PolynomialInQuad::~PolynomialInQuad() = default;

double PolynomialInQuad::operator()(double x, double y)
{
    sum_->powers.at(x, y);
    Quad sum = 0.0;
    for (std::size_t k = 0; k < sum_->terms.size(); ++k) sum += sum_->coefficients[k] * sum_->powers.term(sum_->terms[k]);
    return static_cast<double>(sum);
}

DesignConditioning designConditioning(std::span<const double> x, std::span<const double> y,
                                      std::span<const Monomial> terms)
{
    return conditioningOf(CentredDesign(x, y, terms), terms);
}

} // namespace calvero
