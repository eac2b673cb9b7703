#pragma once
// A calculation as one JSON document for scripts: the kind, the degree, the
// coefficients at full precision, the statistics, the shape checks, the
// point table and, when asked for, the comparison of the equations; or the
// comparison alone. Its parts are what the library hands to programs by the
// same names (calvero.h, the Python module).
#include "fit/calculation.h"
#include "fit/comparison.h"
#include "fit/shapecheck.h"
#include "fit/statistics.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace calvero {

// The document's "statistics", "shape" and "points", and a row of its "comparison".
nlohmann::json statisticsJson(const Statistics& statistics);
nlohmann::json shapeJson(const ShapeChecks& checks);
nlohmann::json pointsJson(const Calculation& calculation);
nlohmann::json comparisonRowJson(const ComparisonRow& row);
// The "statistics" of the calculation: statisticsJson, with what a steered
// fit adds (its conditions, its weighted sum, which errors are approximate).
nlohmann::json fitStatisticsJson(const Calculation& calculation, const Statistics& statistics);

// Figures that cannot be computed are null, never NaN. The comparison's rule
// gives the tolerance as the user wrote it, when given.
std::string fitJson(const Calculation& calculation, const std::vector<ComparisonRow>* comparison = nullptr,
                    double tolerancePercent = DefaultTolerancePercent, const std::string& toleranceAsWritten = "");

// The comparison alone, as {"comparison": ...} (points compared without a kind).
std::string comparisonJson(const std::vector<ComparisonRow>& comparison, double tolerancePercent,
                           const std::string& toleranceAsWritten = "");

} // namespace calvero
