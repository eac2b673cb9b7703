#pragma once
// The fitted equation as a function in C and in Python, ready to be pasted
// into a controller's or a selection program's code. Each computes the
// report's Yint as the program does and knows the envelope of the points:
//   C:      int name(double x, double y, double* value) gives 0 inside the
//           envelope and 1 outside, the value computed either way (y is
//           ignored by a curve y = f(x));
//   Python: name(x[, y], extrapolate=False) gives NaN outside the envelope
//           unless called with extrapolate=True.
#include "common/checked.h"
#include "fit/calculation.h"

#include <string>

namespace calvero {

Checked<std::string> cFunction(const Calculation& calculation, const std::string& name);
Checked<std::string> pythonFunction(const Calculation& calculation, const std::string& name);

// What opens a file of such functions.
std::string cFunctionHead();
std::string pythonFunctionHead();

} // namespace calvero
