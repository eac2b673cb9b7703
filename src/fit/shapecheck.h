#pragma once
// Checks of a fitted curve's shape between the points, where a selection
// program will read it but no point tells whether it is right: a curve that
// turns where the points do not, a curve that bulges out of its neighbouring
// points, a curve that cannot be computed (a rational polynomial whose
// denominator goes through zero), and too few points for the coefficients.
#include "fit/calculation.h"

#include <string>
#include <vector>

namespace calvero {

struct ShapeOptions {
    // How far the curve may leave the band of two neighbouring points, as a
    // share of the larger y step between those points and their neighbours.
    double bandShare = 0.2;
    int samplesPerInterval = 16;
};

struct ShapeChecks {
    bool checked = false;            // false for a kind without a curve y = f(x)
    std::vector<double> turns;       // x where the curve turns and the points do not
    std::vector<double> outOfBand;   // x where the curve leaves the band the most, one per interval
    std::vector<double> notEvaluable; // x where the curve cannot be computed (a pole, an overflow);
                                      // an interval with one is not checked further
    bool fewPoints = false;          // fewer than two points per coefficient
    // The residuals' signs in x order make fewer runs than chance would (the
    // statistics' runs test): the curve misses the points' shape even when
    // nothing shows between them.
    bool residualPattern = false;
    int n = 0;
    int p = 0;
    double bandShare = 0.2;
    bool any() const { return !turns.empty() || !outOfBand.empty() || !notEvaluable.empty() || fewPoints; }
};

ShapeChecks shapeChecks(const Calculation& calculation, const ShapeOptions& options = {});

// The findings as Italian lines; the last says whether the curve follows the
// points, as the statistics' runs test says too.
std::vector<std::string> shapeLines(const ShapeChecks& checks);

// Short Italian words for a table column ("oscilla", "fuori banda", "polo", "pochi punti").
std::vector<std::string> shapeFlags(const ShapeChecks& checks);

} // namespace calvero
