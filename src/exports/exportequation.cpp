#include "exports/exportequation.h"

#include "common/numtext.h"
#include "fit/surface.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <variant>

namespace calvero {

namespace {

std::vector<ExportTerm> polynomialTerms(const PolynomialCoefficients& c, int degree)
{
    std::vector<ExportTerm> terms;
    for (int k = 0; k <= degree; ++k) terms.push_back({c[k + 1], {k, 0}});
    return terms;
}

ExportEquation equationOf(const FittedCurve& curve)
{
    ExportEquation e;
    std::visit(
        [&](const auto& c) {
            using Curve = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<Curve, PolynomialCurve>) {
                e.shape = EquationShape::Polynomial;
                e.terms = polynomialTerms(c.coefficients, c.degree);
            } else if constexpr (std::is_same_v<Curve, RationalCurve>) {
                e.shape = EquationShape::Rational;
                e.terms = polynomialTerms(c.coefficients, c.degree);
            } else if constexpr (std::is_same_v<Curve, TemperatureTimeCurve>) {
                e.shape = EquationShape::TemperatureTime;
                e.decay = c.decayM;
                e.initial = c.initial;
                e.final = c.final;
            } else {
                e.shape = std::is_same_v<Curve, PowerCurve>         ? EquationShape::Power
                          : std::is_same_v<Curve, ExponentialCurve> ? EquationShape::Exponential
                                                                    : EquationShape::Saturation;
                e.a = c.parameters.a;
                e.b = c.parameters.b;
            }
        },
        curve);
    return e;
}

// A literal that may stand as the operand of an operator: a negative one in
// parentheses (a spreadsheet's minus sign binds tighter than its ^).
std::string operand(double value, const ExpressionSyntax& s)
{
    const std::string text = literalText(value, s);
    return text.front() == '-' ? "(" + text + ")" : text;
}

std::string spaced(char operation, const ExpressionSyntax& s)
{
    return s.spreadsheet ? std::string(1, operation) : std::string(" ") + operation + " ";
}

// x^a y^b as a product: "x*x*y", or "A2^2*B2".
std::string monomialText(const Monomial& m, const ExpressionSyntax& s)
{
    std::vector<std::string> factors;
    const auto add = [&](const std::string& variable, int power) {
        if (power <= 0) return;
        if (s.spreadsheet) factors.push_back(power == 1 ? variable : variable + "^" + std::to_string(power));
        else
            for (int i = 0; i < power; ++i) factors.push_back(variable);
    };
    add(s.x, m.xPower);
    add(s.y, m.yPower);
    std::string text;
    for (const std::string& factor : factors) text += (text.empty() ? "" : "*") + factor;
    return text;
}

// c1 + c2 x + ..., term by term from the first, each term's sign as the
// operator between it and the sum before it.
std::string sumText(const std::vector<ExportTerm>& terms, const ExpressionSyntax& s)
{
    std::string text;
    for (const ExportTerm& term : terms) {
        const std::string monomial = monomialText(term.powers, s);
        const bool first = text.empty();
        const double shown = first ? term.coefficient : std::fabs(term.coefficient);
        if (!first) text += s.termBreak + spaced(std::signbit(term.coefficient) ? '-' : '+', s);
        text += literalText(shown, s);
        if (monomial.empty()) continue;
        // The power is computed first and then multiplied, as the program does.
        const bool product = monomial.find('*') != std::string::npos && !s.spreadsheet;
        text += "*" + (product ? "(" + monomial + ")" : monomial);
    }
    return text;
}

std::string powerText(const std::string& base, const std::string& exponent, const ExpressionSyntax& s)
{
    if (s.spreadsheet) return base + "^(" + exponent + ")";
    return s.pow + "(" + base + s.separator + exponent + ")";
}

} // namespace

double ExportEquation::coefficientOf(int xPower, int yPower) const
{
    for (const ExportTerm& term : terms)
        if (term.powers.xPower == xPower && term.powers.yPower == yPower) return term.coefficient;
    return 0.0;
}

std::optional<ExportEquation> exportEquation(const Calculation& c)
{
    if (c.kind == FitType::SurfaceXY) {
        ExportEquation e;
        e.shape = EquationShape::Surface;
        const std::vector<Monomial> powers = surfaceMonomials(c.degree);
        for (std::size_t k = 0; k < powers.size(); ++k) e.terms.push_back({c.surface[static_cast<int>(k) + 1], powers[k]});
        return e;
    }
    if (!c.curve) return std::nullopt;
    return equationOf(*c.curve);
}

std::string equationTitle(const Calculation& c)
{
    const std::string kind = kindLabel(c.kind);
    return takesDegree(c.kind) ? kind + " di grado " + std::to_string(c.degree) : kind;
}

ExpressionSyntax cSyntax() { return {"x", "y", '.', false, "exp", "pow", ", ", "\n       "}; }

ExpressionSyntax pythonSyntax() { return {"x", "y", '.', false, "math.exp", "math.pow", ", ", "\n           "}; }

ExpressionSyntax spreadsheetSyntax(const std::string& xCell, const std::string& yCell, bool italian)
{
    return {xCell, yCell, italian ? ',' : '.', true, "EXP", "", italian ? ";" : ",", ""};
}

std::string literalText(double value, const ExpressionSyntax& s)
{
    std::string text = shortestText(value);
    if (s.spreadsheet) {
        std::replace(text.begin(), text.end(), 'e', 'E');
        std::replace(text.begin(), text.end(), '.', s.decimalMark);
    } else if (text.find_first_of(".en") == std::string::npos) {
        text += ".0";
    }
    return text;
}

std::string expressionText(const ExportEquation& e, const ExpressionSyntax& s)
{
    const std::string one = s.spreadsheet ? "1" : "1.0";
    switch (e.shape) {
    case EquationShape::Polynomial:
    case EquationShape::Surface: return sumText(e.terms, s);
    case EquationShape::Rational: return one + "/(" + sumText(e.terms, s) + ")";
    case EquationShape::Power: return literalText(e.a, s) + "*" + powerText(s.x, literalText(e.b, s), s);
    case EquationShape::Exponential:
        return literalText(e.a, s) + "*" + s.exp + "(" + literalText(e.b, s) + "*" + s.x + ")";
    case EquationShape::TemperatureTime:
        // Tf - e^(-M t) (Tf - Ti), the difference computed as the program computes it.
        return literalText(e.final, s) + spaced('-', s) + s.exp + "(" + literalText(-e.decay, s) + "*" + s.x + ")*(" +
               literalText(e.final, s) + spaced('-', s) + operand(e.initial, s) + ")";
    case EquationShape::Saturation: {
        const std::string exponent = literalText(e.a, s) + spaced(std::signbit(e.b) ? '-' : '+', s) +
                                     literalText(std::fabs(e.b), s) + "/" + s.x;
        return powerText(s.spreadsheet ? "10" : "10.0", exponent, s);
    }
    }
    return {};
}

} // namespace calvero
