#pragma once
// The least-squares solver's quick road, for the well-behaved problems most
// fits are: the centred design factorized in double (Eigen's vectorized QR,
// ten times faster than long double), then corrected to the exact
// least-squares solution by the seminormal equations, Xᵀ(v - Xc) summed in
// double-double over the powers of x as given. The correction's fixed point is
// Xᵀr = 0 itself, so the result does not depend on the double factorization's
// rounding, only on how well it steers the correction: a design whose centred
// columns are far from dependent, and sums that do not cancel so much that
// double-double loses what quad would keep. Anything else (a nearly singular
// or badly conditioned design, values outside the range the error bounds
// hold in, a correction that does not settle) gets nothing here, and the
// long-double road of leastsquares.cpp solves it as it always has.
//
// Internal to the fit layer.
#include "fit/leastsquares.h"

#include <optional>
#include <span>

namespace calvero {

std::optional<LeastSquaresFit> quickLeastSquares(std::span<const double> x, std::span<const double> y,
                                                 std::span<const double> v, std::span<const Monomial> terms);

} // namespace calvero
