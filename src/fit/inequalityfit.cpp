#include "fit/inequalityfit.h"

#include "fit/leastdistance.h"
#include "fit/linearprogramme.h"
#include "fit/slopecheck.h"
#include "fit/vertexexchange.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace calvero {

namespace {

// The slope is imposed at this many nodes per coefficient (Chebyshev-Lobatto
// nodes, closer together near the ends, where a polynomial moves fastest).
constexpr int NodesPerTerm = 24;
constexpr int FewestNodes = 33;
// Each round adds the nodes where the curve still turns between the others;
// a handful of rounds is the rule.
constexpr int MostRounds = 40;
// Nodes added on either side of a point where the curve still turns.
constexpr int ClusterNodes = 7;
// The slope at the nodes is kept this share of the data's mean slope on the
// right side of 0, so that the curve between nodes has room to stay
// monotone; the curve moves by a millionth of a millionth of the range of
// the data or less.
constexpr double MarginShare = 1e-12;
// A node whose row is this close to its bound (the rows have unit length)
// holds with equality in CLP's answer.
constexpr double ActiveSlack = 1e-9;
// A row of unit length met to this much of its bound is met: the rounding
// of long double over a programme whose values are of order 1.
constexpr Real FeasibleExcess = 1e-15L;
constexpr Real SmallestExcess = 1e-18L;

// One condition on the curve's shape: its derivative of one order keeps one
// side of 0 at nodes over the range.
struct Shape {
    int order = 1;   // 1 the slope (monotone), 2 the curvature (concave or convex)
    int sign = 0;    // +1 never below 0, -1 never above
    Real scale = 1;  // the data's mean derivative of that order, rise / width^order, per unit of x as given
    Real margin = 0; // the derivative the nodes keep on the right side of 0
    std::vector<double> nodes; // x as given

