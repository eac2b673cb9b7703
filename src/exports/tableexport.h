#pragma once
// The points themselves as the simulation's lookup table: a
// Table:IndependentVariable for x (and one for y) holding the grid's values,
// the Table:IndependentVariableList that orders them, and the Table:Lookup
// holding the values with the last variable varying fastest. Points of two
// inputs must lie on a full grid, each pair of an x and a y once. The
// interpolation and extrapolation methods are the user's; a rated point on
// the grid becomes the variables' normalization reference values, and the
// simulation divides the table by its value there (AutomaticWithDivisor).
#include "common/checked.h"
#include "exports/energyplusexport.h"
#include "exports/idfobject.h"
#include "exports/objectfit.h"

#include <vector>

namespace calvero {

Checked<std::vector<IdfObject>> lookupTableObjects(const ObjectPoints& points, const EnergyPlusChoices& choices);

// The unit-type fields of the table's objects: an independent variable's and the table's output.
const UnitTypeField& independentVariableUnits();
const UnitTypeField& lookupOutputUnits();

} // namespace calvero
