#pragma once
// Start values of a typed equation's parameters when the engineer gives none
// (or the given ones stall): a stated search, the same for every equation.
//   1. The parameters in which the equation is linear together (b1 in
//      b1*(1 - exp(-b2*x))) are never guessed: for each guess of the others
//      they are solved by linear least squares (variable projection).
//   2. Recognised shapes are linearised: a ratio of two sums linear in the
//      parameters (y D = N, Kirby2's and Thurber's rationals) and an
//      exponential of a sum linear in them (ln y, A x^B, A e^(B x)) give
//      starts by one linear least squares each.
//   3. The other parameters are guessed from their place in the equation:
//      a rate beside x (b*x, x/b) over the orders of magnitude of 1/x's
//      scale (or x's), a shift of x (x - b) over the points' range of x, a
//      period inside sin or cos over the periods the points can show, an
//      exponent over -4..4, anything else over ±10^-6..10^6 (b^2 and c/b
//      take the place they stand in: b5 in (x-b4)^2/b5^2 is a scale, b3 in
//      x^(-1/b3) the reciprocal of an exponent); all combinations, or a
//      seeded draw of a few thousand, each scored by its sum of squares.
//      Guesses that give two parameters of one place the same value, or
//      whose linear terms the points can hardly tell apart, are left out:
//      from there the fit would merge two terms.
//   4. Where the combinations were drawn, the best guesses are moved one
//      parameter at a time to the value of its list that lowers the sum of
//      squares most, until none does: the terms of a sum (exponentials,
//      Gaussians) are found one by one where no draw finds them together.
//   5. The best distinct guesses (the same values in another order count
//      once) are moved to the least sum of squares over the guessed
//      parameters alone, the linear ones solved at each step (variable
//      projection, Kaufman's Jacobian), then fitted (nonlinearfit.h), and
//      the lowest sum of squares kept; where none comes to a minimum within
//      its iterations, the best guess once more with the whole allowance.
//      possiblyLocal unless the same minimum was reached from at least three
//      different guesses (or the equation was linear once the shapes were
//      recognised), since no search can exclude a lower minimum elsewhere.
#include "common/checked.h"
#include "fit/nonlinearfit.h"

#include <optional>
#include <vector>

namespace calvero {

struct StartSearch {
    Checked<NonlinearSolution> best = failed<NonlinearSolution>(refusalOf(RefusalCode::NotConverged));
    std::vector<double> start; // the guess the best fit went from
    bool possiblyLocal = true;
    int localFits = 0;
};

// The search for the problem's free parameters (problem.fixed), the fixed
// ones at their value in fixedValues; given start values, where some are,
// are among the guesses.
StartSearch searchStart(const NonlinearProblem& problem, const std::vector<double>& fixedValues,
                        const std::vector<std::optional<double>>& given);

} // namespace calvero
