#include "library/fitrequest.h"

#include "common/numtext.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace calvero {

namespace {

constexpr std::array<std::string_view, 8> ScriptNames = {"scatter",  "power",       "polynomial",      "exponential",
                                                           "rational", "temperature-time", "surface", "saturation"};

struct Problem {
    FitStatus status;
    Refusal refusal;
};

std::optional<Problem> badArguments(std::string message)
{
    return Problem{FitStatus::BadArguments, Refusal{RefusalCode::BadArguments, {std::move(message)}}};
}

// The first value of an array that is not a finite number.
std::optional<Problem> notFinite(std::span<const double> values, const char* name)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isfinite(values[i]))
            return badArguments("il valore " + std::to_string(i + 1) + " di " + name + " non è un numero finito");
    return std::nullopt;
}

// Options no fit can take: a value that is not a finite number, a term that
// is not one, weights that are not one per point. What the kind and the
// points make of them is the engine's to say.
std::optional<Problem> optionsProblem(const FitOptions& o, std::size_t points)
{
    for (const ThroughPoint& p : o.throughPoints)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return badArguments("un punto di passaggio non è fatto di numeri finiti");
    for (const FixedTerm& t : o.fixedTerms) {
        if (t.term < 1 || t.term > 99) return badArguments("termine fisso non valido (1..99): " + std::to_string(t.term));
        if (!std::isfinite(t.value)) return badArguments("il valore del termine fisso " + std::to_string(t.term) + " non è un numero finito");
    }
    if (o.weighting == Weighting::Column) {
        if (o.pointWeights.size() != points) return badArguments("i pesi devono essere uno per punto");
        if (auto problem = notFinite(o.pointWeights, "pesi")) return problem;
    }
    return std::nullopt;
}

// What no calculation can take, and the points beyond the engine's places.
std::optional<Problem> problemOf(const FitRequest& r)
{
    if (r.kind < 1 || r.kind > 8) return badArguments("tipo non valido (1..8): " + std::to_string(r.kind));
    if (r.degree < 1 || r.degree > 9) return badArguments("grado non valido (1..9): " + std::to_string(r.degree));
    const bool surface = r.kind == kindNumber(FitType::SurfaceXY);
    if (r.y.size() != r.x.size()) return badArguments("x e y devono avere lo stesso numero di valori");
    if (surface && r.z.size() != r.x.size()) return badArguments("x, y e z devono avere lo stesso numero di valori");
    for (const auto& [values, name] : {std::pair{r.x, "x"}, std::pair{r.y, "y"}, std::pair{surface ? r.z : std::span<const double>{}, "z"}})
        if (auto problem = notFinite(values, name)) return problem;
    for (const std::optional<double>& t : {r.initialTemperature, r.finalTemperature})
        if (t && !std::isfinite(*t)) return badArguments("una temperatura non è un numero finito");
    if (auto problem = optionsProblem(r.options, r.x.size())) return problem;
    // More points than the engine takes are its to refuse; a count beyond an
    // int is refused here, before they are copied.
    if (r.x.size() > static_cast<std::size_t>(MaxEnginePoints))
        return Problem{FitStatus::Refused, Refusal{RefusalCode::TooManyPoints, {std::to_string(MaxEnginePoints)}}};
    return std::nullopt;
}

} // namespace

std::optional<int> kindOfName(std::string_view name)
{
    std::string folded;
    for (char c : name) folded += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto found = std::find(ScriptNames.begin(), ScriptNames.end(), folded);
    if (found == ScriptNames.end()) return std::nullopt;
    return static_cast<int>(found - ScriptNames.begin()) + 1;
}

std::string_view kindScriptName(int kind)
{
    return kind >= 1 && kind <= 8 ? ScriptNames[static_cast<std::size_t>(kind - 1)] : std::string_view{};
}

Checked<CalculationInput> requestInput(const FitRequest& request)
{
    if (auto problem = problemOf(request)) return failed<CalculationInput>(problem->refusal);
    CalculationInput input;
    input.kind = static_cast<FitType>(request.kind);
    input.degree = request.degree;
    input.initialTemperature = request.initialTemperature;
    input.finalTemperature = request.finalTemperature;
    input.options = request.options;
    input.limit = PointLimit::Engine;
    input.pointCount = static_cast<int>(request.x.size());
    input.points.x.assign(request.x);
    input.points.y.assign(request.y);
    if (input.kind == FitType::SurfaceXY) input.points.z.assign(request.z);
    input.points.count = input.pointCount;
    input.points.foundCount = input.pointCount;
    return succeeded(std::move(input));
}

FitAnswer fitRequest(const FitRequest& request)
{
    FitAnswer answer;
    if (auto problem = problemOf(request)) {
        answer.status = problem->status;
        answer.refusal = std::move(problem->refusal);
        return answer;
    }
    answer.status = FitStatus::Refused;
    if (request.kind == kindNumber(FitType::TemperatureTime) &&
        !(request.initialTemperature && request.finalTemperature)) {
        answer.refusal = refusalOf(RefusalCode::MissingTemperatures);
        return answer;
    }
    Outcome outcome = calculate(std::move(*requestInput(request)), ReportText::Later);
    if (!outcome) {
        answer.refusal = std::move(outcome.refusal);
        return answer;
    }
    answer.status = FitStatus::Fitted;
    answer.coefficients = namedCoefficients(*outcome);
    answer.calculation = std::move(outcome.value);
    return answer;
}

std::string libraryMessage(const Refusal& refusal)
{
    const std::string words = refusalText(refusal);
    switch (refusal.code) {
    case RefusalCode::DivisionByZero: return "divisione per zero nel calcolo (" + words + ")";
    case RefusalCode::InvalidOperation:
        return "operazione impossibile nel calcolo, come il logaritmo di un numero non positivo (" + words + ")";
    case RefusalCode::Overflow: return "un numero del calcolo supera il più grande che si possa scrivere (" + words + ")";
    default: return words;
    }
}

std::string answerMessage(const FitAnswer& answer)
{
    return answer.status == FitStatus::Fitted ? std::string() : libraryMessage(answer.refusal);
}

Refusal unknownExportFormat(std::string_view format)
{
    return Refusal{RefusalCode::UnknownFormat,
                   {"formato sconosciuto: " + std::string(format) +
                    " (energyplus, ahri540, formula, c-function, python-function)"}};
}

Checked<std::string> exportOf(const Calculation& calculation, std::string_view format, const ExportChoices& choices)
{
    const std::optional<ExportFormat> chosen = exportFormatNamed(format);
    if (!chosen) return failed<std::string>(unknownExportFormat(format));
    return exportText(*chosen, calculation, choices);
}

std::optional<double> valueAt(const Calculation& c, double x, double y)
{
    if (c.kind == FitType::SurfaceXY) return surfaceValue(c.surface, x, y, c.degree);
    if (c.curve) return curveValue(*c.curve, x);
    return std::nullopt;
}

std::string reportText(const Calculation& c)
{
    std::string text;
    for (const std::string& line : reportOf(c)) text += trimRight(line) + "\n";
    return text;
}

Checked<std::vector<ComparisonRow>> compareRequest(const FitRequest& request, double tolerancePercent)
{
    if (!std::isfinite(tolerancePercent) || tolerancePercent < 0)
        return failed<std::vector<ComparisonRow>>(refusalOf(RefusalCode::InvalidTolerance));
    const Checked<CalculationInput> input = requestInput(request);
    if (!input) return failed<std::vector<ComparisonRow>>(input.refusal);
    return succeeded(compareEquations(*input, tolerancePercent));
}

} // namespace calvero
