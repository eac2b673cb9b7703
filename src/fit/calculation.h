#pragma once
// A calculation as a function: numbers in (the points, the kind, the degree
// and the temperatures), the fitted curve with its report, or a refusal with
// its Italian text, out. It reads and changes nothing else, so two
// calculations may run at once. An arithmetic fault of the engine ends here
// as a refusal; it never leaves as an exception.
#include "common/checked.h"
#include "fit/dataset.h"
#include "fit/fitoptions.h"
#include "fit/fittedcurve.h"
#include "fit/surface.h"
#include "fit/workingset.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

// How many points a calculation takes: as many as the window's grid and a
// data set file hold (200, and 100 for the surface), or as many as the engine
// takes (the library, and calvero1-batch --all-lines).
enum class PointLimit { Grid, Engine };
constexpr int MaxEnginePoints = 100000;

struct CalculationInput {
    PointSet points;                    // x, y and z of points 1..pointCount (z for the surface)
    int pointCount = 0;
    PointLimit limit = PointLimit::Grid;
    FitType kind = FitType::Polynomial; // a value outside 1 to 8 is refused
    int degree = 2;                     // 1 to 9, as the degree field holds it
    // The temperature-time kind's initial and final temperature; none when
    // not given, which the calculation takes as 0 and the comparison as
    // missing.
    std::optional<double> initialTemperature;
    std::optional<double> finalTemperature;
    FitOptions options; // what steers the fit beyond least squares; none by default
};

struct Calculation {
    FitType kind = FitType::Polynomial;
    int degree = 0;      // the degree fitted (held to 1..8, or 2..4 for the surface)
    PointSet points;     // the points fitted; the surface's sorted by x
    int pointCount = 0;
    std::optional<FittedCurve> curve;      // the kinds with a curve y = f(x)
    SurfaceCoefficients surface{};         // Z = F(x, y)
    std::vector<std::string> report;       // the report's lines (empty until written, see ReportText)
    // The conditioning of the least squares the polynomials' and the
    // surface's coefficients came from, for their statistics.
    std::optional<DesignConditioning> design;
    FitOptions options;                    // the options the fit was steered by (pointWeights in the points' order)
    bool slopeBound = false;               // a monotone curve held flat somewhere by its condition
    // A graph of the points and the curve, or the picture of the surface.
    bool hasGraph() const { return pointCount > 0; }
};

// The calculation, or the refusal: the validation message or the arithmetic
// fault's text.
using Outcome = Checked<Calculation>;

// When the report's text is written: with the calculation, or when it is
// first read (reportOf); a report that could not be written refuses the
// calculation either way.
enum class ReportText { Now, Later };

// The input is taken by value: a caller that has no more use for its points
// moves them in, and they become the calculation's without a copy.
Outcome calculate(CalculationInput input, ReportText text = ReportText::Now);

// The report's lines: the calculation's own, or written now for one made
// with ReportText::Later.
std::vector<std::string> reportOf(const Calculation& calculation);

// With weights from a column, the input's weight per point: the one-variable
// kinds take the column after x and y (z), the surface a point file's fourth
// column (fourth, in the points' order). Nothing changes otherwise.
void takeColumnWeights(CalculationInput& input, const std::vector<double>& fourth);

// The points 1..count ordered by ascending x (an exchange sort, as the surface
// has always been ordered; beyond a grid's 200 points a stable sort), x, y
// and z moving together, and with them the values of along (1..count in its
// entries 0..count-1) when given.
void sortByX(PointSet& points, int count, std::vector<double>* along = nullptr);

} // namespace calvero
