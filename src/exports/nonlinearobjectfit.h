#pragma once
// The performance-curve objects that are not linear in their coefficients
// (Curve:Exponent, Curve:Sigmoid, ...) fitted to points by the engine's
// nonlinear least squares, with the object's equation as the Input Output
// Reference writes it. Starts come from the points: the coefficients that
// enter linearly are solved for each guess of the others (the exponent, the
// rates, the centre and width, the asymptote of the hyperbola), the best
// guesses are fitted, and so is the start the engine's own search finds; the
// lowest sum of squares is kept. A fit that converges from no start is
// refused; one the points determine poorly, or that fewer than three starts
// reached (unless it fits the values to their rounding), comes with the
// cautions that say so.
#include "common/checked.h"
#include "exports/curveobjects.h"

#include <span>
#include <string>
#include <vector>

namespace calvero {

struct NonlinearObjectFit {
    std::vector<double> coefficients; // in field order
    std::vector<std::string> cautions; // what the user should know before using it
};

Checked<NonlinearObjectFit> fitNonlinearObject(const CurveObject& object, std::span<const double> x,
                                               std::span<const double> values);

// The object's equation as the engine's reader takes it, parameters C1, C2, ...
// in field order; empty for an object that is not nonlinear.
std::string nonlinearObjectEquation(const CurveObject& object);

} // namespace calvero
