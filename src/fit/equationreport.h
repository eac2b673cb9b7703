#pragma once
// The report of a typed equation's fit, as the other kinds' reads: the
// equation, its parameters, how they were solved and from which start, and
// the point table with its error lines (the surface's table for an equation
// of x and y).
#include "fit/equationfit.h"

#include <string>
#include <vector>

namespace calvero {

// The report's lines; an arithmetic fault of the table ends them with the
// fault's text as the last line (never for a fit fitEquation gave).
std::vector<std::string> equationReport(const EquationFit& fit);

// The steering in one line ("vincoli: b2 fisso = 1.8; b3 tra 0 e 1; pesi
// relativi 1/y^2"); empty when nothing steers the fit.
std::string equationSteeringLine(const EquationFit& fit);

} // namespace calvero
