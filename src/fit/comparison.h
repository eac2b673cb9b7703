#pragma once
// Which equation: every kind and degree that applies to the points, fitted
// and ranked by one stated rule.
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
    bool recommended = false;
    bool fitted() const { return statistics.has_value(); }
};

// The candidates fitted with calculate() from the input's points and
// temperatures, ordered: first the simplest equation (fewest coefficients)
// with no shape flag and a largest percentage error within the tolerance,
// then the others by ascending AICc, then those without an AICc, then the
// kinds that do not apply. The candidates are plain least-squares fits unless
// withOptions asks for the input's fit options: then each kind fits with
// them, and a kind that does not take them says so in its row.
std::vector<ComparisonRow> compareEquations(const CalculationInput& input,
                                            double tolerancePercent = DefaultTolerancePercent,
                                            const ShapeOptions& shape = {}, bool withOptions = false);

// The input that gives this calculation again, with the temperature fields
// as typed (the temperature-time kind's own when they are not given) and the
// fit options it had.
CalculationInput inputOf(const Calculation& calculation, const std::string& initialTemperature = "",
                         const std::string& finalTemperature = "");

// What the row's figures warn of: the shape checks' flags, and "mal
// condizionata" when the coefficients may carry fewer digits than they should.
std::vector<std::string> rowFlags(const ComparisonRow& row);

// The ordering rule in words.
std::string comparisonRule(double tolerancePercent);

// The comparison as an Italian text table.
std::vector<std::string> comparisonLines(const std::vector<ComparisonRow>& rows, double tolerancePercent);

} // namespace calvero
