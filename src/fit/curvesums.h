#pragma once
// A curve's polynomial Σ c_k x^k at many points at once, by Horner's rule in
// double-double, with each sum's magnitude Σ |c_k| |x|^k: what its rounding
// errors scale with. The points are taken a coefficient at a time, so the
// processor's vector unit works on several points together. The solver's
// correction and the statistics' fitted values both start here.
//
// Internal to the fit layer.
#include "fit/doubledouble.h"

#include <span>
#include <vector>

namespace calvero {

struct CurveSums {
    std::vector<double> hi, lo; // each sum as hi + lo
    std::vector<double> magnitude;
};

// c[0] + c[1] x + ... at each x. Each Horner step errs by at most 2^-103 of
// the step's magnitude, so the whole sum by (2 · c.size()) · 2^-103 of the
// magnitude, to first order.
void curveSums(std::span<const double> x, std::span<const DoubleDouble> c, CurveSums& sums);

} // namespace calvero
