#pragma once
// The graph of a one-variable calculation: axes over the data's range, the
// points and, when the kind has one, the fitted curve; the points the fit
// options made the curve pass through, in red, widen the range.
#include "fit/calculation.h"
#include "fit/equationfit.h"
#include "graph/graphstate.h"

#include <optional>

namespace calvero {

// What the graph of a calculation shows: its points, the ones its report
// lists marked, and its curve.
FitGraphData fitGraphData(const Calculation& done);

// The graph of a typed equation of x: its points and its curve.
FitGraphData equationGraphData(const EquationFit& fit);

// The program's GraphProcedure: draws the graph data installed with it.
void fitGraphProcedure(GraphState& s);

// The fitted curve's y at x where the installed procedure draws it (this
// program's graph, x within the range of the points and the through points);
// nothing elsewhere.
std::optional<double> drawnCurveValueAt(const GraphState& s, double x);

// Before the graph is drawn on the screen (or into a picture): screen device,
// the program's procedure installed with what it draws.
void prepareScreenGraph(GraphState& s, FitGraphData data);

} // namespace calvero
