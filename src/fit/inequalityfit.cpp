#include "fit/inequalityfit.h"

#include "fit/linearprogramme.h"
#include "fit/slopecheck.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calvero {

namespace {

// The slope is imposed at this many nodes per coefficient (Chebyshev-Lobatto
// nodes, closer together near the ends, where a polynomial moves fastest).
constexpr int NodesPerTerm = 24;
constexpr int FewestNodes = 33;
// Each round adds the nodes where the curve still turns between the others;
// a handful of rounds is the rule.
constexpr int MostRounds = 40;
// The slope at the nodes is kept this share of the data's mean slope on the
// right side of 0, so that the curve between nodes has room to stay
// monotone; the curve moves by a millionth of a millionth of the range of
// the data or less.
constexpr double MarginShare = 1e-12;
// A node whose row is this close to its bound (the rows have unit length)
// holds with equality.
constexpr double ActiveSlack = 1e-9;

struct Scales {
    Real slope = 1;  // the data's mean slope, per unit of x as given
    Real margin = 0; // the slope the nodes keep on the right side of 0
};

Scales scalesOf(const WeightedProblem& problem, const CentredTerms& design)
{
    Real low = 0, high = 0, largest = 0;
    for (std::size_t i = 0; i < problem.v.size(); ++i) {
        const Real v = problem.v[i];
        low = i == 0 ? v : std::min(low, v);
        high = i == 0 ? v : std::max(high, v);
        largest = std::max(largest, std::fabs(v));
    }
    const Real rise = high > low ? high - low : largest > 0 ? largest : 1;
    Scales scales;
    scales.slope = rise / (2 * design.ax.halfWidth);
    scales.margin = MarginShare * scales.slope;
    return scales;
}

// What one programme gave, in the centred basis.
struct Round {
    ProgrammeSolution::Outcome outcome = ProgrammeSolution::Outcome::Failed;
    RealVector centred;
    RealVector given; // set when polished
    bool slopeBound = false;
    double largestRelativeError = 0;
};

class Steering {
public:
    Steering(const WeightedProblem& problem, const CentredTerms& design, const std::vector<LinearCondition>& equalities,
             const ConditionedDesign& conditioned, InequalityRequest request)
        : problem_(problem), design_(design), equalities_(equalities), conditioned_(conditioned), request_(request),
          scales_(scalesOf(problem, design))
    {
        if (request.slopeSign == 0) return;
        const int count = std::max(FewestNodes, NodesPerTerm * static_cast<int>(design.p));
        for (int k = 0; k < count; ++k) {
            const Real t = -std::cos(std::numbers::pi_v<Real> * k / (count - 1));
            nodes_.push_back(static_cast<double>(design.ax.centre + design.ax.halfWidth * t));
        }
    }

    Checked<InequalityFit> run()
    {
        for (int round = 0; round < MostRounds; ++round) {
            const Round found = request_.minimax ? smallestLargestError() : leastSquares();
            if (found.outcome == ProgrammeSolution::Outcome::Infeasible && scales_.margin > 0) {
                // Conditions that hold the curve flat somewhere leave no room for a margin.
                scales_.margin = 0;
                continue;
            }
            if (found.outcome == ProgrammeSolution::Outcome::Infeasible) return failed<InequalityFit>(refusalOf(RefusalCode::IncompatibleConditions));
            if (found.outcome != ProgrammeSolution::Outcome::Solved) return failed<InequalityFit>(refusalOf(RefusalCode::NotSolved));
            const std::vector<double> wrong =
                request_.slopeSign == 0 ? std::vector<double>{} : wrongWaySlopes(powersOfT(found.centred), request_.slopeSign);
            const bool withinRounding = !wrong.empty() && scales_.margin == 0 &&
                                        lowestSlope(powersOfT(found.centred), request_.slopeSign) >
                                            -1e-12L * scales_.slope * design_.ax.halfWidth;
            if (wrong.empty() || withinRounding) {
                InequalityFit fit;
                fit.given = found.given.size() > 0 ? found.given : RealVector(design_.toGiven() * found.centred);
                fit.slopeBound = found.slopeBound;
                fit.largestRelativeError = found.largestRelativeError;
                return succeeded(std::move(fit));
            }
            for (double t : wrong) nodes_.push_back(static_cast<double>(design_.ax.centre + design_.ax.halfWidth * t));
        }
        return failed<InequalityFit>(refusalOf(RefusalCode::NotSolved));
    }

private:
    // The coefficients of the powers of t of a polynomial in x.
    std::vector<long double> powersOfT(const RealVector& centred) const
    {
        std::vector<long double> a(static_cast<std::size_t>(design_.p), 0.0L);
        for (Eigen::Index j = 0; j < design_.p; ++j)
            a[static_cast<std::size_t>(problem_.terms[static_cast<std::size_t>(j)].xPower)] = centred(j) / design_.lengths(j);
        return a;
    }

