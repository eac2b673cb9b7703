#include "fit/quickleastsquares.h"

#include "fit/centreddesign.h"
#include "fit/curvesums.h"
#include "fit/doubledouble.h"
#include "fit/kernel.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace calvero {

namespace {

// Inside these bounds no power, product or sum of the data leaves the range
// where double-double keeps its precision (doubledouble.h).
constexpr double Smallest = 0x1p-200, Largest = 0x1p200;
// The centred columns' pivots may fall to this share of the first: the
// correction then gains at least eight digits a pass.
constexpr double SmallestPivotShare = 1e-4;
// A correction this small beside its coefficient leaves it exact to well below
// half a unit of a double's last place; so does one whose term moves the
// curve by this share of the largest value fitted.
constexpr double SettledShare = 0x1p-45, NegligibleShare = 0x1p-70;
constexpr int MostPasses = 4;
// How far cancellation times the design's condition number may grow before
// double-double's 106 bits no longer leave the coefficients exact.
constexpr double MostLoss = 0x1p30;

bool usable(double value) { return value == 0.0 || (std::fabs(value) > Smallest && std::fabs(value) < Largest); }

bool allUsable(std::span<const double> values)
{
    return std::all_of(values.begin(), values.end(), usable);
}

// The smallest magnitude of the values that are not zero, at most 1.
double smallestBesideZero(std::span<const double> values)
{
    double smallest = 1.0;
    for (double value : values)
        if (value != 0.0) smallest = std::min(smallest, std::fabs(value));
    return smallest;
}

// Xᵀ(v - Xc) over the powers of x (and y) as given, in double-double, and the
// largest magnitude Σ |c_k · term_k| of the sums at the points: beside the
// largest value fitted, how much they cancel.
struct Correction {
    std::vector<DoubleDouble> gradient;
    double largestSum = 0.0;
};

// The curve's pass: the residuals from the curve's sums (curvesums.h), then
// the residuals times each power of x summed over the points, Width points
// side by side so that the vector unit adds them together. The points are
// taken a chunk at a time, each lane of each sum going on from chunk to
// chunk, so the sums are those of one sweep over all the points while the
// memory stays that of a chunk.
CALVERO_FMA_CLONES Correction curveCorrectionAt(std::span<const double> x, std::span<const double> v,
                                                const RealVector& c)
{
    constexpr std::size_t Width = 8;
    constexpr std::size_t ChunkPoints = 512 * Width;
    using Lanes = std::array<double, Width>;
    const auto p = static_cast<std::size_t>(c.size());
    const std::size_t n = x.size();
    std::vector<DoubleDouble> coefficients(p);
    for (std::size_t k = 0; k < p; ++k) coefficients[k] = toDoubleDouble(c(static_cast<Eigen::Index>(k)));
    std::vector<Lanes> sumHi(p, Lanes{}), sumLo(p, Lanes{});
    // The last few points, fewer than Width, added after the lanes.
    std::vector<std::vector<DoubleDouble>> tails(p);
    double largestSum = 0.0;
    CurveSums sums;
    for (std::size_t first = 0; first < n; first += ChunkPoints) {
        const std::size_t count = std::min(ChunkPoints, n - first);
        const std::span<const double> xs = x.subspan(first, count);
        curveSums(xs, coefficients, sums);
        // The terms x^k · residual, as hi + lo, in place of the sums.
        std::vector<double>& hi = sums.hi;
        std::vector<double>& lo = sums.lo;
        for (std::size_t i = 0; i < count; ++i) {
            largestSum = std::max(largestSum, sums.magnitude[i]);
            const DoubleDouble residual = DoubleDouble(v[first + i]) - DoubleDouble(hi[i], lo[i]);
            hi[i] = residual.hi;
            lo[i] = residual.lo;
        }
        const std::size_t lanedHere = count - count % Width; // a tail only in the last chunk
        for (std::size_t k = 0; k < p; ++k) {
            if (k > 0) {
#pragma omp simd
                for (std::size_t i = 0; i < count; ++i) {
                    const double ph = hi[i] * xs[i];
                    const double pl = std::fma(lo[i], xs[i], std::fma(hi[i], xs[i], -ph));
                    const double h = ph + pl;
                    lo[i] = pl - (h - ph); // |pl| ≤ half a unit of ph's last place
                    hi[i] = h;
                }
            }
            Lanes& laneHi = sumHi[k];
            Lanes& laneLo = sumLo[k];
            for (std::size_t i = 0; i < lanedHere; i += Width) {
#pragma omp simd
                for (std::size_t l = 0; l < Width; ++l) {
                    const double a = laneHi[l], b = hi[i + l];
                    const double s = a + b, bb = s - a;
                    const double e = ((a - (s - bb)) + (b - bb)) + (laneLo[l] + lo[i + l]);
                    const double h = s + e, b2 = h - s;
                    laneLo[l] = (s - (h - b2)) + (e - b2);
                    laneHi[l] = h;
                }
            }
            for (std::size_t i = lanedHere; i < count; ++i) tails[k].push_back(DoubleDouble(hi[i], lo[i]));
        }
    }
    Correction correction{std::vector<DoubleDouble>(p), largestSum};
    for (std::size_t k = 0; k < p; ++k) {
        DoubleDouble total;
        for (std::size_t l = 0; l < Width; ++l) total = total + DoubleDouble(sumHi[k][l], sumLo[k][l]);
        for (const DoubleDouble& term : tails[k]) total = total + term;
        correction.gradient[k] = total;
    }
    return correction;
}

// Any terms in x and y: each term's value at the point, then as above.
CALVERO_FMA_CLONES Correction termCorrectionAt(std::span<const double> x, std::span<const double> y,
                                               std::span<const double> v, std::span<const Monomial> terms,
                                               const RealVector& c, int highestX, int highestY)
{
    const std::size_t p = terms.size();
    std::vector<DoubleDouble> coefficients(p), products(p), termValues(p);
    for (std::size_t k = 0; k < p; ++k) coefficients[k] = toDoubleDouble(c(static_cast<Eigen::Index>(k)));
    PointPowers<DoubleDouble> powers(highestX, highestY);
    double largestSum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        powers.at(DoubleDouble(x[i]), DoubleDouble(y.empty() ? 0.0 : y[i]));
        DoubleDouble residual(v[i]);
        double magnitude = 0.0;
        for (std::size_t k = 0; k < p; ++k) {
            termValues[k] = powers.term(terms[k]);
            const DoubleDouble term = termValues[k] * coefficients[k];
            magnitude += std::fabs(term.hi);
            residual = residual - term;
        }
        for (std::size_t k = 0; k < p; ++k) products[k] = products[k] + termValues[k] * residual;
        largestSum = std::max(largestSum, magnitude);
    }
    return {std::move(products), largestSum};
}

