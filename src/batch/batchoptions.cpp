#include "batch/batchoptions.h"

#include "batch/batchexportoptions.h"
#include "batch/batchquestionoptions.h"
#include "common/numtext.h"
#include "entry/gridinput.h"
#include "fit/dataset.h"
#include "exports/curveobjects.h"

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
           "     calvero1-batch --points FILE --equation \"y = b1*(1-exp(-b2*x))\" [--start b1=500,b2=1e-4]\n"
           "                    [--fix NOME=VALORE] [--bounds NOME=MIN:MAX] [--weights relative|column] [--stats]\n"
           "                    [--json OUT|-] [--rtf OUT]   (un'equazione scritta, su tutte le righe del file)\n"
           "                    [--at X[,Y]]... [--level P] [--weight W] [--solve-y Y]... [--system ...|--system-through ...]\n"
           "     calvero1-batch --help | --version\n"
           "USCITE: [--xls OUT] [--rtf OUT] [--png OUT] [--stats] [--compare|--compare-with-options [--tolerance PERCENTO]]\n"
           "        [--json OUT|-] [--all-lines]   (un file di punti letto fino in fondo, non alle prime 200 righe)\n"
           "ESPORTAZIONI (anche con più file, un oggetto per file):\n"
           "        [--energyplus OUT [--rated X[,Y]]] [--ahri540 OUT --units C|F] [--formula OUT [--cells X[,Y]]]\n"
           "        [--c-function OUT] [--python-function OUT] [--curve-name NOME]\n"
           "        [--ahri-ip capacity:W|capacity:kW|power:W|power:kW|massflow:kg/s|massflow:kg/h]\n"
           "OGGETTI ENERGYPLUS (--energyplus OUT.idf oppure OUT.epJSON):\n"
           "        [--object TIPO]   (l'oggetto adattato ai punti nella sua forma, anche senza --kind;\n"
           "                           Table:Lookup: la tabella dei punti, --interpolation Linear|Cubic,\n"
           "                           --extrapolation Constant|Linear)\n"
           "        [--pair]          (la coppia capacità-EIR da un file x;y;capacità;potenza, con --rated X,Y)\n"
           "        [--x-unit-type TIPO] [--y-unit-type TIPO] [--output-unit-type TIPO]\n"
           "        [--compare --objects]   (il confronto degli oggetti EnergyPlus invece dei tipi)\n"
           "VINCOLI (un file solo): [--through X,Y]... (X,Y,Z per Z=F(x,y)) [--fix TERMINE=VALORE]...\n"
           "        [--weights relative|column] [--minimax] [--monotone decreasing|increasing]\n"
           "        [--concave | --convex]   (POLINOMIO: la curva non si piega all'indietro; concava come una\n"
           "                                  curva di pompa o ventilatore che scende sempre più in fretta)\n"
           "        [--least-squares-in-y]   (POTENZA, ESPONENZIALE, temperatura-tempo e saturazione: minimi quadrati\n"
           "                                  sui valori di y, partendo dalla soluzione trasformata)\n"
           "DOMANDE ALLA CURVA (un file solo): [--at X[,Y]]... [--level P] [--weight W] [--solve-y Y]...\n"
           "        [--system K[,P0[,N]] | --system-through Q,DP[,P0[,N]]]\n"
           "        [--speed-ratio R | --diameter-ratio R] [--duty Q,H] [--quantity head|power|efficiency]\n"
           "        [--scaled-out OUT]   (il file dei dati della curva scalata)\n"
           "        [--bands]   (il grafico di --png con le bande di confidenza e di previsione)\n"
           "TIPI (--kind N):\n" +
           kinds;
}

