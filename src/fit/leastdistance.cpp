#include "fit/leastdistance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

// A row whose part outside the active rows' span is shorter than this (rows
// have unit length) lies in that span: adding it moves only the multipliers.
constexpr Real InSpan = 1e-12L;

struct Directions {
    RealVector primal; // the row's part orthogonal to the active rows: w moves along -primal
    RealVector dual;   // how the active rows' multipliers fall per unit of the new one
};

Directions directionsOf(const RealMatrix& rows, const std::vector<Eigen::Index>& active, Eigen::Index j)
{
    const Eigen::Index k = rows.cols(), q = static_cast<Eigen::Index>(active.size());
    const RealVector a = rows.row(j).transpose();
    if (q == 0) return {a, RealVector(0)};
    RealMatrix normals(k, q);
    for (Eigen::Index i = 0; i < q; ++i) normals.col(i) = rows.row(active[static_cast<std::size_t>(i)]).transpose();
    const Eigen::HouseholderQR<RealMatrix> qr(normals);
    const RealMatrix q1 = qr.householderQ() * RealMatrix::Identity(k, q);
    const RealVector along = q1.transpose() * a;
    return {a - q1 * along, qr.matrixQR().topLeftCorner(q, q).triangularView<Eigen::Upper>().solve(along)};
}

} // namespace

LeastDistance leastDistance(const RealMatrix& rows, const RealVector& upper, Real tolerance)
{
    const Eigen::Index m = rows.rows(), k = rows.cols();
    const Real none = std::numeric_limits<Real>::infinity();
    LeastDistance result;
    result.w = RealVector::Zero(k);
    std::vector<Eigen::Index>& active = result.active;
    std::vector<Real> multipliers;
    // Each step adds or drops a row and the dual objective rises; this
    // many steps mean the rounding has it going round in circles.
    const long mostSteps = 20 * (m + k) + 100;
    long steps = 0;
    for (;;) {
        Eigen::Index j = -1;
        Real worst = tolerance;
        for (Eigen::Index i = 0; i < m; ++i) {
            const Real excess = rows.row(i).dot(result.w) - upper(i);
            if (excess > worst && std::find(active.begin(), active.end(), i) == active.end()) worst = excess, j = i;
        }
        if (j < 0) {
            result.outcome = LeastDistance::Outcome::Solved;
            return result;
        }
        Real added = 0; // row j's multiplier
        for (;;) {
            if (++steps > mostSteps) return {LeastDistance::Outcome::Failed, result.w, {}};
            const Directions d = directionsOf(rows, active, j);
            const Real length = d.primal.norm();
            const Real full = length > InSpan ? (rows.row(j).dot(result.w) - upper(j)) / (length * length) : none;
            Real partial = none;
            std::size_t dropped = 0;
            for (std::size_t i = 0; i < active.size(); ++i) {
                const Real r = d.dual(static_cast<Eigen::Index>(i));
                if (r > 0 && multipliers[i] / r < partial) partial = multipliers[i] / r, dropped = i;
            }
            const Real t = std::min(full, partial);
            // Row j cannot be met without giving up a row already met: no point keeps them all.
            if (!std::isfinite(t)) return {LeastDistance::Outcome::Infeasible, result.w, {}};
            if (length > InSpan) result.w -= t * d.primal;
            for (std::size_t i = 0; i < active.size(); ++i) multipliers[i] -= t * d.dual(static_cast<Eigen::Index>(i));
            added += t;
            if (full <= partial) {
                active.push_back(j);
                multipliers.push_back(added);
                break;
            }
            active.erase(active.begin() + static_cast<long>(dropped));
            multipliers.erase(multipliers.begin() + static_cast<long>(dropped));
        }
    }
}

} // namespace calvero
