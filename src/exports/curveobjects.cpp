#include "exports/curveobjects.h"

#include "fit/quad.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

using Keys = std::vector<std::string_view>;

const Keys InputKeys = {"Dimensionless", "Temperature", "VolumetricFlow", "MassFlow", "Power", "Distance"};
// Curve:Linear also takes a pressure as its input.
const Keys LinearInputKeys = {"Dimensionless", "Temperature", "VolumetricFlow", "Pressure",
                              "MassFlow",      "Power",       "Distance"};
const Keys OutputKeys = {"Dimensionless", "Capacity", "Power", "Temperature"};
const Keys TemperatureKeys = {"Dimensionless", "Temperature"};
const Keys DimensionlessOnly = {"Dimensionless"};

const std::vector<std::string_view> XLimits = {"Minimum Value of x", "Maximum Value of x"};
const std::vector<std::string_view> XYLimits = {"Minimum Value of x", "Maximum Value of x", "Minimum Value of y",
                                                "Maximum Value of y"};

std::vector<std::string_view> numberedFields(int count)
{
    static const std::string_view Names[] = {"Coefficient1 C1", "Coefficient2 C2", "Coefficient3 C3",
                                             "Coefficient4 C4", "Coefficient5 C5"};
    return {std::begin(Names), std::begin(Names) + count};
}

std::vector<bool> allScaled(int count) { return std::vector<bool>(static_cast<std::size_t>(count), true); }

CurveObject polynomial(std::string_view type, int degree, std::string_view equation)
{
    static const std::string_view Names[] = {"Coefficient1 Constant", "Coefficient2 x", "Coefficient3 x**2",
                                             "Coefficient4 x**3", "Coefficient5 x**4"};
    const Keys& x = degree == 1 ? LinearInputKeys : InputKeys;
    return {type,      1,          ObjectForm::Polynomial, {std::begin(Names), std::begin(Names) + degree + 1},
            powersOfX(degree),     allScaled(degree + 1),  equation,
            XLimits,   {{"Input Unit Type for X", x}},     UnitTypeField{"Output Unit Type", OutputKeys}};
}

// One input, fitted by the nonlinear least squares; x and the output dimensionless.
CurveObject nonlinear(std::string_view type, std::vector<std::string_view> fields, std::vector<bool> scaled,
                      std::string_view equation)
{
    return {type,    1,        ObjectForm::Nonlinear, std::move(fields), {}, std::move(scaled), equation, XLimits,
            {{"Input Unit Type for x", DimensionlessOnly}}, UnitTypeField{"Output Unit Type", DimensionlessOnly}};
}

CurveObject twoInputs(std::string_view type, std::vector<std::string_view> fields, std::vector<Monomial> terms,
                      std::string_view equation, const Keys& inputKeys, const Keys& outputKeys)
{
    const int count = static_cast<int>(fields.size());
    return {type,
            2,
            ObjectForm::Polynomial,
            std::move(fields),
            std::move(terms),
            allScaled(count),
            equation,
            XYLimits,
            {{"Input Unit Type for X", inputKeys}, {"Input Unit Type for Y", inputKeys}},
            UnitTypeField{"Output Unit Type", outputKeys}};
}

