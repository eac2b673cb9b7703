#include "graph/fitgraph.h"

#include "fit/workingset.h"
#include "graph/axes.h"
#include "graph/colours.h"
#include "graph/plotting.h"
#include "graph/questionplot.h"
#include "graph/worldposition.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

// The extremes the axes take: of the points, and of the points the curve was
// made to pass through, which may lie beyond them (a fan's shut-off head at
// zero flow).
struct DataRange {
    double xMin, xMax, yMin, yMax;
};

DataRange dataRange(const FitGraphData& data)
{
    DataRange r{minX(data.points), maxX(data.points), minY(data.points), maxY(data.points)};
    for (const ThroughPoint& p : data.throughPoints) {
        r.xMin = std::min(r.xMin, p.x);
        r.xMax = std::max(r.xMax, p.x);
        r.yMin = std::min(r.yMin, p.y);
        r.yMax = std::max(r.yMax, p.y);
    }
    return r;
}

CurveFunction drawnCurve(const FitGraphData& data)
{
    if (data.typedCurve) return data.typedCurve;
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
    if (done.curve) data.questions.predictor = std::make_shared<const CurvePredictor>(done);
    if (done.curve) data.throughPoints = done.options.throughPoints;
    return data;
}

FitGraphData equationGraphData(const EquationFit& fit)
{
    FitGraphData data;
    const int count = std::min(fit.points.count(), MaxPoints);
    for (int i = 1; i <= count; ++i) {
        data.points.x[i] = fit.points.x[i - 1];
        data.points.y[i] = fit.points.value[i - 1];
    }
    data.points.foundCount = count;
    data.plotted = std::min(count, MaxListedPoints);
    // The curve keeps its own copy of the fit: the graph outlives the window's.
    data.typedCurve = [fit = std::make_shared<const EquationFit>(fit)](double x) {
        return equationValue(*fit, x).value_or(std::numeric_limits<double>::quiet_NaN());
    };
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
    const DataRange r = dataRange(data);
    double lowest = r.yMin, highest = r.yMax, left = r.xMin, right = r.xMax;
    widenForQuestions(data.questions, left, lowest, right, highest);
    const double headroom = std::max(0.15 * std::fabs(highest), 0.05 * (highest - lowest));
    drawAxes(s, "X", "Y", ColourBlue, left, lowest - 0.15 * std::fabs(lowest), right, highest + headroom);
    plotPoints(s, data.plotted, data.points.x, data.points.y, ColourBlue);
    if (!data.throughPoints.empty()) {
        PointArray x{}, y{};
        const int n = std::min<int>(static_cast<int>(data.throughPoints.size()), MaxPoints);
        for (int i = 1; i <= n; ++i) x[i] = data.throughPoints[i - 1].x, y[i] = data.throughPoints[i - 1].y;
        plotPoints(s, n, x, y, ColourRed);
    }
    plotQuestions(s, minX(data.points), maxX(data.points));
    if (data.curve || data.typedCurve) plotCurve(s, drawnCurve(data), ColourGreen, r.xMin, r.xMax);
}

std::optional<double> drawnCurveValueAt(const GraphState& s, double x)
{
    const DataRange r = dataRange(s.fit);
    if (s.procedure != &fitGraphProcedure || x < r.xMin || x > r.xMax) return std::nullopt;
    return curveValueAt(drawnCurve(s.fit), x);
}

void prepareScreenGraph(GraphState& s, FitGraphData data)
{
    s.device = DeviceScreen;
    s.procedure = fitGraphProcedure;
    s.fit = std::move(data);
}

} // namespace calvero
