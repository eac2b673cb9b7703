#pragma once
// Where a polynomial in t over [-1, 1] goes the wrong way: the local minima
// of sign · p'(t) that fall below 0, found among the roots of p'' (the
// eigenvalues of its companion matrix, Eigen) and the two ends. The monotone
// fit imposes its slope at grid nodes; this finds where the curve still turns
// between them. The concave or convex fit asks the same of p', whose slope
// is the curvature p'' (derivativeOf).
#include <vector>

namespace calvero {

// coefficients[j] multiplies t^j; sign is +1 for a curve that must not fall,
// -1 for one that must not rise. The t where sign · p'(t) < 0 at a local
// minimum of it, in ascending order; empty when the curve is monotone over
// the whole of [-1, 1].
std::vector<double> wrongWaySlopes(const std::vector<long double>& coefficients, int sign);

// sign · p'(t) at its lowest over [-1, 1].
long double lowestSlope(const std::vector<long double>& coefficients, int sign);

// How far the curve goes the wrong way at its worst dip inside (-1, 1): where
// sign · p' has a local minimum m < 0 with curvature k = sign · p''' > 0,
// the slope is below 0 over a width 2√(2|m|/k), and the curve falls back by
// about ⅔ |m| times that width. 0 when it never goes the wrong way inside;
// infinity when it does at an end or where that estimate does not hold.
long double wrongWayFall(const std::vector<long double>& coefficients, int sign);

// p' from p, both by their coefficients of the powers of t.
std::vector<long double> derivativeOf(const std::vector<long double>& coefficients);

} // namespace calvero
