#pragma once
// A performance-curve object fitted to the points in its own form, as the
// object the simulation reads: its coefficients, the points' ranges as its
// limits, its extremes over them as its output limits, its unit types, and
// the fit's envelope and errors as comments; normalized at a rated point
// when asked and the object allows it. Also the coil's or chiller's pair of
// such objects, and the fit in words and as JSON for whoever checks it.
#include "common/checked.h"
#include "exports/energyplusexport.h"
#include "exports/idfobject.h"
#include "exports/objectfit.h"

#include <string>
#include <vector>

namespace calvero {

// The object fitted to the points: one IdfObject, or the refusal.
Checked<std::vector<IdfObject>> fittedObjects(const CurveObject& object, const ObjectPoints& points,
                                              const EnergyPlusChoices& choices);

// The same from a fit already made.
Checked<IdfObject> fittedObject(const ObjectFit& fit, const EnergyPlusChoices& choices, std::string_view suffix = "");

// The fit as the batch prints it: the object, its equation, the coefficients
// with every digit, the points and the sum of squared errors.
std::vector<std::string> objectFitLines(const ObjectFit& fit);

// The fit as JSON: "object", "equation", "coefficients" (field names and
// values), "sse", "cautions" (where there are any), "points" (x, [y,] value,
// fitted).
std::string objectFitJson(const ObjectFit& fit);

// Whether the type names the lookup table (case ignored).
bool isLookupTable(std::string_view type);

} // namespace calvero
