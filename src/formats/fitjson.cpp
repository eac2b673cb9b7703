#include "formats/fitjson.h"

#include "formats/answerjson.h"
#include "formats/fitoptionsfile.h"
#include "formats/jsonfigures.h"
#include "fit/coefficientlist.h"
#include "fit/surface.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>

namespace calvero {

namespace {

using nlohmann::json;

// The runs of the residuals' signs, null where they were not counted.
json runsOf(const Statistics& s)
{
    if (!s.residualRuns) return nullptr;
    const ResidualRuns& r = *s.residualRuns;
    return {{"runs", r.runs}, {"positive", r.positive}, {"negative", r.negative}, {"probability", r.probability}};
}

} // namespace

json statisticsJson(const Statistics& s)
{
    json coefficients = json::array();
    for (const CoefficientStatistics& c : s.coefficients)
        coefficients.push_back({{"name", c.name},
                                {"value", jsonNumber(c.value)},
                                {"standardError", jsonNumber(c.standardError)},
                                {"standardErrorOf", c.errorOf.empty() ? c.name : c.errorOf},
                                {"lower95", jsonNumber(c.lower)},
                                {"upper95", jsonNumber(c.upper)},
                                {"dataSensitivityDigits", jsonNumber(c.dataDigits)}});
    json figures = {{"n", s.n},
            {"p", s.p},
            {"degreesOfFreedom", s.dof},
            {"sse", s.fitted ? jsonNumber(s.sse) : json(nullptr)},
            {"standardError", jsonNumber(s.standardError)},
            {"rSquared", jsonNumber(s.rSquared)},
            {"adjustedRSquared", jsonNumber(s.adjustedRSquared)},
            {"transformedRSquared", jsonNumber(s.transformedRSquared)},
            {"largestAbsoluteError", s.fitted ? jsonNumber(s.largestAbsoluteError) : json(nullptr)},
            {"largestPercentError", jsonNumber(s.largestPercentError)},
            {"rmsPercentError", jsonNumber(s.rmsPercentError)},
            {"exactFit", s.exactFit},
            {"aicc", jsonNumber(s.aicc)},
            {"residualRuns", runsOf(s)},
            {"residualPattern", s.residualPattern},
            {"studentT", jsonNumber(s.tValue)},
            {"conditionNumber", jsonNumber(s.conditionNumber)},
            {"dataSensitivityDigits", jsonNumber(s.dataSensitivityDigits)},
            {"evaluationDigits", jsonNumber(s.evaluationDigits)},
            {"coefficientDigits", jsonNumber(s.coefficientDigits)}, // the former name of dataSensitivityDigits
            {"illConditioned", s.illConditioned},
            {"coefficients", coefficients},
            {"lines", statisticsLines(s)}};
    // Only for a curve held through the origin: the R² figures of every other fit stay as they were.
    if (s.uncentredRSquared) figures["uncentredRSquared"] = jsonNumber(s.uncentredRSquared);
    return figures;
}

namespace {

// What a steered fit adds to its statistics.
void addSteeredFigures(json& figures, const Statistics& s)
{
    figures["equalityConditions"] = s.equalities;
    figures["weightedSse"] = jsonNumber(s.weightedSse);
    figures["approximateErrors"] = s.approximate.empty() ? json(nullptr) : json(s.approximate);
    for (std::size_t k = 0; k < s.coefficients.size(); ++k) figures["coefficients"][k]["fixed"] = s.coefficients[k].fixed;
}

} // namespace

json shapeJson(const ShapeChecks& s)
{
    return {{"checked", s.checked},          {"turns", s.turns},         {"outOfBand", s.outOfBand},
            {"notEvaluable", s.notEvaluable}, {"fewPoints", s.fewPoints}, {"bandShare", s.bandShare},
            {"flags", shapeFlags(s)},         {"lines", shapeLines(s)}};
}

// The point table as the report computes it, for every point fitted.
json pointsJson(const Calculation& c)
{
    json points = json::array();
    const bool surface = c.kind == FitType::SurfaceXY;
    for (int i = 1; i <= c.pointCount; ++i) {
        const double x = c.points.x[i], y = c.points.y[i];
        const double measured = surface ? c.points.z[i] : y;
        json point = {{"x", jsonNumber(x)}, {"y", jsonNumber(y)}};
        if (surface) point["z"] = jsonNumber(measured);
        std::optional<double> fitted;
        if (surface) fitted = surfaceValue(c.surface, x, y, c.degree);
        else if (c.curve) fitted = curveValue(*c.curve, x);
        point[surface ? "zint" : "yint"] = jsonNumber(fitted);
        std::optional<double> percent;
        if (fitted && measured != 0.0) {
            const bool reversed = surface || c.kind == FitType::Saturation; // as the report writes them
            percent = (reversed ? *fitted - measured : measured - *fitted) / measured * 100.0;
        }
        point["errorPercent"] = jsonNumber(percent);
        point["difference"] = fitted ? jsonNumber(measured - *fitted) : json(nullptr);
        points.push_back(point);
    }
    return points;
}

json fitStatisticsJson(const Calculation& c, const Statistics& s)
{
    json figures = statisticsJson(s);
    if (c.options.any()) addSteeredFigures(figures, s);
    return figures;
}

json comparisonRowJson(const ComparisonRow& row)
{
    json entry = {{"kind", kindNumber(row.kind)},
                  {"kindName", kindLabel(row.kind)},
                  {"degree", row.degree},
                  {"coefficientCount", row.coefficientCount},
                  {"recommended", row.recommended}};
    if (!row.object.empty()) {
        entry.erase("kind");
        entry.erase("kindName");
        entry.erase("degree");
        entry["object"] = row.object;
    }
    if (row.fitted()) {
        const Statistics& s = *row.statistics;
        entry["standardError"] = jsonNumber(s.standardError);
        entry["adjustedRSquared"] = jsonNumber(s.adjustedRSquared);
        entry["largestPercentError"] = jsonNumber(s.largestPercentError);
        entry["aicc"] = jsonNumber(s.aicc);
        entry["exactFit"] = s.exactFit;
        entry["flags"] = rowFlags(row);
        entry["illConditioned"] = s.illConditioned;
        entry["residualPattern"] = s.residualPattern;
    } else {
        entry["refusal"] = jsonText(row.refusal);
    }
    return entry;
}

namespace {

json comparisonOf(const std::vector<ComparisonRow>& comparison, double tolerance,
                  const std::string& toleranceAsWritten)
{
    json rows = json::array();
    for (const ComparisonRow& row : comparison) rows.push_back(comparisonRowJson(row));
    return {{"tolerancePercent", tolerance},
            {"rule", jsonText(comparisonRule(tolerance, toleranceAsWritten))},
            {"notes", comparisonNotes(comparison)},
            {"rows", rows}};
}

} // namespace

std::string comparisonJson(const std::vector<ComparisonRow>& comparison, double tolerancePercent,
                           const std::string& toleranceAsWritten)
{
    return jsonDocument({{"comparison", comparisonOf(comparison, tolerancePercent, toleranceAsWritten)}});
}

std::string fitJson(const Calculation& c, const std::vector<ComparisonRow>* comparison, double tolerance,
                    const std::string& toleranceAsWritten, const AskedQuestions* asked)
{
    json document = {{"kind", kindNumber(c.kind)},
                     {"kindName", kindLabel(c.kind)},
                     {"degree", c.degree},
                     {"coefficients", jsonCoefficients(namedCoefficients(c))}};
    if (c.curve) {
        if (const auto* t = std::get_if<TemperatureTimeCurve>(&*c.curve))
            document["temperatures"] = {{"initial", jsonNumber(t->initial)}, {"final", jsonNumber(t->final)}};
    }
    document["statistics"] = fitStatisticsJson(c, fitStatistics(c));
    if (c.options.anyOption()) {
        // Only a steered fit says so: a plain one's document stays as it always was.
        document["options"] = optionsJson(c.options);
        document["optionsLine"] = optionsLine(c.options, c.kind);
    }
    document["shape"] = shapeJson(shapeChecks(c));
    document["points"] = pointsJson(c);
    if (comparison) document["comparison"] = comparisonOf(*comparison, tolerance, toleranceAsWritten);
    if (asked) addAnswersJson(document, asked->questions, asked->answers);
    return jsonDocument(document);
}

} // namespace calvero
