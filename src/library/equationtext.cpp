#include "library/equationtext.h"

#include "fit/surface.h"

#include <charconv>
#include <cmath>
#include <type_traits>
#include <vector>

namespace calvero {

namespace {

std::string number(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// c1 + c2*t2 + ..., a negative coefficient written after a minus.
std::string sum(const std::vector<std::pair<double, std::string>>& terms)
{
    std::string text;
    for (const auto& [coefficient, term] : terms) {
        const bool negative = std::signbit(coefficient);
        if (text.empty())
            text = negative ? "-" : "";
        else
            text += negative ? " - " : " + ";
        text += number(std::fabs(coefficient)) + (term.empty() ? "" : "*" + term);
    }
    return text;
}

std::string powerOfX(int k) { return k == 0 ? "" : k == 1 ? "x" : "x^" + std::to_string(k); }

std::string polynomial(const PolynomialCoefficients& c, int degree)
{
    std::vector<std::pair<double, std::string>> terms;
    for (int k = 0; k <= degree; ++k) terms.emplace_back(c[k + 1], powerOfX(k));
    return sum(terms);
}

struct Formula {
    std::string operator()(const PowerCurve& c) const
    {
        return "y = " + number(c.parameters.a) + "*x^" + number(c.parameters.b);
    }
    std::string operator()(const PolynomialCurve& c) const { return "y = " + polynomial(c.coefficients, c.degree); }
    std::string operator()(const ExponentialCurve& c) const
    {
        return "y = " + number(c.parameters.a) + "*exp(" + number(c.parameters.b) + "*x)";
    }
    std::string operator()(const RationalCurve& c) const
    {
        return "y = 1/(" + polynomial(c.coefficients, c.degree) + ")";
    }
    std::string operator()(const TemperatureTimeCurve& c) const
    {
        return "y = " + number(c.final) + " - exp(-" + number(c.decayM) + "*x)*(" + number(c.final) + " - " +
               number(c.initial) + ")";
    }
    std::string operator()(const SaturationCurve& c) const
    {
        return "y = 10^(" + sum({{c.parameters.a, ""}, {c.parameters.b, "1/x"}}) + ")";
    }
};

} // namespace

std::string equationText(const Calculation& c)
{
    if (c.kind == FitType::SurfaceXY) {
        std::vector<std::pair<double, std::string>> terms;
        for (int k = 1; k <= surfaceTermCount(c.degree); ++k)
            terms.emplace_back(c.surface[k], k == 1 ? std::string() : std::string(surfaceTermName(k)));
        return "z = " + sum(terms);
    }
    if (!c.curve) return "nessuna equazione: solo i punti";
    return std::visit(Formula{}, *c.curve);
}

} // namespace calvero
