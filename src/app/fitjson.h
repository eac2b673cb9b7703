#pragma once
// A calculation as one JSON document for scripts: the kind, the degree, the
// coefficients at full precision, the statistics, the shape checks, the
// point table and, when asked for, the comparison of the equations.
#include "fit/calculation.h"
#include "fit/comparison.h"

#include <string>
#include <vector>

namespace calvero {

// Figures that cannot be computed are null, never NaN.
std::string fitJson(const Calculation& calculation, const std::vector<ComparisonRow>* comparison = nullptr,
                    double tolerancePercent = DefaultTolerancePercent);

} // namespace calvero
