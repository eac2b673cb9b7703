#include "formats/equationfile.h"

#include "common/filewrite.h"
#include "common/fileread.h"
#include "common/systemerror.h"
#include "fit/equationparser.h"
#include "formats/jsonfigures.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>

namespace calvero {
namespace {

using nlohmann::json;

// An equation file is at most a few kilobytes; anything near this is something else.
constexpr std::size_t MaxEquationFileBytes = 1 << 20;

struct Invalid {
    std::string message;
};

double finiteNumber(const json& value, const std::string& where)
{
    if (!value.is_number() || !std::isfinite(value.get<double>())) throw Invalid{where + " non è un numero"};
    return value.get<double>();
}

// The place of a parameter named in the file, refused when the equation has none of that name.
std::size_t placeOf(const ParsedEquation& equation, const std::string& name)
{
    const auto& names = equation.parameters;
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) throw Invalid{"\"" + name + "\" non è un parametro dell'equazione"};
    return static_cast<std::size_t>(found - names.begin());
}

using Values = std::vector<std::optional<double>>;

void readValues(const json& document, const char* key, const ParsedEquation& equation, Values& into)
{
    if (!document.contains(key)) return;
    const json& values = document.at(key);
    if (!values.is_object()) throw Invalid{std::string("\"") + key + "\" non è un elenco di parametri e valori"};
    into.assign(equation.parameters.size(), std::nullopt);
    for (const auto& [name, value] : values.items())
        into[placeOf(equation, name)] = finiteNumber(value, std::string("il valore di ") + name + " in \"" + key + "\"");
}

void readBounds(const json& document, const ParsedEquation& equation, ParameterSettings& settings)
{
    if (!document.contains("bounds")) return;
    const json& bounds = document.at("bounds");
    if (!bounds.is_object()) throw Invalid{"\"bounds\" non è un elenco di parametri e limiti"};
    settings.lower.assign(equation.parameters.size(), std::nullopt);
    settings.upper.assign(equation.parameters.size(), std::nullopt);
    for (const auto& [name, pair] : bounds.items()) {
        const std::size_t at = placeOf(equation, name);
        if (!pair.is_array() || pair.size() != 2) throw Invalid{"i limiti di " + name + " non sono [minimo, massimo]"};
        if (!pair[0].is_null()) settings.lower[at] = finiteNumber(pair[0], "il minimo di " + name);
        if (!pair[1].is_null()) settings.upper[at] = finiteNumber(pair[1], "il massimo di " + name);
        if (settings.lower[at] && settings.upper[at] && *settings.lower[at] > *settings.upper[at])
            throw Invalid{"il minimo di " + name + " supera il massimo"};
    }
}

json namedValues(const ParsedEquation& equation, const Values& values)
{
    json named = json::object();
    for (std::size_t k = 0; k < values.size() && k < equation.parameters.size(); ++k)
        if (values[k]) named[equation.parameters[k]] = jsonNumber(values[k]);
    return named;
}

} // namespace

std::string equationFileFor(const std::string& dataSetPath)
{
    return std::filesystem::path(dataSetPath).replace_extension(".equazione.json").string();
}

Checked<SavedEquation> parseSavedEquation(std::string_view text)
{
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) return failed<SavedEquation>("non è un documento JSON");
    if (!document.contains("equation") || !document.at("equation").is_string())
        return failed<SavedEquation>("manca l'equazione (\"equation\")");
    Checked<ParsedEquation> equation = readEquation(document.at("equation").get<std::string>());
    if (!equation) return failed<SavedEquation>(equation.refusal);
    SavedEquation saved{std::move(*equation), {}};
    try {
        readValues(document, "start", saved.equation, saved.settings.start);
        readValues(document, "fixed", saved.equation, saved.settings.fixed);
        readBounds(document, saved.equation, saved.settings);
    } catch (const Invalid& invalid) {
        return failed<SavedEquation>(invalid.message);
    }
    return succeeded(std::move(saved));
}

std::string savedEquationText(const SavedEquation& saved)
{
    json document = {{"equation", saved.equation.text}};
    const ParameterSettings& s = saved.settings;
    if (anySet(s.start))
        document["start"] = namedValues(saved.equation, s.start);
    if (anySet(s.fixed))
        document["fixed"] = namedValues(saved.equation, s.fixed);
    json bounds = json::object();
    for (std::size_t k = 0; k < saved.equation.parameters.size(); ++k) {
        const std::optional<double> low = k < s.lower.size() ? s.lower[k] : std::nullopt;
        const std::optional<double> high = k < s.upper.size() ? s.upper[k] : std::nullopt;
        if (low || high) bounds[saved.equation.parameters[k]] = {jsonNumber(low), jsonNumber(high)};
    }
    if (!bounds.empty()) document["bounds"] = bounds;
    return jsonDocument(document) + "\n";
}

Checked<std::optional<SavedEquation>> readDataSetEquation(const std::string& dataSetPath)
{
    using Read = std::optional<SavedEquation>;
    const std::string path = equationFileFor(dataSetPath);
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return succeeded(Read{});
    errno = 0;
    const auto text = readFileText(path, MaxEquationFileBytes);
    if (!text)
        return failed<Read>("errore di lettura del file dell'equazione " + path + ": " + systemErrorText(errno ? errno : EIO));
    Checked<SavedEquation> saved = parseSavedEquation(*text);
    if (!saved) return failed<Read>("il file dell'equazione " + path + " non è valido: " + saved.failure());
    return succeeded(Read{std::move(*saved)});
}

Failure saveDataSetEquation(const std::string& dataSetPath, const SavedEquation& saved)
{
    return writeOutputFile(equationFileFor(dataSetPath), savedEquationText(saved));
}

} // namespace calvero
