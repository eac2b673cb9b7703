#pragma once
// The coefficients of a calculation by name, in the order the report gives
// them: the polynomials' terms, A and B, M, or the surface's terms.
#include "fit/calculation.h"

#include <string>
#include <utility>
#include <vector>

namespace calvero {

using NamedCoefficient = std::pair<std::string, double>;

std::vector<NamedCoefficient> namedCoefficients(const Calculation& done);

} // namespace calvero
