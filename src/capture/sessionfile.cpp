#include "capture/sessionfile.h"

#include "capture/pixelbuffer.h"
#include "common/filewrite.h"
#include "common/systemerror.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <iterator>

namespace calvero::capture {

namespace {

using nlohmann::json;

constexpr const char* FormatName = "digitora-session";
constexpr int FormatVersion = 1;
// Bounds no real capture comes near; beyond them the file is damaged.
constexpr std::size_t MaxSessionBytes = 16u << 20;
constexpr std::size_t MaxCurves = 1000;
constexpr std::size_t MaxPointsPerCurve = 100000;
constexpr std::size_t MaxExclusions = 1000;
constexpr std::size_t MaxTextBytes = 4096;
constexpr double MaxCoordinate = 1e7;
constexpr int MaxPage = 100000;

const std::string Damaged = "file di sessione danneggiato: ";

// Thrown inside the reader with what is wrong; the reader turns it into its message.
struct DamagedField {
    std::string what;
};

json pointJson(PixelPoint p) { return json::array({p.x, p.y}); }

json axisJson(const AxisReference& axis)
{
    return {{"scale", axis.scale == AxisScale::Logarithmic ? "logarithmic" : "linear"},
            {"references", json::array({{{"pixel", pointJson(axis.first)}, {"value", axis.firstValue}},
                                        {{"pixel", pointJson(axis.second)}, {"value", axis.secondValue}}})}};
}

const json& member(const json& object, const char* key, const std::string& where)
{
    if (!object.is_object() || !object.contains(key)) throw DamagedField{"manca \"" + std::string(key) + "\"" + where};
    return object.at(key);
}

double number(const json& value, const std::string& what, double limit = MaxCoordinate)
{
    if (!value.is_number()) throw DamagedField{what + " non è un numero"};
    const double v = value.get<double>();
    if (!std::isfinite(v) || std::abs(v) > limit) throw DamagedField{what + " fuori misura"};
    return v;
}

std::string text(const json& value, const std::string& what)
{
    if (!value.is_string()) throw DamagedField{what + " non è un testo"};
    std::string s = value.get<std::string>();
    if (s.size() > MaxTextBytes) throw DamagedField{what + " troppo lungo"};
    return s;
}

const json& array(const json& value, const std::string& what, std::size_t maxSize)
{
    if (!value.is_array()) throw DamagedField{what + " non è un elenco"};
    if (value.size() > maxSize) throw DamagedField{what + ": troppi elementi"};
    return value;
}

std::vector<double> numbers(const json& value, std::size_t count, const std::string& what)
{
    const json& items = array(value, what, count);
    if (items.size() != count) throw DamagedField{what + ": servono " + std::to_string(count) + " numeri"};
    std::vector<double> result;
    for (const json& item : items) result.push_back(number(item, what));
    return result;
}

PixelPoint pointOf(const json& value, const std::string& what)
{
    const std::vector<double> v = numbers(value, 2, what);
    return {v[0], v[1]};
}

AxisReference axisOf(const json& value, const std::string& name)
{
    const std::string where = " nell'asse " + name;
    AxisReference axis;
    const std::string scale = text(member(value, "scale", where), "la scala" + where);
    if (scale == "logarithmic") axis.scale = AxisScale::Logarithmic;
    else if (scale != "linear") throw DamagedField{"scala sconosciuta" + where};
    const json& references = array(member(value, "references", where), "i riferimenti" + where, 2);
    if (references.size() != 2) throw DamagedField{"servono due riferimenti" + where};
    axis.first = pointOf(member(references[0], "pixel", where), "il punto" + where);
    axis.firstValue = number(member(references[0], "value", where), "il valore" + where, HUGE_VAL);
    axis.second = pointOf(member(references[1], "pixel", where), "il punto" + where);
    axis.secondValue = number(member(references[1], "value", where), "il valore" + where, HUGE_VAL);
    return axis;
}

Curve curveOf(const json& value, std::size_t index)
{
    const std::string where = " nella curva " + std::to_string(index + 1);
    Curve curve;
    curve.name = text(member(value, "name", where), "il nome" + where);
    const std::optional<Rgb> marker = parseColour(text(member(value, "marker", where), "il colore" + where));
    if (!marker) throw DamagedField{"colore non valido" + where};
    curve.marker = *marker;
    const json& parameter = member(value, "parameter", where);
    if (!parameter.is_null()) curve.parameter = number(parameter, "il parametro" + where, HUGE_VAL);
    for (const json& point : array(member(value, "points", where), "i punti" + where, MaxPointsPerCurve))
        curve.points.push_back(pointOf(point, "un punto" + where));
    return curve;
}

CaptureSession sessionOf(const json& root)
{
    if (!root.is_object() || !root.contains("format") || root["format"] != FormatName)
        throw DamagedField{"non è una sessione di cattura punti"};
    const json& version = member(root, "version", "");
    if (!version.is_number_integer()) throw DamagedField{"versione non valida"};
    if (version.get<long long>() != FormatVersion)
        throw DamagedField{"versione " + version.dump() + " non riconosciuta da questo programma"};

    CaptureSession session;
    session.picturePath = text(member(root, "picture", ""), "il nome dell'immagine");
    const json& page = member(root, "page", "");
    if (!page.is_number_integer() || page.get<long long>() < 1 || page.get<long long>() > MaxPage)
        throw DamagedField{"numero di pagina non valido"};
    session.page = page.get<int>();
    session.dpi = number(member(root, "dpi", ""), "la risoluzione");
    if (session.dpi < MinDpi || session.dpi > MaxDpi) throw DamagedField{"risoluzione non valida"};

    const json& axes = member(root, "axes", "");
    if (!axes.is_null()) {
        const AxesReferences references{axisOf(member(axes, "x", " negli assi"), "x"),
                                        axisOf(member(axes, "y", " negli assi"), "y")};
        if (auto problem = referencesProblem(references)) throw DamagedField{*problem};
        session.state.axes = references;
    }
    const json& curves = array(member(root, "curves", ""), "le curve", MaxCurves);
    for (std::size_t i = 0; i < curves.size(); ++i) session.state.curves.push_back(curveOf(curves[i], i));
    for (const json& area : array(member(root, "exclusions", ""), "le aree escluse", MaxExclusions)) {
        const std::vector<double> v = numbers(area, 4, "un'area esclusa");
        if (!(v[2] > 0 && v[3] > 0)) throw DamagedField{"un'area esclusa è vuota"};
        session.state.exclusions.push_back({v[0], v[1], v[2], v[3]});
    }
    return session;
}

} // namespace

std::string sessionText(const CaptureSession& session)
{
    json root = {{"format", FormatName}, {"version", FormatVersion}, {"picture", session.picturePath},
                 {"page", session.page}, {"dpi", session.dpi}};
    const auto& state = session.state;
    root["axes"] = state.axes ? json{{"x", axisJson(state.axes->x)}, {"y", axisJson(state.axes->y)}} : json(nullptr);
    root["curves"] = json::array();
    for (const Curve& curve : state.curves) {
        json points = json::array();
        for (const PixelPoint& p : curve.points) points.push_back(pointJson(p));
        root["curves"].push_back({{"name", curve.name}, {"marker", colourText(curve.marker)},
                                  {"parameter", curve.parameter ? json(*curve.parameter) : json(nullptr)},
                                  {"points", std::move(points)}});
    }
    root["exclusions"] = json::array();
    for (const PixelRect& area : state.exclusions)
        root["exclusions"].push_back(json::array({area.left, area.top, area.width, area.height}));
    // One member a line, each written compactly: small, and still readable.
    std::string text;
    for (const char* key : {"format", "version", "picture", "page", "dpi", "axes", "curves", "exclusions"})
        text += std::string(text.empty() ? "{\n" : ",\n") + json(key).dump() + ": " +
                root[key].dump(-1, ' ', false, json::error_handler_t::replace);
    return text + "\n}\n";
}

Checked<CaptureSession> parseSessionText(std::string_view text)
{
    const json root = json::parse(text.begin(), text.end(), nullptr, false);
    if (root.is_discarded()) return failed<CaptureSession>(Damaged + "il contenuto non è leggibile");
    try {
        return succeeded(sessionOf(root));
    } catch (const DamagedField& damage) {
        return failed<CaptureSession>(Damaged + damage.what);
    } catch (const json::exception&) {
        return failed<CaptureSession>(Damaged + "il contenuto non è leggibile");
    }
}

std::optional<std::string> writeSessionFile(const std::string& path, const CaptureSession& session)
{
    if (const int error = writeWholeFileError(path, sessionText(session)))
        return "impossibile salvare la sessione nel file " + path + ": " + systemErrorText(error);
    return std::nullopt;
}

Checked<CaptureSession> readSessionFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return failed<CaptureSession>("impossibile aprire il file di sessione " + path);
    std::string bytes;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > MaxSessionBytes) return failed<CaptureSession>(Damaged + "il file è troppo grande");
    }
    if (file.bad()) return failed<CaptureSession>("errore di lettura del file di sessione " + path);
    return parseSessionText(bytes);
}

} // namespace calvero::capture
