#include "exports/energyplusfields.h"

#include "common/numtext.h"
#include "exports/exportnames.h"

#include <cstdint>

namespace calvero {

namespace {

std::string rangeText(const char* variable, double low, double high)
{
    return std::string(variable) + " da " + shortestText(low) + " a " + shortestText(high);
}

// FNV-1a: a short mark of the whole name.
std::string nameMark(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    static const char Hex[] = "0123456789abcdef";
    std::string mark = "_";
    for (int k = 7; k >= 0; --k) mark += Hex[(hash >> (4 * k)) & 0xF];
    return mark;
}

} // namespace

std::string simulationName(std::string_view name, std::string_view suffix, std::vector<std::string>& comments)
{
    const std::string base = objectName(name);
    const std::string whole = base + std::string(suffix);
    if (whole.size() <= SimulationNameLimit) return whole;
    const std::string mark = nameMark(base);
    const std::string cut = base.substr(0, SimulationNameLimit - suffix.size() - mark.size()) + mark + std::string(suffix);
    // The program reads lines of up to 500 characters: the whole name in pieces.
    constexpr std::size_t Piece = 200;
    comments.push_back("nome completo, oltre i " + std::to_string(SimulationNameLimit) + " caratteri che la simulazione legge:");
    for (std::size_t at = 0; at < whole.size(); at += Piece) comments.push_back("  " + whole.substr(at, Piece));
    return cut;
}

Checked<IdfField> unitTypeField(const UnitTypeField& field, const std::string& chosen)
{
    const std::string name(field.field);
    if (chosen.empty()) return succeeded(textField(name, std::string(field.keys.front())));
    if (const std::optional<std::string_view> key = allowedUnitType(field, chosen))
        return succeeded(textField(name, std::string(*key)));
    std::string keys;
    for (std::string_view key : field.keys) keys += (keys.empty() ? "" : ", ") + std::string(key);
    return failed<IdfField>(Refusal{RefusalCode::InvalidUnitType,
                                    {"tipo di unità non ammesso per " + name + ": " + chosen + " (ammessi: " + keys + ")"}});
}

Checked<std::vector<IdfField>> unitTypeFields(const CurveObject& object, const UnitTypes& units)
{
    const std::string type(object.type);
    const auto missing = [&](const char* which) {
        return failed<std::vector<IdfField>>(
            Refusal{RefusalCode::InvalidUnitType, {type + " non ha il campo del tipo di unità " + which}});
    };
    if (!units.x.empty() && object.inputUnits.empty()) return missing("di x");
    if (!units.y.empty() && object.inputUnits.size() < 2) return missing("di y");
    if (!units.output.empty() && !object.outputUnits) return missing("dell'uscita");
    std::vector<IdfField> fields;
    const std::string* chosen[] = {&units.x, &units.y};
    for (std::size_t k = 0; k < object.inputUnits.size(); ++k) {
        const Checked<IdfField> field = unitTypeField(object.inputUnits[k], *chosen[k]);
        if (!field) return failed<std::vector<IdfField>>(field.refusal);
        fields.push_back(*field);
    }
    if (object.outputUnits) {
        const Checked<IdfField> field = unitTypeField(*object.outputUnits, units.output);
        if (!field) return failed<std::vector<IdfField>>(field.refusal);
        fields.push_back(*field);
    }
    return succeeded(std::move(fields));
}

Failure ratedPointProblem(const RatedPoint& rated, const Envelope& r)
{
    if (r.twoVariables && !rated.y) return "il punto nominale del polinomio Z=F(x,y) ha due valori, x e y";
    if (!r.twoVariables && rated.y) return "il punto nominale di una curva y=f(x) ha il solo valore di x";
    const bool xOut = !(rated.x >= r.xMin && rated.x <= r.xMax);
    const bool yOut = r.twoVariables && !(*rated.y >= r.yMin && *rated.y <= r.yMax);
    if (!xOut && !yOut) return std::nullopt;
    std::string limits = rangeText("x", r.xMin, r.xMax);
    if (r.twoVariables) limits += ", " + rangeText("y", r.yMin, r.yMax);
    return "il punto nominale è fuori dai limiti dei punti (" + limits +
           "): la simulazione lo porterebbe al limite e la curva non vi varrebbe 1";
}

std::string normalizedComment(const RatedPoint& rated, double scale)
{
    return "normalizzata a 1 nel punto nominale x = " + shortestText(rated.x) +
           (rated.y ? ", y = " + shortestText(*rated.y) : std::string()) + ", dove la curva valeva " + shortestText(scale);
}

} // namespace calvero