    // The slope rows at the nodes, each turned so that "≤ -margin" keeps the
    // curve on its side: g·u ≤ -margin.
    RealMatrix slopeRows() const
    {
        RealMatrix rows(static_cast<Eigen::Index>(nodes_.size()), design_.p);
        for (std::size_t k = 0; k < nodes_.size(); ++k)
            rows.row(static_cast<Eigen::Index>(k)) = -request_.slopeSign * design_.slopeRowAt(nodes_[k], 0.0).transpose();
        return rows;
    }

    // Adds rows·z ≤ upper (or ≥ lower) to the programme, each scaled to unit
    // length. A row the free coefficients do not reach (a slope that fixed
    // terms decide alone) is all zero but for rounding: it becomes zero, so
    // its bound alone says whether it holds, instead of a rounding error
    // scaled up to a condition that huge coefficients would meet.
    static void addRows(DenseProgramme& programme, const RealMatrix& rows, const RealVector& lower, const RealVector& upper)
    {
        const Eigen::Index first = programme.rows.rows();
        programme.rows.conservativeResize(first + rows.rows(), rows.cols());
        const Real longest = rows.rows() > 0 ? rows.rowwise().norm().maxCoeff() : Real(0);
        for (Eigen::Index i = 0; i < rows.rows(); ++i) {
            const Real length = rows.row(i).norm();
            const bool reached = length > 1e-11L * longest;
            const Real scale = reached ? 1 / length : 1;
            programme.rows.row(first + i) = reached ? Eigen::RowVectorXd((rows.row(i) * scale).cast<double>())
                                                    : Eigen::RowVectorXd::Zero(rows.cols());
            programme.rowLower.push_back(lower(i) <= -DenseProgramme::Unbounded ? -DenseProgramme::Unbounded
                                                                                : static_cast<double>(lower(i) * scale));
            programme.rowUpper.push_back(upper(i) >= DenseProgramme::Unbounded ? DenseProgramme::Unbounded
                                                                              : static_cast<double>(upper(i) * scale));
        }
    }

    static RealVector filled(Eigen::Index size, Real value) { return RealVector::Constant(size, value); }

    Round leastSquares() const
    {
        const RealMatrix& N = conditioned_.nullSpace();
        const RealVector base = conditioned_.particular();
        const Eigen::Index free = N.cols(), n = design_.n;
        RealVector values(n);
        for (Eigen::Index i = 0; i < n; ++i) values(i) = problem_.v[static_cast<std::size_t>(i)];
        Round round;
        if (free == 0) {
            // The conditions alone make the curve: it keeps the nodes on their side or nothing does.
            const bool kept = (slopeRows() * base).maxCoeff() <= -scales_.margin + 1e-13L * scales_.slope;
            round.outcome = kept ? ProgrammeSolution::Outcome::Solved : ProgrammeSolution::Outcome::Infeasible;
            round.centred = base;
            return round;
        }
        // ‖S(U(base + N z) - v)‖² = ‖R z - β‖² + const; with z = R⁻¹(w + β) the
        // objective is ‖w‖², and the slope rows G(base + N R⁻¹(w + β)) ≤ -margin.
        const Eigen::HouseholderQR<RealMatrix> qr(RealMatrix(conditioned_.rowScales().asDiagonal() * design_.unit * N));
        const RealMatrix R = qr.matrixQR().topLeftCorner(free, free).triangularView<Eigen::Upper>();
        const RealVector beta =
            (qr.householderQ().transpose() * RealVector(conditioned_.rowScales().asDiagonal() * (values - design_.unit * base)))
                .head(free);
        const RealMatrix G = slopeRows();
        const RealMatrix H = R.transpose().triangularView<Eigen::Lower>().solve(RealMatrix((G * N).transpose())).transpose();
        const RealVector upper = filled(G.rows(), -scales_.margin) - G * base - H * beta;
        const Real scale = std::max({beta.norm(), upper.cwiseAbs().maxCoeff(), Real(1e-300)});

        DenseProgramme programme;
        programme.rows = Eigen::MatrixXd(0, free);
        addRows(programme, H, filled(G.rows(), -DenseProgramme::Unbounded), upper / scale);
        programme.columnLower.assign(static_cast<std::size_t>(free), -DenseProgramme::Unbounded);
        programme.columnUpper.assign(static_cast<std::size_t>(free), DenseProgramme::Unbounded);
        programme.objective.assign(static_cast<std::size_t>(free), 0.0);
        programme.quadratic.assign(static_cast<std::size_t>(free), 1.0);
        const ProgrammeSolution solution = solveProgramme(programme);
        round.outcome = solution.outcome;
        if (solution.outcome != ProgrammeSolution::Outcome::Solved) return round;
        RealVector w(free);
        for (Eigen::Index j = 0; j < free; ++j) w(j) = scale * solution.x[static_cast<std::size_t>(j)];
        round.centred = base + N * R.triangularView<Eigen::Upper>().solve(RealVector(w + beta));

        // The nodes that hold with equality become exact conditions.
        std::vector<LinearCondition> conditions = equalities_;
        for (std::size_t k = 0; k < nodes_.size(); ++k) {
            if (programme.rowUpper[k] - solution.rowActivity[k] > ActiveSlack) continue;
            conditions.push_back({LinearCondition::Kind::Slope, nodes_[k], 0.0, 0,
                                  static_cast<double>(request_.slopeSign * scales_.margin)});
            round.slopeBound = true;
        }
        polish(round, conditions, G);
        return round;
    }

