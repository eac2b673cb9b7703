#pragma once
// The optimum of a small dense linear programme made exact: minimise
// objectiveᵀy subject to rows·y ≤ upper, y free. A simplex solver in double
// (CLP) ends near the optimal vertex, but its tolerances let it stop a few
// pivots short on a badly scaled programme, and its vertex carries its
// rounding. From its final basis this makes simplex exchanges in long double (dual steps
// while a row is violated, primal steps while a multiplier is negative)
// until the vertex is both feasible and optimal to long double's rounding:
// a handful of steps on the dense programmes of a few dozen columns the
// steered fits solve, where a solver's factorization updates would buy
// nothing. The steered fits' smallest largest error then equals the
// programme's exact optimum, not one within CLP's tolerance of it.
//
// Internal to the fit layer.
#include "fit/centreddesign.h"

#include <optional>
#include <vector>

namespace calvero {

struct Vertex {
    std::vector<Eigen::Index> basis; // the rows that hold with equality, one per entry of y
    RealVector y;
};

// rows should have unit length and upper values of order 1; excess(r) is what
// row r may keep over its bound, tolerance what a multiplier may keep below 0
// (as a share of the largest). The vertex starts from the solver's
// rows at a bound (its final basis), completed by the rows nearest to
// holding at start. Nothing when the exchange fails (rows that leave y
// undetermined, rounding that goes round in circles, a programme without an
// optimum); the caller then keeps the solver's answer.
std::optional<Vertex> exactVertex(const RealMatrix& rows, const RealVector& upper, const RealVector& objective,
                                  const RealVector& start, const std::vector<int>& atBound, const RealVector& excess,
                                  Real tolerance);

} // namespace calvero
