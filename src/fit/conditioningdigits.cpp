#include "fit/conditioningdigits.h"

#include "fit/centreddesign.h"
#include "fit/statistics.h"

#include <algorithm>
#include <cmath>

namespace calvero {
namespace {

// One unit in the 16th significant digit of v: the change of a datum the
// sensitivity speaks of (none for a datum of 0, written exactly).
Real lastDigitUnit(double v)
{
    if (v == 0.0 || !std::isfinite(v)) return 0;
    return std::pow(10.0L, std::floor(std::log10(std::fabs(static_cast<Real>(v)))) - 15);
}

// The terms' rounding errors are independent and partly cancel, and the
// largest terms carry most of them: a double-precision evaluation (Horner's
// or the sum of the terms) at the worst point keeps half a digit to a digit
// and a half more than u·Σ|c_k φ_k| would leave. The figure takes the middle
// of that range rather than the bound.
constexpr Real TypicalRoundingDigits = 0.5;

Real clampedDigits(Real digits) { return std::clamp(digits, Real(0), static_cast<Real>(DoubleDigits)); }

// The polynomial at one point in quad precision: near a root of an
// ill-conditioned fit the value is a small difference of large terms.
Real valueAt(const PointPowers<Quad>& powers, std::span<const Monomial> terms, std::span<const double> coefficients)
{
    Quad value = 0.0;
    for (std::size_t k = 0; k < terms.size(); ++k) value += Quad(coefficients[k]) * powers.term(terms[k]);
    return static_cast<Real>(value);
}

} // namespace

std::vector<double> dataSensitivityDigits(std::span<const double> x, std::span<const double> y,
                                          std::span<const double> values, std::span<const double> weights,
                                          std::span<const Monomial> terms, std::span<const double> coefficients)
{
    try {
        const CentredTerms design(x, y, terms);
        const Eigen::Index n = design.n, p = design.p;
        RealVector rootWeights = RealVector::Ones(n);
        for (Eigen::Index i = 0; i < n && !weights.empty(); ++i)
            rootWeights(i) = std::sqrt(static_cast<Real>(weights[static_cast<std::size_t>(i)]));
        const RealMatrix weighted = rootWeights.asDiagonal() * design.unit;
        const Eigen::ColPivHouseholderQR<RealMatrix> qr(weighted);
        if (qr.rank() < p) return {};
        const auto R = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();
        const auto P = qr.colsPermutation();
        // Q = A·P·R⁻¹ (the rows q_i) and G = T·P·R⁻¹, T the change to the
        // terms as given, so that (AᵀA)⁻¹ in given terms is G·Gᵀ.
        const RealMatrix Q = R.solve<Eigen::OnTheRight>(RealMatrix(weighted * P));
        const RealMatrix G = R.solve<Eigen::OnTheRight>(RealMatrix(design.toGiven() * P));

        // The least-squares solution and its residuals in the design's own
        // well-conditioned basis, not from the printed coefficients: their
        // rounding alone would leave residuals far above the true ones
        // where the terms cancel.
        RealVector target(n);
        for (Eigen::Index i = 0; i < n; ++i) target(i) = rootWeights(i) * values[static_cast<std::size_t>(i)];
        const RealVector projected = Q.transpose() * target;
        const RealVector weightedResiduals = target - Q * projected;
        const RealVector unitCoefficients = P * RealVector(R.solve(projected));

        RealVector variance = RealVector::Zero(p);
        const bool surface = !y.empty();
        // dc = (AᵀA)⁻¹ [Aᵀ W^½ (dv - dU·c) + dUᵀ W r] along one input's change.
        auto byInput = [&](Eigen::Index i, const RealVector& slopeRow) {
            const Real slope = slopeRow.dot(unitCoefficients);
            const RealVector q = Q.row(i).transpose();
            return RealVector(G * (-rootWeights(i) * slope * q + rootWeights(i) * weightedResiduals(i) *
                                                                     R.transpose().solve(RealVector(P.transpose() * slopeRow))));
        };
        for (Eigen::Index i = 0; i < n; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const double yi = surface ? y[at] : 0.0;
            const RealVector byValue = rootWeights(i) * (G * RealVector(Q.row(i).transpose()));
            variance += (byValue * lastDigitUnit(values[at])).cwiseAbs2();
            variance += (byInput(i, design.slopeRowAt(x[at], yi)) * lastDigitUnit(x[at])).cwiseAbs2();
            if (surface) variance += (byInput(i, design.slopeYRowAt(x[at], yi)) * lastDigitUnit(yi)).cwiseAbs2();
        }
        std::vector<double> digits;
        for (Eigen::Index k = 0; k < p; ++k) {
            const Real c = std::fabs(static_cast<Real>(coefficients[static_cast<std::size_t>(k)]));
            const Real spread = std::sqrt(variance(k));
            digits.push_back(c == 0 || spread == 0 ? DoubleDigits
                                                   : static_cast<double>(clampedDigits(-std::log10(spread / c))));
        }
        return digits;
    } catch (const ArithmeticFault&) {
        return {}; // a design without unit columns or with too few points
    }
}

std::optional<double> evaluationDigits(std::span<const double> x, std::span<const double> y,
                                       std::span<const Monomial> terms, std::span<const double> coefficients)
{
    const HighestPowers highest = highestPowers(terms);
    if (highest.x > MaxPower || highest.y > MaxPower) return std::nullopt;
    PointPowers<Quad> powers(highest.x, highest.y);
    std::optional<Real> fewest;
    for (std::size_t i = 0; i < x.size(); ++i) {
        powers.at(x[i], y.empty() ? 0.0 : y[i]);
        Real magnitude = 0;
        for (std::size_t k = 0; k < terms.size(); ++k)
            magnitude += std::fabs(static_cast<Real>(coefficients[k]) * static_cast<Real>(powers.term(terms[k])));
        const Real value = std::fabs(valueAt(powers, terms, coefficients));
        if (value == 0 || !std::isfinite(static_cast<double>(magnitude))) continue;
        const Real digits = clampedDigits(DoubleDigits + TypicalRoundingDigits - std::log10(magnitude / value));
        if (!fewest || digits < *fewest) fewest = digits;
    }
    if (!fewest) return std::nullopt;
    return static_cast<double>(*fewest);
}

} // namespace calvero