    LinearCondition::Kind kind() const { return order == 1 ? LinearCondition::Kind::Slope : LinearCondition::Kind::Curvature; }
};

// The shape for one order and sign, with the margin and nodes to start from.
Shape shapeOf(const WeightedProblem& problem, const CentredTerms& design, int order, int sign)
{
    Real low = 0, high = 0, largest = 0;
    for (std::size_t i = 0; i < problem.v.size(); ++i) {
        const Real v = problem.v[i];
        low = i == 0 ? v : std::min(low, v);
        high = i == 0 ? v : std::max(high, v);
        largest = std::max(largest, std::fabs(v));
    }
    const Real rise = high > low ? high - low : largest > 0 ? largest : 1;
    Shape shape;
    shape.order = order;
    shape.sign = sign;
    shape.scale = rise / std::pow(2 * design.ax.halfWidth, static_cast<Real>(order));
    shape.margin = MarginShare * shape.scale;
    const int count = std::max(FewestNodes, NodesPerTerm * static_cast<int>(design.p));
    for (int k = 0; k < count; ++k) {
        const Real t = -std::cos(std::numbers::pi_v<Real> * k / (count - 1));
        shape.nodes.push_back(static_cast<double>(design.ax.centre + design.ax.halfWidth * t));
    }
    return shape;
}

// The rows of every shape's condition, sign·derivative ≥ margin turned into
// rows·u ≤ bound, one per node in the shapes' order.
struct ShapeRows {
    RealMatrix rows;
    RealVector bound; // -margin
    RealVector scale; // the shape's scale
    std::vector<std::pair<std::size_t, std::size_t>> at; // (shape, node)
};

// What one programme gave, in the centred basis.
struct Round {
    ProgrammeSolution::Outcome outcome = ProgrammeSolution::Outcome::Failed;
    RealVector centred;
    RealVector given; // set when polished
    bool slopeBound = false;
    double largestRelativeError = 0;
};

// One row of a programme as it is handed on, rows·y ≤ upper with the row of
// unit length, and what it states: the error at a point on one side, or the
// slope at a node.
struct RowOrigin {
    Eigen::Index point = -1; // σ (fit - v) / |v| - s ≤ 0 at this point
    int sign = 0;            // σ
    Eigen::Index node = -1;  // the shape's condition at this node
    std::size_t shape = 0;   // of this shape
    Real divisor = 1;        // the stated inequality divided by this is the unit row
};

struct UnitRows {
    RealMatrix rows;
    RealVector upper;
    // What each unit row may exceed its bound by: FeasibleExcess of the
    // stated row, so that a slope row, whose unit row is its stated row
    // divided by a large length, holds the slope as closely as a point row
    // holds the error; never below long double's rounding.
    RealVector excess;
    std::vector<RowOrigin> origins;
    bool infeasible = false; // a row the variables do not reach fails its bound
};

// Appends rows·y ≤ upper, each row scaled to unit length. A row the
// variables do not reach (a slope that fixed terms decide alone) is all zero
// but for rounding: its bound alone says whether it holds, instead of a
// rounding error scaled up to a condition that huge values would meet.
void append(UnitRows& to, const RealMatrix& rows, const RealVector& upper, const std::vector<RowOrigin>& origins)
{
    const Real longest = rows.rows() > 0 ? rows.rowwise().norm().maxCoeff() : Real(0);
    for (Eigen::Index i = 0; i < rows.rows(); ++i) {
        const Real length = rows.row(i).norm();
        if (!(length > 1e-11L * longest)) {
            to.infeasible = to.infeasible || upper(i) < -1e-11L;
            continue;
        }
        to.rows.conservativeResize(to.rows.rows() + 1, rows.cols());
        to.rows.row(to.rows.rows() - 1) = rows.row(i) / length;
        to.upper.conservativeResize(to.upper.size() + 1);
        to.upper(to.upper.size() - 1) = upper(i) / length;
        to.excess.conservativeResize(to.excess.size() + 1);
        to.excess(to.excess.size() - 1) = std::max(FeasibleExcess / std::max(length, Real(1)), SmallestExcess);
        RowOrigin origin = origins[static_cast<std::size_t>(i)];
        origin.divisor *= length;
        to.origins.push_back(origin);
    }
}

class Steering {
public:
    Steering(const WeightedProblem& problem, const CentredTerms& design, const std::vector<LinearCondition>& equalities,
             const ConditionedDesign& conditioned, InequalityRequest request)
        : problem_(problem), design_(design), equalities_(equalities), conditioned_(conditioned), request_(request)
    {
        if (request.slopeSign != 0) shapes_.push_back(shapeOf(problem, design, 1, request.slopeSign));
        if (request.curvatureSign != 0) shapes_.push_back(shapeOf(problem, design, 2, request.curvatureSign));
    }

    Checked<InequalityFit> run()
    {
        if (!shapes_.empty()) {
            // A condition that does not bind changes nothing: the fit without
            // it, when it already keeps its side over the whole range.
            const Round unbound = request_.minimax ? smallestLargestError(false) : leastSquaresUnbound();
            if (unbound.outcome == ProgrammeSolution::Outcome::Solved && keepsEveryShape(unbound.centred))
                return finished(unbound);
        }
        for (int round = 0; round < MostRounds; ++round) {
            const Round found = request_.minimax ? smallestLargestError(!shapes_.empty()) : leastSquares();
            if (found.outcome == ProgrammeSolution::Outcome::Infeasible && !shapes_.empty() && shapes_.front().margin > 0) {
                // Conditions that hold the curve flat somewhere leave no room for a margin.
                for (Shape& shape : shapes_) shape.margin = 0;
                continue;
            }
            if (found.outcome == ProgrammeSolution::Outcome::Infeasible) return failed<InequalityFit>(refusalOf(RefusalCode::IncompatibleConditions));
            if (found.outcome != ProgrammeSolution::Outcome::Solved) return failed<InequalityFit>(refusalOf(RefusalCode::NotSolved));
            bool settled = true;
            for (Shape& shape : shapes_) {
                const std::vector<long double> derivative = derivativeBelow(found.centred, shape);
                const std::vector<double> wrong = wrongWaySlopes(derivative, shape.sign);
                // Held at the margin at nodes on either side, the curve may still
                // dip between them by the rounding of the programme's solution: a
                // dip that moves the curve by under half a unit in the last place
                // of its largest value changes no value it gives. A dip of the
                // slope by f over a width of at most 2 in t moves it by 2f at most.
                const Real fall = wrongWayFall(derivative, shape.sign) * (shape.order == 1 ? 1 : 2);
                if (wrong.empty() || fall <= 0x1p-54L * largestValue(found.centred)) continue;
                settled = false;
                for (double t : wrong) addNodesAround(shape, t);
            }
            if (settled) return finished(found);
        }
        return failed<InequalityFit>(refusalOf(RefusalCode::NotSolved));
    }

private:
    Checked<InequalityFit> finished(const Round& found) const
    {
        InequalityFit fit;
        fit.given = found.given.size() > 0 ? found.given : RealVector(design_.toGiven() * found.centred);
        fit.slopeBound = found.slopeBound;
        fit.largestRelativeError = found.largestRelativeError;
        return succeeded(std::move(fit));
    }