const std::vector<CurveObject>& table()
{
    static const std::vector<CurveObject> objects = [] {
        std::vector<CurveObject> list;
        list.push_back(polynomial("Curve:Linear", 1, "C1 + C2*x"));
        list.push_back(polynomial("Curve:Quadratic", 2, "C1 + C2*x + C3*x**2"));
        list.push_back(polynomial("Curve:Cubic", 3, "C1 + C2*x + C3*x**2 + C4*x**3"));
        list.push_back(polynomial("Curve:Quartic", 4, "C1 + C2*x + C3*x**2 + C4*x**3 + C5*x**4"));
        CurveObject exponent = nonlinear("Curve:Exponent",
                                         {"Coefficient1 Constant", "Coefficient2 Constant", "Coefficient3 Constant"},
                                         {true, true, false}, "C1 + C2*x**C3");
        exponent.inputUnits = {{"Input Unit Type for X", InputKeys}};
        exponent.outputUnits = UnitTypeField{"Output Unit Type", OutputKeys};
        list.push_back(exponent);
        list.push_back(nonlinear("Curve:ExponentialDecay", numberedFields(3), {true, true, false}, "C1 + C2*exp(C3*x)"));
        list.push_back(nonlinear("Curve:DoubleExponentialDecay", numberedFields(5), {true, true, false, true, false},
                                 "C1 + C2*exp(C3*x) + C4*exp(C5*x)"));
        list.push_back(nonlinear("Curve:Sigmoid", numberedFields(5), {true, true, false, false, false},
                                 "C1 + C2/[1 + exp((C3 - x)/C4)]**C5"));
        list.push_back(nonlinear("Curve:RectangularHyperbola1", numberedFields(3), {true, false, true},
                                 "C1*x/(C2 + x) + C3"));
        list.push_back(nonlinear("Curve:RectangularHyperbola2", numberedFields(3), {true, false, true},
                                 "C1*x/(C2 + x) + C3*x"));
        // Its value at x = 0 is 1 whatever the coefficients: normalized by its form.
        list.push_back(nonlinear("Curve:ExponentialSkewNormal", numberedFields(4), {},
                                 "exp(-Z1**2/2)*[1 + Z2/|Z2|*erf(|Z2|/sqrt(2))] / (exp(-Z3**2/2)*[1 + Z3/|Z3|*erf(|Z3|/sqrt(2))]), "
                                 "Z1 = (x - C1)/C2, Z2 = (C4*x*exp(C3*x) - C1)/C2, Z3 = -C1/C2"));
        list.push_back(twoInputs("Curve:Biquadratic",
                                 {"Coefficient1 Constant", "Coefficient2 x", "Coefficient3 x**2", "Coefficient4 y",
                                  "Coefficient5 y**2", "Coefficient6 x*y"},
                                 {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}, {1, 1}},
                                 "C1 + C2*x + C3*x**2 + C4*y + C5*y**2 + C6*x*y", InputKeys, OutputKeys));
        list.push_back(twoInputs("Curve:Bicubic",
                                 {"Coefficient1 Constant", "Coefficient2 x", "Coefficient3 x**2", "Coefficient4 y",
                                  "Coefficient5 y**2", "Coefficient6 x*y", "Coefficient7 x**3", "Coefficient8 y**3",
                                  "Coefficient9 x**2*y", "Coefficient10 x*y**2"},
                                 {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}, {1, 1}, {3, 0}, {0, 3}, {2, 1}, {1, 2}},
                                 "C1 + C2*x + C3*x**2 + C4*y + C5*y**2 + C6*x*y + C7*x**3 + C8*y**3 + C9*x**2*y + "
                                 "C10*x*y**2",
                                 InputKeys, OutputKeys));
        list.push_back(twoInputs("Curve:QuadraticLinear",
                                 {"Coefficient1 Constant", "Coefficient2 x", "Coefficient3 x**2", "Coefficient4 y",
                                  "Coefficient5 x*y", "Coefficient6 x**2*y"},
                                 {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}},
                                 "(C1 + C2*x + C3*x**2) + (C4 + C5*x + C6*x**2)*y", InputKeys, OutputKeys));
        list.push_back(twoInputs("Curve:CubicLinear",
                                 {"Coefficient1 Constant", "Coefficient2 x", "Coefficient3 x**2", "Coefficient4 x**3",
                                  "Coefficient5 y", "Coefficient6 x*y"},
                                 {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}},
                                 "(C1 + C2*x + C3*x**2 + C4*x**3) + (C5 + C6*x)*y", TemperatureKeys, DimensionlessOnly));
        // x the fan's flow Qfan (m³/s), y the duct's static pressure Psm (Pa);
        // the output a pressure rise in Pa, which no rated point normalizes.
        list.push_back({"Curve:FanPressureRise",
                        2,
                        ObjectForm::PressureRise,
                        numberedFields(4),
                        {{2, 0}, {1, 0}, {1, 1}, {0, 2}},
                        {},
                        "C1*Qfan**2 + C2*Qfan + C3*Qfan*(Psm - Po)**0.5 + C4*(Psm - Po), Po = 0",
                        {"Minimum Value of Qfan", "Maximum Value of Qfan", "Minimum Value of Psm", "Maximum Value of Psm"},
                        {},
                        std::nullopt});
        return list;
    }();
    return objects;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char p, char q) {
               return std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(q));
           });
}

