#pragma once
// The point nearest the origin that keeps given rows under their bounds:
// minimise ½‖w‖² subject to rows·w ≤ upper. The monotone least squares
// comes to this form once its objective is a plain sum of squares (see
// inequalityfit.cpp). Solved by Goldfarb and Idnani's dual active-set
// method: it starts at the unconstrained minimum w = 0, adds the row most
// violated, drops a row whose multiplier would turn negative, and ends at the
// exact optimum after finitely many steps, in long double. Written here
// because no Debian library solves a small dense convex quadratic programme
// to working precision: NLopt's SLSQP stopped short of the optimum on
// fits whose slope binds at many nodes, Ipopt's and CLP's interior points stop at
// their tolerance, and CLP's quadratic simplex is a reduced-gradient method
// of its own tolerance too.
//
// Internal to the fit layer.
#include "fit/centreddesign.h"

#include <vector>

namespace calvero {

struct LeastDistance {
    enum class Outcome { Solved, Infeasible, Failed };
    Outcome outcome = Outcome::Failed;
    RealVector w;
    std::vector<Eigen::Index> active; // the rows that hold with equality, each with a positive multiplier
};

// rows should have unit length and upper values of order 1: a row is met
// when it exceeds its bound by no more than tolerance.
LeastDistance leastDistance(const RealMatrix& rows, const RealVector& upper, Real tolerance);

} // namespace calvero
