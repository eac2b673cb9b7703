#pragma once
// How far each term of a fitted polynomial reaches over the points: what the
// printed digits of its coefficient must carry (see formatCoefficient).
#include "common/numtext.h"
#include "fit/onebased.h"

#include <vector>

namespace calvero {

// The terms x^0 .. x^degree of a polynomial fitted to the values v over
// x[1..n]; the first entry belongs to the constant term.
std::vector<TermReach> polynomialTermReaches(const PointArray& x, const PointArray& v, int n, int degree);

// The terms of the surface polynomial of that degree over the points (x, y, z).
std::vector<TermReach> surfaceTermReaches(const PointArray& x, const PointArray& y, const PointArray& z, int n,
                                          int degree);

} // namespace calvero
