#pragma once
// A fitted equation in one line for a programmer's eye (what the Python
// module's result shows as itself): its formula with the coefficients in
// place, each with the digits that read back as the same double.
#include "fit/calculation.h"

#include <string>

namespace calvero {

std::string equationText(const Calculation& calculation);

} // namespace calvero
