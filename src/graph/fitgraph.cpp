#include "graph/fitgraph.h"

#include "fit/session.h"
#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/graphstate.h"
#include "graph/plotting.h"
#include "graph/worldposition.h"

#include <algorithm>
#include <cmath>

namespace calvero {

void fitGraphProcedure()
{
    GraphState& s = graphState();
    s.leftMarginUnits = 1;
    s.extraBottomRows = 0;
    // Room beyond the lowest and the highest y: the lowest point sits 15 %
    // of its value clear of the x axis (or on it at 0), the highest 15 % of
    // its value, and at least a twentieth of the data's height, clear of the
    // top of the y axis and its arrow.
    const double lowest = minY();
    const double highest = maxY();
    const double headroom = std::max(0.15 * std::fabs(highest), 0.05 * (highest - lowest));
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
