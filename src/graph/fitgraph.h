#pragma once
// The graph of the last one-variable calculation: axes over the data's range,
// the points and, when the kind has one, the fitted curve.
#include <optional>

namespace calvero {

// The program's GraphProcedure: reads the data set and the fit result as they
// are at the moment of each drawing pass.
void fitGraphProcedure();

// The fitted curve's y at x where the installed procedure draws it (this
// program's graph, x within the points' range); nothing elsewhere.
std::optional<double> drawnCurveValueAt(double x);

// Before the graph window is shown: screen device, the program's procedure
// installed.
void prepareScreenGraph();

} // namespace calvero
