#include "fit/linearprogramme.h"

#include <coin/ClpSimplex.hpp>
#include <coin/CoinFinite.hpp>

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

} // namespace

ProgrammeSolution solveProgramme(const DenseProgramme& programme)
{
    // A row the variables do not reach (a slope the fixed terms decide on
    // their own) holds or fails by its bounds alone.
    for (Eigen::Index i = 0; i < programme.rows.rows(); ++i)
        if (programme.rows.row(i).isZero(0.0) && (programme.rowUpper[static_cast<std::size_t>(i)] < -Tolerance ||
                                                  programme.rowLower[static_cast<std::size_t>(i)] > Tolerance))
            return {ProgrammeSolution::Outcome::Infeasible, {}, {}, {}};
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
    model.loadProblem(columns, rows, starts.data(), indices.data(), elements.data(), columnLower.data(),
                      columnUpper.data(), programme.objective.data(), rowLower.data(), rowUpper.data());
    model.setPrimalTolerance(Tolerance);
    model.setDualTolerance(Tolerance);
    // The programme comes scaled (unit rows, columns of comparable size):
    // CLP's own scaling on top of it called feasible programmes infeasible.
    model.scaling(0);
    model.dual();
    // CLP scales the programme itself and may call optimal a vertex that is
    // optimal only once scaled (secondary status 2 to 4: the unscaled one is
    // still infeasible or not optimal); its primal simplex from there cleans up.
    if (model.isProvenOptimal() && model.secondaryStatus() != 0) model.primal(1);
    ProgrammeSolution solution;
    if (model.isProvenPrimalInfeasible()) {
        solution.outcome = ProgrammeSolution::Outcome::Infeasible;
        return solution;
    }
    if (!model.isProvenOptimal()) return solution;
    solution.outcome = ProgrammeSolution::Outcome::Solved;
    solution.x.assign(model.primalColumnSolution(), model.primalColumnSolution() + columns);
    solution.rowActivity.assign(model.primalRowSolution(), model.primalRowSolution() + rows);
    for (int i = 0; i < rows; ++i)
        if (model.getRowStatus(i) != ClpSimplex::basic) solution.rowsAtBound.push_back(i);
    return solution;
}

} // namespace calvero
