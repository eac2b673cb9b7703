#pragma once
// Small dense linear programmes by COIN-OR CLP's dual simplex: the engine's
// one door to it. The steered fits state their programmes here in a basis
// where the columns have comparable size and every row has unit length, so
// CLP's tolerances mean the same on every data set, and finish CLP's answer
// exactly with vertexexchange.h.
#include <Eigen/Dense>

#include <vector>

namespace calvero {

// minimise objectiveᵀx subject to rowLower ≤ rows·x ≤ rowUpper and
// columnLower ≤ x ≤ columnUpper; ±Unbounded where there is no bound.
struct DenseProgramme {
    static constexpr double Unbounded = 1e300;
    Eigen::MatrixXd rows;
    std::vector<double> rowLower, rowUpper;
    std::vector<double> columnLower, columnUpper;
    std::vector<double> objective;
};

struct ProgrammeSolution {
    enum class Outcome { Solved, Infeasible, Failed };
    Outcome outcome = Outcome::Failed;
    std::vector<double> x;
    std::vector<double> rowActivity; // rows·x
    std::vector<int> rowsAtBound;     // the rows that make the vertex (non-basic in CLP's final basis)
};

ProgrammeSolution solveProgramme(const DenseProgramme& programme);

} // namespace calvero
