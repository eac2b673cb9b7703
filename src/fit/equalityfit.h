#pragma once
// Weighted least squares under exact conditions: the coefficients of the
// terms that fit the values best while the curve passes through given
// points, keeps given coefficients, or has a given slope or curvature at
// given x. Solved in the centred basis of centreddesign.h by the null space
// of the conditions (Householder QR, long double, Eigen), mapped back to the
// powers of x and refined once against the residuals of the powers of x and of the
// conditions, summed in quad precision, as the plain least squares is.
//
// Internal to the fit layer (steeredfit.h is its door).
#include "common/checked.h"
#include "fit/centreddesign.h"
#include "fit/steeredfit.h"

#include <span>
#include <vector>

namespace calvero {

// The problem as the caller states it: the points (y empty for the
// one-variable kinds), the values fitted, the weights of their squared errors
// (empty: all 1), the terms and the conditions.
struct WeightedProblem {
    std::span<const double> x, y, v;
    std::span<const double> weights;
    std::span<const Monomial> terms;
};

// The conditions' rows in the centred basis, each scaled to unit length, and
// their null space, factorized once for a problem.
class ConditionedDesign {
public:
    // Fails when the conditions are not independent of one another (two
    // through points at one x, a through point at x = 0 and term 1 fixed),
    // or leave the points too few to determine the rest of the coefficients.
    static Checked<ConditionedDesign> make(const WeightedProblem& problem, const CentredTerms& design,
                                           const std::vector<LinearCondition>& conditions);

    // Σ weights·(v - fit)² least under the conditions: the coefficients of
    // the powers of x (and y) as given, before rounding to double, and those
    // of the unit columns of the centred basis.
    struct Solution {
        RealVector given;
        RealVector centred;
    };
    Solution solve() const;

    // diag of the coefficients' covariance for a unit variance of the
    // weighted residuals: the free directions only, a fixed term's factor 0.
    std::vector<double> varianceFactors() const;

    // rowᵀ·C·row, C the coefficients' covariance for a unit variance of the
    // weighted residuals, for a row of terms in the basis of the unit columns
    // (CentredTerms::rowAt): the leverage of a value of the curve.
    Real leverage(const RealVector& row) const;

    // The free coefficients: u = particular + nullSpace · z in the centred basis.
    const RealMatrix& nullSpace() const { return nullSpace_; }
    RealVector particular() const;
    // The square roots of the weights, one per point.
    const RealVector& rowScales() const { return rowScales_; }

private:
    ConditionedDesign(const WeightedProblem& problem, const CentredTerms& design,
                      const std::vector<LinearCondition>& conditions)
        : problem_(problem), design_(design), conditions_(conditions)
    {
    }
    // The least-squares step in the centred basis for residuals of the
    // values and of the conditions.
    RealVector step(const RealVector& valueResiduals, const RealVector& conditionResiduals) const;
    RealVector conditionValues() const;

    WeightedProblem problem_;
    const CentredTerms& design_;
    std::vector<LinearCondition> conditions_;
    RealVector rowScales_;
    RealVector conditionScales_; // the length of each condition's row before scaling
    RealMatrix rows_;            // the conditions in the centred basis, unit rows
    RealMatrix conditionsR_;     // R of rowsᵀ = Q R
    RealMatrix rangeSpace_, nullSpace_;
    Eigen::ColPivHouseholderQR<RealMatrix> reduced_; // of the weighted design on the null space
};

// The condition's row over the terms at the powers of x as given, in quad precision.
std::vector<Quad> givenConditionRow(const LinearCondition& condition, std::span<const Monomial> terms);

} // namespace calvero
