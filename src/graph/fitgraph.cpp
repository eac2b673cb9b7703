#include "graph/fitgraph.h"

#include "fit/session.h"
#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/graphstate.h"
#include "graph/plotting.h"
#include "graph/worldposition.h"

namespace calvero {

void fitGraphProcedure()
{
    GraphState& s = graphState();
    s.leftMarginUnits = 1;
    s.extraBottomRows = 0;
    // The lower bound lies 15 % beyond the smallest y: below the x axis for
    // positive data, and for negative data below the lowest point too. A
    // negative upper bound on a whole step would not move up, so negative
    // data also get 15 % of room above their highest point: no marker is cut
    // by the window's edge.
    const double lowest = minY();
    const double highest = maxY();
    drawAxes("X", "Y", ColourBlue, minX(), (lowest < 0 ? 1.15 : 0.85) * lowest, maxX(),
             (highest < 0 ? 0.85 : 1.0) * highest);
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
