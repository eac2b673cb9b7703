#pragma once
// The power, exponential, saturation and temperature-time kinds by least
// squares of the values themselves, on request (FitOptions::leastSquaresInY):
// their transformed fit (logarithms, or the mean of the per-point decay
// coefficients) is the start, and the nonlinear least squares of a typed
// equation (nonlinearfit.h) takes it to the least Σ (y - f(x))². The
// temperature-time kind keeps its two temperatures and fits M alone.
#include "common/checked.h"
#include "fit/dataset.h"
#include "fit/fittedcurve.h"
#include "fit/jacobianprediction.h"

#include <vector>

namespace calvero {

bool takesLeastSquaresInY(FitType kind);

// The curve of least squares in y from the transformed one, or the refusal
// of a fit that did not converge or met a value that is not finite.
Checked<FittedCurve> leastSquaresInY(const FittedCurve& transformed, const PointSet& points, int n);

// diag((JᵀJ)⁻¹) of the fitted coefficients (A and B, or M) at the curve, for
// their standard errors; empty where J is singular.
std::vector<double> valuesVarianceFactors(const FittedCurve& curve, const PointSet& points, int n);

// The curve's values with their intervals from the Jacobian at it
// (jacobianprediction.h); the temperature-time kind's two temperatures are
// given, not estimated.
JacobianModel valuesJacobianModel(const FittedCurve& curve, const PointSet& points, int n);

} // namespace calvero
