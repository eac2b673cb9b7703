#pragma once
// A fitted curve as the building-simulation program's (EnergyPlus's)
// performance-curve objects, in the form it reads: the object of the
// calculation's kind, or the object asked for fitted to the calculation's
// points in its own form (curveobjects.h), or a lookup table of the points
// themselves; each with its fields in the data dictionary's order, the
// coefficients with every digit, the limits of x (and y) from the points (the
// simulation silently clamps its inputs to them, so they are never wider),
// the output limits from the curve's values over them, the unit types the
// user chose among those the field allows, and the envelope of the points as
// comments. Optionally normalized to 1 at a rated point. Names longer than
// the program's 100 characters are cut with a suffix that keeps them apart,
// and the full name goes into a comment.
#include "common/checked.h"
#include "fit/calculation.h"
#include "exports/idfobject.h"
#include "exports/objectfit.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

struct RatedPoint {
    double x = 0.0;
    std::optional<double> y; // the surface's
};

// The unit types of the object's fields as the user typed them (case
// ignored); empty: "Dimensionless".
struct UnitTypes {
    std::string x, y, output;
    bool any() const { return !x.empty() || !y.empty() || !output.empty(); }
};

// A lookup table's methods, as Table:IndependentVariable names them.
struct TableOptions {
    std::string interpolation = "Linear"; // or "Cubic"
    std::string extrapolation = "Constant"; // or "Linear"
};

// The type that asks for the lookup table of the points.
inline constexpr const char* LookupTableType = "Table:Lookup";

struct EnergyPlusChoices {
    std::string name;                // before objectName
    std::optional<RatedPoint> rated; // normalized there
    std::string object;              // a type of curveobjects.h or Table:Lookup; empty: the kind's own object
    UnitTypes units;
    TableOptions table;
};

// The objects of one calculation (one, or the three or four of a table).
// Any kind or degree without an object, an object the points do not fit, a
// unit type the field does not allow and a rated point the objects cannot be
// normalized at are refused with the Italian message.
Checked<std::vector<IdfObject>> energyPlusObjects(const Calculation& calculation, const EnergyPlusChoices& choices);

// The named object (or table) of points given directly.
Checked<std::vector<IdfObject>> energyPlusObjectsOf(const ObjectPoints& points, const EnergyPlusChoices& choices);

// The coil's or chiller's pair from a table of capacity and power at the same
// conditions (x; y; capacity; power): the capacity curve and the curve of
// the energy input ratio EIR = power / capacity, both of the two-input type
// chosen (Curve:Biquadratic when none is), both normalized to 1 at the rated
// point, named NAME_CAPFT and NAME_EIRFT, with the rated capacity, power and
// COP (= 1 / EIR) in a comment.
struct PairPoints {
    std::vector<double> x, y, capacity, power;
};
Checked<std::vector<IdfObject>> energyPlusPair(const PairPoints& points, const EnergyPlusChoices& choices);

// What opens an IDF file of such objects.
std::string energyPlusHead();

// The refusal for a kind with no object, naming the kinds that have one.
std::string noEnergyPlusObjectMessage(const Calculation& calculation);

// The longest name the program reads.
inline constexpr std::size_t SimulationNameLimit = 100;

} // namespace calvero
