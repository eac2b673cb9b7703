#include "fit/linearform.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace calvero {

namespace {

// The expression whose last step is root: the steps it reaches, in order.
Expression extractSteps(const std::vector<ExpressionStep>& arena, int root, int parameterCount)
{
    std::vector<bool> reached(arena.size(), false);
    reached[static_cast<std::size_t>(root)] = true;
    for (std::size_t k = static_cast<std::size_t>(root) + 1; k-- > 0;) {
        if (!reached[k]) continue;
        const ExpressionStep& s = arena[k];
        if (s.first >= 0) reached[static_cast<std::size_t>(s.first)] = true;
        if (s.second >= 0) reached[static_cast<std::size_t>(s.second)] = true;
    }
    std::vector<int> index(arena.size(), -1);
    std::vector<ExpressionStep> steps;
    for (std::size_t k = 0; k <= static_cast<std::size_t>(root); ++k) {
        if (!reached[k]) continue;
        ExpressionStep s = arena[k];
        if (s.first >= 0) s.first = index[static_cast<std::size_t>(s.first)];
        if (s.second >= 0) s.second = index[static_cast<std::size_t>(s.second)];
        s.withParameters = s.operation == Operation::Parameter ||
                           (s.first >= 0 && steps[static_cast<std::size_t>(s.first)].withParameters) ||
                           (s.second >= 0 && steps[static_cast<std::size_t>(s.second)].withParameters);
        index[k] = static_cast<int>(steps.size());
        steps.push_back(s);
    }
    return Expression(std::move(steps), parameterCount);
}

// The form of one step: offset + Σ terms[k] b_k, each a step of the arena
// (-1: zero); nonlinear when the step is not linear in the parameters.
struct StepForm {
    bool nonlinear = false;
    int offset = -1;
    std::map<int, int> terms;
    bool constant() const { return !nonlinear && terms.empty(); }
};

class FormBuilder {
public:
    FormBuilder(const Expression& e, const std::vector<bool>& linear) : arena_(e.steps()), linear_(linear) {}

    StepForm formOf(int s)
    {
        const ExpressionStep step = arena_[static_cast<std::size_t>(s)];
        StepForm form;
        form.offset = s;
        if (step.operation == Operation::Parameter && linear_[static_cast<std::size_t>(step.parameter)]) {
            form.offset = -1;
            form.terms[step.parameter] = number(1);
            return form;
        }
        if (step.first < 0) return form; // a number, pi, a variable, another parameter
        const StepForm a = formOf(step.first);
        const StepForm b = step.second >= 0 ? formOf(step.second) : StepForm{};
        if (a.nonlinear || b.nonlinear) return nonlinear();
        if (a.constant() && b.constant()) return form; // the step as it is
        switch (step.operation) {
        case Operation::Negate: return mapped(a, [&](int t) { return unary(Operation::Negate, t); });
        case Operation::Add: return combined(a, b, Operation::Add);
        case Operation::Subtract: return combined(a, b, Operation::Subtract);
        case Operation::Multiply:
            if (a.constant()) return mapped(b, [&](int t) { return binary(Operation::Multiply, step.first, t); });
            if (b.constant()) return mapped(a, [&](int t) { return binary(Operation::Multiply, t, step.second); });
            return nonlinear();
        case Operation::Divide:
            if (b.constant()) return mapped(a, [&](int t) { return binary(Operation::Divide, t, step.second); });
            return nonlinear();
        default: return nonlinear();
        }
    }

    Expression extract(int root, int parameterCount) const { return extractSteps(arena_, root, parameterCount); }

private:
    static StepForm nonlinear()
    {
        StepForm form;
        form.nonlinear = true;
        return form;
    }

    int add(ExpressionStep step)
    {
        arena_.push_back(step);
        return static_cast<int>(arena_.size()) - 1;
    }
    int number(double value)
    {
        ExpressionStep s;
        s.operation = Operation::Number;
        s.number = value;
        return add(s);
    }
    int unary(Operation operation, int a)
    {
        ExpressionStep s;
        s.operation = operation;
        s.first = a;
        return add(s);
    }
    int binary(Operation operation, int a, int b)
    {
        ExpressionStep s;
        s.operation = operation;
        s.first = a;
        s.second = b;
        return add(s);
    }

    template <typename Change>
    StepForm mapped(const StepForm& form, Change change)
    {
        StepForm result;
        if (form.offset >= 0) result.offset = change(form.offset);
        for (const auto& [k, t] : form.terms) result.terms[k] = change(t);
        return result;
    }

