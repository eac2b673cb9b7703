#include "fit/leastsquares.h"

#include "common/fault.h"
#include "fit/centreddesign.h"
#include "fit/kernel.h"

#include <algorithm>
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

std::vector<double> fitLeastSquares(std::span<const double> x, std::span<const double> y, std::span<const double> v,
                                    std::span<const Monomial> terms)
{
    const CentredDesign design(x, y, terms);
    const Matrix toGiven = design.toGiven();
    Vector values(design.n);
    for (Eigen::Index i = 0; i < design.n; ++i) values(i) = v[static_cast<std::size_t>(i)];
    Vector scaled = design.qr.solve(values);
    scaled += design.qr.solve(Vector(values - design.unit * scaled));
    Vector given = toGiven * scaled;

    // One refinement against the residuals of the powers of x as given.
    PointPowers<Quad> powers(design.highestX, design.highestY);
    Vector residuals(design.n);
    for (Eigen::Index i = 0; i < design.n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        powers.at(x[at], y.empty() ? 0.0 : y[at]);
        Quad residual = v[at];
        for (Eigen::Index j = 0; j < design.p; ++j)
            residual -= static_cast<Quad>(given(j)) * powers.term(terms[static_cast<std::size_t>(j)]);
        residuals(i) = static_cast<Real>(residual);
    }
    given += toGiven * design.qr.solve(residuals);

    std::vector<double> coefficients;
    for (Eigen::Index j = 0; j < design.p; ++j) coefficients.push_back(roundToDouble(given(j)));
    return coefficients;
}

double polynomialValue(std::span<const double> coefficients, std::span<const Monomial> terms, double x, double y)
{
    int highestX = 0, highestY = 0;
    for (const Monomial& term : terms) highestX = std::max(highestX, term.xPower), highestY = std::max(highestY, term.yPower);
    PointPowers<Quad> powers(highestX, highestY);
    powers.at(x, y);
    Quad sum = 0;
    for (std::size_t k = 0; k < terms.size(); ++k) sum += static_cast<Quad>(coefficients[k]) * powers.term(terms[k]);
    return static_cast<double>(sum);
}

DesignConditioning designConditioning(std::span<const double> x, std::span<const double> y,
                                      std::span<const Monomial> terms)
{
    const CentredDesign design(x, y, terms);
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

} // namespace calvero
