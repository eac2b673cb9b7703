#include "batch/batchexportoptions.h"

#include "common/numtext.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace calvero {

namespace {

// The format an option names: "--" and the format's name.
std::optional<ExportFormat> formatOption(std::string_view argument)
{
    if (!argument.starts_with("--")) return std::nullopt;
    return exportFormatNamed(argument.substr(2));
}

// The settings the exports take, each for its format.
constexpr std::array<std::string_view, 4> Settings = {"--rated", "--units", "--cells", "--curve-name"};

bool asked(const BatchOptions& options, ExportFormat format)
{
    return std::any_of(options.exports.begin(), options.exports.end(),
                       [&](const BatchExport& e) { return e.format == format; });
}

// "X" or "X,Y".
std::pair<std::string, std::string> splitPair(const std::string& value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos) return {value, {}};
    return {value.substr(0, comma), value.substr(comma + 1)};
}

std::optional<RatedPoint> ratedPoint(const std::string& value)
{
    const auto [xText, yText] = splitPair(value);
    const std::optional<double> x = parseDecimal(xText);
    if (!x) return std::nullopt;
    if (value.find(',') == std::string::npos) return RatedPoint{*x, std::nullopt};
    const std::optional<double> y = parseDecimal(yText);
    if (!y) return std::nullopt;
    return RatedPoint{*x, *y};
}

} // namespace

bool isExportOption(const std::string& argument)
{
    return formatOption(argument) || std::find(Settings.begin(), Settings.end(), argument) != Settings.end();
}

Failure readExportOption(const std::string& argument, const std::string& value, BatchOptions& options)
{
    if (const std::optional<ExportFormat> format = formatOption(argument)) {
        std::erase_if(options.exports, [&](const BatchExport& e) { return e.format == *format; });
        options.exports.push_back({*format, value});
        return std::nullopt;
    }
    options.exportSettings.insert(argument);
    ExportChoices& choices = options.exportChoices;
    if (argument == "--rated") {
        choices.rated = ratedPoint(value);
        if (!choices.rated) return "punto nominale non valido (X oppure X,Y con il punto decimale): " + value;
    } else if (argument == "--units") {
        if (value != "C" && value != "c" && value != "F" && value != "f") return "unità non valide (C oppure F): " + value;
        choices.units = value == "C" || value == "c" ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
    } else if (argument == "--cells") {
        const auto [x, y] = splitPair(value);
        const std::optional<std::string> xCell = cellReference(x), yCell = cellReference(y.empty() ? "B2" : y);
        if (!xCell || !yCell) return "celle non valide (X oppure X,Y, come A2,B2): " + value;
        choices.cells = {*xCell, *yCell};
    } else if (argument == "--curve-name") {
        if (value.empty()) return "il nome della curva è vuoto";
        choices.name = value;
    }
    return std::nullopt;
}

Failure settleExportOptions(BatchOptions& options)
{
    const auto given = [&](const char* setting) { return options.exportSettings.count(setting) > 0; };
    if (given("--rated") && !asked(options, ExportFormat::EnergyPlus)) return "--rated vale con --energyplus";
    if (given("--cells") && !asked(options, ExportFormat::Formula)) return "--cells vale con --formula";
    if (given("--units") && !asked(options, ExportFormat::Ahri540)) return "--units vale con --ahri540";
    if (asked(options, ExportFormat::Ahri540) && !given("--units"))
        return "con --ahri540 serve --units C oppure --units F (le unità delle temperature dei punti)";
    if (given("--curve-name") && options.exports.empty())
        return "--curve-name vale con --energyplus, --ahri540, --formula, --c-function o --python-function";
    if (given("--curve-name") && options.manyFiles)
        return "--curve-name vale per un file solo: con più file ogni curva prende il nome del suo file";
    if (!given("--curve-name") && !options.manyFiles)
        options.exportChoices.name = fileStem(options.pointsFile.empty() ? options.dataSetFile : options.pointsFile);
    return std::nullopt;
}

} // namespace calvero
