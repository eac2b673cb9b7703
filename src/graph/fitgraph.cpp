#include "graph/fitgraph.h"

#include "fit/session.h"
#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/graphstate.h"
#include "graph/plotting.h"

namespace calvero {

void fitGraphProcedure()
{
    GraphState& s = graphState();
    s.leftMarginUnits = 1;
    s.extraBottomRows = 0;
    // The lower bound lies 15 % beyond the smallest y: below the x axis for
    // positive data, and for negative data below the lowest point too.
    const double lowest = minY();
    drawAxes("X", "Y", ColourBlue, minX(), (lowest < 0 ? 1.15 : 0.85) * lowest, maxX(), maxY());
    const PointSet& points = session().points;
    plotPoints(points.count, points.x, points.y, ColourBlue);
    if (CurveFunction f = session().result.curveFunction) plotCurve(f, ColourGreen, minX(), maxX());
}

void prepareScreenGraph()
{
    GraphState& s = graphState();
    s.device = DeviceScreen;
    s.procedure = fitGraphProcedure;
}

} // namespace calvero