Correction correctionAt(std::span<const double> x, std::span<const double> y, std::span<const double> v,
                        std::span<const Monomial> terms, const RealVector& c, int highestX, int highestY)
{
    if (highestY == 0 && isPowersOfX(terms)) return curveCorrectionAt(x, v, c);
    return termCorrectionAt(x, y, v, terms, c, highestX, highestY);
}

// The centred axis in doubles: the design in double only steers the
// correction, so its centre need not be exact.
Axis doubleAxis(std::span<const double> values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return Axis{(*high + *low) / 2, (*high - *low) / 2};
}

double largestOf(const Axis& axis)
{
    return std::max(std::fabs(static_cast<double>(axis.centre - axis.halfWidth)),
                    std::fabs(static_cast<double>(axis.centre + axis.halfWidth)));
}

// Every value, and every power of the data up to the highest, inside the
// range where the double-double bounds hold.
bool insideQuickRange(std::span<const double> x, std::span<const double> y, std::span<const double> v,
                      const Axis& ax, const Axis& ay, int highestX, int highestY)
{
    if (!allUsable(x) || !allUsable(v) || (highestY > 0 && !allUsable(y))) return false;
    const double largest = std::pow(std::max(largestOf(ax), 1.0), highestX) *
                           (highestY > 0 ? std::pow(std::max(largestOf(ay), 1.0), highestY) : 1.0);
    const double smallest = std::pow(smallestBesideZero(x), highestX) *
                            (highestY > 0 ? std::pow(smallestBesideZero(y), highestY) : 1.0);
    return largest <= Largest && smallest >= Smallest;
}

