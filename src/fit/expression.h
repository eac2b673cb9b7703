#pragma once
// The right side of an equation the user typed, as a list of operations in
// which every operand comes before the operation that takes it (the last one
// is the whole expression): the reader (equationparser.h) builds it, the
// fits evaluate it. Evaluation is exact in its derivatives: the gradient
// with respect to the parameters is carried back through the list (reverse
// mode of automatic differentiation), never taken by finite differences.
// It runs in double for the solver, in long double and in quad (__float128)
// for the last refinement, so the residuals of a close fit are not lost in
// the rounding of the curve's own arithmetic.
#include <span>
#include <string>
#include <vector>

namespace calvero {

enum class Operation : unsigned char {
    Number,    // a literal
    Pi,        // the constant pi, in the precision of the evaluation
    X,         // the first variable
    Y,         // the second variable (equations z = f(x, y))
    Parameter, // one of the parameters, by its number
    Negate,
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Exp,
    Log, // natural
    Log10,
    Sqrt,
    Abs,
    Sin,
    Cos,
    Tan,
    Atan,
    Sinh,
    Cosh,
    Tanh,
    Erf,  // the error function
    Erfc, // 1 - erf, without the loss of 1 + erf(-a) far out
};

struct ExpressionStep {
    Operation operation = Operation::Number;
    int first = -1;  // the step of the first operand
    int second = -1; // the step of the second operand (the binary operations)
    int parameter = -1;
    __float128 number = 0; // the literal as written, to quad precision
    int position = 0;      // of the token in the typed text, from 1
    bool withParameters = false; // the step's value depends on a parameter
};

class Expression {
public:
    Expression() = default;
    Expression(std::vector<ExpressionStep> steps, int parameterCount);

    const std::vector<ExpressionStep>& steps() const { return steps_; }
    int parameterCount() const { return parameterCount_; }
    bool empty() const { return steps_.empty(); }

    // The value at (x, y) with the parameters given (parameterCount of
    // them). Not finite where the expression is not (a division by zero,
    // the logarithm of a negative number, an overflow). T is double, long
    // double or __float128; scratch is the caller's, reused between calls.
    // known, where given, holds the steps that no parameter reaches at this
    // (x, y), from valuesWithoutParameters: they are not evaluated again.
    template <typename T>
    T value(std::span<const T> parameters, T x, T y, std::vector<T>& scratch, std::span<const T> known = {}) const;

    // The value and, in gradient (parameterCount places), its derivative with
    // respect to each parameter.
    template <typename T>
    T valueAndGradient(std::span<const T> parameters, T x, T y, std::span<T> gradient, std::vector<T>& scratch,
                       std::vector<T>& adjoints, std::span<const T> known = {}) const;

    // The values at (x, y) of the steps that no parameter reaches (the
    // others 0), once per point for a fit that evaluates the points many
    // times: ENSO's sin and cos of 2πx/12 cost as much as those of 2πx/b4.
    template <typename T>
    void valuesWithoutParameters(T x, T y, std::vector<T>& known) const;

private:
    std::vector<ExpressionStep> steps_;
    int parameterCount_ = 0;
};

// The function of an operation by its name as typed ("exp"), or Operation::Number
// for a name that is none of them; pow is the power written as a function.
Operation functionNamed(const std::string& name);
bool isFunction(Operation operation);

} // namespace calvero
