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

const char* const TooManyPoints = "massimo 200 punti";
const char* const NoTemperatures = "per la curva temperatura-tempo servono la temperatura iniziale e quella finale";

struct Problem {
    FitStatus status;
    std::string message;
};

std::optional<Problem> badArguments(std::string message) { return Problem{FitStatus::BadArguments, std::move(message)}; }

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
    // The surface's own limit (100) is the engine's to say.
    if (!surface && r.x.size() > static_cast<std::size_t>(MaxPoints))
        return Problem{FitStatus::Refused, TooManyPoints};
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
    if (auto problem = problemOf(request)) return failed<CalculationInput>(problem->message);
    CalculationInput input;
    input.kind = static_cast<FitType>(request.kind);
    input.degree = request.degree;
    input.initialTemperature = request.initialTemperature;
    input.finalTemperature = request.finalTemperature;
    input.options = request.options;
    const bool surface = input.kind == FitType::SurfaceXY;
    // A surface of more points than the places is refused for them all.
    input.pointCount = static_cast<int>(std::min(request.x.size(), static_cast<std::size_t>(MaxPoints)));
    for (int i = 1; i <= input.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        input.points.x[i] = request.x[at];
        input.points.y[i] = request.y[at];
        if (surface) input.points.z[i] = request.z[at];
    }
    input.points.count = static_cast<std::uint16_t>(input.pointCount);
    input.points.foundCount = static_cast<std::uint8_t>(input.pointCount);
    return succeeded(std::move(input));
}

FitAnswer fitRequest(const FitRequest& request)
{
    FitAnswer answer;
    if (auto problem = problemOf(request)) {
        answer.status = problem->status;
        answer.message = std::move(problem->message);
        return answer;
    }
    answer.status = FitStatus::Refused;
    if (request.kind == kindNumber(FitType::TemperatureTime) &&
        !(request.initialTemperature && request.finalTemperature)) {
        answer.message = NoTemperatures;
        return answer;
    }
    Outcome outcome = calculate(*requestInput(request), ReportText::Later);
    if (!outcome) {
        answer.message = std::move(outcome.failure);
        return answer;
    }
    answer.status = FitStatus::Fitted;
    answer.statistics = fitStatistics(*outcome);
    answer.coefficients = namedCoefficients(*outcome);
    answer.calculation = std::move(outcome.value);
    return answer;
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
        return failed<std::vector<ComparisonRow>>("tolleranza non valida (un numero di punti percentuali, 0 o più)");
    const Checked<CalculationInput> input = requestInput(request);
    if (!input) return failed<std::vector<ComparisonRow>>(input.failure);
    return succeeded(compareEquations(*input, tolerancePercent));
}

} // namespace calvero
