#pragma once
// Which equation: every kind and degree that applies to the points, fitted
// and ranked by one stated rule, and the table that shows them (the text and
// the window show the same cells).
#include "fit/calculation.h"
#include "fit/shapecheck.h"
#include "fit/statistics.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

constexpr double DefaultTolerancePercent = 1.0;

struct ComparisonRow {
    FitType kind = FitType::Polynomial;
    int degree = 0; // the degree asked for; 0 for the kinds without one
    int coefficientCount = 0;
    std::optional<Statistics> statistics; // none when the kind could not be fitted
    ShapeChecks shape;
    std::string refusal; // why the kind does not apply or was refused, in Italian
    std::string object;  // a simulation object's type, in a comparison of the objects (the kind then unused)
    bool recommended = false;
    bool fitted() const { return statistics.has_value(); }
};

// The candidates fitted with calculate() from the input's points and
// temperatures, ordered: first the simplest equation (fewest coefficients)
// with no shape flag, residuals without a pattern and a largest percentage
// error within the tolerance, then the others by ascending AICc (the exact
// fits, which have none, first), then those without an AICc, then the kinds
// that do not apply. The candidates are plain least-squares fits unless
// withOptions asks for the input's fit options: then each kind fits with
// them, and a kind that does not take them says so in its row.
std::vector<ComparisonRow> compareEquations(const CalculationInput& input,
                                            double tolerancePercent = DefaultTolerancePercent,
                                            const ShapeOptions& shape = {}, bool withOptions = false);

// The rows ordered by that rule, the recommended one marked: how the kinds
// are ranked, and the simulation's objects fitted to the same points.
void rankRows(std::vector<ComparisonRow>& rows, double tolerancePercent);

// The input that gives this calculation again, with the temperatures given
// (the temperature-time kind's own in its place) and the fit options it had.
CalculationInput inputOf(const Calculation& calculation, std::optional<double> initialTemperature = std::nullopt,
                         std::optional<double> finalTemperature = std::nullopt);

// What the row's figures warn of: the shape checks' flags, "residui non
// casuali" when the residuals follow a pattern, and "mal condizionata" when
// the coefficients may carry fewer digits than they should.
std::vector<std::string> rowFlags(const ComparisonRow& row);

// The ordering rule in words, with the tolerance as the user wrote it (when
// given) or in its shortest digits.
std::string comparisonRule(double tolerancePercent, const std::string& toleranceAsWritten = "");

// What the table says of its rows as a whole: that no equation has more
// points than coefficients, or that none passes the rule and all are ordered
// by AICc; nothing when one is recommended.
std::vector<std::string> comparisonNotes(const std::vector<ComparisonRow>& rows);

// "consigliata" for the recommended row; when none is, "migliore per AICc"
// (or "migliore: curva esatta") for the first row; empty for the others.
std::string rowMark(const std::vector<ComparisonRow>& rows, std::size_t index);

// The texts of a row's cells after its number: figures to 6 significant
// digits, "-" where there is none, "curva esatta" for the AICc an exact fit
// does not have; the remarks are the flags ("nessuno"), or why the row has no
// figures.
struct ComparisonCells {
    std::string kind, degree, coefficients;
    std::string standardError, adjustedRSquared, largestPercentError, aicc;
    std::string remarks;
};
ComparisonCells comparisonCells(const ComparisonRow& row);

// The comparison as an Italian text table: every column as wide as its widest
// text, two blanks between columns.
std::vector<std::string> comparisonLines(const std::vector<ComparisonRow>& rows, double tolerancePercent,
                                         const std::string& toleranceAsWritten = "");

} // namespace calvero
