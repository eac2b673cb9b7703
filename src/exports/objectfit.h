#pragma once
// A performance-curve object fitted to points in its own form: the linear
// objects by the engine's linear least squares with the object's own terms
// (the fan's pressure rise with √Psm as its second variable), the others by
// the nonlinear least squares. Numbers in, the coefficients in field order,
// the object's value at every point and the sum of squared errors out, or
// the refusal.
#include "common/checked.h"
#include "fit/calculation.h"
#include "exports/curveobjects.h"

#include <string>
#include <vector>

namespace calvero {

struct ObjectPoints {
    std::vector<double> x, y; // y empty for points of one input
    std::vector<double> v;    // the values the object is to give
    bool twoInputs() const { return !y.empty(); }
    std::size_t size() const { return x.size(); }
};

// The calculation's points: x and y for a curve, x, y and z for the surface.
ObjectPoints objectPoints(const Calculation& calculation);

// Points 1..count of the set: x and y of a curve, x, y and z of the surface.
ObjectPoints objectPoints(const PointSet& set, int count, bool surface);

struct ObjectFit {
    const CurveObject* object = nullptr;
    std::vector<double> coefficients; // in field order
    ObjectPoints points;
    std::vector<double> fitted;       // the object's value at each point
    double sse = 0.0;                 // Σ (v - fitted)²
    // What the user should know before using a nonlinear object's fit (the
    // points determine its coefficients poorly, few starts reached it).
    std::vector<std::string> cautions;
};

// The fit; refused when the points have the other number of inputs, fewer
// points than coefficients, points that leave a coefficient free, a negative
// pressure for the fan's curve, or a nonlinear object whose fit converges
// from none of its starts (nonlinearobjectfit.h).
Checked<ObjectFit> fitCurveObject(const CurveObject& object, ObjectPoints points);

} // namespace calvero