// The centred design with unit columns, in double, and the lengths of the
// columns before scaling and of the powers of x as given.
struct DoubleDesign {
    Eigen::MatrixXd unit;
    Eigen::VectorXd lengths, givenLengths;
};

std::optional<DoubleDesign> doubleDesign(std::span<const double> x, std::span<const double> y,
                                         std::span<const Monomial> terms, const Axis& ax, const Axis& ay,
                                         int highestX, int highestY)
{
    const auto n = static_cast<Eigen::Index>(x.size());
    const auto p = static_cast<Eigen::Index>(terms.size());
    const auto cx = static_cast<double>(ax.centre), hx = static_cast<double>(ax.halfWidth);
    const auto cy = static_cast<double>(ay.centre), hy = static_cast<double>(ay.halfWidth);
    DoubleDesign design{Eigen::MatrixXd(n, p), Eigen::VectorXd(p), Eigen::VectorXd::Zero(p)};
    PointPowers<double> centred(highestX, highestY), given(highestX, highestY);
    for (Eigen::Index i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const double yi = highestY > 0 ? y[at] : 0.0;
        centred.at((x[at] - cx) / hx, (yi - cy) / hy);
        given.at(x[at], yi);
        for (Eigen::Index j = 0; j < p; ++j) {
            const Monomial term = terms[static_cast<std::size_t>(j)];
            design.unit(i, j) = centred.term(term);
            const double power = given.term(term);
            design.givenLengths(j) += power * power;
        }
    }
    design.givenLengths = design.givenLengths.cwiseSqrt();
    design.lengths = design.unit.colwise().norm().transpose();
    if ((design.lengths.array() == 0).any() || (design.givenLengths.array() == 0).any()) return std::nullopt;
    design.unit = design.unit * design.lengths.cwiseInverse().asDiagonal();
    return design;
}

// The factor of the centred unit design U = Q·R·Pᵀ that the correction
// needs, the least squares of the values in U's coefficients (only a start:
// the correction makes them exact), and the columns' lengths.
struct Factor {
    Eigen::MatrixXd triangle;
    ColumnPermutation permutation;
    Eigen::VectorXd solution;
    Eigen::VectorXd lengths, givenLengths;
};

// The grid's points and a few more: the design whole, factorized at once.
Factor wholeFactor(const DoubleDesign& design, std::span<const double> v)
{
    const auto p = design.unit.cols();
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(design.unit);
    return {qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>(), qr.colsPermutation(),
            qr.solve(Eigen::Map<const Eigen::VectorXd>(v.data(), static_cast<Eigen::Index>(v.size()))),
            design.lengths, design.givenLengths};
}

// Beyond this many points the design is never held whole: its rows are
// made and folded into the triangle a block at a time, so a large data set
// costs no more memory than a block and stays in the cache.
constexpr std::size_t MostWholeRows = 4096;
constexpr Eigen::Index BlockRows = 512;

