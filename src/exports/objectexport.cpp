#include "exports/objectexport.h"

#include "common/numtext.h"
#include "fit/statistics.h"
#include "exports/curveextremes.h"
#include "exports/energyplusfields.h"
#include "exports/exportenvelope.h"
#include "exports/exportequation.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace calvero {

namespace {

template <typename T>
Checked<T> refused(RefusalCode code, std::string sentence)
{
    return failed<T>(Refusal{code, {std::move(sentence)}});
}

ExportEquation termsEquation(const CurveObject& object, std::span<const double> coefficients)
{
    ExportEquation e;
    e.shape = object.inputs == 2 ? EquationShape::Surface : EquationShape::Polynomial;
    for (std::size_t k = 0; k < coefficients.size(); ++k) e.terms.push_back({coefficients[k], object.terms[k]});
    return e;
}

// The object's extremes over the rectangle of its limits (the interval of x).
std::optional<ValueRange> objectRange(const ObjectFit& fit, const Envelope& r)
{
    const CurveObject& object = *fit.object;
    const std::vector<double>& c = fit.coefficients;
    const PlaneValue at = [&](double x, double y) { return curveObjectValue(object, c, x, y); };
    switch (object.form) {
    case ObjectForm::Polynomial: return polynomialValueRange(termsEquation(object, c), r, at, fit.points.x, fit.points.y);
    case ObjectForm::PressureRise: {
        // A polynomial in Q and √Psm over the rectangle of Q and √Psm; its
        // corners at the limits themselves.
        Envelope roots = r;
        roots.yMin = std::sqrt(r.yMin);
        roots.yMax = std::sqrt(r.yMax);
        std::vector<double> rootPoints;
        for (double p : fit.points.y) rootPoints.push_back(std::sqrt(p));
        const PlaneValue atRoot = [&](double x, double s) {
            const double p = s == roots.yMin ? r.yMin : s == roots.yMax ? r.yMax : s * s;
            return curveObjectValue(object, c, x, p);
        };
        return polynomialValueRange(termsEquation(object, c), roots, atRoot, fit.points.x, rootPoints);
    }
    case ObjectForm::Nonlinear: return sampledValueRange(r, at, fit.points.x);
    }
    return std::nullopt;
}

std::string notNormalizedReason(const CurveObject& object)
{
    if (object.form == ObjectForm::PressureRise) return "la sua uscita e' un aumento di pressione in Pa";
    return "la sua forma vale gia' 1 a x = 0";
}

// The comment on the fit's errors: the sum of squares and the largest error.
std::string errorComment(const ObjectFit& fit)
{
    double largest = 0.0;
    for (std::size_t i = 0; i < fit.fitted.size(); ++i) largest = std::max(largest, std::fabs(fit.points.v[i] - fit.fitted[i]));
    return "somma dei quadrati degli scarti SSE = " + shortestText(fit.sse) + ", scarto massimo = " + significant(largest, 6);
}

std::string pointsWord(std::size_t n) { return std::to_string(n) + (n == 1 ? " punto" : " punti"); }

} // namespace

