#pragma once
// The building-simulation program's performance curves of one and two inputs
// as one table: for each object its type, its coefficient fields in the data
// dictionary's order, the field names of its limits and unit types with the
// keys each unit-type field allows, its equation as the Input Output
// Reference writes it, and how it is fitted. The linear ones carry the term
// each coefficient multiplies, so the one linear least squares fits them
// with the object's own terms; the others carry their equation and the names
// of its parameters for the nonlinear least squares. Everything else the
// exports do with an object (fit, write, rank) reads this table. The field
// lists follow EnergyPlus 26.1.0 (tests/exports/energyplus keeps them).
#include "fit/leastsquares.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

enum class ObjectForm {
    Polynomial,   // Σ C_k x^a y^b
    PressureRise, // C1 Q² + C2 Q + C3 Q √P + C4 P: a polynomial in Q and √P
    Nonlinear,    // the equation itself, by the nonlinear least squares
};

// A unit-type field and the keys the dictionary allows in it ("Dimensionless" first).
struct UnitTypeField {
    std::string_view field;
    std::vector<std::string_view> keys;
};

struct CurveObject {
    std::string_view type;             // "Curve:QuadraticLinear"
    int inputs = 1;                    // x, or x and y
    ObjectForm form = ObjectForm::Polynomial;
    std::vector<std::string_view> coefficientFields; // "Coefficient1 Constant", ...
    std::vector<Monomial> terms;       // Polynomial and PressureRise: the term of each coefficient
    // Which coefficients a normalization divides (those the value is
    // proportional to); empty when the object is not normalized (its form is
    // normalized already, or its output is a pressure).
    std::vector<bool> scaled;
    std::string_view equation;         // as the Input Output Reference writes it
    std::vector<std::string_view> limitFields; // minimum and maximum of x (and of y)
    std::vector<UnitTypeField> inputUnits;     // of x (and of y); none for the fan's pressure rise
    std::optional<UnitTypeField> outputUnits;
    bool normalizable() const { return !scaled.empty(); }
    std::size_t coefficientCount() const { return coefficientFields.size(); }
};

// Every object, one-input ones first, in the order the dialog offers them.
std::span<const CurveObject> curveObjects();

// The object of that type, compared as the program compares types (case
// ignored); nothing for another name.
const CurveObject* curveObjectNamed(std::string_view type);

// The types the exports name in a refusal: "Curve:Linear, Curve:Quadratic, ...".
std::string curveObjectList();

// The object's value at (x, y), from its coefficients in field order, as the
// equation gives it (the polynomials summed in quad precision and rounded
// once, the others in long double); nothing where it has none (a power of a
// negative number, a division by zero, the root of a negative pressure).
std::optional<double> curveObjectValue(const CurveObject& object, std::span<const double> coefficients, double x,
                                       double y = 0.0);

// The unit-type key as the dictionary writes it when the field allows it
// (case ignored); nothing otherwise.
std::optional<std::string_view> allowedUnitType(const UnitTypeField& field, std::string_view key);

} // namespace calvero