    // The solution of the active conditions, when it keeps every node on its side.
    void polish(Round& round, const std::vector<LinearCondition>& conditions, const RealMatrix& G) const
    {
        if (!round.slopeBound) {
            // No node holds: the programme's answer is the least squares of the conditions alone.
            const ConditionedDesign::Solution solved = conditioned_.solve();
            round.given = solved.given;
            round.centred = solved.centred;
            return;
        }
        const Checked<ConditionedDesign> active = ConditionedDesign::make(problem_, design_, conditions);
        if (!active) return;
        const ConditionedDesign::Solution solved = active->solve();
        if ((G * solved.centred).maxCoeff() > -scales_.margin / 2 + 1e-13L * scales_.slope) return;
        round.centred = solved.centred;
        round.given = solved.given;
    }

    Round smallestLargestError() const
    {
        const RealMatrix& N = conditioned_.nullSpace();
        const RealVector base = conditioned_.particular();
        const Eigen::Index free = N.cols(), n = design_.n;
        // Variables z (the free coefficients) and s, the largest relative error:
        // -s ≤ (U(base + N z) - v) / |v| ≤ s at every point.
        RealMatrix pointRows(n, free + 1);
        RealVector relative(n);
        const RealMatrix UN = design_.unit * N;
        for (Eigen::Index i = 0; i < n; ++i) {
            const Real v = problem_.v[static_cast<std::size_t>(i)];
            pointRows.row(i).head(free) = UN.row(i) / std::fabs(v);
            relative(i) = (v - design_.unit.row(i).dot(base)) / std::fabs(v);
        }
        DenseProgramme programme;
        programme.rows = Eigen::MatrixXd(0, free + 1);
        pointRows.col(free).setConstant(-1);
        addRows(programme, pointRows, filled(n, -DenseProgramme::Unbounded), relative);
        pointRows.col(free).setConstant(1);
        addRows(programme, pointRows, relative, filled(n, DenseProgramme::Unbounded));
        const Eigen::Index slopeStart = programme.rows.rows();
        if (request_.slopeSign != 0) {
            const RealMatrix G = slopeRows();
            RealMatrix rows = RealMatrix::Zero(G.rows(), free + 1);
            rows.leftCols(free) = G * N;
            const RealVector upper = (filled(G.rows(), -scales_.margin) - G * base) / scales_.slope;
            addRows(programme, rows / scales_.slope, filled(G.rows(), -DenseProgramme::Unbounded), upper);
        }
        programme.columnLower.assign(static_cast<std::size_t>(free), -DenseProgramme::Unbounded);
        programme.columnUpper.assign(static_cast<std::size_t>(free), DenseProgramme::Unbounded);
        programme.columnLower.push_back(0.0);
        programme.columnUpper.push_back(DenseProgramme::Unbounded);
        programme.objective.assign(static_cast<std::size_t>(free), 0.0);
        programme.objective.push_back(1.0);
        const ProgrammeSolution solution = solveProgramme(programme);
        Round round;
        round.outcome = solution.outcome;
        if (solution.outcome != ProgrammeSolution::Outcome::Solved) return round;
        RealVector z(free);
        for (Eigen::Index j = 0; j < free; ++j) z(j) = solution.x[static_cast<std::size_t>(j)];
        round.centred = base + N * z;
        round.largestRelativeError = solution.x.back();
        for (Eigen::Index k = slopeStart; k < programme.rows.rows(); ++k)
            if (programme.rowUpper[static_cast<std::size_t>(k)] - solution.rowActivity[static_cast<std::size_t>(k)] <=
                ActiveSlack)
                round.slopeBound = true;
        return round;
    }

    const WeightedProblem& problem_;
    const CentredTerms& design_;
    const std::vector<LinearCondition>& equalities_;
    const ConditionedDesign& conditioned_;
    InequalityRequest request_;
    Scales scales_;
    std::vector<double> nodes_; // x as given
};

} // namespace

Checked<InequalityFit> fitWithInequalities(const WeightedProblem& problem, const CentredTerms& design,
                                           const std::vector<LinearCondition>& equalities, InequalityRequest request)
{
    const Checked<ConditionedDesign> conditioned = ConditionedDesign::make(problem, design, equalities);
    if (!conditioned) return failed<InequalityFit>(conditioned.refusal);
    return Steering(problem, design, equalities, *conditioned, request).run();
}

} // namespace calvero
