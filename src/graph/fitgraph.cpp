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
    // 85 % of the smallest y keeps positive data above the x axis.
    drawAxes("X", "Y", ColourBlue, minX(), 0.85 * minY(), maxX(), maxY());
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
