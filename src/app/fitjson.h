#pragma once
// A calculation as one JSON document for scripts: the kind, the degree, the
// coefficients at full precision, the statistics, the shape checks, the
// point table and, when asked for, the comparison of the equations; or the
// comparison alone.
#include "fit/calculation.h"
#include "fit/comparison.h"

#include <string>
#include <vector>

namespace calvero {

// Figures that cannot be computed are null, never NaN. The comparison's rule
// gives the tolerance as the user wrote it, when given.
std::string fitJson(const Calculation& calculation, const std::vector<ComparisonRow>* comparison = nullptr,
                    double tolerancePercent = DefaultTolerancePercent, const std::string& toleranceAsWritten = "");

// The comparison alone, as {"comparison": ...} (points compared without a kind).
std::string comparisonJson(const std::vector<ComparisonRow>& comparison, double tolerancePercent,
                           const std::string& toleranceAsWritten = "");

} // namespace calvero