std::optional<double> finiteOrNothing(long double value)
{
    const double rounded = static_cast<double>(value);
    if (!std::isfinite(rounded)) return std::nullopt;
    return rounded;
}

// 1 + Z/|Z| erf(|Z|/√2), the Input Output Reference's factor: 1 + erf(Z/√2)
// for every Z (at 0 that limit, 1), which is erfc(-Z/√2), free of the loss of
// digits of 1 + erf far below 0.
long double skewFactor(long double z) { return std::erfc(-z / std::sqrt(2.0L)); }

std::optional<double> nonlinearValue(std::string_view type, std::span<const double> c, long double x)
{
    const auto C = [&](std::size_t k) { return static_cast<long double>(c[k - 1]); };
    if (type == "Curve:Exponent") return finiteOrNothing(C(1) + C(2) * std::pow(x, C(3)));
    if (type == "Curve:ExponentialDecay") return finiteOrNothing(C(1) + C(2) * std::exp(C(3) * x));
    if (type == "Curve:DoubleExponentialDecay")
        return finiteOrNothing(C(1) + C(2) * std::exp(C(3) * x) + C(4) * std::exp(C(5) * x));
    if (type == "Curve:Sigmoid") return finiteOrNothing(C(1) + C(2) / std::pow(1.0L + std::exp((C(3) - x) / C(4)), C(5)));
    if (type == "Curve:RectangularHyperbola1") return finiteOrNothing(C(1) * x / (C(2) + x) + C(3));
    if (type == "Curve:RectangularHyperbola2") return finiteOrNothing(C(1) * x / (C(2) + x) + C(3) * x);
    if (type == "Curve:ExponentialSkewNormal") {
        const long double z1 = (x - C(1)) / C(2), z2 = (C(4) * x * std::exp(C(3) * x) - C(1)) / C(2), z3 = -C(1) / C(2);
        return finiteOrNothing(std::exp(-0.5L * z1 * z1) * skewFactor(z2) / (std::exp(-0.5L * z3 * z3) * skewFactor(z3)));
    }
    return std::nullopt;
}

} // namespace

std::span<const CurveObject> curveObjects() { return table(); }

const CurveObject* curveObjectNamed(std::string_view type)
{
    for (const CurveObject& object : table())
        if (sameIgnoringCase(object.type, type)) return &object;
    return nullptr;
}

std::string curveObjectList()
{
    std::string list;
    for (const CurveObject& object : table()) list += (list.empty() ? "" : ", ") + std::string(object.type);
    return list;
}

std::optional<double> curveObjectValue(const CurveObject& object, std::span<const double> c, double x, double y)
{
    if (c.size() != object.coefficientCount() || !std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    switch (object.form) {
    case ObjectForm::Polynomial: return finiteOrNothing(polynomialValue(c, object.terms, x, y));
    case ObjectForm::PressureRise: {
        if (y < 0.0) return std::nullopt;
        // Each term in quad, the root in long double, rounded once.
        const Quad q(x), root(std::sqrt(static_cast<long double>(y)));
        const Quad sum = Quad(c[0]) * q * q + Quad(c[1]) * q + Quad(c[2]) * q * root + Quad(c[3]) * Quad(y);
        return finiteOrNothing(static_cast<long double>(static_cast<double>(sum)));
    }
    case ObjectForm::Nonlinear: return nonlinearValue(object.type, c, x);
    }
    return std::nullopt;
}

std::optional<std::string_view> allowedUnitType(const UnitTypeField& field, std::string_view key)
{
    for (std::string_view allowed : field.keys)
        if (sameIgnoringCase(allowed, key)) return allowed;
    return std::nullopt;
}

} // namespace calvero
