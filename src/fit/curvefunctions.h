#pragma once
// The curves y = f(x) of the one-variable kinds, drawn by the graph and
// evaluated by the report.

namespace calvero {

// curveFunction from the kind: none for Scatter, SurfaceXY and unknown kinds.
void selectCurveFunction();

// The curve functions of the kinds; they read FitResult::curve and
// FitState::curveDegree when called.
double powerCurve(double x);
double polynomialCurve(double x);
double exponentialCurve(double x);
double rationalCurve(double x);
double temperatureTimeCurve(double x);
double saturationCurve(double x);

} // namespace calvero
