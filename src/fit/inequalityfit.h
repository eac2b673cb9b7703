#pragma once
// The steered fits that need a programme rather than a linear solve: the
// coefficients that make the largest relative error over the points as small
// as possible (a linear programme), and the least squares whose curve never
// falls (or never rises), or never bends back (concave or convex), over the
// points' range of x (a quadratic programme), either of them with the exact
// conditions of equalityfit.h.
//
// Both are stated in the centred basis on the null space of the conditions.
// The smallest largest error is a linear programme, stated in the
// orthonormal basis of the relative errors so that CLP's tolerances mean the
// same on every data set (linearprogramme.h), then made exact by simplex
// exchanges in long double (vertexexchange.h) and refined against the
// residuals of the powers of x as given in quad. The monotone least squares
// is a least-distance programme solved exactly by a dual active-set method
// (leastdistance.h); its active nodes then become exact conditions and
// equalityfit solves it again, to the digits the plain fits have. A monotone
// curve has its slope imposed at a grid of nodes over the range; the slope
// between them is then checked at the roots of the curvature (slopecheck.h),
// and wherever it still goes the wrong way a node is added there and the
// programme solved again, so the curve is monotone over the whole range, not
// only at the nodes. The curvature of a concave or convex curve is held
// the same way, at nodes of its own, checked between them at the roots of
// the third derivative. A condition the fit without it already meets
// changes nothing: that fit is the answer, bit for bit.
//
// Internal to the fit layer (steeredfit.h is its door).
#include "common/checked.h"
#include "fit/equalityfit.h"

#include <vector>

namespace calvero {

struct InequalityRequest {
    bool minimax = false; // the largest |v - fit| / |v| as small as possible; every v non-zero
    int slopeSign = 0;    // +1 never falling in x, -1 never rising, 0 free (powers of x only)
    int curvatureSign = 0; // +1 convex, -1 concave, 0 free (powers of x only)
};

struct InequalityFit {
    RealVector given;                 // the coefficients of the powers of x (and y) as given
    bool slopeBound = false;          // the slope or curvature condition holds with equality somewhere
    double largestRelativeError = 0;  // minimax: the programme's optimum
};

Checked<InequalityFit> fitWithInequalities(const WeightedProblem& problem, const CentredTerms& design,
                                           const std::vector<LinearCondition>& equalities, InequalityRequest request);

} // namespace calvero
