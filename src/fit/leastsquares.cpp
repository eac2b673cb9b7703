#include "fit/leastsquares.h"

#include "fit/centreddesign.h"
#include "fit/fault.h"
#include "fit/kernel.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>

namespace calvero {

namespace {

using Matrix = RealMatrix;
using Vector = RealVector;

// The centred design with unit columns, factorized.
struct CentredDesign : CentredTerms {
    Eigen::ColPivHouseholderQR<Matrix> qr;

    CentredDesign(std::span<const double> x, std::span<const double> y, std::span<const Monomial> terms)
        : CentredTerms(x, y, terms), qr(n, p)
    {
        qr.setThreshold(RankTolerance);
        qr.compute(unit);
        if (qr.rank() < p) raiseFault(FaultKind::InvalidOperation);
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
    const Matrix toGiven = design.toGiven();
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
        Matrix(design.toGiven() * design.qr.colsPermutation()));
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
