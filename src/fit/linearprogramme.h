#pragma once
// Small dense linear and quadratic programmes: the linear ones by COIN-OR
// CLP's dual simplex, the quadratic ones (a diagonal Hessian) by NLopt's
// SLSQP, started from a feasible point CLP finds first, which also tells a
// programme whose rows cannot be met. The one door of the engine to both.
// The steered fits state their programmes here in the centred basis, scaled
// so that every row has unit length.
#include <Eigen/Dense>

#include <vector>

namespace calvero {

// minimise objectiveᵀx + ½ Σ quadratic_j x_j²
// subject to rowLower ≤ rows·x ≤ rowUpper and columnLower ≤ x ≤ columnUpper;
// ±Unbounded where there is no bound. An empty quadratic is a linear programme.
struct DenseProgramme {
    static constexpr double Unbounded = 1e300;
    Eigen::MatrixXd rows;
    std::vector<double> rowLower, rowUpper;
    std::vector<double> columnLower, columnUpper;
    std::vector<double> objective;
    std::vector<double> quadratic;
};

struct ProgrammeSolution {
    enum class Outcome { Solved, Infeasible, Failed };
    Outcome outcome = Outcome::Failed;
    std::vector<double> x;
    std::vector<double> rowActivity; // rows·x
};

ProgrammeSolution solveProgramme(const DenseProgramme& programme);

} // namespace calvero
