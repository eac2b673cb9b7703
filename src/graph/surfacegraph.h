#pragma once
// The picture of a surface Z = F(x, y): contour lines of the fitted surface
// over the x-y range of its points, each labelled with its Z, in shades of
// blue; the points as filled marks in a colour that tells their percentage
// error (colours no line uses); and a legend in a column at the right, the
// map taking the rest of the width.
#include "fit/calculation.h"
#include "graph/graphstate.h"

#include <optional>
#include <vector>

namespace calvero {

SurfaceGraphData surfaceGraphData(const Calculation& done);

// The surface's GraphProcedure: draws the data installed with it.
void surfaceGraphProcedure(GraphState& s);

// The fitted surface's Z at (x, y) where the installed procedure draws it
// (the surface's picture, within its map); nothing elsewhere.
std::optional<double> drawnSurfaceValueAt(const GraphState& s, double x, double y);

// Before the surface's picture is drawn on the screen or into a picture.
void prepareSurfaceGraph(GraphState& s, SurfaceGraphData data);

// The levels the contour lines are drawn at: whole multiples of a 1-2-5 step,
// about ten, strictly between lowest and highest.
std::vector<double> contourLevels(double lowest, double highest);

// The class of a point's percentage error, 0 (within 0.5 %) to 3 (beyond 2 %),
// as the picture colours it.
int errorClass(double errorPercent);

} // namespace calvero
