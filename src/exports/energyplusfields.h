#pragma once
// What every performance-curve object and table of the exports shares: the
// name within the program's limit, the unit-type fields from the keys the
// dictionary allows, the rated point's checks and the comment lines of the
// points' envelope.
#include "common/checked.h"
#include "exports/curveobjects.h"
#include "exports/energyplusexport.h"
#include "exports/exportenvelope.h"

#include <string>
#include <string_view>
#include <vector>

namespace calvero {

// objectName(name) followed by suffix; beyond SimulationNameLimit characters
// the name is cut and ends in '_' and eight hexadecimal digits drawn from the
// whole name before the suffix, so names that differ only beyond the limit
// stay apart; the whole name then goes into comments.
std::string simulationName(std::string_view name, std::string_view suffix, std::vector<std::string>& comments);

// The unit-type field with the key chosen (as the dictionary writes it), or
// "Dimensionless" when none was; the refusal of a key the field does not allow.
Checked<IdfField> unitTypeField(const UnitTypeField& field, const std::string& chosen);

// The object's unit-type fields, input(s) then output; refused when a key is
// not allowed or a unit type is chosen for a field the object does not have.
Checked<std::vector<IdfField>> unitTypeFields(const CurveObject& object, const UnitTypes& units);

// Why the objects cannot be normalized at the rated point, if they cannot:
// the wrong count of values, or a point outside the points' ranges.
Failure ratedPointProblem(const RatedPoint& rated, const Envelope& envelope);

// "normalizzata a 1 nel punto nominale x = 2, y = 3, dove la curva valeva 0.9".
std::string normalizedComment(const RatedPoint& rated, double scale);

} // namespace calvero
