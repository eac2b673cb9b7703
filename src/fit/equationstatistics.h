#pragma once
// The statistics of a typed equation's fit, in the same figures as the
// other kinds' (statistics.h): SSE, s, R², AICc, the runs test, and each
// free parameter's standard error and 95 % interval from the Jacobian at the
// solution, s² (JᵀJ)⁻¹ (the linear approximation NIST's certified standard
// deviations also use).
#include "fit/equationfit.h"
#include "fit/statistics.h"

#include <vector>

namespace calvero {

Statistics equationStatistics(const EquationFit& fit);

// How the fit was solved and started, as the statistics and the report say it.
EquationFigures equationFigures(const EquationFit& fit);

// The equation's value at every point, from the points as written (their
// doubles and what their texts held beyond them), in long double; NaN where
// it has none.
std::vector<double> fittedValues(const EquationFit& fit);

// What the JSON and the report call the start: "given" or "found".
const char* startValuesName(const EquationFit& fit);

} // namespace calvero
