#include "batch/batchquestionoptions.h"

#include "common/numtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace calvero {

namespace {

constexpr std::array<std::string_view, 10> QuestionOptions = {
    "--at",           "--level",          "--weight",   "--solve-y",  "--system", "--system-through",
    "--speed-ratio", "--diameter-ratio", "--quantity", "--duty"};

// Numbers separated by commas (decimals with a full stop), from `fewest` to `most` of them.
std::optional<std::vector<double>> numbersOf(const std::string& text, std::size_t fewest, std::size_t most)
{
    std::vector<double> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const auto number = parseDecimal(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!number || !std::isfinite(*number)) return std::nullopt;
        numbers.push_back(*number);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (numbers.size() < fewest || numbers.size() > most) return std::nullopt;
    return numbers;
}

} // namespace

bool isQuestionOption(const std::string& argument)
{
    return std::find(QuestionOptions.begin(), QuestionOptions.end(), argument) != QuestionOptions.end() ||
           argument == "--scaled-out";
}

Failure readQuestionOption(const std::string& argument, const std::string& value, BatchOptions& options)
{
    CurveQuestions& q = options.questions;
    if (argument == "--scaled-out") {
        options.scaledOut = value;
        return std::nullopt;
    }
    if (argument == "--quantity") {
        if (value != "head" && value != "power" && value != "efficiency")
            return "grandezza non valida (head, power o efficiency): " + value;
        q.quantity = value == "head" ? AffinityQuantity::Head
                     : value == "power" ? AffinityQuantity::Power
                                        : AffinityQuantity::Efficiency;
        options.quantityGiven = true;
        return std::nullopt;
    }
    if (argument == "--at") {
        const auto numbers = numbersOf(value, 1, 2);
        if (!numbers) return "punto non valido (X, o X,Y per il polinomio Z=F(x,y), con il punto decimale): " + value;
        q.values.push_back({(*numbers)[0], numbers->size() == 2 ? (*numbers)[1] : 0.0});
        options.valueFields.push_back(static_cast<int>(numbers->size()));
        return std::nullopt;
    }
    if (argument == "--system" || argument == "--system-through") {
        const bool through = argument == "--system-through";
        const auto numbers = numbersOf(value, through ? 2 : 1, through ? 4 : 3);
        const std::string form = through ? "Q,DP[,P0[,N]]" : "K[,P0[,N]]";
        if (!numbers) return "curva dell'impianto non valida (" + form + " con il punto decimale): " + value;
        const std::vector<double>& v = *numbers;
        const std::size_t first = through ? 2 : 1;
        const double p0 = v.size() > first ? v[first] : 0.0, n = v.size() > first + 1 ? v[first + 1] : 2.0;
        if (!(n > 0.0)) return "l'esponente della curva dell'impianto deve essere maggiore di 0: " + value;
        if (through) {
            q.system = systemThrough(v[0], v[1], p0, n);
            if (!q.system) return "punto di progetto non valido (la portata deve essere maggiore di 0): " + value;
        } else {
            q.system = SystemCurve{v[0], p0, n};
        }
        if (options.systemGiven) return "una sola curva dell'impianto (--system o --system-through)";
        options.systemGiven = true;
        return std::nullopt;
    }
    if (argument == "--duty") {
        const auto numbers = numbersOf(value, 2, 2);
        if (!numbers || !((*numbers)[0] > 0.0)) return "punto richiesto non valido (Q,H con Q maggiore di 0): " + value;
        q.duty = ValueQuestion{(*numbers)[0], (*numbers)[1]};
        return std::nullopt;
    }
    const auto number = parseDecimal(value);
    if (!number || !std::isfinite(*number)) return "valore non valido per " + argument + ": " + value;
    if (argument == "--level") {
        if (!(*number > 0.0 && *number < 1.0)) return "livello non valido (una probabilità tra 0 e 1, per esempio 0.95): " + value;
        q.request.level = *number;
    } else if (argument == "--weight") {
        if (!(*number > 0.0)) return "peso del nuovo punto non valido (un numero maggiore di 0): " + value;
        q.request.weight = *number;
    } else if (argument == "--solve-y") {
        q.solveY.push_back(*number);
    } else { // --speed-ratio, --diameter-ratio
        if (!(*number > 0.0)) return "rapporto non valido (un numero maggiore di 0): " + value;
        if (q.ratio) return "un solo rapporto (--speed-ratio o --diameter-ratio)";
        q.ratio = *number;
        q.diameterRatio = argument == "--diameter-ratio";
    }
    return std::nullopt;
}

Failure settleQuestionOptions(const BatchOptions& options)
{
    const CurveQuestions& q = options.questions;
    const bool asked = q.any() || options.quantityGiven || !options.scaledOut.empty() || options.bands;
    if (!asked) return std::nullopt;
    if (options.manyFiles)
        return "--at, --solve-y, --system, --speed-ratio, --diameter-ratio e --duty valgono per un file solo";
    if (!options.pointsFile.empty() && options.kind == 0) return "le domande alla curva chiedono --kind";
    if (!options.scaledOut.empty() && !q.ratio) return "--scaled-out vale con --speed-ratio o --diameter-ratio";
    if (options.quantityGiven && !q.ratio && !q.duty) return "--quantity vale con --speed-ratio, --diameter-ratio o --duty";
    if (options.bands && options.graphOut.empty()) return "--bands vale con --png";
    return std::nullopt;
}

Failure valuePlacesProblem(const BatchOptions& options, bool twoVariables, bool equation)
{
    const std::string two = equation ? "un'equazione z = f(x, y)" : "il polinomio Z=F(x,y)";
    for (int fields : options.valueFields)
        if (fields != (twoVariables ? 2 : 1))
            return twoVariables ? "per " + two + " un valore si chiede come --at X,Y"
                                : "un valore si chiede come --at X (X,Y solo per " + two + ")";
    return std::nullopt;
}

} // namespace calvero
