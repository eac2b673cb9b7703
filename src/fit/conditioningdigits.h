#pragma once
// Two measures of how many digits of a linear fit's coefficients can be
// trusted, each answering one question an engineer asks of them.
//
// (a) The data: how far each coefficient moves when every x, y (and z)
//     changes by one unit in its 16th significant digit, at random. First
//     order propagation through the least-squares solution: the change of
//     the values through the pseudo-inverse, the change of the design both
//     through the curve's slope and through the residuals (the term that
//     grows as the condition number squared times the residual). Given as
//     the digits of each coefficient that stay put: -log10(σ_k / |c_k|),
//     σ_k the standard deviation of its change.
// (b) The use: how many digits a program keeps at the points when it
//     evaluates the printed polynomial in double precision, from the
//     cancellation between its terms, Σ|c_k φ_k| / |Σ c_k φ_k|.
//
// The terms are those of the fit's own variables (for the transformed kinds
// the straight line's), the coefficients those of the terms as given.
#include "fit/leastsquares.h"

#include <optional>
#include <span>
#include <vector>

namespace calvero {

// The digits of each coefficient the data determine, in [0, DoubleDigits]
// (a coefficient equal to 0 gets DoubleDigits: it has no digits to lose).
// Empty when the design is singular. weights empty means all 1; y empty for
// a curve of x alone.
std::vector<double> dataSensitivityDigits(std::span<const double> x, std::span<const double> y,
                                          std::span<const double> values, std::span<const double> weights,
                                          std::span<const Monomial> terms, std::span<const double> coefficients);

// The fewest significant digits a double-precision evaluation of the
// polynomial keeps at any point; none when the polynomial is 0 at every
// point.
std::optional<double> evaluationDigits(std::span<const double> x, std::span<const double> y,
                                       std::span<const Monomial> terms, std::span<const double> coefficients);

} // namespace calvero
