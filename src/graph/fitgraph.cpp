#include "graph/fitgraph.h"

#include "fit/session.h"
#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/graphstate.h"
#include "graph/plotting.h"
#include "graph/worldposition.h"

#include <cmath>

namespace calvero {

void fitGraphProcedure()
{
    GraphState& s = graphState();
    s.leftMarginUnits = 1;
    s.extraBottomRows = 0;
    // 15 % of room beyond the lowest and the highest y: the lowest point sits
    // clear of the x axis (or on it at 0) and the highest clear of the y
    // axis's arrow; a highest y of 0 gets the room of the lowest.
    const double lowest = minY();
    const double highest = maxY();
    const double headroom = 0.15 * std::fabs(highest != 0 ? highest : lowest);
    drawAxes("X", "Y", ColourBlue, minX(), lowest - 0.15 * std::fabs(lowest), maxX(), highest + headroom);
    const PointSet& points = session().points;
    plotPoints(points.count, points.x, points.y, ColourBlue);
    if (CurveFunction f = session().result.curveFunction) plotCurve(f, ColourGreen, minX(), maxX());
}

std::optional<double> drawnCurveValueAt(double x)
{
    if (graphState().procedure != &fitGraphProcedure || x < minX() || x > maxX()) return std::nullopt;
    return curveValueAt(session().result.curveFunction, x);
}

void prepareScreenGraph()
{
    GraphState& s = graphState();
    s.device = DeviceScreen;
    s.procedure = fitGraphProcedure;
}

} // namespace calvero