namespace {

constexpr std::array<std::string_view, 18> ValuedOptions = {
    "--points",  "--kind",      "--degree",  "--ti",       "--tf",    "--xls",   "--rtf",   "--png",   "--json",
    "--tolerance", "--summary", "--through", "--fix",      "--weights", "--monotone", "--equation", "--start", "--bounds"};

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

std::optional<double> finiteNumber(const std::string& text)
{
    const auto value = parseDecimal(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

// "X,Y" or "X,Y,Z", decimals with a full stop (the comma separates).
std::optional<std::vector<double>> throughNumbers(const std::string& text)
{
    std::vector<double> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const auto number = finiteNumber(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!number) return std::nullopt;
        numbers.push_back(*number);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (numbers.size() < 2 || numbers.size() > 3) return std::nullopt;
    return numbers;
}

// The fit options with a value: --through, --fix, --weights, --monotone.
// The text that says what is wrong with the value, or nothing.
std::optional<std::string> takeSteering(BatchOptions& options, const std::string& argument, const std::string& value)
{
    if (argument == "--through") {
        const auto numbers = throughNumbers(value);
        if (!numbers)
            return "punto di passaggio non valido (X,Y con il punto decimale; X,Y,Z per il polinomio Z=F(x,y)): " + value;
        options.steering.throughPoints.push_back({(*numbers)[0], (*numbers)[1], numbers->size() == 3 ? (*numbers)[2] : 0.0});
        options.throughFields.push_back(static_cast<int>(numbers->size()));
        options.throughGiven = true;
    } else if (argument == "--fix") {
        // A kind's term by number, or an equation's parameter by name: told
        // apart once the whole line is read.
        options.fixTexts.push_back(value);
        options.fixGiven = true;
    } else if (argument == "--weights") {
        if (value != "relative" && value != "column") return "pesi non validi (relative o column): " + value;
        options.steering.weighting = value == "relative" ? Weighting::Relative : Weighting::Column;
        options.weightsGiven = true;
    } else if (argument == "--monotone") {
        if (value != "decreasing" && value != "increasing")
            return "monotonia non valida (decreasing o increasing): " + value;
        options.steering.monotone = value == "decreasing" ? Monotone::Decreasing : Monotone::Increasing;
        options.monotoneGiven = true;
    }
    return std::nullopt;
}

// --fix TERMINE=VALORE of a kind's fit.
std::optional<std::string> fixedTerm(BatchOptions& options, const std::string& value)
{
    const std::size_t equals = value.find('=');
    const auto term = equals == std::string::npos ? std::nullopt : wholeNumber(value.substr(0, equals), 1, 99);
    const auto number = equals == std::string::npos ? std::nullopt : finiteNumber(value.substr(equals + 1));
    if (!term || !number) return "termine fisso non valido (TERMINE=VALORE, per esempio 1=0): " + value;
    options.steering.fixedTerms.push_back({*term, *number});
    return std::nullopt;
}

// A typed equation's line: one point file, the options that steer it, and
// the outputs of a report; nothing of the kinds.
std::variant<BatchOptions, BatchRequest, std::string> equationOptions(BatchOptions options, bool pointOptionGiven)
{
    if (options.pointsFile.empty() || !options.files.empty()) return "con --equation serve --points FILE, un file solo";
    if (pointOptionGiven) return "con --equation non valgono --kind, --degree, --ti e --tf";
    if (options.throughGiven || options.minimaxGiven || options.monotoneGiven || options.curvatureGiven ||
        options.leastSquaresInYGiven)
        return "con --equation valgono --start, --fix, --bounds e --weights; non --through, --minimax, --monotone, "
               "--concave, --convex e --least-squares-in-y";
    if (options.compare || !options.workbookOut.empty() || !options.graphOut.empty() || !options.exports.empty() ||
        !options.summaryOut.empty() || options.eachParameter)
        return "con --equation valgono come uscite --stats, --json e --rtf";
    options.allLines = true; // every line of the point file, as the engine takes them
    return options;
}

// The line's options or request, or what is wrong with it.
std::variant<BatchOptions, BatchRequest, std::string> parseLine(const std::vector<std::string>& arguments)
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
        if (argument == "--each-parameter" || argument == "--all-lines") {
            (argument == "--all-lines" ? options.allLines : options.eachParameter) = true;
            continue;
        }
        if (argument == "--bands") {
            options.bands = true;
            continue;
        }
        if (argument == "--pair" || argument == "--objects") {
            (argument == "--pair" ? options.pair : options.compareObjects) = true;
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
        if (isQuestionOption(argument)) {
            if (i + 1 >= arguments.size()) return "manca il valore di " + argument;
            if (const Failure problem = readQuestionOption(argument, arguments[++i], options)) return *problem;
            continue;
        }
        if (argument == "--compare-with-options") {
            options.compare = options.compareWithOptions = true;
            continue;
        }
        if (argument == "--least-squares-in-y") {
            options.leastSquaresInY = options.leastSquaresInYGiven = true;
            continue;
        }
        if (argument == "--minimax") {
            options.steering.minimax = options.minimaxGiven = true;
            continue;
        }
        if (argument == "--concave" || argument == "--convex") {
            const Curvature asked = argument == "--concave" ? Curvature::Concave : Curvature::Convex;
            if (options.curvatureGiven && options.steering.curvature != asked)
                return "--concave e --convex si escludono: la curva è concava oppure convessa";
            options.steering.curvature = asked;
            options.curvatureGiven = true;
            continue;
        }
        if (!isValuedOption(argument)) return "opzione sconosciuta: " + argument;
        if (i + 1 >= arguments.size()) return "manca il valore di " + argument;
        const std::string& value = arguments[++i];
        if (auto wrong = takeSteering(options, argument, value)) return *wrong;
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
        } else if (argument == "--ti" || argument == "--tf") {
            // A temperature is a value of the line: one that is not a number is a usage error.
            if (!temperatureValue(value)) return "temperatura non valida: " + value;
            (argument == "--ti" ? options.initialTemperature : options.finalTemperature) = value;
            pointOptionGiven = true;
        } else if (argument == "--xls") {
            options.workbookOut = value;
        } else if (argument == "--rtf") {
            options.reportOut = value;
        } else if (argument == "--png") {
            options.graphOut = value;
        } else if (argument == "--json") {
            options.jsonOut = value;
        } else if (argument == "--equation") {
            options.equation = value;
            if (value.find_first_not_of(" \t") == std::string::npos) return "equazione vuota dopo --equation";
        } else if (argument == "--start") {
            options.startTexts.push_back(value);
        } else if (argument == "--bounds") {
            options.boundsTexts.push_back(value);
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
    if (!options.equation.empty()) return equationOptions(std::move(options), pointOptionGiven);
    if (!options.startTexts.empty() || !options.boundsTexts.empty()) return "--start e --bounds valgono solo con --equation";
    for (const std::string& fix : options.fixTexts) {
        if (auto wrong = fixedTerm(options, fix)) return *wrong;
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
        if (options.steeringGiven())
            return "--through, --fix, --weights, --minimax, --monotone, --concave e --convex valgono per un file solo "
                   "(i file dei vincoli dei file di dati valgono anche insieme)";
        if (options.eachParameter && !kindGiven) return "con --each-parameter serve --kind";
        if (const Failure problem = settleQuestionOptions(options)) return *problem;
        if (options.pair || options.compareObjects) return "--pair e --objects valgono per un file solo";
        if (const Failure problem = settleExportOptions(options)) return *problem;
        return options;
    }
    if (!options.files.empty()) options.dataSetFile = options.files.front();
    if (options.dataSetFile.empty() == options.pointsFile.empty())
        return "indicare un file di dati oppure --points FILE";
    // A data set file carries its own kind, degree and temperatures.
    if (!options.dataSetFile.empty() && pointOptionGiven)
        return "--kind, --degree, --ti e --tf valgono solo con --points";
    if (options.compareObjects && !options.compare) return "--objects vale con --compare";
    if (options.pair && (kindGiven || options.pointsFile.empty()))
        return "--pair vale con --points senza --kind: il file di punti ha le colonne x;y;capacità;potenza";
    const bool objectAsked = !options.exportChoices.object.empty() || options.pair;
    if (!options.pointsFile.empty() && !kindGiven && objectAsked && !options.compare) {
        // The object alone needs no kind: the points go straight into it.
        const std::string& object = options.exportChoices.object;
        const bool twoInputs = options.pair || (curveObjectNamed(object) && curveObjectNamed(object)->inputs == 2);
        if (!options.workbookOut.empty() || !options.reportOut.empty() || !options.graphOut.empty() ||
            options.statistics || options.exports.size() > 1)
            return "con --points senza --kind si esporta solo l'oggetto EnergyPlus: --xls, --rtf, --png, --stats e "
                   "le altre esportazioni chiedono --kind";
        options.objectOnly = true;
        options.kind = kindNumber(twoInputs ? FitType::SurfaceXY : FitType::Polynomial);
    }
    if (!options.pointsFile.empty() && !kindGiven && !options.objectOnly) {
        // The comparison alone needs no kind: it fits every kind of one variable.
        if (!options.compare) return "con --points serve --kind (o --object per un oggetto EnergyPlus)";
        if (!options.workbookOut.empty() || !options.reportOut.empty() || !options.graphOut.empty() ||
            options.statistics || !options.exports.empty())
            return "con --points senza --kind si può solo confrontare: --xls, --rtf, --png, --stats e le "
                   "esportazioni chiedono --kind";
    }
    if (const Failure problem = settleQuestionOptions(options)) return *problem;
    if (const Failure problem = settleExportOptions(options)) return *problem;
    return options;
}

} // namespace

Checked<BatchCommand> parseBatchOptions(const std::vector<std::string>& arguments)
{
    auto parsed = parseLine(arguments);
    if (auto* problem = std::get_if<std::string>(&parsed)) return failed<BatchCommand>(std::move(*problem));
    if (auto* request = std::get_if<BatchRequest>(&parsed)) return succeeded(BatchCommand(*request));
    return succeeded(BatchCommand(std::get<BatchOptions>(std::move(parsed))));
}

} // namespace calvero