    // Where the curve still turns between two nodes, it touches the
    // condition at one point between them. A node there alone moves the dip
    // to either side of it, a quarter as deep, round after round; a node
    // there with others an eighth of the spacing apart on either side makes
    // the next dip sixty-four times shallower, so a few rounds settle it.
    void addNodesAround(Shape& shape, double t) const
    {
        double spacing = 2.0;
        for (double node : shape.nodes)
            spacing = std::min(spacing, std::fabs(static_cast<double>((node - design_.ax.centre) / design_.ax.halfWidth) - t));
        for (int j = -ClusterNodes; j <= ClusterNodes; ++j) {
            const double at = t + spacing * j / (ClusterNodes + 1);
            if (at >= -1.0 && at <= 1.0) shape.nodes.push_back(static_cast<double>(design_.ax.centre + design_.ax.halfWidth * at));
        }
    }

    // The polynomial in t whose slope is the shape's derivative: p itself
    // for the slope, p' for the curvature.
    std::vector<long double> derivativeBelow(const RealVector& centred, const Shape& shape) const
    {
        std::vector<long double> a = powersOfT(centred);
        for (int k = 1; k < shape.order; ++k) a = derivativeOf(a);
        return a;
    }

    bool keepsEveryShape(const RealVector& centred) const
    {
        for (const Shape& shape : shapes_)
            if (lowestSlope(derivativeBelow(centred, shape), shape.sign) < 0) return false;
        return true;
    }

    // The largest |value| of the curve at the points.
    Real largestValue(const RealVector& centred) const { return (design_.unit * centred).cwiseAbs().maxCoeff(); }

    // The coefficients of the powers of t of a polynomial in x.
    std::vector<long double> powersOfT(const RealVector& centred) const
    {
        std::vector<long double> a(static_cast<std::size_t>(design_.p), 0.0L);
        for (Eigen::Index j = 0; j < design_.p; ++j)
            a[static_cast<std::size_t>(problem_.terms[static_cast<std::size_t>(j)].xPower)] = centred(j) / design_.lengths(j);
        return a;
    }

    // The shapes' rows at their nodes, each turned so that "≤ -margin" keeps
    // the curve on its side: g·u ≤ -margin.
    ShapeRows shapeRows() const
    {
        ShapeRows r;
        Eigen::Index count = 0;
        for (const Shape& shape : shapes_) count += static_cast<Eigen::Index>(shape.nodes.size());
        r.rows = RealMatrix(count, design_.p);
        r.bound = RealVector(count);
        r.scale = RealVector(count);
        Eigen::Index row = 0;
        for (std::size_t s = 0; s < shapes_.size(); ++s) {
            const Shape& shape = shapes_[s];
            for (std::size_t k = 0; k < shape.nodes.size(); ++k, ++row) {
                const RealVector derivative = shape.order == 1 ? design_.slopeRowAt(shape.nodes[k], 0.0)
                                                               : design_.curvatureRowAt(shape.nodes[k], 0.0);
                r.rows.row(row) = -shape.sign * derivative.transpose();
                r.bound(row) = -shape.margin;
                r.scale(row) = shape.scale;
                r.at.emplace_back(s, k);
            }
        }
        return r;
    }