// The same factor from the rows a block at a time: each block, with the
// values as a last column, stacked under the triangle so far and reduced by
// Householder QR; the last triangle, whose columns are as long as the
// design's, then pivoted as the whole design would be. Two passes over the
// points: the columns' lengths first, then the blocks.
std::optional<Factor> streamedFactor(std::span<const double> x, std::span<const double> y,
                                     std::span<const double> v, std::span<const Monomial> terms, const Axis& ax,
                                     const Axis& ay, int highestX, int highestY)
{
    const auto n = static_cast<Eigen::Index>(x.size());
    const auto p = static_cast<Eigen::Index>(terms.size());
    const auto cx = static_cast<double>(ax.centre), hx = static_cast<double>(ax.halfWidth);
    const auto cy = static_cast<double>(ay.centre), hy = static_cast<double>(ay.halfWidth);
    PointPowers<double> centred(highestX, highestY), given(highestX, highestY);
    const auto centredAt = [&](Eigen::Index i) {
        const auto at = static_cast<std::size_t>(i);
        centred.at((x[at] - cx) / hx, ((highestY > 0 ? y[at] : 0.0) - cy) / hy);
    };
    Eigen::VectorXd lengths = Eigen::VectorXd::Zero(p), givenLengths = Eigen::VectorXd::Zero(p);
    for (Eigen::Index i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        centredAt(i);
        given.at(x[at], highestY > 0 ? y[at] : 0.0);
        for (Eigen::Index j = 0; j < p; ++j) {
            const Monomial term = terms[static_cast<std::size_t>(j)];
            lengths(j) += centred.term(term) * centred.term(term);
            givenLengths(j) += given.term(term) * given.term(term);
        }
    }
    lengths = lengths.cwiseSqrt();
    givenLengths = givenLengths.cwiseSqrt();
    if ((lengths.array() == 0).any() || (givenLengths.array() == 0).any()) return std::nullopt;

    // Rows 0..p hold the triangle so far (with the values' column), the rest a block.
    Eigen::MatrixXd stack = Eigen::MatrixXd::Zero(p + 1 + BlockRows, p + 1);
    Eigen::Index kept = 0;
    for (Eigen::Index first = 0; first < n; first += BlockRows) {
        const Eigen::Index rows = std::min(BlockRows, n - first);
        for (Eigen::Index r = 0; r < rows; ++r) {
            centredAt(first + r);
            for (Eigen::Index j = 0; j < p; ++j)
                stack(kept + r, j) = centred.term(terms[static_cast<std::size_t>(j)]) / lengths(j);
            stack(kept + r, p) = v[static_cast<std::size_t>(first + r)];
        }
        Eigen::Ref<Eigen::MatrixXd> stacked = stack.topRows(kept + rows);
        const Eigen::HouseholderQR<Eigen::Ref<Eigen::MatrixXd>> qr(stacked); // in place
        const Eigen::Index triangleRows = std::min<Eigen::Index>(kept + rows, p + 1);
        const Eigen::MatrixXd triangle =
            qr.matrixQR().topRows(triangleRows).triangularView<Eigen::Upper>().toDenseMatrix();
        stack.topRows(triangleRows) = triangle;
        kept = triangleRows;
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> pivoted(stack.topLeftCorner(p, p));
    return Factor{pivoted.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>(), pivoted.colsPermutation(),
                  pivoted.solve(stack.col(p).head(p)), lengths, givenLengths};
}

// The correction T·(UᵀU)⁻¹·Tᵀ·Xᵀr of the coefficients as given, U = X·T the
// centred unit design and UᵀU = P·RᵀR·Pᵀ. Tᵀ·Xᵀr cancels as much as T is
// ill-conditioned (data far from 0), so it is summed in double-double; the
// rest is benign.
class CorrectionStep {
public:
    CorrectionStep(const RealMatrix& toGiven, const RealMatrix& R, const ColumnPermutation& P)
        : p_(toGiven.rows()),
          toCentred_(R.transpose().triangularView<Eigen::Lower>().solve(
              RealMatrix(P.transpose().toDenseMatrix().cast<Real>()))),
          fromCentred_(toGiven * toCentred_.transpose())
    {
        for (Eigen::Index j = 0; j < p_; ++j)
            for (Eigen::Index k = 0; k < p_; ++k) toGivenColumns_.push_back(toDoubleDouble(toGiven(k, j)));
    }

    RealVector operator()(const std::vector<DoubleDouble>& gradient) const
    {
        RealVector centred(p_);
        for (Eigen::Index j = 0; j < p_; ++j) {
            DoubleDouble sum;
            for (Eigen::Index k = 0; k < p_; ++k)
                sum = sum + toGivenColumns_[static_cast<std::size_t>(j * p_ + k)] * gradient[static_cast<std::size_t>(k)];
            centred(j) = toLongDouble(sum);
        }
        return fromCentred_ * (toCentred_ * centred);
    }

private:
    Eigen::Index p_;
    RealMatrix toCentred_, fromCentred_; // R⁻ᵀPᵀ and T·P·R⁻¹
    std::vector<DoubleDouble> toGivenColumns_;
};

// Whether a step leaves every coefficient settled: the step small beside
// the coefficient, or its term's reach (its largest power over the points)
// negligible beside the largest value fitted.
bool settles(const RealVector& step, const RealVector& c, const Eigen::VectorXd& reach, double largestValue)
{
    for (Eigen::Index k = 0; k < c.size(); ++k) {
        const long double size = std::fabs(step(k));
        if (!(size <= SettledShare * std::fabs(c(k)) || size * reach(k) <= NegligibleShare * largestValue)) return false;
    }
    return true;
}

} // namespace

