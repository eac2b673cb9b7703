#include "exports/energyplusexport.h"

#include "common/numtext.h"
#include "fit/surface.h"
#include "exports/curveextremes.h"
#include "exports/exportenvelope.h"
#include "exports/exportequation.h"
#include "exports/exportnames.h"

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
    std::string xUnitComment = "Input Unit Type for X";
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
        return ObjectForm{"Curve:ExponentialDecay", threeCoefficients("C", 0.0, e.a, e.b), "Input Unit Type for x"};
    case EquationShape::TemperatureTime: // Tf + (Ti - Tf) e^(-M t), the difference the program's own
        return ObjectForm{"Curve:ExponentialDecay", threeCoefficients("C", e.final, -(e.final - e.initial), -e.decay),
                          "Input Unit Type for x"};
    default: return std::nullopt;
    }
}

std::string fieldLine(const std::string& value, char end, const std::string& comment)
{
    std::string text = "    " + value + end;
    text.append(text.size() < 34 ? 34 - text.size() : 1, ' ');
    return text + "!- " + comment + "\n";
}

std::string rangeText(const char* variable, double low, double high)
{
    return std::string(variable) + " da " + shortestText(low) + " a " + shortestText(high);
}

// Why the object cannot be normalized at the rated point, if it cannot.
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

std::optional<double> valueAt(const Calculation& c, double x, double y)
{
    return c.kind == FitType::SurfaceXY ? surfaceValue(c.surface, x, y, c.degree) : curveValue(*c.curve, x);
}

const char* const NoValueMessage = "la curva non ha un valore calcolabile in tutti i limiti dei punti";

// The object; with a rated point, normalized by the curve's value there (scale).
Checked<std::string> objectText(const Calculation& c, const std::string& name,
                                const std::optional<RatedPoint>& rated, double scale)
{
    const ExportEquation e = *exportEquation(c);
    ObjectForm form = *objectForm(c, e);
    const Envelope r = pointEnvelope(c);
    const std::optional<ValueRange> range = curveValueRange(c, r);
    if (!range) return failed<std::string>(Refusal{RefusalCode::NoValueInRange, {NoValueMessage}});
    ValueRange output = *range;

    std::string text = "! CALVERO1: " + equationTitle(c) + ", " + std::to_string(c.pointCount) + " punti\n";
    for (const std::string& line : fitCommentLines(c)) text += "! " + line + "\n";
    if (rated) {
        for (CoefficientField& field : form.coefficients)
            if (field.multiplies) field.value /= scale;
        output = {output.lowest / scale, output.highest / scale};
        if (scale < 0.0) std::swap(output.lowest, output.highest);
        text += "! normalizzata a 1 nel punto nominale x = " + shortestText(rated->x) +
                (rated->y ? ", y = " + shortestText(*rated->y) : std::string()) +
                ", dove la curva valeva " + shortestText(scale) + "\n";
        if (!insideEnvelope(r, rated->x, rated->y.value_or(0.0))) text += "! il punto nominale e' fuori dall'inviluppo dei punti\n";
    }

    text += form.type + ",\n" + fieldLine(objectName(name), ',', "Name");
    for (const CoefficientField& field : form.coefficients) text += fieldLine(shortestText(field.value), ',', field.comment);
    text += fieldLine(shortestText(r.xMin), ',', "Minimum Value of x");
    text += fieldLine(shortestText(r.xMax), ',', "Maximum Value of x");
    if (r.twoVariables) {
        text += fieldLine(shortestText(r.yMin), ',', "Minimum Value of y");
        text += fieldLine(shortestText(r.yMax), ',', "Maximum Value of y");
    }
    text += fieldLine(shortestText(output.lowest), ',', "Minimum Curve Output");
    text += fieldLine(shortestText(output.highest), ',', "Maximum Curve Output");
    text += fieldLine("Dimensionless", ',', form.xUnitComment);
    if (r.twoVariables) text += fieldLine("Dimensionless", ',', "Input Unit Type for Y");
    text += fieldLine("Dimensionless", ';', "Output Unit Type");
    return succeeded(std::move(text));
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

Checked<std::string> energyPlusObject(const Calculation& c, const std::string& name,
                                      const std::optional<RatedPoint>& rated)
{
    const std::optional<ExportEquation> e = exportEquation(c);
    if (!e || !objectForm(c, *e)) return failed<std::string>(Refusal{RefusalCode::NoExport, {noEnergyPlusObjectMessage(c)}});
    if (rated)
        if (const Failure problem = ratedPointProblem(*rated, pointEnvelope(c))) return failed<std::string>(Refusal{RefusalCode::InvalidRatedPoint, {*problem}});
    const std::optional<double> scale = rated ? valueAt(c, rated->x, rated->y.value_or(0.0)) : 1.0;
    if (!scale) return failed<std::string>(Refusal{RefusalCode::NoValueInRange, {NoValueMessage}});
    if (*scale == 0.0)
        return failed<std::string>(
            Refusal{RefusalCode::ZeroAtRatedPoint, {"la curva vale 0 nel punto nominale: non si può normalizzare"}});
    return objectText(c, name, rated, *scale);
}

} // namespace calvero