    // a ± b, term by term; a part missing on one side is 0.
    StepForm combined(const StepForm& a, const StepForm& b, Operation operation)
    {
        auto join = [&](int left, int right) {
            if (right < 0) return left;
            if (left < 0) return operation == Operation::Add ? right : unary(Operation::Negate, right);
            return binary(operation, left, right);
        };
        StepForm result;
        result.offset = join(a.offset, b.offset);
        result.terms = a.terms;
        for (const auto& [k, t] : b.terms) result.terms[k] = join(a.terms.count(k) ? a.terms.at(k) : -1, t);
        return result;
    }

    std::vector<ExpressionStep> arena_;
    const std::vector<bool>& linear_;
};

} // namespace

Expression subExpression(const Expression& expression, int root)
{
    return extractSteps(expression.steps(), root, expression.parameterCount());
}

std::optional<LinearForm> linearForm(const Expression& expression, const std::vector<bool>& linear)
{
    if (expression.empty()) return std::nullopt;
    FormBuilder builder(expression, linear);
    const StepForm form = builder.formOf(static_cast<int>(expression.steps().size()) - 1);
    if (form.nonlinear) return std::nullopt;
    LinearForm result;
    const int p = expression.parameterCount();
    if (form.offset >= 0) result.offset = builder.extract(form.offset, p);
    result.columns.resize(static_cast<std::size_t>(p));
    for (const auto& [k, t] : form.terms) result.columns[static_cast<std::size_t>(k)] = builder.extract(t, p);
    return result;
}

std::vector<bool> linearParameters(const Expression& expression, const std::vector<bool>& candidates)
{
    const std::size_t p = static_cast<std::size_t>(expression.parameterCount());
    std::vector<bool> linear(p, false);
    for (std::size_t k = 0; k < p; ++k) {
        if (!candidates[k]) continue;
        std::vector<bool> one(p, false);
        one[k] = true;
        linear[k] = linearForm(expression, one).has_value();
    }
    while (std::count(linear.begin(), linear.end(), true) > 0 && !linearForm(expression, linear)) {
        for (std::size_t k = p; k-- > 0;) {
            if (linear[k]) {
                linear[k] = false;
                break;
            }
        }
    }
    return linear;
}

namespace {

std::optional<ScaledMonomial> monomialAt(const std::vector<ExpressionStep>& steps, int s)
{
    const ExpressionStep& step = steps[static_cast<std::size_t>(s)];
    switch (step.operation) {
    case Operation::Number: return ScaledMonomial{static_cast<double>(step.number), {0, 0}};
    case Operation::X: return ScaledMonomial{1.0, {1, 0}};
    case Operation::Y: return ScaledMonomial{1.0, {0, 1}};
    case Operation::Negate: {
        auto a = monomialAt(steps, step.first);
        if (a) a->factor = -a->factor;
        return a;
    }
    case Operation::Multiply: {
        const auto a = monomialAt(steps, step.first), b = monomialAt(steps, step.second);
        if (!a || !b) return std::nullopt;
        return ScaledMonomial{a->factor * b->factor,
                              {a->term.xPower + b->term.xPower, a->term.yPower + b->term.yPower}};
    }
    case Operation::Divide: {
        auto a = monomialAt(steps, step.first);
        const auto b = monomialAt(steps, step.second);
        if (!a || !b || b->term.xPower != 0 || b->term.yPower != 0 || b->factor == 0.0) return std::nullopt;
        a->factor /= b->factor;
        return a;
    }
    case Operation::Power: {
        const auto a = monomialAt(steps, step.first);
        const ExpressionStep& e = steps[static_cast<std::size_t>(step.second)];
        if (!a || e.operation != Operation::Number) return std::nullopt;
        const double n = static_cast<double>(e.number);
        if (n != std::floor(n) || n < 0 || n > 20) return std::nullopt;
        const int k = static_cast<int>(n);
        double factor = 1.0;
        for (int i = 0; i < k; ++i) factor *= a->factor;
        return ScaledMonomial{factor, {a->term.xPower * k, a->term.yPower * k}};
    }
    default: return std::nullopt;
    }
}

} // namespace

std::optional<ScaledMonomial> monomialOf(const Expression& column)
{
    if (column.empty()) return std::nullopt;
    auto m = monomialAt(column.steps(), static_cast<int>(column.steps().size()) - 1);
    if (m && (m->factor == 0.0 || !std::isfinite(m->factor))) return std::nullopt;
    return m;
}

} // namespace calvero