std::optional<LeastSquaresFit> quickLeastSquares(std::span<const double> x, std::span<const double> y,
                                                 std::span<const double> v, std::span<const Monomial> terms)
{
    const auto p = static_cast<Eigen::Index>(terms.size());
    const auto [highestX, highestY] = highestPowers(terms);
    if (p == 0 || x.size() < terms.size() || highestX > MaxPower || highestY > MaxPower) return std::nullopt;
    if (highestY > 0 && y.size() != x.size()) return std::nullopt;
    const Axis ax = keptInTerms(doubleAxis(x), terms), ay = highestY > 0 ? keptInTerms(doubleAxis(y), terms) : Axis{0, 1};
    if (ax.halfWidth == 0 || ay.halfWidth == 0) return std::nullopt;
    if (!insideQuickRange(x, y, v, ax, ay, highestX, highestY)) return std::nullopt;
    std::optional<Factor> factor;
    if (x.size() > MostWholeRows) {
        factor = streamedFactor(x, y, v, terms, ax, ay, highestX, highestY);
    } else if (const std::optional<DoubleDesign> design = doubleDesign(x, y, terms, ax, ay, highestX, highestY)) {
        factor = wholeFactor(*design, v);
    }
    if (!factor) return std::nullopt;

    const Eigen::MatrixXd& triangle = factor->triangle;
    if (!(std::fabs(triangle(p - 1, p - 1)) > SmallestPivotShare * std::fabs(triangle(0, 0)))) return std::nullopt;
    const RealMatrix R = triangle.cast<Real>();
    const RealVector lengths = factor->lengths.cast<Real>();
    const RealMatrix toGiven = changeOfVariables(terms, 1 / ax.halfWidth, -ax.centre / ax.halfWidth,
                                                 1 / ay.halfWidth, -ay.centre / ay.halfWidth) *
                               lengths.cwiseInverse().asDiagonal();
    const CorrectionStep correctionStep(toGiven, R, factor->permutation);

    RealVector c = toGiven * factor->solution.cast<Real>();
    double largestValue = 0.0;
    for (double value : v) largestValue = std::max(largestValue, std::fabs(value));
    Eigen::VectorXd reach(p);
    for (Eigen::Index j = 0; j < p; ++j) {
        const Monomial term = terms[static_cast<std::size_t>(j)];
        reach(j) = std::pow(largestOf(ax), term.xPower) * (highestY > 0 ? std::pow(largestOf(ay), term.yPower) : 1.0);
    }
    double cancellation = 0.0;
    bool settled = false;
    for (int pass = 0; pass < MostPasses && !settled; ++pass) {
        const Correction correction = correctionAt(x, y, v, terms, c, highestX, highestY);
        const RealVector step = correctionStep(correction.gradient);
        c += step;
        if (!c.allFinite()) return std::nullopt;
        cancellation = largestValue > 0.0 ? correction.largestSum / largestValue : 0.0;
        settled = settles(step, c, reach, largestValue);
    }
    if (!settled) return std::nullopt;

    LeastSquaresFit fit;
    fit.conditioning = conditioningFromFactor(R, factor->permutation,
                                              changeOfVariables(terms, ax.halfWidth, ax.centre, ay.halfWidth, ay.centre),
                                              toGiven, lengths, factor->givenLengths.cast<Real>(), FactorPrecision::Double);
    if (!(fit.conditioning.conditionNumber * std::max(cancellation, 1.0) < MostLoss)) return std::nullopt;
    for (Eigen::Index k = 0; k < p; ++k) {
        if (!std::isfinite(static_cast<double>(c(k)))) return std::nullopt; // the long road says how it fails
        fit.coefficients.push_back(roundToDouble(c(k)));
    }
    return fit;
}

} // namespace calvero
