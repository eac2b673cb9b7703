#include "fit/linearprogramme.h"

#include <coin/ClpSimplex.hpp>
#include <coin/CoinFinite.hpp>
#include <nlopt.h>

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

// Programmes whose rows have unit length and whose values are of order 1:
// feasibility and optimality to about a millionth of a millionth.
constexpr double Tolerance = 1e-11;

double bound(double value)
{
    if (value >= DenseProgramme::Unbounded) return COIN_DBL_MAX;
    if (value <= -DenseProgramme::Unbounded) return -COIN_DBL_MAX;
    return value;
}

std::vector<double> bounds(const std::vector<double>& values)
{
    std::vector<double> result(values.size());
    std::transform(values.begin(), values.end(), result.begin(), bound);
    return result;
}

// The rows with a bound, each as rows·x - upper ≤ 0 or lower - rows·x ≤ 0.
struct Inequalities {
    const DenseProgramme* programme = nullptr;
    std::vector<std::pair<int, double>> bounded; // row, +1 for its upper bound or -1 for its lower
};

double quadraticObjective(unsigned n, const double* x, double* gradient, void* data)
{
    const DenseProgramme& p = *static_cast<const DenseProgramme*>(data);
    double value = 0.0;
    for (unsigned j = 0; j < n; ++j) {
        value += p.objective[j] * x[j] + 0.5 * p.quadratic[j] * x[j] * x[j];
        if (gradient) gradient[j] = p.objective[j] + p.quadratic[j] * x[j];
    }
    return value;
}

void rowConstraints(unsigned m, double* result, unsigned n, const double* x, double* gradient, void* data)
{
    const Inequalities& in = *static_cast<const Inequalities*>(data);
    for (unsigned k = 0; k < m; ++k) {
        const auto [row, side] = in.bounded[k];
        double activity = 0.0;
        for (unsigned j = 0; j < n; ++j) {
            activity += in.programme->rows(row, j) * x[j];
            if (gradient) gradient[k * n + j] = side * in.programme->rows(row, j);
        }
        result[k] = side > 0 ? activity - in.programme->rowUpper[static_cast<std::size_t>(row)]
                             : in.programme->rowLower[static_cast<std::size_t>(row)] - activity;
    }
}

// The quadratic programme by NLopt's SLSQP, whose subproblem is solved by
// Lawson and Hanson's active-set least squares: with the identity for its
// Hessian it meets the steered fits' programmes, stated in a basis where the
// objective is a plain sum of squares, in a few steps. It starts from a
// feasible point the linear programme found.
ProgrammeSolution quadraticSolution(const DenseProgramme& programme, std::vector<double> start)
{
    Inequalities in{&programme, {}};
    for (int i = 0; i < programme.rows.rows(); ++i) {
        if (programme.rowUpper[static_cast<std::size_t>(i)] < DenseProgramme::Unbounded) in.bounded.push_back({i, 1.0});
        if (programme.rowLower[static_cast<std::size_t>(i)] > -DenseProgramme::Unbounded) in.bounded.push_back({i, -1.0});
    }
    const auto n = static_cast<unsigned>(programme.rows.cols());
    nlopt_opt solver = nlopt_create(NLOPT_LD_SLSQP, n);
    std::vector<double> lower(n), upper(n);
    for (unsigned j = 0; j < n; ++j) {
        lower[j] = programme.columnLower[j] <= -DenseProgramme::Unbounded ? -HUGE_VAL : programme.columnLower[j];
        upper[j] = programme.columnUpper[j] >= DenseProgramme::Unbounded ? HUGE_VAL : programme.columnUpper[j];
    }
    nlopt_set_lower_bounds(solver, lower.data());
    nlopt_set_upper_bounds(solver, upper.data());
    nlopt_set_min_objective(solver, quadraticObjective, const_cast<DenseProgramme*>(&programme));
    const std::vector<double> tolerances(in.bounded.size(), 0.0);
    if (!in.bounded.empty())
        nlopt_add_inequality_mconstraint(solver, static_cast<unsigned>(in.bounded.size()), rowConstraints, &in,
                                         tolerances.data());
    nlopt_set_ftol_rel(solver, 1e-15);
    nlopt_set_xtol_rel(solver, 1e-13);
    nlopt_set_maxeval(solver, 1000);
    double value = 0.0;
    const nlopt_result result = nlopt_optimize(solver, start.data(), &value);
    nlopt_destroy(solver);
    ProgrammeSolution solution;
    if (result < 0 && result != NLOPT_ROUNDOFF_LIMITED) return solution;
    const Eigen::VectorXd activity = programme.rows * Eigen::Map<const Eigen::VectorXd>(start.data(), n);
    for (int i = 0; i < activity.size(); ++i) {
        const double reach = std::max(std::fabs(activity(i)), 1.0) * 1e-9;
        if (activity(i) > programme.rowUpper[static_cast<std::size_t>(i)] + reach ||
            activity(i) < programme.rowLower[static_cast<std::size_t>(i)] - reach)
            return solution;
    }
    solution.outcome = ProgrammeSolution::Outcome::Solved;
    solution.x = std::move(start);
    solution.rowActivity.assign(activity.data(), activity.data() + activity.size());
    return solution;
}

} // namespace

