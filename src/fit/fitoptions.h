#pragma once
// What the engineer tells a fit beyond the points, kind and degree: points
// the curve must pass through, coefficients fixed to a value, weights of the
// errors, the smallest largest percentage error instead of least squares,
// a curve that never turns back over the points' range of x, and one that
// never bends back (concave or convex) there. A plain
// value: the calculation, the data set's options file, the batch command and
// the window all hand it on as it is. With nothing set, a fit is exactly the
// plain least squares.
#include "fit/dataset.h"

#include <string>
#include <vector>

namespace calvero {

struct ThroughPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0; // the surface's value at (x, y); unused by the one-variable kinds
    bool operator==(const ThroughPoint&) const = default;
};

struct FixedTerm {
    int term = 1; // numbered as the report numbers the terms: 1 is the constant
    double value = 0.0;
    bool operator==(const FixedTerm&) const = default;
};

enum class Weighting {
    None,     // every point alike (least squares)
    Relative, // 1/y² (1/z² for the surface): the relative errors count
    Column,   // a weight per point, from the point file's column after the values
};

enum class Monotone { None, Decreasing, Increasing };

// The sign of the curve's second derivative over the points' range of x:
// a pump or fan curve falls ever faster with flow (concave, p'' ≤ 0).
enum class Curvature { None, Concave, Convex };

struct FitOptions {
    std::vector<ThroughPoint> throughPoints;
    std::vector<FixedTerm> fixedTerms;
    Weighting weighting = Weighting::None;
    // With Weighting::Column: one weight per point, in the points' order;
    // the caller reads them from the column (for a one-variable kind, the z
    // column of the points).
    std::vector<double> pointWeights;
    bool minimax = false;
    Monotone monotone = Monotone::None;
    Curvature curvature = Curvature::None;
    // The power, exponential, saturation and temperature-time kinds by least
    // squares of y itself, from their transformed fit (valuesleastsquares.h).
    bool leastSquaresInY = false;

    // What steers the fits through their steered problem (steering.h).
    bool any() const
    {
        return !throughPoints.empty() || !fixedTerms.empty() || weighting != Weighting::None || minimax ||
               monotone != Monotone::None || curvature != Curvature::None;
    }
    // A condition on the curve's shape (monotone, concave or convex): a programme, not a linear solve.
    bool anyShape() const { return monotone != Monotone::None || curvature != Curvature::None; }
    // Any option at all, least squares in y among them.
    bool anyOption() const { return any() || leastSquaresInY; }
    bool operator==(const FitOptions&) const = default;
};

// The options that are on, in one line of at most 130 characters:
// "vincoli: passa per (0; 620); termine 1 = 620; pesi relativi 1/y^2; ...".
// Empty when none is on.
std::string optionsLine(const FitOptions& options, FitType kind);

// Which shape condition holds the curve at its bound somewhere, in words:
// "la condizione di monotonia tiene la pendenza al limite", or that of the
// concave or convex curve, or of both.
std::string shapeBoundWords(const FitOptions& options);

} // namespace calvero
