#include "graph/fitgraph.h"

#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/plotting.h"
#include "graph/worldposition.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

CurveFunction drawnCurve(const FitGraphData& data)
{
    if (!data.curve) return {};
    return [&curve = *data.curve](double x) {
        return curveValue(curve, x).value_or(std::numeric_limits<double>::quiet_NaN());
    };
}

} // namespace

FitGraphData fitGraphData(const Calculation& done)
{
    FitGraphData data;
    data.points = done.points;
    data.points.foundCount = done.pointCount;
    data.plotted = std::min(done.pointCount, MaxListedPoints);
    data.curve = done.curve;
    return data;
}

void fitGraphProcedure(GraphState& s)
{
    const FitGraphData& data = s.fit;
    s.leftMarginUnits = 1;
    s.extraBottomRows = 0;
    // Room beyond the lowest and the highest y: the lowest point sits 15 %
    // of its value clear of the x axis (or on it at 0), the highest 15 % of
    // its value, and at least a twentieth of the data's height, clear of the
    // top of the y axis and its arrow.
    const double lowest = minY(data.points);
    const double highest = maxY(data.points);
    const double headroom = std::max(0.15 * std::fabs(highest), 0.05 * (highest - lowest));
    drawAxes(s, "X", "Y", ColourBlue, minX(data.points), lowest - 0.15 * std::fabs(lowest), maxX(data.points),
             highest + headroom);
    plotPoints(s, data.plotted, data.points.x, data.points.y, ColourBlue);
    if (data.curve) plotCurve(s, drawnCurve(data), ColourGreen, minX(data.points), maxX(data.points));
}

std::optional<double> drawnCurveValueAt(const GraphState& s, double x)
{
    if (s.procedure != &fitGraphProcedure || x < minX(s.fit.points) || x > maxX(s.fit.points)) return std::nullopt;
    return curveValueAt(drawnCurve(s.fit), x);
}

void prepareScreenGraph(GraphState& s, FitGraphData data)
{
    s.device = DeviceScreen;
    s.procedure = fitGraphProcedure;
    s.fit = std::move(data);
}

} // namespace calvero
