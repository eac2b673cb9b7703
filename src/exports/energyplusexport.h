#pragma once
// A fitted curve as one performance-curve object of the building-simulation
// input format (EnergyPlus's IDF): the object of its kind, its fields in the
// format's order with their "!-" comments, the coefficients with every digit,
// the limits of x (and y) from the points (the simulation silently clamps
// its inputs to them, so they are never wider), the output limits from the
// curve's values over them, and the envelope of the points as comments.
// Optionally normalized to 1 at a rated point.
#include "common/checked.h"
#include "fit/calculation.h"

#include <optional>
#include <string>

namespace calvero {

struct RatedPoint {
    double x = 0.0;
    std::optional<double> y; // the surface's
};

// Polynomial of degree 1 to 4 (Curve:Linear, Quadratic, Cubic, Quartic),
// power (Curve:Exponent), exponential and temperature-time
// (Curve:ExponentialDecay), surface of degree 2 or 3 (Curve:Biquadratic,
// Curve:Bicubic). Any other kind or degree, and a rated point the object
// cannot be normalized at, is refused with the Italian message.
Checked<std::string> energyPlusObject(const Calculation& calculation, const std::string& name,
                                      const std::optional<RatedPoint>& rated);

// What opens a file of such objects.
std::string energyPlusHead();

// The refusal for a kind with no object, naming the kinds that have one.
std::string noEnergyPlusObjectMessage(const Calculation& calculation);

} // namespace calvero
