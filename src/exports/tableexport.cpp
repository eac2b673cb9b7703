#include "exports/tableexport.h"

#include "common/numtext.h"
#include "exports/energyplusfields.h"
#include "exports/exportenvelope.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace calvero {

namespace {

using Objects = std::vector<IdfObject>;

template <typename T>
Checked<T> refused(RefusalCode code, std::string sentence)
{
    return failed<T>(Refusal{code, {std::move(sentence)}});
}

// The method as the dictionary writes it, among the allowed ones (case ignored).
std::optional<std::string> method(const std::string& typed, std::initializer_list<const char*> allowed)
{
    for (const char* name : allowed) {
        const std::string_view key = name;
        if (typed.size() == key.size() && std::equal(typed.begin(), typed.end(), key.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return std::string(key);
    }
    return std::nullopt;
}

std::vector<double> distinctSorted(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

IdfObject independentVariable(const std::string& name, const std::vector<double>& values, const std::string& interpolation,
                              const std::string& extrapolation, std::optional<double> reference, const IdfField& unit)
{
    IdfObject variable;
    variable.type = "Table:IndependentVariable";
    variable.fields = {textField("Name", name),
                       textField("Interpolation Method", interpolation),
                       textField("Extrapolation Method", extrapolation),
                       numberField("Minimum Value", values.front()),
                       numberField("Maximum Value", values.back()),
                       reference ? numberField("Normalization Reference Value", *reference)
                                 : blankField("Normalization Reference Value"),
                       unit,
                       blankField("External File Name"),
                       blankField("External File Column Number"),
                       blankField("External File Starting Row Number")};
    variable.extensibleFrom = variable.fields.size();
    variable.extensionKey = "values";
    variable.extensionItemKey = "value";
    for (std::size_t k = 0; k < values.size(); ++k)
        variable.fields.push_back(numberField("Value " + std::to_string(k + 1), values[k]));
    return variable;
}

} // namespace

const UnitTypeField& independentVariableUnits()
{
    static const UnitTypeField field{"Unit Type",
                                     {"Dimensionless", "Temperature", "VolumetricFlow", "MassFlow", "Power", "Distance",
                                      "Angle"}};
    return field;
}

const UnitTypeField& lookupOutputUnits()
{
    static const UnitTypeField field{"Output Unit Type", {"Dimensionless", "Capacity", "Power"}};
    return field;
}

Checked<Objects> lookupTableObjects(const ObjectPoints& points, const EnergyPlusChoices& choices)
{
    const std::optional<std::string> interpolation = method(choices.table.interpolation, {"Linear", "Cubic"});
    const std::optional<std::string> extrapolation = method(choices.table.extrapolation, {"Constant", "Linear"});
    if (!interpolation || !extrapolation)
        return refused<Objects>(RefusalCode::BadArguments,
                                "metodi della tabella non validi: interpolazione Linear o Cubic, estrapolazione Constant "
                                "o Linear");
    const bool two = points.twoInputs();
    if (!two && !choices.units.y.empty())
        return refused<Objects>(RefusalCode::InvalidUnitType, "una tabella di un solo ingresso non ha il tipo di unità di y");
    const std::vector<double> xs = distinctSorted(points.x);
    const std::vector<double> ys = two ? distinctSorted(points.y) : std::vector<double>{0.0};
    std::map<std::pair<double, double>, double> value;
    for (std::size_t i = 0; i < points.size(); ++i)
        value.emplace(std::pair{points.x[i], two ? points.y[i] : 0.0}, points.v[i]);
    if (xs.size() < 2 || (two && ys.size() < 2) || value.size() != points.size() || value.size() != xs.size() * ys.size())
        return refused<Objects>(
            RefusalCode::NotAGrid,
            two ? "i punti non formano una griglia completa: " + std::to_string(points.size()) + " punti con " +
                      std::to_string(xs.size()) + " valori di x e " + std::to_string(ys.size()) +
                      " di y (ne servono almeno 2 e 2, e un punto per ogni coppia x, y, uno solo)"
                : "la tabella prende un valore per ogni x, almeno due x diverse: ogni x una volta sola");

    std::optional<double> divisor;
    if (choices.rated) {
        const RatedPoint& rated = *choices.rated;
        if (const Failure problem = ratedPointProblem(rated, pointEnvelope(points.x, points.y)))
            return refused<Objects>(RefusalCode::InvalidRatedPoint, *problem);
        const auto found = value.find({rated.x, two ? *rated.y : 0.0});
        if (found == value.end())
            return refused<Objects>(RefusalCode::InvalidRatedPoint,
                                    "il punto nominale della tabella va scelto tra i punti della griglia");
        if (found->second == 0.0)
            return refused<Objects>(RefusalCode::ZeroAtRatedPoint, "la tabella vale 0 nel punto nominale: non si può normalizzare");
        divisor = found->second;
    }
    const Checked<IdfField> xUnit = unitTypeField(independentVariableUnits(), choices.units.x);
    const Checked<IdfField> yUnit = unitTypeField(independentVariableUnits(), choices.units.y);
    const Checked<IdfField> outputUnit = unitTypeField(lookupOutputUnits(), choices.units.output);
    for (const Checked<IdfField>* unit : {&xUnit, &yUnit, &outputUnit})
        if (!*unit) return failed<Objects>(unit->refusal);

    Objects objects;
    std::vector<std::string> comments = {
        "CALVERO1: tabella " + std::string(LookupTableType) + " di " + std::to_string(points.size()) + " punti" +
            (two ? " (griglia di " + std::to_string(xs.size()) + " x per " + std::to_string(ys.size()) + " y)" : "") +
            ", interpolazione " + *interpolation + ", estrapolazione " + *extrapolation};
    const std::string tableName = simulationName(choices.name, "", comments);
    const std::string xName = simulationName(choices.name, "_x", comments);
    const std::string yName = simulationName(choices.name, "_y", comments);
    const std::string listName = simulationName(choices.name, "_variabili", comments);
    if (divisor)
        comments.push_back("normalizzata dalla simulazione (AutomaticWithDivisor) nel punto nominale x = " +
                           shortestText(choices.rated->x) +
                           (two ? ", y = " + shortestText(*choices.rated->y) : std::string()) +
                           ", dove la tabella vale " + shortestText(*divisor));
    objects.push_back(independentVariable(xName, xs, *interpolation, *extrapolation,
                                          divisor ? std::optional(choices.rated->x) : std::nullopt, *xUnit));
    objects.front().comments = comments;
    if (two)
        objects.push_back(independentVariable(yName, ys, *interpolation, *extrapolation,
                                              divisor ? choices.rated->y : std::nullopt, *yUnit));
    IdfObject list;
    list.type = "Table:IndependentVariableList";
    list.fields = {textField("Name", listName), textField("Independent Variable 1 Name", xName)};
    if (two) list.fields.push_back(textField("Independent Variable 2 Name", yName));
    list.extensibleFrom = 1;
    list.extensionKey = "independent_variables";
    list.extensionItemKey = "independent_variable_name";
    objects.push_back(list);

    IdfObject table;
    table.type = LookupTableType;
    table.fields = {textField("Name", tableName),
                    textField("Independent Variable List Name", listName),
                    textField("Normalization Method", divisor ? "AutomaticWithDivisor" : "None"),
                    blankField("Normalization Divisor"),
                    blankField("Minimum Output"),
                    blankField("Maximum Output"),
                    *outputUnit,
                    blankField("External File Name"),
                    blankField("External File Column Number"),
                    blankField("External File Starting Row Number")};
    table.extensibleFrom = table.fields.size();
    table.extensionKey = "values";
    table.extensionItemKey = "output_value";
    int k = 0;
    for (double x : xs)
        for (double y : ys) table.fields.push_back(numberField("Output Value " + std::to_string(++k), value.at({x, y})));
    objects.push_back(table);
    return succeeded(std::move(objects));
}

} // namespace calvero
