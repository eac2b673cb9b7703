#pragma once
// What the graph of a curve draws for the questions asked of it: the
// confidence band (aqua) and the prediction band (grey) on either side of
// the curve, the system curve (red) with each operating point marked and
// labelled, and the curve at another speed or diameter (fuchsia) over its
// scaled flows.
#include "fit/curveanswers.h"
#include "graph/graphstate.h"

namespace calvero {

// The graph's part for the questions: the bands when `bands`, and the
// operating points and scaled curve the questions ask for (nothing for what
// they refuse).
QuestionGraph questionGraph(const Calculation& done, const CurveQuestions& questions, bool bands);

// The world window the questions' drawing needs beyond the points':
// widened in place to hold the scaled curve's flows and values.
void widenForQuestions(const QuestionGraph& q, double& xMin, double& yMin, double& xMax, double& yMax);

void plotQuestions(GraphState& s, double xMin, double xMax);

// The operating point's label: "Q = 36.5  Δp = 26.7".
std::string operatingPointLabel(const CurvePlace& place);

} // namespace calvero
