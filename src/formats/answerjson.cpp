#include "formats/answerjson.h"

#include "formats/jsonfigures.h"
#include "fit/coefficientlist.h"

namespace calvero {

namespace {

using nlohmann::json;

json pairOf(const std::optional<Interval>& interval)
{
    if (!interval) return nullptr;
    return json::array({jsonNumber(interval->low), jsonNumber(interval->high)});
}

json pairOf(const std::optional<double>& low, const std::optional<double>& high)
{
    return json::array({jsonNumber(low), jsonNumber(high)});
}

json coefficientsOf(const FittedCurve& curve)
{
    Calculation holder;
    holder.curve = curve;
    return jsonCoefficients(namedCoefficients(holder));
}

} // namespace

json refusalJson(const Refusal& refusal)
{
    return {{"code", refusalIdentifier(refusal.code)}, {"text", jsonText(refusalText(refusal))}};
}

json predictionJson(const Prediction& p, bool surface)
{
    json entry = {{"x", jsonNumber(p.x)}};
    if (surface) entry["y"] = jsonNumber(p.y);
    entry["value"] = jsonNumber(p.value);
    entry["level"] = p.level;
    entry["confidence"] = pairOf(p.confidence);
    entry["prediction"] = pairOf(p.prediction);
    entry["extrapolated"] = p.extrapolated;
    entry["approximate"] = p.approximate;
    entry["noInterval"] = p.none ? json(noIntervalText(*p.none)) : json(nullptr);
    return entry;
}

void addAnswersJson(json& document, const CurveQuestions& q, const CurveAnswers& a)
{
    if (!a.values.empty()) {
        json predictions = json::array();
        for (std::size_t i = 0; i < a.values.size(); ++i) {
            if (a.values[i]) {
                predictions.push_back(predictionJson(*a.values[i], a.surface));
                continue;
            }
            json entry = {{"x", jsonNumber(q.values[i].x)}};
            if (a.surface) entry["y"] = jsonNumber(q.values[i].y);
            entry["refusal"] = refusalJson(a.values[i].refusal);
            predictions.push_back(entry);
        }
        document["predictions"] = predictions;
    }
    if (!a.solutions.empty()) {
        json solutions = json::array();
        for (const SolveAnswer& s : a.solutions) {
            json entry = {{"y", jsonNumber(s.y)}, {"level", q.request.level}};
            json xs = json::array(), extrapolated = json::array(), tangent = json::array(), intervals = json::array();
            if (s.places) {
                for (const CurvePlace& p : *s.places) {
                    xs.push_back(jsonNumber(p.x));
                    extrapolated.push_back(p.extrapolated);
                    tangent.push_back(p.tangent);
                    intervals.push_back(pairOf(p.xLow, p.xHigh));
                }
            } else {
                entry["refusal"] = refusalJson(s.places.refusal);
            }
            entry["x"] = xs;
            entry["extrapolated"] = extrapolated;
            entry["tangent"] = tangent;
            entry["xIntervals"] = intervals;
            solutions.push_back(entry);
        }
        document["solutions"] = solutions;
    }
    if (a.operatingPoints) {
        json points = json::array();
        if (*a.operatingPoints) {
            for (const CurvePlace& p : **a.operatingPoints)
                points.push_back({{"x", jsonNumber(p.x)},
                                  {"y", jsonNumber(p.y)},
                                  {"xInterval95", pairOf(p.xLow, p.xHigh)},
                                  {"yInterval95", pairOf(p.yLow, p.yHigh)},
                                  {"level", q.request.level},
                                  {"extrapolated", p.extrapolated},
                                  {"tangent", p.tangent}});
        } else {
            document["operatingPointsRefusal"] = refusalJson(a.operatingPoints->refusal);
        }
        document["operatingPoints"] = points;
        document["system"] = {{"k", jsonNumber(q.system->k)}, {"p0", jsonNumber(q.system->p0)}, {"n", jsonNumber(q.system->n)}};
    }
    const char* quantity = q.quantity == AffinityQuantity::Head    ? "head"
                           : q.quantity == AffinityQuantity::Power ? "power"
                                                                   : "efficiency";
    if (a.scaled) {
        json scaled = {{"ratio", jsonNumber(q.ratio)}, {"of", q.diameterRatio ? "diameter" : "speed"}, {"quantity", quantity}};
        if (*a.scaled) scaled["coefficients"] = jsonCoefficients(namedCoefficients(**a.scaled));
        else scaled["refusal"] = refusalJson(a.scaled->refusal);
        document["scaled"] = scaled;
    }
    if (a.duty) {
        json duty = {{"x", jsonNumber(q.duty->x)}, {"y", jsonNumber(q.duty->y)}, {"of", q.diameterRatio ? "diameter" : "speed"},
                     {"quantity", quantity}};
        json ratios = json::array(), extrapolated = json::array(), curves = json::array();
        if (*a.duty) {
            for (const DutyRatio& d : **a.duty) {
                ratios.push_back(jsonNumber(d.ratio));
                extrapolated.push_back(d.extrapolated);
                curves.push_back(coefficientsOf(d.curve));
            }
        } else {
            duty["refusal"] = refusalJson(a.duty->refusal);
        }
        duty["ratios"] = ratios;
        duty["extrapolated"] = extrapolated;
        duty["coefficients"] = curves;
        document["duty"] = duty;
    }
}

} // namespace calvero
