#pragma once
// A calculation as a function: the points and the user's choices in, the
// fitted curve with its report, or a refusal with its Italian text, out. It
// reads and changes nothing else, so two calculations may run at once.
#include "fit/dataset.h"
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
};

struct Calculation {
    FitType kind = FitType::Polynomial;
    int degree = 0;      // the degree fitted (held to 1..8, or 2..4 for the surface)
    PointSet points;     // the points fitted; the surface's sorted by x
    int pointCount = 0;
    std::optional<FittedCurve> curve;      // the kinds with a curve y = f(x)
    SurfaceCoefficients surface{};         // Z = F(x, y)
    std::vector<std::string> report;       // the report's lines
    // The one-variable kinds show a graph of their points.
    bool hasGraph() const { return kind != FitType::SurfaceXY && pointCount > 0; }
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
// has always been ordered), x, y and z moving together.
void sortByX(PointSet& points, int count);

} // namespace calvero
