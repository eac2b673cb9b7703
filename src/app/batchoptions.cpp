#include "app/batchoptions.h"

#include "app/batchexportoptions.h"
#include "common/numtext.h"
#include "fit/dataset.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>

namespace calvero {

std::string batchUsage()
{
    std::string kinds;
    for (int kind = 1; kind <= 8; ++kind)
        kinds += "  " + std::to_string(kind) + "  " + kindLabel(static_cast<FitType>(kind)) + "\n";
    return "uso: calvero1-batch [USCITE] [--] FILE\n"
           "     calvero1-batch --points FILE --kind N [--degree D] [--ti T --tf T] [USCITE]\n"
           "     calvero1-batch --points FILE --compare [--tolerance PERCENTO] [--ti T --tf T] [--json OUT|-]\n"
           "                    (il confronto delle equazioni di una variabile, senza tipo)\n"
           "     calvero1-batch [--summary OUT] [--json OUT] [--kind N [--degree D] [--ti T --tf T] [--each-parameter]]\n"
           "                    FILE|CARTELLA...   (più file insieme: una riga di riepilogo per file)\n"
           "     calvero1-batch --help | --version\n"
           "USCITE: [--xls OUT] [--rtf OUT] [--png OUT] [--stats] [--compare [--tolerance PERCENTO]] [--json OUT|-]\n"
           "ESPORTAZIONI (anche con più file, un oggetto per file):\n"
           "        [--energyplus OUT [--rated X[,Y]]] [--ahri540 OUT --units C|F] [--formula OUT [--cells X[,Y]]]\n"
           "        [--c-function OUT] [--python-function OUT] [--curve-name NOME]\n"
           "TIPI (--kind N):\n" +
           kinds;
}

namespace {

constexpr std::array<std::string_view, 11> ValuedOptions = {"--points", "--kind", "--degree",    "--ti",
                                                            "--tf",     "--xls",  "--rtf",       "--png",
                                                            "--json",   "--tolerance", "--summary"};

bool isValuedOption(const std::string& argument)
{
    return std::find(ValuedOptions.begin(), ValuedOptions.end(), argument) != ValuedOptions.end();
}

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest)
{
    const auto value = parseDecimal(text);
    if (!value || *value != std::trunc(*value) || *value < lowest || *value > highest) return std::nullopt;
    return static_cast<int>(*value);
}

// Help and version win over everything before the end of the options.
std::optional<BatchRequest> requestIn(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") return BatchRequest::Help;
        if (argument == "--version") return BatchRequest::Version;
    }
    return std::nullopt;
}

} // namespace

ParsedBatchLine parseBatchOptions(const std::vector<std::string>& arguments)
{
    if (const auto request = requestIn(arguments)) return *request;
    BatchOptions options;
    bool kindGiven = false;
    bool pointOptionGiven = false; // --kind, --degree, --ti or --tf
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || argument.rfind("--", 0) != 0) {
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--each-parameter") {
            options.eachParameter = true;
            continue;
        }
        if (argument == "--stats" || argument == "--compare") {
            (argument == "--stats" ? options.statistics : options.compare) = true;
            continue;
        }
        if (isExportOption(argument)) {
            if (i + 1 >= arguments.size()) return "manca il valore di " + argument;
            if (const Failure problem = readExportOption(argument, arguments[++i], options)) return *problem;
            continue;
        }
        if (!isValuedOption(argument)) return "opzione sconosciuta: " + argument;
        if (i + 1 >= arguments.size()) return "manca il valore di " + argument;
        const std::string& value = arguments[++i];
        if (argument == "--points") {
            options.pointsFile = value;
        } else if (argument == "--kind") {
            const auto kind = wholeNumber(value, 1, 8);
            if (!kind) return "tipo non valido (1..8): " + value;
            options.kind = *kind;
            kindGiven = pointOptionGiven = true;
        } else if (argument == "--degree") {
            const auto degree = wholeNumber(value, 1, 9);
            if (!degree) return "grado non valido (1..9): " + value;
            options.degree = *degree;
            pointOptionGiven = true;
        } else if (argument == "--ti") {
            options.initialTemperature = value;
            pointOptionGiven = true;
        } else if (argument == "--tf") {
            options.finalTemperature = value;
            pointOptionGiven = true;
        } else if (argument == "--xls") {
            options.workbookOut = value;
        } else if (argument == "--rtf") {
            options.reportOut = value;
        } else if (argument == "--png") {
            options.graphOut = value;
        } else if (argument == "--json") {
            options.jsonOut = value;
        } else if (argument == "--summary") {
            options.summaryOut = value;
        } else if (argument == "--tolerance") {
            const auto tolerance = parseDecimal(commaToPoint(value));
            if (!tolerance || !std::isfinite(*tolerance) || *tolerance < 0.0)
                return "tolleranza non valida (un numero di punti percentuali, 0 o più): " + value;
            options.tolerance = *tolerance;
            options.toleranceText = trimRight(value.substr(std::min(value.find_first_not_of(' '), value.size())));
        }
    }
    std::error_code error;
    options.manyFiles = options.files.size() > 1 || !options.summaryOut.empty() || options.eachParameter ||
                        (options.files.size() == 1 && std::filesystem::is_directory(options.files.front(), error));
    if (options.manyFiles) {
        if (!options.pointsFile.empty()) return "con più file, i file di punti si indicano senza --points";
        if (options.files.empty()) return "indicare i file o le cartelle da calcolare";
        if (!options.workbookOut.empty() || !options.reportOut.empty() || !options.graphOut.empty() ||
            options.statistics || options.compare)
            return "--xls, --rtf, --png, --stats e --compare valgono per un file solo";
        if (options.eachParameter && !kindGiven) return "con --each-parameter serve --kind";
        if (const Failure problem = settleExportOptions(options)) return *problem;
        return options;
    }
    if (!options.files.empty()) options.dataSetFile = options.files.front();
    if (options.dataSetFile.empty() == options.pointsFile.empty())
        return "indicare un file di dati oppure --points FILE";
    // A data set file carries its own kind, degree and temperatures.
    if (!options.dataSetFile.empty() && pointOptionGiven)
        return "--kind, --degree, --ti e --tf valgono solo con --points";
    if (!options.pointsFile.empty() && !kindGiven) {
        // The comparison alone needs no kind: it fits every kind of one variable.
        if (!options.compare) return "con --points serve --kind";
        if (!options.workbookOut.empty() || !options.reportOut.empty() || !options.graphOut.empty() ||
            options.statistics || !options.exports.empty())
            return "con --points senza --kind si può solo confrontare: --xls, --rtf, --png, --stats e le "
                   "esportazioni chiedono --kind";
    }
    if (const Failure problem = settleExportOptions(options)) return *problem;
    return options;
}

} // namespace calvero
