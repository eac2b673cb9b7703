#include "formats/equationjson.h"

#include "fit/equationreport.h"
#include "fit/equationstatistics.h"
#include "formats/answerjson.h"
#include "formats/fitjson.h"
#include "formats/jsonfigures.h"

#include <cmath>

namespace calvero {

namespace {

using nlohmann::json;

const char* weightsName(Weighting w)
{
    return w == Weighting::Relative ? "relative" : w == Weighting::Column ? "column" : "none";
}

json namedValues(const EquationFit& fit, const std::vector<double>& values)
{
    std::vector<NamedCoefficient> list;
    for (std::size_t k = 0; k < values.size(); ++k) list.emplace_back(fit.equation.parameters[k], values[k]);
    return jsonCoefficients(list);
}

json optionsOf(const EquationFit& fit)
{
    json fixed = json::object(), bounds = json::object();
    for (std::size_t k = 0; k < fit.parameters.size(); ++k) {
        const std::string& name = fit.equation.parameters[k];
        if (fit.fixed[k]) fixed[name] = jsonNumber(fit.parameters[k]);
        const bool low = std::isfinite(fit.lower[k]), high = std::isfinite(fit.upper[k]);
        if (!fit.fixed[k] && (low || high))
            bounds[name] = {{"lower", low ? jsonNumber(fit.lower[k]) : json(nullptr)},
                            {"upper", high ? jsonNumber(fit.upper[k]) : json(nullptr)}};
    }
    return {{"fixed", fixed}, {"bounds", bounds}, {"weights", weightsName(fit.weighting)}};
}

json pointsOf(const EquationFit& fit)
{
    const std::vector<double> fitted = fittedValues(fit);
    const bool two = fit.equation.twoVariables;
    json points = json::array();
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        const double measured = fit.points.value[i];
        json point = {{"x", jsonNumber(fit.points.x[i])}};
        if (two) point["y"] = jsonNumber(fit.points.y[i]);
        point[two ? "z" : "y"] = jsonNumber(measured);
        const bool has = std::isfinite(fitted[i]);
        point[two ? "zint" : "yint"] = has ? jsonNumber(fitted[i]) : json(nullptr);
        point["errorPercent"] = has && measured != 0.0 ? jsonNumber((measured - fitted[i]) / measured * 100.0) : json(nullptr);
        point["difference"] = has ? jsonNumber(measured - fitted[i]) : json(nullptr);
        points.push_back(point);
    }
    return points;
}

} // namespace

json equationStatisticsJson(const EquationFit& fit, const Statistics& s)
{
    json figures = statisticsJson(s);
    figures["iterations"] = fit.iterations;
    figures["converged"] = fit.converged;
    figures["startValues"] = startValuesName(fit);
    figures["startContinued"] = fit.startKind == StartKind::Continued;
    figures["possiblyLocal"] = fit.possiblyLocal;
    figures["linear"] = fit.linear;
    figures["localFits"] = fit.localFits;
    figures["weightedSse"] = jsonNumber(s.weightedSse);
    for (std::size_t k = 0; k < s.coefficients.size(); ++k) {
        figures["coefficients"][k]["fixed"] = s.coefficients[k].fixed;
        figures["coefficients"][k]["atBound"] = s.coefficients[k].atBound;
    }
    return figures;
}

std::string equationJson(const EquationFit& fit, const CurveQuestions* questions, const CurveAnswers* answers)
{
    json variables = fit.equation.twoVariables ? json::array({"x", "y"}) : json::array({"x"});
    json document = {{"equation", jsonText(fit.equation.text)},
                     {"variables", variables},
                     {"response", fit.equation.response()},
                     {"parameters", fit.equation.parameters},
                     {"coefficients", namedValues(fit, fit.parameters)},
                     {"start", namedValues(fit, fit.start)}};
    document["options"] = optionsOf(fit);
    document["optionsLine"] = equationSteeringLine(fit);
    document["statistics"] = equationStatisticsJson(fit, equationStatistics(fit));
    document["report"] = equationReport(fit);
    document["points"] = pointsOf(fit);
    if (questions && answers) addAnswersJson(document, *questions, *answers);
    return jsonDocument(document);
}

} // namespace calvero
