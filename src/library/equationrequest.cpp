#include "library/equationrequest.h"

#include "common/numtext.h"
#include "fit/equationreport.h"
#include "fit/parametertext.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

FitAnswer refusedWith(Refusal why, FitStatus status)
{
    FitAnswer answer;
    answer.status = status;
    answer.refusal = std::move(why);
    return answer;
}

bool allFinite(std::span<const double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

FitAnswer fitEquationRequest(const EquationRequest& request, std::optional<EquationFit>& fit)
{
    Checked<ParsedEquation> equation = readEquation(request.equation);
    if (!equation) return refusedWith(equation.refusal, FitStatus::Refused);
    const bool two = equation->twoVariables;
    const std::span<const double> value = two ? request.z : request.y;
    const std::size_t n = request.x.size();
    if (request.y.size() != n || value.size() != n)
        return refusedWith(Refusal{RefusalCode::BadArguments,
                                   {two ? "per un'equazione di x e y servono x, y e z, tanti quanti"
                                        : "servono x e y, tanti quanti"}},
                           FitStatus::BadArguments);
    if (!allFinite(request.x) || !allFinite(request.y) || !allFinite(value))
        return refusedWith(Refusal{RefusalCode::BadArguments, {"i punti devono essere numeri finiti"}},
                           FitStatus::BadArguments);
    std::vector<std::string> starts;
    if (request.start.find_first_not_of(" \t") != std::string_view::npos) starts.emplace_back(request.start);
    Checked<ParameterSettings> settings = readParameterSettings(starts, {}, {}, equation->parameters);
    if (!settings) return refusedWith(settings.refusal, FitStatus::Refused);

    EquationInput input;
    input.equation = std::move(*equation);
    input.points.x.assign(request.x.begin(), request.x.end());
    if (two) input.points.y.assign(request.y.begin(), request.y.end());
    input.points.value.assign(value.begin(), value.end());
    input.settings = std::move(*settings);
    Checked<EquationFit> fitted = fitEquation(std::move(input));
    if (!fitted) return refusedWith(fitted.refusal, FitStatus::Refused);

    FitAnswer answer;
    answer.status = FitStatus::Fitted;
    for (std::size_t k = 0; k < fitted->parameters.size(); ++k)
        answer.coefficients.emplace_back(fitted->equation.parameters[k], fitted->parameters[k]);
    fit = std::move(*fitted);
    return answer;
}

std::string equationReportText(const EquationFit& fit)
{
    std::string text;
    for (const std::string& line : equationReport(fit)) text += trimRight(line) + "\n";
    return text;
}

} // namespace calvero