    // Where each shape row comes from; its stated inequality divided by divisors(row) is the row as handed on.
    static std::vector<RowOrigin> nodeOrigins(const ShapeRows& r, const RealVector& divisors)
    {
        std::vector<RowOrigin> origins(r.at.size());
        for (std::size_t k = 0; k < r.at.size(); ++k)
            origins[k] = {-1, 0, static_cast<Eigen::Index>(r.at[k].second), r.at[k].first, divisors(static_cast<Eigen::Index>(k))};
        return origins;
    }

    RealVector values() const
    {
        RealVector v(design_.n);
        for (Eigen::Index i = 0; i < design_.n; ++i) v(i) = problem_.v[static_cast<std::size_t>(i)];
        return v;
    }

    // The least squares without the slope condition, as the fit without it
    // gives it: with no conditions and no weights, the plain fit's own solver.
    Round leastSquaresUnbound() const
    {
        const ConditionedDesign::Solution solved = conditioned_.solve();
        Round round;
        round.outcome = ProgrammeSolution::Outcome::Solved;
        round.given = solved.given;
        round.centred = solved.centred;
        if (equalities_.empty() && problem_.weights.empty()) {
            const std::vector<double> plain = fitLeastSquares(problem_.x, problem_.y, problem_.v, problem_.terms);
            for (Eigen::Index j = 0; j < design_.p; ++j) round.given(j) = plain[static_cast<std::size_t>(j)];
        }
        return round;
    }

    Round leastSquares() const
    {
        const RealMatrix& N = conditioned_.nullSpace();
        const RealVector base = conditioned_.particular();
        const Eigen::Index free = N.cols();
        Round round;
        if (free == 0) {
            // The conditions alone make the curve: it keeps the nodes on their side or nothing does.
            const ShapeRows G = shapeRows();
            const bool kept = ((G.rows * base).array() <= (G.bound + 1e-13L * G.scale).array()).all();
            round.outcome = kept ? ProgrammeSolution::Outcome::Solved : ProgrammeSolution::Outcome::Infeasible;
            round.centred = base;
            return round;
        }
        // ‖S(U(base + N z) - v)‖² = ‖R z - β‖² + const; with z = R⁻¹(w + β) the
        // objective is ‖w‖², and the slope rows G(base + N R⁻¹(w + β)) ≤ -margin.
        const Eigen::HouseholderQR<RealMatrix> qr(RealMatrix(conditioned_.rowScales().asDiagonal() * design_.unit * N));
        const RealMatrix R = qr.matrixQR().topLeftCorner(free, free).triangularView<Eigen::Upper>();
        const RealVector beta =
            (qr.householderQ().transpose() * RealVector(conditioned_.rowScales().asDiagonal() * (values() - design_.unit * base)))
                .head(free);
        const ShapeRows G = shapeRows();
        const RealMatrix H = R.transpose().triangularView<Eigen::Lower>().solve(RealMatrix((G.rows * N).transpose())).transpose();
        const RealVector upper = G.bound - G.rows * base - H * beta;
        const Real scale = std::max({beta.norm(), upper.cwiseAbs().maxCoeff(), Real(1e-300)});
        UnitRows rows;
        rows.rows = RealMatrix(0, free);
        append(rows, H, upper / scale, nodeOrigins(G, RealVector::Ones(G.rows.rows())));
        if (rows.infeasible) {
            round.outcome = ProgrammeSolution::Outcome::Infeasible;
            return round;
        }
        const LeastDistance found = leastDistance(rows.rows, rows.upper, FeasibleExcess);
        if (found.outcome != LeastDistance::Outcome::Solved) {
            round.outcome = found.outcome == LeastDistance::Outcome::Infeasible ? ProgrammeSolution::Outcome::Infeasible
                                                                                : ProgrammeSolution::Outcome::Failed;
            return round;
        }
        round.outcome = ProgrammeSolution::Outcome::Solved;
        round.centred = base + N * R.triangularView<Eigen::Upper>().solve(RealVector(scale * found.w + beta));

        // The nodes that hold with equality become exact conditions.
        std::vector<LinearCondition> conditions = equalities_;
        for (Eigen::Index row : found.active) {
            const RowOrigin& origin = rows.origins[static_cast<std::size_t>(row)];
            const Shape& shape = shapes_[origin.shape];
            conditions.push_back({shape.kind(), shape.nodes[static_cast<std::size_t>(origin.node)], 0.0, 0,
                                  static_cast<double>(shape.sign * shape.margin)});
            round.slopeBound = true;
        }
        polish(round, conditions, G);
        return round;
    }

