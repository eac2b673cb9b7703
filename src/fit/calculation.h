#pragma once
// A calculation as a function: the points and the user's choices in, the
// fitted curve with its report, or a refusal with its Italian text, out. It
// reads and changes nothing else, so two calculations may run at once.
#include "fit/dataset.h"
#include "fit/fitoptions.h"
#include "fit/fittedcurve.h"
#include "fit/surface.h"
#include "fit/workingset.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace calvero {

struct CalculationInput {
    PointSet points;       // as read from the point grid
    int pointCount = 0;    // the points before the first row with x and y both 0
    std::optional<InvalidCell> invalidCell; // the first cell of those that is not a number
    FitType kind = FitType::Polynomial;     // may hold a value outside 1 to 8: refused
    int degree = 2;                         // as the degree field holds it (1 to 9)
    std::string initialTemperature;         // the temperature fields as typed
    std::string finalTemperature;
    FitOptions options; // what steers the fit beyond least squares; none by default
};

struct Calculation {
    FitType kind = FitType::Polynomial;
    int degree = 0;      // the degree fitted (held to 1..8, or 2..4 for the surface)
    PointSet points;     // the points fitted; the surface's sorted by x
    int pointCount = 0;
    std::optional<FittedCurve> curve;      // the kinds with a curve y = f(x)
    SurfaceCoefficients surface{};         // Z = F(x, y)
    std::vector<std::string> report;       // the report's lines
    FitOptions options;                    // the options the fit was steered by (pointWeights in the points' order)
    bool slopeBound = false;               // a monotone curve held flat somewhere by its condition
    // A graph of the points and the curve, or the picture of the surface.
    bool hasGraph() const { return pointCount > 0; }
};

struct Refusal {
    std::string message; // the validation message, or the arithmetic fault's text
};

using Outcome = std::variant<Calculation, Refusal>;

Outcome calculate(const CalculationInput& input);

// The value of a temperature field as the calculation and the save read it:
// a decimal comma reads as a point and blanks around the number are ignored;
// an empty or blank field is 0. Nothing for any other text.
std::optional<double> temperatureValue(std::string_view text);

// The points 1..count ordered by ascending x (an exchange sort, as the surface
// has always been ordered), x, y and z moving together, and with them the
// values of along (1..count in its entries 0..count-1) when given.
void sortByX(PointSet& points, int count, std::vector<double>* along = nullptr);

} // namespace calvero
