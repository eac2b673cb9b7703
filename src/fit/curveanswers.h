#pragma once
// The questions asked of one fitted curve at once, as the batch command line,
// the library and the windows put them, their answers, and the answers as
// Italian lines: the values with their intervals, the x for each y, the
// operating points on a system curve, the curve at another speed or
// diameter, and the ratio for a duty point.
#include "common/checked.h"
#include "fit/affinity.h"
#include "fit/calculation.h"
#include "fit/curvequestions.h"
#include "fit/prediction.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

struct EquationFit;

struct ValueQuestion {
    double x = 0.0;
    double y = 0.0; // the surface's second variable
};

struct CurveQuestions {
    std::vector<ValueQuestion> values;
    PredictionRequest request; // the level of every interval, the new point's weight
    std::vector<double> solveY;
    std::optional<SystemCurve> system;
    std::optional<double> ratio;
    bool diameterRatio = false; // the ratio is a trim D2/D1, not a speed n2/n1
    AffinityQuantity quantity = AffinityQuantity::Head;
    std::optional<ValueQuestion> duty; // Q and H of the duty point
    bool any() const { return !values.empty() || !solveY.empty() || system || ratio || duty; }
};

struct SolveAnswer {
    double y = 0.0;
    Checked<std::vector<CurvePlace>> places;
};

struct CurveAnswers {
    bool surface = false; // the values are z at (x, y)
    std::vector<Checked<Prediction>> values;
    std::vector<SolveAnswer> solutions;
    std::optional<Checked<std::vector<CurvePlace>>> operatingPoints;
    std::optional<Checked<Calculation>> scaled;
    std::optional<Checked<std::vector<DutyRatio>>> duty;
    // Why questions were refused, in the order asked; empty when all were answered.
    std::vector<Refusal> refusals() const;
};

CurveAnswers answerQuestions(const Calculation& calculation, const CurveQuestions& questions);
// A typed equation's answers: its values, x for each y and operating points;
// another speed and the duty ratio are refused (the affinity laws keep the
// kinds' forms, not an equation's).
CurveAnswers answerQuestions(const EquationFit& fit, const CurveQuestions& questions);

// The answers in Italian, each question with its lines; the scaled curve's
// report follows its line.
std::vector<std::string> answerLines(const CurveQuestions& questions, const CurveAnswers& answers);

// One value with its intervals on a line:
// "a x = 42: 31,2  confidenza 95 %: 30,9 ... 31,5  previsione 95 %: 29,8 ... 32,6".
std::string predictionLine(const Prediction& prediction, bool surface);
// One x for a y, with its interval.
std::string placeLine(const CurvePlace& place);

} // namespace calvero
