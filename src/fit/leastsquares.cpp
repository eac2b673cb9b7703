#include "fit/leastsquares.h"

#include "fit/centreddesign.h"
#include "fit/curvesums.h"
#include "fit/doubledouble.h"
#include "fit/fault.h"
#include "fit/kernel.h"
#include "fit/quickleastsquares.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

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
    return conditioningFromFactor(design.qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>(),
                                  design.qr.colsPermutation(),
                                  changeOfVariables(terms, design.ax.halfWidth, design.ax.centre, design.ay.halfWidth,
                                                    design.ay.centre),
                                  design.toGiven(), design.lengths, design.givenLengths, FactorPrecision::LongDouble);
}

} // namespace

std::vector<double> fitLeastSquares(std::span<const double> x, std::span<const double> y, std::span<const double> v,
                                    std::span<const Monomial> terms)
{
    if (std::optional<LeastSquaresFit> quick = quickLeastSquares(x, y, v, terms)) return std::move(quick->coefficients);
    return solved(CentredDesign(x, y, terms), x, y, v, terms);
}

LeastSquaresFit fitLeastSquaresWithConditioning(std::span<const double> x, std::span<const double> y,
                                                std::span<const double> v, std::span<const Monomial> terms,
                                                SolverRoad road)
{
    if (road == SolverRoad::QuickWhenItCan)
        if (std::optional<LeastSquaresFit> quick = quickLeastSquares(x, y, v, terms)) return std::move(*quick);
    const CentredDesign design(x, y, terms);
    return {solved(design, x, y, v, terms), conditioningOf(design, terms)};
}

double polynomialValue(std::span<const double> coefficients, std::span<const Monomial> terms, double x, double y)
{
    return PolynomialInQuad(coefficients, terms)(x, y);
}

struct PolynomialInQuad::Sum {
    std::vector<Quad> coefficients;
    std::vector<double> asGiven;
    std::vector<Monomial> terms;
    PointPowers<Quad> powers;
    PointPowers<DoubleDouble> quickPowers;
};

namespace {

// Where the double-double bounds hold with room to spare: no part of a sum
// near overflow or near the subnormal numbers.
constexpr double QuickSmallest = 0x1p-700, QuickLargest = 0x1p700;

// The double that a sum of terms in double-double (hi + lo), erring by at
// most 2^-103 of the terms' magnitude a step (doubledouble.h), and the same
// sum in quad both round to, when every value within the error bound rounds
// to it: 2^-100 a step, with eight steps more, is ample for both. Nothing
// next to a rounding boundary, for a sum cancelling to nothing, or outside
// the range where the bound holds.
std::optional<double> certainlyRounded(const DoubleDouble& sum, double magnitude, int steps)
{
    if (!(magnitude < QuickLargest) || !(magnitude > QuickSmallest)) return std::nullopt;
    const double bound = (steps + 8) * 0x1p-100 * magnitude * (1 + 0x1p-40) + 0x1p-104 * std::fabs(sum.hi);
    const double low = sum.hi + (sum.lo - bound);
    const double high = sum.hi + (sum.lo + bound);
    if (low != high || !(std::fabs(low) > QuickSmallest)) return std::nullopt;
    return low;
}

// The quad sum rounded to a double, found without quad when it can be: the
// sum in double-double with a bound on its error, and the double it rounds
// to when every value within the bound, the quad sum's among them, rounds
// to the same one. Nothing when it cannot be told that way (a sum next to
// a rounding boundary or cancelling to nothing, values outside the range
// where the bound holds): quad then decides, so the result is always the
// quad sum's, bit for bit.
CALVERO_FMA_CLONES std::optional<double> quickRoundedSum(std::span<const double> coefficients, std::span<const Monomial> terms,
                                      PointPowers<DoubleDouble>& powers, double x, double y)
{
    for (double value : {x, y})
        if (!(std::fabs(value) < QuickLargest) || (value != 0.0 && std::fabs(value) < QuickSmallest))
            return std::nullopt;
    powers.at(DoubleDouble{x, 0.0}, DoubleDouble{y, 0.0});
    DoubleDouble sum;
    double magnitude = 0.0; // Σ |c_k · term_k|, what the rounding errors scale with
    for (std::size_t k = 0; k < terms.size(); ++k) {
        const DoubleDouble term = powers.term(terms[k]) * coefficients[k];
        magnitude += std::fabs(term.hi);
        sum = sum + term;
    }
    return certainlyRounded(sum, magnitude, 2 * (powers.highestX + powers.highestY) + static_cast<int>(terms.size()));
}

} // namespace

PolynomialInQuad::PolynomialInQuad(std::span<const double> coefficients, std::span<const Monomial> terms)
{
    const auto [highestX, highestY] = highestPowers(terms);
    sum_ = std::make_unique<Sum>(Sum{{},
                                     {coefficients.begin(), coefficients.begin() + static_cast<long>(terms.size())},
                                     {terms.begin(), terms.end()},
                                     PointPowers<Quad>(highestX, highestY),
                                     PointPowers<DoubleDouble>(highestX, highestY)});
    for (std::size_t k = 0; k < terms.size(); ++k) sum_->coefficients.emplace_back(coefficients[k]);
}

PolynomialInQuad::~PolynomialInQuad() = default;

double PolynomialInQuad::operator()(double x, double y)
{
    if (const std::optional<double> quick = quickRoundedSum(sum_->asGiven, sum_->terms, sum_->quickPowers, x, y))
        return *quick;
    return quadSum(x, y);
}

double PolynomialInQuad::quadSum(double x, double y)
{
    sum_->powers.at(x, y);
    Quad sum = 0.0;
    for (std::size_t k = 0; k < sum_->terms.size(); ++k) sum += sum_->coefficients[k] * sum_->powers.term(sum_->terms[k]);
    return static_cast<double>(sum);
}

std::vector<double> PolynomialInQuad::values(std::span<const double> x, std::span<const double> y)
{
    std::vector<double> result(x.size());
    if (!isPowersOfX(sum_->terms)) {
        for (std::size_t i = 0; i < x.size(); ++i) result[i] = (*this)(x[i], y.empty() ? 0.0 : y[i]);
        return result;
    }
    // A curve's sums at all the points together (curvesums.h: Horner's rule,
    // two steps a coefficient), each rounded where its bound allows.
    std::vector<DoubleDouble> coefficients;
    for (double c : sum_->asGiven) coefficients.emplace_back(c);
    CurveSums sums;
    curveSums(x, coefficients, sums);
    const int steps = 2 * static_cast<int>(coefficients.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const std::optional<double> quick =
            std::fabs(x[i]) < QuickLargest
                ? certainlyRounded(DoubleDouble(sums.hi[i], sums.lo[i]), sums.magnitude[i], steps)
                : std::nullopt;
        result[i] = quick ? *quick : quadSum(x[i], 0.0);
    }
    return result;
}

DesignConditioning designConditioning(std::span<const double> x, std::span<const double> y,
                                      std::span<const Monomial> terms)
{
    return conditioningOf(CentredDesign(x, y, terms), terms);
}

} // namespace calvero
