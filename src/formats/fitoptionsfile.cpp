#include "formats/fitoptionsfile.h"

#include "formats/jsonfigures.h"
#include "common/filewrite.h"
#include "common/fileread.h"
#include "common/systemerror.h"

#include <cerrno>
#include <cmath>
#include <filesystem>

namespace calvero {

namespace {

using nlohmann::json;

// An options file is a few hundred bytes; anything near this is something else.
constexpr std::size_t MaxOptionsBytes = 1 << 20;

const char* weightingName(Weighting w)
{
    return w == Weighting::Relative ? "relative" : w == Weighting::Column ? "column" : "none";
}

const char* monotoneName(Monotone m)
{
    return m == Monotone::Decreasing ? "decreasing" : m == Monotone::Increasing ? "increasing" : "none";
}

// A reading failure: what is wrong, said once.
struct Invalid {
    std::string what;
};

double finiteNumber(const json& object, const char* key, bool required)
{
    if (!object.contains(key)) {
        if (required) throw Invalid{std::string("manca \"") + key + "\""};
        return 0.0;
    }
    const json& value = object.at(key);
    if (!value.is_number() || !std::isfinite(value.get<double>()))
        throw Invalid{std::string("\"") + key + "\" non è un numero"};
    return value.get<double>();
}

const json& arrayAt(const json& document, const char* key)
{
    static const json empty = json::array();
    if (!document.contains(key)) return empty;
    const json& value = document.at(key);
    if (!value.is_array()) throw Invalid{std::string("\"") + key + "\" non è un elenco"};
    return value;
}

std::string choiceAt(const json& document, const char* key, std::initializer_list<const char*> allowed)
{
    if (!document.contains(key)) return *allowed.begin();
    const json& value = document.at(key);
    if (value.is_string())
        for (const char* name : allowed)
            if (value.get<std::string>() == name) return name;
    std::string names;
    for (const char* name : allowed) names += (names.empty() ? "" : ", ") + std::string(name);
    throw Invalid{std::string("\"") + key + "\" vale uno tra " + names};
}

FitOptions optionsOf(const json& document)
{
    if (!document.is_object()) throw Invalid{"non è un oggetto JSON"};
    FitOptions options;
    for (const json& point : arrayAt(document, "throughPoints")) {
        if (!point.is_object()) throw Invalid{"un punto di passaggio non è un oggetto {\"x\", \"y\"}"};
        options.throughPoints.push_back(
            {finiteNumber(point, "x", true), finiteNumber(point, "y", true), finiteNumber(point, "z", false)});
    }
    for (const json& term : arrayAt(document, "fixedTerms")) {
        if (!term.is_object()) throw Invalid{"un termine fisso non è un oggetto {\"term\", \"value\"}"};
        const double number = finiteNumber(term, "term", true);
        if (number != std::trunc(number) || number < 1 || number > 99) throw Invalid{"\"term\" non è un numero di termine"};
        options.fixedTerms.push_back({static_cast<int>(number), finiteNumber(term, "value", true)});
    }
    const std::string weights = choiceAt(document, "weights", {"none", "relative", "column"});
    options.weighting = weights == "relative" ? Weighting::Relative : weights == "column" ? Weighting::Column : Weighting::None;
    if (document.contains("minimax")) {
        if (!document.at("minimax").is_boolean()) throw Invalid{"\"minimax\" vale true o false"};
        options.minimax = document.at("minimax").get<bool>();
    }
    const std::string monotone = choiceAt(document, "monotone", {"none", "decreasing", "increasing"});
    options.monotone = monotone == "decreasing"   ? Monotone::Decreasing
                       : monotone == "increasing" ? Monotone::Increasing
                                                  : Monotone::None;
    const std::string curvature = choiceAt(document, "curvature", {"none", "concave", "convex"});
    options.curvature = curvature == "concave"  ? Curvature::Concave
                        : curvature == "convex" ? Curvature::Convex
                                                : Curvature::None;
    if (document.contains("leastSquaresInY")) {
        if (!document.at("leastSquaresInY").is_boolean()) throw Invalid{"\"leastSquaresInY\" vale true o false"};
        options.leastSquaresInY = document.at("leastSquaresInY").get<bool>();
    }
    return options;
}

} // namespace

std::string optionsFileFor(const std::string& dataSetPath)
{
    return std::filesystem::path(dataSetPath).replace_extension(".vincoli.json").string();
}

json optionsJson(const FitOptions& o)
{
    json through = json::array(), fixed = json::array();
    for (const ThroughPoint& p : o.throughPoints)
        through.push_back({{"x", jsonNumber(p.x)}, {"y", jsonNumber(p.y)}, {"z", jsonNumber(p.z)}});
    for (const FixedTerm& t : o.fixedTerms) fixed.push_back({{"term", t.term}, {"value", jsonNumber(t.value)}});
    json options = {{"throughPoints", through},
                    {"fixedTerms", fixed},
                    {"weights", weightingName(o.weighting)},
                    {"minimax", o.minimax},
                    {"monotone", monotoneName(o.monotone)}};
    // Written only when on: the files and documents of the other options stay as they were.
    if (o.curvature != Curvature::None) options["curvature"] = o.curvature == Curvature::Concave ? "concave" : "convex";
    if (o.leastSquaresInY) options["leastSquaresInY"] = true;
    return options;
}

Checked<FitOptions> parseOptionsJson(std::string_view text)
{
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded()) return failed<FitOptions>("non è un testo JSON valido");
    try {
        return succeeded(optionsOf(document));
    } catch (const Invalid& invalid) {
        return failed<FitOptions>(invalid.what);
    }
}

Checked<FitOptions> readDataSetOptions(const std::string& dataSetPath)
{
    const std::string path = optionsFileFor(dataSetPath);
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return succeeded(FitOptions{});
    errno = 0;
    const auto text = readFileText(path, MaxOptionsBytes);
    if (!text) return failed<FitOptions>("errore di lettura del file dei vincoli " + path + ": " + systemErrorText(errno ? errno : EIO));
    Checked<FitOptions> options = parseOptionsJson(*text);
    if (!options) options.refusal = refusalOf("il file dei vincoli " + path + " non è valido: " + options.failure());
    return options;
}

Failure saveDataSetOptions(const std::string& dataSetPath, const FitOptions& options)
{
    const std::string path = optionsFileFor(dataSetPath);
    if (options.anyOption()) return writeOutputFile(path, jsonDocument(optionsJson(options)) + "\n");
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) return "impossibile togliere il file dei vincoli " + path + ": " + systemErrorText(error.value());
    return std::nullopt;
}

} // namespace calvero
