#include "fit/vertexexchange.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace calvero {

namespace {

// A row whose part outside the rows chosen before it is shorter than this
// (rows have unit length) adds nothing to them.
constexpr Real Independent = 1e-9L;
// A vertex whose rows are this close to dependent has no trustworthy exact solution.
constexpr Real SmallestReciprocalCondition = 1e-16L;

// As many independent rows as y has entries: the solver's rows at a bound
// first, then those nearest to holding at start.
std::vector<Eigen::Index> startingRows(const RealMatrix& rows, const RealVector& upper, const RealVector& start,
                                       const std::vector<int>& atBound)
{
    const Eigen::Index m = rows.rows(), columns = rows.cols();
    const RealVector slack = upper - rows * start;
    std::vector<bool> bound(static_cast<std::size_t>(m), false);
    for (int i : atBound) bound[static_cast<std::size_t>(i)] = true;
    std::vector<Eigen::Index> order(static_cast<std::size_t>(m));
    std::iota(order.begin(), order.end(), Eigen::Index{0});
    std::stable_sort(order.begin(), order.end(), [&](Eigen::Index a, Eigen::Index b) {
        const bool atA = bound[static_cast<std::size_t>(a)], atB = bound[static_cast<std::size_t>(b)];
        return atA != atB ? atA : slack(a) < slack(b);
    });
    std::vector<Eigen::Index> chosen;
    RealMatrix spanned(columns, 0); // orthonormal
    for (Eigen::Index i : order) {
        RealVector part = rows.row(i).transpose();
        for (int pass = 0; pass < 2; ++pass) part -= spanned * (spanned.transpose() * part);
        const Real length = part.norm();
        if (length <= Independent) continue;
        spanned.conservativeResize(Eigen::NoChange, spanned.cols() + 1);
        spanned.col(spanned.cols() - 1) = part / length;
        chosen.push_back(i);
        if (static_cast<Eigen::Index>(chosen.size()) == columns) break;
    }
    return chosen;
}

} // namespace

std::optional<Vertex> exactVertex(const RealMatrix& rows, const RealVector& upper, const RealVector& objective,
                                  const RealVector& start, const std::vector<int>& atBound, const RealVector& excess,
                                  Real tolerance)
{
    const Eigen::Index m = rows.rows(), columns = rows.cols();
    Vertex vertex;
    vertex.basis = startingRows(rows, upper, start, atBound);
    if (static_cast<Eigen::Index>(vertex.basis.size()) < columns) return std::nullopt;
    std::vector<bool> inBasis(static_cast<std::size_t>(m), false);
    for (Eigen::Index i : vertex.basis) inBasis[static_cast<std::size_t>(i)] = true;
    const long mostSteps = 4 * (m + columns) + 50;
    for (long step = 0; step < mostSteps; ++step) {
        RealMatrix basisRows(columns, columns);
        RealVector bounds(columns);
        for (Eigen::Index k = 0; k < columns; ++k) {
            basisRows.row(k) = rows.row(vertex.basis[static_cast<std::size_t>(k)]);
            bounds(k) = upper(vertex.basis[static_cast<std::size_t>(k)]);
        }
        const Eigen::PartialPivLU<RealMatrix> lu(basisRows);
        if (!(lu.rcond() > SmallestReciprocalCondition)) return std::nullopt;
        const Eigen::PartialPivLU<RealMatrix> transposed(basisRows.transpose());
        vertex.y = lu.solve(bounds);
        // objective + basisRowsᵀ·multipliers = 0, every multiplier ≥ 0 at the optimum.
        const RealVector multipliers = -transposed.solve(objective);
        Eigen::Index violated = -1;
        Real worst = 0; // the largest excess as a share of what its row may keep
        for (Eigen::Index r = 0; r < m; ++r) {
            if (inBasis[static_cast<std::size_t>(r)]) continue;
            const Real share = (rows.row(r).dot(vertex.y) - upper(r)) / excess(r);
            if (share > 1 && share > worst) worst = share, violated = r;
        }
        Eigen::Index negative;
        const Real lowest = multipliers.minCoeff(&negative);
        const bool dualFeasible = lowest >= -tolerance * std::max(Real(1), multipliers.cwiseAbs().maxCoeff());
        if (violated < 0 && dualFeasible) return vertex;
        Eigen::Index leaving = -1, entering = -1;
        if (violated >= 0) {
            if (!dualFeasible) return std::nullopt; // neither feasible nor optimal: no vertex to go on from
            // Dual step: the violated row enters; its multiplier grows until an old one falls to 0.
            const RealVector along = transposed.solve(RealVector(rows.row(violated).transpose()));
            const Real small = 1e-15L * along.cwiseAbs().maxCoeff();
            Real ratio = std::numeric_limits<Real>::infinity();
            for (Eigen::Index k = 0; k < columns; ++k)
                if (along(k) > small && std::max(multipliers(k), Real(0)) / along(k) < ratio)
                    ratio = std::max(multipliers(k), Real(0)) / along(k), leaving = k;
            if (leaving < 0) return std::nullopt; // the rows cannot all be met
            entering = violated;
        } else {
            // Primal step: the row with a negative multiplier lets go; y moves until another row holds.
            RealVector off = RealVector::Zero(columns);
            off(negative) = -1;
            const RealVector direction = lu.solve(off);
            const Real small = 1e-15L * direction.cwiseAbs().maxCoeff();
            Real ratio = std::numeric_limits<Real>::infinity();
            for (Eigen::Index r = 0; r < m; ++r) {
                if (inBasis[static_cast<std::size_t>(r)]) continue;
                const Real rate = rows.row(r).dot(direction);
                if (rate <= small) continue;
                const Real room = std::max(upper(r) - rows.row(r).dot(vertex.y), Real(0)) / rate;
                if (room < ratio) ratio = room, entering = r;
            }
            if (entering < 0) return std::nullopt; // the objective falls without end
            leaving = negative;
        }
        inBasis[static_cast<std::size_t>(vertex.basis[static_cast<std::size_t>(leaving)])] = false;
        inBasis[static_cast<std::size_t>(entering)] = true;
        vertex.basis[static_cast<std::size_t>(leaving)] = entering;
    }
    return std::nullopt;
}

} // namespace calvero
