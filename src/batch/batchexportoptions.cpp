#include "batch/batchexportoptions.h"

#include "common/numtext.h"
#include "exports/curveobjects.h"
#include "exports/objectexport.h"

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
constexpr std::array<std::string_view, 11> Settings = {
    "--rated",       "--units",         "--cells",         "--curve-name",   "--object",       "--x-unit-type",
    "--y-unit-type", "--output-unit-type", "--interpolation", "--extrapolation", "--ahri-ip"};

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
    } else if (argument == "--object") {
        if (!curveObjectNamed(value) && !isLookupTable(value))
            return "oggetto EnergyPlus sconosciuto: " + value + " (" + curveObjectList() + ", " + LookupTableType + ")";
        choices.object = isLookupTable(value) ? LookupTableType : std::string(curveObjectNamed(value)->type);
    } else if (argument == "--x-unit-type" || argument == "--y-unit-type" || argument == "--output-unit-type") {
        if (value.empty()) return "manca il tipo di unità di " + argument;
        (argument == "--x-unit-type" ? choices.unitTypes.x : argument == "--y-unit-type" ? choices.unitTypes.y
                                                                                         : choices.unitTypes.output) = value;
    } else if (argument == "--interpolation") {
        if (value != "Linear" && value != "Cubic") return "interpolazione non valida (Linear o Cubic): " + value;
        choices.table.interpolation = value;
    } else if (argument == "--extrapolation") {
        if (value != "Constant" && value != "Linear") return "estrapolazione non valida (Constant o Linear): " + value;
        choices.table.extrapolation = value;
    } else if (argument == "--ahri-ip") {
        choices.ahriIp = ahriIpNamed(value);
        if (!choices.ahriIp)
            return "unità IP non valide (capacity:W, capacity:kW, power:W, power:kW, massflow:kg/s o massflow:kg/h): " +
                   value;
    }
    return std::nullopt;
}

Failure settleExportOptions(BatchOptions& options)
{
    const auto given = [&](const char* setting) { return options.exportSettings.count(setting) > 0; };
    if (given("--rated") && !asked(options, ExportFormat::EnergyPlus)) return "--rated vale con --energyplus";
    if (given("--cells") && !asked(options, ExportFormat::Formula)) return "--cells vale con --formula";
    if (given("--units") && !asked(options, ExportFormat::Ahri540)) return "--units vale con --ahri540";
    if (given("--ahri-ip") && !asked(options, ExportFormat::Ahri540)) return "--ahri-ip vale con --ahri540";
    const bool energyPlus = asked(options, ExportFormat::EnergyPlus);
    for (const char* setting : {"--object", "--x-unit-type", "--y-unit-type", "--output-unit-type"})
        if (given(setting) && !energyPlus) return std::string(setting) + " vale con --energyplus";
    if (options.pair && !energyPlus) return "--pair vale con --energyplus";
    if ((given("--interpolation") || given("--extrapolation")) && options.exportChoices.object != LookupTableType)
        return std::string("--interpolation e --extrapolation valgono con --object ") + LookupTableType;
    for (const BatchExport& e : options.exports)
        if (e.format == ExportFormat::EnergyPlus) options.exportChoices.epJson = isEpJsonPath(e.path);
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