    // The solution of the active conditions, when it keeps every node on its side.
    void polish(Round& round, const std::vector<LinearCondition>& conditions, const ShapeRows& G) const
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
        if (((G.rows * solved.centred).array() > (G.bound / 2 + 1e-13L * G.scale).array()).any()) return;
        round.centred = solved.centred;
        round.given = solved.given;
    }

    // The smallest largest relative error: variables z (the free
    // coefficients) and s, with -s ≤ (U(base + N z) - v) / |v| ≤ s at every
    // point, and with slopes the nodes' conditions. Stated for CLP in the
    // orthonormal basis of the relative errors' design, where every column
    // has the size of s's, then made exact (vertexexchange.h) and its
    // coefficients as given refined against the residuals in quad.
    Round smallestLargestError(bool withSlopes) const
    {
        const RealMatrix& N = conditioned_.nullSpace();
        const RealVector base = conditioned_.particular();
        const Eigen::Index free = N.cols(), n = design_.n;
        RealMatrix M(n, free);
        RealVector relative(n);
        const RealMatrix UN = design_.unit * N;
        for (Eigen::Index i = 0; i < n; ++i) {
            const Real v = problem_.v[static_cast<std::size_t>(i)];
            M.row(i) = UN.row(i) / std::fabs(v);
            relative(i) = (v - design_.unit.row(i).dot(base)) / std::fabs(v);
        }
        // M = Q R; with y = R z / √n the errors are √n Q y - relative, whose
        // columns have entries of order 1 like s's.
        RealMatrix W(n, free), fromY(free, free);
        if (free > 0) {
            const Eigen::HouseholderQR<RealMatrix> qr(M);
            W = std::sqrt(static_cast<Real>(n)) * (qr.householderQ() * RealMatrix::Identity(n, free));
            fromY = qr.matrixQR().topLeftCorner(free, free).triangularView<Eigen::Upper>().solve(
                std::sqrt(static_cast<Real>(n)) * RealMatrix::Identity(free, free));
        }
        UnitRows rows;
        rows.rows = RealMatrix(0, free + 1);
        for (int sign : {1, -1}) {
            RealMatrix pointRows(n, free + 1);
            pointRows.leftCols(free) = sign * W;
            pointRows.col(free).setConstant(-1);
            std::vector<RowOrigin> origins(static_cast<std::size_t>(n));
            for (Eigen::Index i = 0; i < n; ++i) origins[static_cast<std::size_t>(i)] = {i, sign, -1, 0, 1};
            append(rows, pointRows, sign * relative, origins);
        }
        if (withSlopes) {
            const ShapeRows G = shapeRows();
            const auto perScale = G.scale.cwiseInverse().asDiagonal();
            RealMatrix slopes = RealMatrix::Zero(G.rows.rows(), free + 1);
            slopes.leftCols(free) = perScale * G.rows * N * fromY;
            append(rows, slopes, perScale * (G.bound - G.rows * base), nodeOrigins(G, G.scale));
        }
        Round round;
        if (rows.infeasible) {
            round.outcome = ProgrammeSolution::Outcome::Infeasible;
            return round;
        }
        DenseProgramme programme;
        programme.rows = rows.rows.cast<double>();
        programme.rowLower.assign(static_cast<std::size_t>(rows.rows.rows()), -DenseProgramme::Unbounded);
        for (Eigen::Index k = 0; k < rows.upper.size(); ++k) programme.rowUpper.push_back(static_cast<double>(rows.upper(k)));
        programme.columnLower.assign(static_cast<std::size_t>(free), -DenseProgramme::Unbounded);
        programme.columnUpper.assign(static_cast<std::size_t>(free + 1), DenseProgramme::Unbounded);
        programme.columnLower.push_back(0.0);
        programme.objective.assign(static_cast<std::size_t>(free), 0.0);
        programme.objective.push_back(1.0);
        const ProgrammeSolution solution = solveProgramme(programme);
        round.outcome = solution.outcome;
        if (solution.outcome != ProgrammeSolution::Outcome::Solved) return round;
        RealVector y(free + 1);
        for (Eigen::Index j = 0; j <= free; ++j) y(j) = solution.x[static_cast<std::size_t>(j)];
        const std::optional<Vertex> vertex =
            exactVertex(rows.rows, rows.upper, RealVector::Unit(free + 1, free), y, solution.rowsAtBound,
                        rows.excess, FeasibleExcess);
        if (vertex) y = vertex->y;
        RealVector z = fromY * y.head(free);
        round.centred = base + N * z;
        round.largestRelativeError = static_cast<double>(y(free));
        for (Eigen::Index k = 0; k < rows.rows.rows(); ++k) {
            const bool holds = vertex ? std::find(vertex->basis.begin(), vertex->basis.end(), k) != vertex->basis.end()
                                      : rows.upper(k) - solution.rowActivity[static_cast<std::size_t>(k)] <= ActiveSlack;
            round.slopeBound = round.slopeBound || (holds && rows.origins[static_cast<std::size_t>(k)].node >= 0);
        }
        if (vertex) refineGiven(round, *vertex, rows, N * fromY, y);
        return round;
    }

