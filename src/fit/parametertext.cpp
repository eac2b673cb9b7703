#include "fit/parametertext.h"

#include "common/numtext.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace calvero {

namespace {

struct Item {
    std::string name;
    std::string value;
};

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool nameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Whether a name and "=" follow from offset on (blanks skipped).
bool itemFollows(std::string_view text, std::size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const std::size_t start = at;
    while (at < text.size() && nameChar(text[at])) ++at;
    if (at == start || std::isdigit(static_cast<unsigned char>(text[start]))) return false;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    return at < text.size() && text[at] == '=';
}

Checked<std::vector<Item>> itemsOf(std::string_view text, const std::string& what)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == ';' || (c == ',' && itemFollows(text, k + 1))) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.push_back(piece);
    std::vector<Item> items;
    for (const std::string& p : pieces) {
        if (trimmed(p).empty()) continue;
        const std::size_t equals = p.find('=');
        if (equals == std::string::npos)
            return failed<std::vector<Item>>(Refusal{RefusalCode::InvalidParameterSetting,
                                                     {what + ": manca \"=\" in \"" + trimmed(p) + "\" (NOME=VALORE)"}});
        items.push_back({trimmed(std::string_view(p).substr(0, equals)), trimmed(std::string_view(p).substr(equals + 1))});
    }
    return succeeded(std::move(items));
}

std::string namesList(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    return list;
}

Refusal settingRefusal(std::string sentence) { return Refusal{RefusalCode::InvalidParameterSetting, {std::move(sentence)}}; }

// The parameter's place, or the refusal of a name the equation does not have.
Checked<std::size_t> placeOf(const std::string& name, const std::vector<std::string>& names, const std::string& what)
{
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end())
        return failed<std::size_t>(settingRefusal(what + ": parametro sconosciuto \"" + name +
                                                  "\" (i parametri dell'equazione sono " + namesList(names) + ")"));
    return succeeded(static_cast<std::size_t>(found - names.begin()));
}

std::optional<double> numberOf(const std::string& text)
{
    const auto value = parseDecimal(commaToPoint(text));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

} // namespace

Checked<std::vector<std::optional<double>>> readParameterValues(const std::vector<std::string>& texts,
                                                                const std::vector<std::string>& names,
                                                                const std::string& what)
{
    using Values = std::vector<std::optional<double>>;
    Values values(names.size());
    for (const std::string& text : texts) {
        Checked<std::vector<Item>> items = itemsOf(text, what);
        if (!items) return failed<Values>(items.refusal);
        for (const Item& item : *items) {
            const Checked<std::size_t> k = placeOf(item.name, names, what);
            if (!k) return failed<Values>(k.refusal);
            const auto number = numberOf(item.value);
            if (!number) return failed<Values>(settingRefusal(what + ": valore non valido per " + item.name + ": \"" + item.value + "\""));
            if (values[*k]) return failed<Values>(settingRefusal(what + ": " + item.name + " dato due volte"));
            values[*k] = *number;
        }
    }
    return succeeded(std::move(values));
}

Checked<ParameterBounds> readParameterBounds(const std::vector<std::string>& texts, const std::vector<std::string>& names)
{
    const std::string what = "limiti";
    ParameterBounds bounds{std::vector<std::optional<double>>(names.size()), std::vector<std::optional<double>>(names.size())};
    std::vector<bool> seen(names.size(), false);
    for (const std::string& text : texts) {
        Checked<std::vector<Item>> items = itemsOf(text, what);
        if (!items) return failed<ParameterBounds>(items.refusal);
        for (const Item& item : *items) {
            const Checked<std::size_t> k = placeOf(item.name, names, what);
            if (!k) return failed<ParameterBounds>(k.refusal);
            const std::size_t colon = item.value.find(':');
            const std::string low = colon == std::string::npos ? "" : trimmed(std::string_view(item.value).substr(0, colon));
            const std::string high = colon == std::string::npos ? "" : trimmed(std::string_view(item.value).substr(colon + 1));
            const auto lowValue = numberOf(low), highValue = numberOf(high);
            if (colon == std::string::npos || (low.empty() && high.empty()) || (!low.empty() && !lowValue) ||
                (!high.empty() && !highValue))
                return failed<ParameterBounds>(settingRefusal(
                    what + ": valore non valido per " + item.name + ": \"" + item.value + "\" (MINIMO:MASSIMO, per esempio 0:1)"));
            if (seen[*k]) return failed<ParameterBounds>(settingRefusal(what + ": " + item.name + " dato due volte"));
            seen[*k] = true;
            bounds.lower[*k] = lowValue;
            bounds.upper[*k] = highValue;
        }
    }
    return succeeded(std::move(bounds));
}

Checked<ParameterSettings> readParameterSettings(const std::vector<std::string>& start,
                                                 const std::vector<std::string>& fixed,
                                                 const std::vector<std::string>& bounds,
                                                 const std::vector<std::string>& names)
{
    ParameterSettings settings;
    auto starts = readParameterValues(start, names, "valori iniziali");
    if (!starts) return failed<ParameterSettings>(starts.refusal);
    auto fixes = readParameterValues(fixed, names, "parametri fissi");
    if (!fixes) return failed<ParameterSettings>(fixes.refusal);
    auto limits = readParameterBounds(bounds, names);
    if (!limits) return failed<ParameterSettings>(limits.refusal);
    settings.start = std::move(*starts);
    settings.fixed = std::move(*fixes);
    settings.lower = std::move(limits->lower);
    settings.upper = std::move(limits->upper);
    return succeeded(std::move(settings));
}

} // namespace calvero
