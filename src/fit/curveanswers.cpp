#include "fit/curveanswers.h"

#include "fit/coefficientlist.h"
#include "fit/equationfit.h"
#include "fit/statistics.h"

#include <cmath>

namespace calvero {

namespace {

constexpr int Digits = 8;

std::string number(double v) { return significant(v, Digits); }

std::string levelText(double level) { return significant(level * 100.0, 6) + " %"; }

std::string endsText(const std::optional<double>& low, const std::optional<double>& high)
{
    return (low ? number(*low) : std::string("oltre il campo")) + " ... " +
           (high ? number(*high) : std::string("oltre il campo"));
}

std::string quantityText(AffinityQuantity q)
{
    switch (q) {
    case AffinityQuantity::Head: return "prevalenza o pressione × r²";
    case AffinityQuantity::Power: return "potenza × r³";
    case AffinityQuantity::Efficiency: return "rendimento invariato";
    }
    return {};
}

std::string ratioName(bool diameter) { return diameter ? "D2/D1" : "n2/n1"; }

std::string systemText(const SystemCurve& s)
{
    return "Δp = " + number(s.p0) + " + " + number(s.k) + "·Q^" + number(s.n);
}

} // namespace

std::vector<Refusal> CurveAnswers::refusals() const
{
    std::vector<Refusal> found;
    for (const auto& v : values)
        if (!v) found.push_back(v.refusal);
    for (const auto& s : solutions)
        if (!s.places) found.push_back(s.places.refusal);
    if (operatingPoints && !*operatingPoints) found.push_back(operatingPoints->refusal);
    if (scaled && !*scaled) found.push_back(scaled->refusal);
    if (duty && !*duty) found.push_back(duty->refusal);
    return found;
}

namespace {

// The questions any curve answers: its values, x for each y, the operating points.
CurveAnswers placesAnswers(const CurvePredictor& predictor, const CurveQuestions& q)
{
    CurveAnswers a;
    a.surface = predictor.surface();
    for (const ValueQuestion& v : q.values) a.values.push_back(predictor.at(v.x, v.y, q.request));
    for (double y : q.solveY) a.solutions.push_back({y, solveForY(predictor, y, q.request.level)});
    if (q.system) a.operatingPoints = operatingPoints(predictor, *q.system, q.request.level);
    return a;
}

} // namespace

CurveAnswers answerQuestions(const Calculation& c, const CurveQuestions& q)
{
    CurveAnswers a = placesAnswers(CurvePredictor(c), q);
    a.surface = c.kind == FitType::SurfaceXY;
    if (q.ratio) a.scaled = scaledCalculation(c, *q.ratio, q.quantity);
    if (q.duty) a.duty = dutyRatios(c, q.duty->x, q.duty->y, q.quantity);
    return a;
}

CurveAnswers answerQuestions(const EquationFit& fit, const CurveQuestions& q)
{
    CurveAnswers a = placesAnswers(CurvePredictor(fit), q);
    const Refusal notKept{RefusalCode::AffinityNotKept, {"EQUAZIONE LIBERA"}};
    if (q.ratio) a.scaled = failed<Calculation>(notKept);
    if (q.duty) a.duty = failed<std::vector<DutyRatio>>(notKept);
    return a;
}

std::string predictionLine(const Prediction& p, bool surface)
{
    std::string line = surface ? "valore a x = " + number(p.x) + ", y = " + number(p.y) + ": z = "
                               : "valore a x = " + number(p.x) + ": y = ";
    line += number(p.value);
    if (p.confidence)
        line += "; confidenza " + levelText(p.level) + ": " + number(p.confidence->low) + " ... " +
                number(p.confidence->high);
    if (p.prediction)
        line += "; previsione " + levelText(p.level) + ": " + number(p.prediction->low) + " ... " +
                number(p.prediction->high);
    if (p.none) line += "; " + noIntervalText(*p.none);
    if (p.approximate)
        line += " (approssimato: " +
                (p.parameterAtBound ? std::string("un parametro è al suo limite e il suo errore non è contato")
                                    : p.boundWords) +
                ")";
    if (p.extrapolated) line += " (estrapolato: fuori dal campo dei punti)";
    return line;
}

std::string placeLine(const CurvePlace& place)
{
    std::string line = "x = " + number(place.x) + "  (intervallo di confidenza di x: " +
                       endsText(place.xLow, place.xHigh) + ")";
    if (place.tangent) line += " (tangente: la curva tocca il valore senza attraversarlo)";
    if (place.extrapolated) line += " (estrapolato: fuori dal campo dei punti)";
    return line;
}

std::vector<std::string> answerLines(const CurveQuestions& q, const CurveAnswers& a)
{
    std::vector<std::string> lines = {"DOMANDE ALLA CURVA"};
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const Checked<Prediction>& p = a.values[i];
        lines.push_back(p ? predictionLine(*p, a.surface)
                          : "valore a x = " + number(q.values[i].x) + ": " + p.failure());
    }
    for (const SolveAnswer& s : a.solutions) {
        if (!s.places) {
            lines.push_back("x per y = " + number(s.y) + ": " + s.places.failure());
            continue;
        }
        lines.push_back("x per y = " + number(s.y) + " (confidenza " + levelText(q.request.level) + "):");
        for (const CurvePlace& place : *s.places) lines.push_back("  " + placeLine(place));
    }
    if (a.operatingPoints) {
        const std::string heading = "punto di funzionamento con la curva dell'impianto " + systemText(*q.system);
        if (!*a.operatingPoints) {
            lines.push_back(heading + ": " + a.operatingPoints->failure());
        } else {
            lines.push_back(heading + " (confidenza " + levelText(q.request.level) + "):");
            for (const CurvePlace& p : **a.operatingPoints) {
                std::string line = "  Q = " + number(p.x) + " (" + endsText(p.xLow, p.xHigh) + "), Δp = " +
                                   number(p.y) + " (" + endsText(p.yLow, p.yHigh) + ")";
                if (p.tangent) line += " (tangente)";
                if (p.extrapolated) line += " (estrapolato: fuori dal campo dei punti)";
                lines.push_back(line);
            }
        }
    }
    if (a.scaled) {
        const std::string heading = "curva a " + ratioName(q.diameterRatio) + " = " + number(*q.ratio) +
                                    " (portata × r, " + quantityText(q.quantity) + ")";
        if (!*a.scaled) {
            lines.push_back(heading + ": " + a.scaled->failure());
        } else {
            lines.push_back(heading + (q.diameterRatio ? ": approssimata per la tornitura della girante" : ":"));
            for (const auto& [name, value] : namedCoefficients(**a.scaled))
                lines.push_back("  " + name + " = " + significant(value, 17));
            for (const std::string& line : reportOf(**a.scaled)) lines.push_back(line);
        }
    }
    if (a.duty) {
        const std::string heading = "rapporto " + ratioName(q.diameterRatio) + " per il punto richiesto Q = " +
                                    number(q.duty->x) + ", " + (q.quantity == AffinityQuantity::Head ? "H" : "y") +
                                    " = " + number(q.duty->y);
        if (!*a.duty) {
            lines.push_back(heading + ": " + a.duty->failure());
        } else {
            lines.push_back(heading + ":");
            for (const DutyRatio& d : **a.duty) {
                std::string line = "  " + ratioName(q.diameterRatio) + " = " + number(d.ratio);
                if (d.extrapolated) line += " (estrapolato: Q/r fuori dal campo dei punti)";
                lines.push_back(line);
            }
        }
    }
    return lines;
}

} // namespace calvero
