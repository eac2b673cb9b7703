#include "graph/questionplot.h"

#include "fit/statistics.h"
#include "graph/device.h"
#include "graph/plotting.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

constexpr std::uint16_t ColourConfidence = 3; // aqua
constexpr std::uint16_t ColourPrediction = 7; // grey
constexpr std::uint16_t ColourSystem = 4;     // red
constexpr std::uint16_t ColourScaled = 5;     // fuchsia
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// One end of a band at x; NaN where there is none.
CurveFunction bandEdge(const QuestionGraph& q, bool prediction, bool upper)
{
    return [&q, prediction, upper](double x) {
        const Checked<Prediction> p = q.predictor->at(x, 0.0, {q.level, 1.0});
        if (!p) return NaN;
        const std::optional<Interval>& band = prediction ? p->prediction : p->confidence;
        if (!band) return NaN;
        return upper ? band->high : band->low;
    };
}

} // namespace

QuestionGraph questionGraph(const Calculation& done, const CurveQuestions& questions, bool bands)
{
    QuestionGraph q;
    if (!done.curve) return q;
    q.predictor = std::make_shared<const CurvePredictor>(done);
    q.bands = bands;
    q.level = questions.request.level;
    if (questions.system) {
        q.system = questions.system;
        const auto found = operatingPoints(*q.predictor, *questions.system, questions.request.level);
        if (found) q.operatingPoints = *found;
    }
    if (questions.ratio) {
        const Checked<FittedCurve> scaled = scaledCurve(*done.curve, *questions.ratio, questions.quantity);
        if (scaled) {
            q.scaled = *scaled;
            q.ratio = *questions.ratio;
        }
    }
    return q;
}

void widenForQuestions(const QuestionGraph& q, double& xMin, double& yMin, double& xMax, double& yMax)
{
    if (!q.scaled) return;
    const double from = xMin * q.ratio, to = xMax * q.ratio;
    for (int i = 0; i <= 50; ++i) {
        const double v = curveValue(*q.scaled, from + (to - from) * i / 50).value_or(NaN);
        if (std::isfinite(v)) yMin = std::min(yMin, v), yMax = std::max(yMax, v);
    }
    xMin = std::min(xMin, from);
    xMax = std::max(xMax, to);
}

std::string operatingPointLabel(const CurvePlace& place)
{
    return "Q = " + significant(place.x, 5) + "  \u0394p = " + significant(place.y, 5);
}

void plotQuestions(GraphState& s, double xMin, double xMax)
{
    const QuestionGraph& q = s.fit.questions;
    if (q.bands && q.predictor) {
        for (bool upper : {false, true}) {
            plotCurve(s, bandEdge(q, true, upper), ColourPrediction, xMin, xMax);
            plotCurve(s, bandEdge(q, false, upper), ColourConfidence, xMin, xMax);
        }
    }
    if (q.scaled) {
        const FittedCurve& scaled = *q.scaled;
        plotCurve(s, [&scaled](double x) { return curveValue(scaled, x).value_or(NaN); }, ColourScaled,
                  xMin * q.ratio, xMax * q.ratio);
    }
    if (q.system) {
        const SystemCurve& system = *q.system;
        plotCurve(s, [&system](double x) { return system.at(x); }, ColourSystem, std::max(0.0, s.plot.xMin), s.plot.xMax);
        setColour(s, ColourSystem);
        const double radius = (s.plot.xMax - s.plot.xMin) / 90.0;
        for (const CurvePlace& p : q.operatingPoints) {
            s.worldCoordinates = true;
            drawDisc(s, p.x, p.y, radius);
            drawText(s, operatingPointLabel(p), p.x + radius, p.y + (s.plot.yMax - s.plot.yMin) / 15.0);
            s.worldCoordinates = false;
        }
    }
}

} // namespace calvero