bool isLookupTable(std::string_view type)
{
    const std::string_view table = LookupTableType;
    return type.size() == table.size() && std::equal(type.begin(), type.end(), table.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

Checked<IdfObject> fittedObject(const ObjectFit& fit, const EnergyPlusChoices& choices, std::string_view suffix)
{
    const CurveObject& object = *fit.object;
    const std::string type(object.type);
    const Envelope r = pointEnvelope(fit.points.x, fit.points.y);
    std::vector<double> coefficients = fit.coefficients;
    std::optional<ValueRange> range = objectRange(fit, r);
    if (!range)
        return refused<IdfObject>(RefusalCode::NoValueInRange,
                                  type + " non ha un valore calcolabile in tutti i limiti dei punti");
    const Checked<std::vector<IdfField>> units = unitTypeFields(object, choices.units);
    if (!units) return failed<IdfObject>(units.refusal);

    IdfObject written;
    written.type = type;
    written.comments.push_back("CALVERO1: " + type + " adattato a " + pointsWord(fit.points.size()) + ": " +
                               std::string(object.equation));
    for (const std::string& line : envelopeLines(r)) written.comments.push_back(line);
    written.comments.push_back(errorComment(fit));
    written.comments.insert(written.comments.end(), fit.cautions.begin(), fit.cautions.end());
    if (choices.rated) {
        const RatedPoint& rated = *choices.rated;
        if (!object.normalizable())
            return refused<IdfObject>(RefusalCode::NotNormalizable,
                                      type + " non si normalizza a un punto nominale: " + notNormalizedReason(object));
        if (const Failure problem = ratedPointProblem(rated, r))
            return refused<IdfObject>(RefusalCode::InvalidRatedPoint, *problem);
        const std::optional<double> scale = curveObjectValue(object, coefficients, rated.x, rated.y.value_or(0.0));
        if (!scale)
            return refused<IdfObject>(RefusalCode::NoValueInRange, type + " non ha un valore nel punto nominale");
        if (*scale == 0.0)
            return refused<IdfObject>(RefusalCode::ZeroAtRatedPoint,
                                      "la curva vale 0 nel punto nominale: non si può normalizzare");
        for (std::size_t k = 0; k < coefficients.size(); ++k)
            if (object.scaled[k]) coefficients[k] /= *scale;
        range = ValueRange{range->lowest / *scale, range->highest / *scale};
        if (*scale < 0.0) std::swap(range->lowest, range->highest);
        written.comments.push_back(normalizedComment(rated, *scale));
        if (!insideEnvelope(r, rated.x, rated.y.value_or(0.0)))
            written.comments.push_back("il punto nominale e' fuori dall'inviluppo dei punti");
    }
    written.fields.push_back(textField("Name", simulationName(choices.name, suffix, written.comments)));
    for (std::size_t k = 0; k < coefficients.size(); ++k)
        written.fields.push_back(numberField(std::string(object.coefficientFields[k]), coefficients[k]));
    const double limits[] = {r.xMin, r.xMax, r.yMin, r.yMax};
    for (std::size_t k = 0; k < object.limitFields.size(); ++k)
        written.fields.push_back(numberField(std::string(object.limitFields[k]), limits[k]));
    written.fields.push_back(numberField("Minimum Curve Output", range->lowest));
    written.fields.push_back(numberField("Maximum Curve Output", range->highest));
    written.fields.insert(written.fields.end(), units->begin(), units->end());
    return succeeded(std::move(written));
}

Checked<std::vector<IdfObject>> fittedObjects(const CurveObject& object, const ObjectPoints& points,
                                              const EnergyPlusChoices& choices)
{
    const Checked<ObjectFit> fit = fitCurveObject(object, points);
    if (!fit) return failed<std::vector<IdfObject>>(fit.refusal);
    Checked<IdfObject> written = fittedObject(*fit, choices);
    if (!written) return failed<std::vector<IdfObject>>(written.refusal);
    return succeeded(std::vector<IdfObject>{std::move(*written)});
}

Checked<std::vector<IdfObject>> energyPlusPair(const PairPoints& p, const EnergyPlusChoices& choices)
{
    using Objects = std::vector<IdfObject>;
    const CurveObject* object = curveObjectNamed(choices.object.empty() ? "Curve:Biquadratic" : choices.object);
    if (!object || object->inputs != 2 || object->form != ObjectForm::Polynomial)
        return refused<Objects>(RefusalCode::NoExport,
                                "la coppia capacita'-EIR si scrive come Curve:Biquadratic, Curve:Bicubic, "
                                "Curve:QuadraticLinear o Curve:CubicLinear, non come " + choices.object);
    if (!choices.rated || !choices.rated->y)
        return refused<Objects>(RefusalCode::InvalidRatedPoint,
                                "la coppia capacita'-EIR si normalizza nel punto nominale: servono x e y");
    const std::size_t n = p.x.size();
    if (p.y.size() != n || p.capacity.size() != n || p.power.size() != n)
        return refused<Objects>(RefusalCode::BadArguments, "servono x, y, capacita' e potenza per ogni punto");
    ObjectPoints capacity{p.x, p.y, p.capacity}, ratio{p.x, p.y, {}};
    for (std::size_t i = 0; i < n; ++i) {
        if (!(p.capacity[i] > 0.0) || !(p.power[i] > 0.0))
            return refused<Objects>(RefusalCode::NotPositive, "capacita' e potenza devono essere maggiori di 0: il punto " +
                                                                   std::to_string(i + 1) + " non lo e'");
        ratio.v.push_back(p.power[i] / p.capacity[i]);
    }
    const Checked<ObjectFit> capacityFit = fitCurveObject(*object, capacity);
    if (!capacityFit) return failed<Objects>(capacityFit.refusal);
    const Checked<ObjectFit> ratioFit = fitCurveObject(*object, ratio);
    if (!ratioFit) return failed<Objects>(ratioFit.refusal);
    const RatedPoint& rated = *choices.rated;
    const std::optional<double> ratedCapacity = curveObjectValue(*object, capacityFit->coefficients, rated.x, *rated.y);
    const std::optional<double> ratedRatio = curveObjectValue(*object, ratioFit->coefficients, rated.x, *rated.y);
    if (!ratedCapacity || !ratedRatio || !(*ratedCapacity > 0.0) || !(*ratedRatio > 0.0))
        return refused<Objects>(RefusalCode::ZeroAtRatedPoint,
                                "la capacita' o l'EIR adattati non sono positivi nel punto nominale");
    Checked<IdfObject> capacityCurve = fittedObject(*capacityFit, choices, "_CAPFT");
    if (!capacityCurve) return failed<Objects>(capacityCurve.refusal);
    Checked<IdfObject> ratioCurve = fittedObject(*ratioFit, choices, "_EIRFT");
    if (!ratioCurve) return failed<Objects>(ratioCurve.refusal);
    std::vector<std::string> pair = {
        "CALVERO1: coppia di curve di batteria o refrigeratore da " + pointsWord(n) +
            " (x; y; capacita'; potenza): " + capacityCurve->name() + " la capacita', " + ratioCurve->name() +
            " l'EIR = potenza / capacita', entrambe 1 nel punto nominale",
        "punto nominale x = " + shortestText(rated.x) + ", y = " + shortestText(*rated.y) +
            ": capacita' nominale = " + shortestText(*ratedCapacity) + ", potenza nominale = " +
            shortestText(*ratedCapacity * *ratedRatio) + ", COP nominale = " + shortestText(1.0 / *ratedRatio)};
    capacityCurve->comments.insert(capacityCurve->comments.begin(), pair.begin(), pair.end());
    return succeeded(Objects{std::move(*capacityCurve), std::move(*ratioCurve)});
}

std::vector<std::string> objectFitLines(const ObjectFit& fit)
{
    const CurveObject& object = *fit.object;
    std::vector<std::string> lines = {"OGGETTO ENERGYPLUS " + std::string(object.type) + " adattato a " +
                                          pointsWord(fit.points.size()),
                                      "equazione: " + std::string(object.equation)};
    for (std::size_t k = 0; k < fit.coefficients.size(); ++k)
        lines.push_back("C" + std::to_string(k + 1) + " (" + std::string(object.coefficientFields[k]) +
                        ") = " + shortestText(fit.coefficients[k]));
    lines.push_back(errorComment(fit));
    lines.insert(lines.end(), fit.cautions.begin(), fit.cautions.end());
    return lines;
}

std::string objectFitJson(const ObjectFit& fit)
{
    nlohmann::ordered_json document;
    document["object"] = std::string(fit.object->type);
    document["equation"] = std::string(fit.object->equation);
    nlohmann::ordered_json coefficients = nlohmann::ordered_json::array();
    for (std::size_t k = 0; k < fit.coefficients.size(); ++k)
        coefficients.push_back({{"field", std::string(fit.object->coefficientFields[k])}, {"value", fit.coefficients[k]}});
    document["coefficients"] = coefficients;
    document["sse"] = fit.sse;
    if (!fit.cautions.empty()) document["cautions"] = fit.cautions;
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < fit.points.size(); ++i) {
        nlohmann::ordered_json point;
        point["x"] = fit.points.x[i];
        if (fit.points.twoInputs()) point["y"] = fit.points.y[i];
        point["value"] = fit.points.v[i];
        point["fitted"] = fit.fitted[i];
        points.push_back(point);
    }
    document["points"] = points;
    return document.dump(1) + "\n";
}

} // namespace calvero
