#pragma once
// The smallest and largest value a fitted curve takes over the limits of its
// variables: the output limits of a simulation object, which must clip
// nothing the curve gives inside its input limits.
#include "fit/calculation.h"
#include "exports/exportenvelope.h"

#include <optional>

namespace calvero {

struct ValueRange {
    double lowest = 0.0;
    double highest = 0.0;
};

// Over [xMin, xMax] for a curve y = f(x), over the rectangle of the ranges for
// the surface: the values at the ends (corners), at the points, where the
// derivative of a polynomial vanishes inside (along each edge and, for the
// surface, where both derivatives vanish inside, found by Newton's method from
// a grid of starts). The other kinds are monotonic, so their ends suffice.
// Nothing where the curve has no value at one of those places.
std::optional<ValueRange> curveValueRange(const Calculation& calculation, const Envelope& envelope);

} // namespace calvero
