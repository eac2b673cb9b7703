#pragma once
// The reader of an equation as the engineer types it:
//
//   y = b1*(1 - exp(-b2*x))          one variable, x ("y =" may be left out)
//   z = a + b*x + c*y^2              two variables, x and y ("z =", or y on the right)
//
// Parameters are any other names (letters, digits, underscore, not starting
// with a digit; "e" is a name like any other), listed in the order they first
// appear; "pi" is the one constant. Operators + - * / and the power ^ or **,
// right-associative and above the sign (-x^2 is -(x^2), 2^-1 is 0.5);
// parentheses; numbers with a decimal point, or a decimal comma between two
// digits, and an exponent (1.5e-3); functions exp, log (natural), log10,
// sqrt, abs, sin, cos, tan, atan, sinh, cosh, tanh, erf, erfc (1 - erf) and
// pow(a; b), their arguments separated by ";" or by a comma followed by a
// blank. Function and variable names are read in any case; parameters as
// written.
//
// A mistake is refused with the reason and the position (from 1, in
// characters) in Italian, as the code InvalidEquation with the sentence and
// the position as its details.
#include "common/checked.h"
#include "fit/expression.h"

#include <string>
#include <string_view>
#include <vector>

namespace calvero {

struct ParsedEquation {
    std::string text;          // as typed
    bool twoVariables = false; // z = f(x, y)
    std::vector<std::string> parameters;
    Expression expression;

    // "y" or "z": the variable the equation gives.
    std::string response() const { return twoVariables ? "z" : "y"; }
};

// The most parameters and characters an equation may have.
constexpr int MaxEquationParameters = 50;
constexpr int MaxEquationLength = 4000;

Checked<ParsedEquation> readEquation(std::string_view text);

} // namespace calvero
