#pragma once
// Where a typed equation is linear in some of its parameters: the equation
// written as offset + Σ b_k column_k, the offset and the columns free of the
// parameters taken as linear (they may hold the others). An equation linear
// in all its free parameters is fitted by linear least squares at once; one
// linear in some of them has those solved exactly for each guess of the
// rest while start values are searched (variable projection).
#include "fit/expression.h"
#include "fit/leastsquares.h"

#include <optional>
#include <vector>

namespace calvero {

struct LinearForm {
    std::optional<Expression> offset;           // none: 0
    std::vector<std::optional<Expression>> columns; // per parameter; none for those not taken as linear (or 0)
};

// The form with respect to the parameters marked in linear; none when the
// equation is not linear in them together.
std::optional<LinearForm> linearForm(const Expression& expression, const std::vector<bool>& linear);

// The part of the expression whose last step is root.
Expression subExpression(const Expression& expression, int root);

// The largest set of parameters in which the equation is linear together
// (each linear on its own, then dropped from the last while the set is
// not), among those marked as candidates.
std::vector<bool> linearParameters(const Expression& expression, const std::vector<bool>& candidates);

// The column as c · x^a · y^b, when it is one (a and b whole, from 0).
struct ScaledMonomial {
    double factor = 1.0;
    Monomial term;
};
std::optional<ScaledMonomial> monomialOf(const Expression& column);

} // namespace calvero