    // The vertex's equations once more, against their residuals with the
    // coefficients of the powers of x as given, summed in quad precision:
    // the map back from the centred basis loses digits in long double when
    // x is far from 0 (temperatures in kelvin).
    void refineGiven(Round& round, const Vertex& vertex, const UnitRows& rows, const RealMatrix& coefficientsOfY,
                     const RealVector& y) const
    {
        const RealMatrix toGiven = design_.toGiven();
        RealVector given = toGiven * round.centred;
        const Eigen::Index columns = y.size();
        const Real s = y(columns - 1);
        RealMatrix basisRows(columns, columns);
        RealVector residuals(columns);
        PointPowers<Quad> powers(design_.highestX, design_.highestY);
        for (Eigen::Index k = 0; k < columns; ++k) {
            const Eigen::Index row = vertex.basis[static_cast<std::size_t>(k)];
            basisRows.row(k) = rows.rows.row(row);
            const RowOrigin& origin = rows.origins[static_cast<std::size_t>(row)];
            Real stated = 0; // the row's inequality, stated side minus bound, at the coefficients as given
            if (origin.point >= 0) {
                const auto at = static_cast<std::size_t>(origin.point);
                powers.at(problem_.x[at], problem_.y.empty() ? 0.0 : problem_.y[at]);
                Quad error = Quad(0.0) - Quad(problem_.v[at]);
                for (Eigen::Index j = 0; j < design_.p; ++j)
                    error += Quad(given(j)) * powers.term(problem_.terms[static_cast<std::size_t>(j)]);
                stated = origin.sign * static_cast<Real>(error) / std::fabs(static_cast<Real>(problem_.v[at])) - s;
            } else {
                const Shape& shape = shapes_[origin.shape];
                const std::vector<Quad> shapeRow = givenConditionRow(
                    {shape.kind(), shape.nodes[static_cast<std::size_t>(origin.node)], 0.0, 0, 0.0}, problem_.terms);
                Quad derivative = 0.0;
                for (Eigen::Index j = 0; j < design_.p; ++j) derivative += shapeRow[static_cast<std::size_t>(j)] * Quad(given(j));
                stated = -shape.sign * static_cast<Real>(derivative) + shape.margin;
            }
            residuals(k) = -stated / origin.divisor;
        }
        const RealVector step = basisRows.partialPivLu().solve(residuals);
        given += toGiven * (coefficientsOfY * step.head(columns - 1));
        // A fixed coefficient is the user's number, not one near it.
        for (const LinearCondition& c : equalities_)
            if (c.kind == LinearCondition::Kind::Coefficient) given(c.term) = c.value;
        round.given = given;
        round.largestRelativeError = static_cast<double>(s + step(columns - 1));
    }

    const WeightedProblem& problem_;
    const CentredTerms& design_;
    const std::vector<LinearCondition>& equalities_;
    const ConditionedDesign& conditioned_;
    InequalityRequest request_;
    std::vector<Shape> shapes_; // the slope's condition first, then the curvature's
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
