#pragma once
// The user's fit options (fitoptions.h) for one kind: which kinds take which
// option, the refusal of a request that cannot be met, and the steered
// problem (steeredfit.h) that the polynomial, rational-polynomial and surface
// fits solve with them.
//
//   option                         polynomial  1/P(x)            Z = F(x, y)
//   through points, fixed terms    yes         yes (P = 1/y)     yes
//   weights                        yes         yes (errors of y) yes
//   smallest largest % error       yes         no                yes
//   monotone in x                  yes         no                no
//   concave or convex in x         yes         no                no
#include "fit/dataset.h"
#include "fit/fitoptions.h"
#include "fit/steeredfit.h"

#include "common/refusal.h"

#include <optional>

namespace calvero {

// Why the options cannot be applied to this kind, degree and points (1..n);
// nothing when they can. The degree is the one fitted.
std::optional<Refusal> steeringRefusal(FitType kind, int degree, const PointSet& points, int n,
                                           const FitOptions& options);

// The problem for the points 1..n. The values fitted are y (1/y for the
// rational kind, z for the surface); a through point asks the curve for its
// y there (P for 1/y); weights are those of the errors of y (or z), carried to
// the errors of 1/y for the rational kind. Call after steeringRefusal.
SteeredProblem steeredProblem(FitType kind, int degree, const PointSet& points, int n, const FitOptions& options);

} // namespace calvero
