#pragma once
// Which simulation object: every performance-curve object with as many
// inputs as the points have, fitted to them in its own form and ranked by
// the comparison's one rule (fewest coefficients among the clean fits within
// the tolerance, then AICc); an object that cannot be fitted says why in its
// row.
#include "fit/comparison.h"
#include "exports/objectfit.h"

#include <vector>

namespace calvero {

std::vector<ComparisonRow> compareObjects(const ObjectPoints& points, double tolerancePercent = DefaultTolerancePercent);

} // namespace calvero
