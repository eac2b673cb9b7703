#pragma once
// The fitted curve's value at a given x (the surface's at x, y) with its
// confidence interval (where the curve itself lies) and its prediction
// interval (where a new point falls), from the least-squares problem the fit
// solved: Student's t with the fit's degrees of freedom, the estimate s of
// the residuals' spread and the leverage xᵀ(XᵀWX)⁻¹x of the point, under the
// fit's exact conditions.
//
// How each kind is read:
// - polynomial and surface: on y (z); a weighted fit's new point has the
//   spread s/√w with the statistics' s and a weight w of 1 (or the one asked)
//   on the weights as the statistics scale them; under relative weights its
//   weight is that times 1/y², its error relative as the points' are;
// - rational: on 1/y, the line the fit solved, mapped back through 1/P;
// - power, exponential, saturation: on their straight line (log10 y on
//   log10 x, ln y on x, log10 p on 1/T), mapped back;
// - temperature-time: M is the mean of the points' own M_i, so its interval
//   is the mean's (n - 1 degrees of freedom), and a new point's that of one
//   more M_i, both carried through the curve at that time;
// - smallest largest error: the value alone, no interval;
// - a monotone fit whose condition holds the slope somewhere: the intervals
//   of the least squares with its equality conditions, marked approximate;
// - a typed equation, and the kinds fitted by least squares of y itself: from
//   the Jacobian at the optimum (jacobianprediction.h), exact for an equation
//   linear in its parameters, a linear approximation for any other, marked
//   approximate where a parameter rests at its bound.
// The value is the least-squares curve's worked out afresh in extended
// precision, not summed from the printed coefficients: an ill-conditioned fit
// gives it to its last digit where the coefficients rounded to doubles do
// not.
#include "common/checked.h"
#include "fit/calculation.h"

#include <memory>
#include <optional>

namespace calvero {

struct EquationFit;

struct Interval {
    double low = 0.0;
    double high = 0.0;
};

// Why a value has no interval.
enum class NoInterval {
    Minimax,            // the smallest largest error is no least squares
    NoDegreesOfFreedom, // as many coefficients as points
    Pole,               // the interval of 1/y holds 0: the curve's pole
    Undetermined,       // the design leaves the coefficients' spread undetermined
};
std::string noIntervalText(NoInterval why);

struct PredictionRequest {
    double level = 0.95;  // of both intervals, between 0 and 1
    double weight = 1.0;  // of the new point, on the statistics' weights (times 1/y² under relative weights)
};

struct Prediction {
    double x = 0.0;
    double y = 0.0; // the surface's second variable
    double value = 0.0;
    double level = 0.95;
    std::optional<Interval> confidence; // of the curve
    std::optional<Interval> prediction; // of a new point
    std::optional<NoInterval> none;     // why there are no intervals
    bool approximate = false;           // a monotone (concave, convex) fit held at its bound, or a parameter at its bound
    bool parameterAtBound = false;      // a typed equation's parameter at its bound (approximate too)
    std::string boundWords;             // for a steered fit, which condition holds it (shapeBoundWords)
    bool extrapolated = false;          // beyond the points' range of x (or of y)
};

// A fit's curve ready to be asked at many places: the least-squares problem
// is factorized once. Copies share it; safe to ask from several threads.
class CurvePredictor {
public:
    explicit CurvePredictor(const Calculation& calculation);
    explicit CurvePredictor(const EquationFit& fit);
    ~CurvePredictor();
    CurvePredictor(const CurvePredictor&);
    CurvePredictor& operator=(const CurvePredictor&);

    // The value and its intervals at x (and y for the surface). Refused for
    // the scatter kind (no curve), an invalid level or weight, and where the
    // curve has no value (a pole, the logarithm of a negative x).
    Checked<Prediction> at(double x, double y, const PredictionRequest& request = {}) const;

    bool surface() const;
    bool equation() const; // a typed equation's, not a kind's
    // The fitted curve of one variable; none for the surface, the scatter kind and a typed equation.
    const std::optional<FittedCurve>& curve() const;
    // A curve of one variable (a kind's or a typed equation's) to ask for its x.
    bool oneVariable() const;
    // That curve's value at x, in extended precision; NaN where it has none.
    double valueAt(double x) const;
    // The points' range of x (and of y for the surface).
    double lowX() const;
    double highX() const;

    struct Model;

private:
    std::shared_ptr<const Model> model_;
};

} // namespace calvero
