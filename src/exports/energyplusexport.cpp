#include "exports/energyplusexport.h"

#include "common/numtext.h"
#include "fit/surface.h"
#include "exports/curveextremes.h"
#include "exports/energyplusfields.h"
#include "exports/exportequation.h"
#include "exports/exportnames.h"
#include "exports/objectexport.h"
#include "exports/tableexport.h"

#include <cmath>

namespace calvero {

namespace {

struct CoefficientField {
    std::string comment;
    double value = 0.0;
    bool multiplies = true; // false for an exponent, which normalization leaves alone
};

struct ObjectForm {
    std::string type;
    std::vector<CoefficientField> coefficients;
};

struct TermField {
    const char* comment;
    int xPower;
    int yPower;
};

// The fields of the polynomial objects, in the format's order.
constexpr TermField PolynomialFields[] = {{"Coefficient1 Constant", 0, 0}, {"Coefficient2 x", 1, 0},
                                          {"Coefficient3 x**2", 2, 0},     {"Coefficient4 x**3", 3, 0},
                                          {"Coefficient5 x**4", 4, 0}};
constexpr TermField BicubicFields[] = {{"Coefficient1 Constant", 0, 0}, {"Coefficient2 x", 1, 0},
                                       {"Coefficient3 x**2", 2, 0},     {"Coefficient4 y", 0, 1},
                                       {"Coefficient5 y**2", 0, 2},     {"Coefficient6 x*y", 1, 1},
                                       {"Coefficient7 x**3", 3, 0},     {"Coefficient8 y**3", 0, 3},
                                       {"Coefficient9 x**2*y", 2, 1},   {"Coefficient10 x*y**2", 1, 2}};

std::vector<CoefficientField> termFields(const ExportEquation& e, const TermField* fields, int count)
{
    std::vector<CoefficientField> list;
    for (int i = 0; i < count; ++i)
        list.push_back({fields[i].comment, e.coefficientOf(fields[i].xPower, fields[i].yPower), true});
    return list;
}

std::vector<CoefficientField> threeCoefficients(const char* naming, double c1, double c2, double c3)
{
    const std::string name(naming);
    const bool constants = name == "Constant";
    const auto comment = [&](int k) {
        return "Coefficient" + std::to_string(k) + " " + (constants ? name : "C" + std::to_string(k));
    };
    return {{comment(1), c1, true}, {comment(2), c2, true}, {comment(3), c3, false}};
}

std::optional<ObjectForm> objectForm(const Calculation& c, const ExportEquation& e)
{
    static const char* const Polynomials[] = {"Curve:Linear", "Curve:Quadratic", "Curve:Cubic", "Curve:Quartic"};
    switch (e.shape) {
    case EquationShape::Polynomial:
        if (c.degree < 1 || c.degree > 4) return std::nullopt;
        return ObjectForm{Polynomials[c.degree - 1], termFields(e, PolynomialFields, c.degree + 1)};
    case EquationShape::Surface:
        if (c.degree == 2) return ObjectForm{"Curve:Biquadratic", termFields(e, BicubicFields, 6)};
        if (c.degree == 3) return ObjectForm{"Curve:Bicubic", termFields(e, BicubicFields, 10)};
        return std::nullopt;
    case EquationShape::Power: // C1 + C2 x^C3
        return ObjectForm{"Curve:Exponent", threeCoefficients("Constant", 0.0, e.a, e.b)};
    case EquationShape::Exponential: // C1 + C2 e^(C3 x)
        return ObjectForm{"Curve:ExponentialDecay", threeCoefficients("C", 0.0, e.a, e.b)};
    case EquationShape::TemperatureTime: // Tf + (Ti - Tf) e^(-M t), the difference the program's own
        return ObjectForm{"Curve:ExponentialDecay", threeCoefficients("C", e.final, -(e.final - e.initial), -e.decay)};
    default: return std::nullopt;
    }
}

std::optional<double> valueAt(const Calculation& c, double x, double y)
{
    return c.kind == FitType::SurfaceXY ? surfaceValue(c.surface, x, y, c.degree) : curveValue(*c.curve, x);
}

const char* const NoValueMessage = "la curva non ha un valore calcolabile in tutti i limiti dei punti";

// The kind's own object; with a rated point, normalized by the curve's value there (scale).
Checked<std::vector<IdfObject>> kindObject(const Calculation& c, const EnergyPlusChoices& choices, double scale)
{
    const ExportEquation e = *exportEquation(c);
    ObjectForm form = *objectForm(c, e);
    const Envelope r = pointEnvelope(c);
    const std::optional<ValueRange> range = curveValueRange(c, r);
    if (!range) return failed<std::vector<IdfObject>>(Refusal{RefusalCode::NoValueInRange, {NoValueMessage}});
    const Checked<std::vector<IdfField>> units = unitTypeFields(*curveObjectNamed(form.type), choices.units);
    if (!units) return failed<std::vector<IdfObject>>(units.refusal);
    ValueRange output = *range;

    IdfObject object;
    object.type = form.type;
    object.comments.push_back("CALVERO1: " + equationTitle(c) + ", " + std::to_string(c.pointCount) + " punti");
    for (const std::string& line : fitCommentLines(c)) object.comments.push_back(line);
    const std::optional<RatedPoint>& rated = choices.rated;
    if (rated) {
        for (CoefficientField& field : form.coefficients)
            if (field.multiplies) field.value /= scale;
        output = {output.lowest / scale, output.highest / scale};
        if (scale < 0.0) std::swap(output.lowest, output.highest);
        object.comments.push_back(normalizedComment(*rated, scale));
        if (!insideEnvelope(r, rated->x, rated->y.value_or(0.0)))
            object.comments.push_back("il punto nominale e' fuori dall'inviluppo dei punti");
    }
    object.fields.push_back(textField("Name", simulationName(choices.name, "", object.comments)));
    for (const CoefficientField& field : form.coefficients) object.fields.push_back(numberField(field.comment, field.value));
    object.fields.push_back(numberField("Minimum Value of x", r.xMin));
    object.fields.push_back(numberField("Maximum Value of x", r.xMax));
    if (r.twoVariables) {
        object.fields.push_back(numberField("Minimum Value of y", r.yMin));
        object.fields.push_back(numberField("Maximum Value of y", r.yMax));
    }
    object.fields.push_back(numberField("Minimum Curve Output", output.lowest));
    object.fields.push_back(numberField("Maximum Curve Output", output.highest));
    object.fields.insert(object.fields.end(), units->begin(), units->end());
    return succeeded(std::vector<IdfObject>{std::move(object)});
}

Checked<std::vector<IdfObject>> kindObjects(const Calculation& c, const EnergyPlusChoices& choices)
{
    const std::optional<ExportEquation> e = exportEquation(c);
    if (!e || !objectForm(c, *e))
        return failed<std::vector<IdfObject>>(Refusal{RefusalCode::NoExport, {noEnergyPlusObjectMessage(c)}});
    const std::optional<RatedPoint>& rated = choices.rated;
    if (rated)
        if (const Failure problem = ratedPointProblem(*rated, pointEnvelope(c)))
            return failed<std::vector<IdfObject>>(Refusal{RefusalCode::InvalidRatedPoint, {*problem}});
    const std::optional<double> scale = rated ? valueAt(c, rated->x, rated->y.value_or(0.0)) : 1.0;
    if (!scale) return failed<std::vector<IdfObject>>(Refusal{RefusalCode::NoValueInRange, {NoValueMessage}});
    if (*scale == 0.0)
        return failed<std::vector<IdfObject>>(
            Refusal{RefusalCode::ZeroAtRatedPoint, {"la curva vale 0 nel punto nominale: non si può normalizzare"}});
    return kindObject(c, choices, *scale);
}

} // namespace

std::string noEnergyPlusObjectMessage(const Calculation& c)
{
    return "nessun oggetto EnergyPlus per " + equationTitle(c) +
           ": si esportano POLINOMIO di grado da 1 a 4 (Curve:Linear, Curve:Quadratic, Curve:Cubic, Curve:Quartic), "
           "POTENZA (Curve:Exponent), ESPONENZIALE e CURVA temperatura-tempo (Curve:ExponentialDecay), "
           "polinomio Z=F(x,y) di grado 2 o 3 (Curve:Biquadratic, Curve:Bicubic)";
}

std::string energyPlusHead()
{
    return "! CALVERO1: curve di prestazione nel formato di ingresso di EnergyPlus (Performance Curves)\n"
           "! i coefficienti valgono per le unita' dei punti; fuori dai limiti di x e y la simulazione usa il limite\n";
}

Checked<std::vector<IdfObject>> energyPlusObjectsOf(const ObjectPoints& points, const EnergyPlusChoices& choices)
{
    if (choices.object == LookupTableType) return lookupTableObjects(points, choices);
    const CurveObject* object = curveObjectNamed(choices.object);
    if (!object)
        return failed<std::vector<IdfObject>>(
            Refusal{RefusalCode::UnknownObject,
                    {"oggetto EnergyPlus sconosciuto: " + choices.object + " (si esportano " + curveObjectList() +
                     ", " + LookupTableType + ")"}});
    return fittedObjects(*object, points, choices);
}

Checked<std::vector<IdfObject>> energyPlusObjects(const Calculation& c, const EnergyPlusChoices& choices)
{
    if (choices.object.empty()) return kindObjects(c, choices);
    return energyPlusObjectsOf(objectPoints(c), choices);
}

} // namespace calvero
