#include "app/batchoptions.h"

#include "fit/numtext.h"

#include <cmath>

namespace calvero {

const char* const BatchUsage =
    "uso: calvero1-batch FILE [--xls OUT] [--rtf OUT] [--png OUT]\n"
    "     calvero1-batch --points FILE --kind N --degree D [--ti T --tf T] [--xls OUT] [--rtf OUT] [--png OUT]\n";

namespace {

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest)
{
    const auto value = parseDecimal(text);
    if (!value || *value != std::trunc(*value) || *value < lowest || *value > highest) return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace

std::variant<BatchOptions, std::string> parseBatchOptions(const std::vector<std::string>& arguments)
{
    BatchOptions options;
    bool kindGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            if (!options.dataSetFile.empty()) return "un solo file di dati: " + argument;
            options.dataSetFile = argument;
            continue;
        }
        if (i + 1 >= arguments.size()) return "manca il valore di " + argument;
        const std::string& value = arguments[++i];
        if (argument == "--points") {
            options.pointsFile = value;
        } else if (argument == "--kind") {
            const auto kind = wholeNumber(value, 1, 8);
            if (!kind) return "tipo non valido (1..8): " + value;
            options.kind = *kind;
            kindGiven = true;
        } else if (argument == "--degree") {
            const auto degree = wholeNumber(value, 1, 9);
            if (!degree) return "grado non valido (1..9): " + value;
            options.degree = *degree;
        } else if (argument == "--ti") {
            options.initialTemperature = value;
        } else if (argument == "--tf") {
            options.finalTemperature = value;
        } else if (argument == "--xls") {
            options.workbookOut = value;
        } else if (argument == "--rtf") {
            options.reportOut = value;
        } else if (argument == "--png") {
            options.graphOut = value;
        } else {
            return "opzione sconosciuta: " + argument;
        }
    }
    if (options.dataSetFile.empty() == options.pointsFile.empty())
        return "indicare un file di dati oppure --points FILE";
    if (!options.pointsFile.empty() && !kindGiven) return "con --points serve --kind";
    return options;
}

} // namespace calvero
