#pragma once
// The envelope a curve was fitted on, as every export names it: the x range
// of the points for a curve y = f(x); for the surface Z = F(x, y) the convex
// hull of the points (a compressor's operating envelope rarely fills the
// rectangle of its ranges) inside the ranges of x and y.
#include "fit/calculation.h"

#include <span>
#include <string>
#include <vector>

namespace calvero {

struct EnvelopeCorner {
    double x = 0.0;
    double y = 0.0;
};

struct Envelope {
    bool twoVariables = false;
    double xMin = 0.0, xMax = 0.0;
    double yMin = 0.0, yMax = 0.0;        // the surface's
    std::vector<EnvelopeCorner> hull;     // the surface's: the hull's corners, counter-clockwise
    // The ranges the inside test scales x and y by (1 for a range of width 0),
    // so that its tolerance means the same whatever the units.
    double xScale() const;
    double yScale() const;
};

// A point this close to the hull's edge, in the scaled coordinates, is on it:
// the points fitted lie inside whatever the rounding of the test.
inline constexpr double EnvelopeTolerance = 1e-12;

Envelope pointEnvelope(const Calculation& calculation);
// The same of points given as lists (y empty for a curve y = f(x)).
Envelope pointEnvelope(std::span<const double> x, std::span<const double> y);

// Within the x range; for the surface within both ranges and on the inner
// side of every edge of the hull (to EnvelopeTolerance). NaN is outside.
// The exported C and Python functions test the same way.
bool insideEnvelope(const Envelope& envelope, double x, double y);

// The envelope in words, in lines of at most about 100 characters: "x da 1 a
// 12", or the hull's corners (x, y) and the ranges. ASCII only.
std::vector<std::string> envelopeLines(const Envelope& envelope);

// What every export's comment says of the fit beyond its equation: the fit
// options it was steered by (optionsLine), when any, then the envelope's lines.
std::vector<std::string> fitCommentLines(const Calculation& calculation);

} // namespace calvero