ProgrammeSolution solveProgramme(const DenseProgramme& programme)
{
    // A row the variables do not reach (a slope the fixed terms decide on
    // their own) holds or fails by its bounds alone.
    for (Eigen::Index i = 0; i < programme.rows.rows(); ++i)
        if (programme.rows.row(i).isZero(0.0) && (programme.rowUpper[static_cast<std::size_t>(i)] < -Tolerance ||
                                                  programme.rowLower[static_cast<std::size_t>(i)] > Tolerance))
            return {ProgrammeSolution::Outcome::Infeasible, {}, {}};
    const int rows = static_cast<int>(programme.rows.rows());
    const int columns = static_cast<int>(programme.rows.cols());
    std::vector<CoinBigIndex> starts{0};
    std::vector<int> indices;
    std::vector<double> elements;
    for (int j = 0; j < columns; ++j) {
        for (int i = 0; i < rows; ++i) {
            if (programme.rows(i, j) == 0.0) continue;
            indices.push_back(i);
            elements.push_back(programme.rows(i, j));
        }
        starts.push_back(static_cast<CoinBigIndex>(indices.size()));
    }
    ClpSimplex model;
    model.setLogLevel(0); // the batch's standard output is the report's
    const std::vector<double> columnLower = bounds(programme.columnLower), columnUpper = bounds(programme.columnUpper);
    const std::vector<double> rowLower = bounds(programme.rowLower), rowUpper = bounds(programme.rowUpper);
    // A quadratic programme: the linear one with no objective first, which
    // says whether the rows can be met at all and gives SLSQP its start.
    const std::vector<double> linear =
        programme.quadratic.empty() ? programme.objective : std::vector<double>(static_cast<std::size_t>(columns), 0.0);
    model.loadProblem(columns, rows, starts.data(), indices.data(), elements.data(), columnLower.data(),
                      columnUpper.data(), linear.data(), rowLower.data(), rowUpper.data());
    model.setPrimalTolerance(Tolerance);
    model.setDualTolerance(Tolerance);
    model.dual();
    ProgrammeSolution solution;
    if (model.isProvenPrimalInfeasible()) {
        solution.outcome = ProgrammeSolution::Outcome::Infeasible;
        return solution;
    }
    if (!model.isProvenOptimal()) return solution;
    if (!programme.quadratic.empty())
        return quadraticSolution(programme, std::vector<double>(model.primalColumnSolution(),
                                                                model.primalColumnSolution() + columns));
    solution.outcome = ProgrammeSolution::Outcome::Solved;
    solution.x.assign(model.primalColumnSolution(), model.primalColumnSolution() + columns);
    solution.rowActivity.assign(model.primalRowSolution(), model.primalRowSolution() + rows);
    return solution;
}

} // namespace calvero
