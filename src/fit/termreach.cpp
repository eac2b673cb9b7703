#include "fit/termreach.h"

#include "fit/surface.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>
#include <variant>

namespace calvero {

namespace {

double largestMagnitude(const PointArray& v, int n)
{
    double largest = 0.0;
    for (int i = 1; i <= n; ++i) largest = std::max(largest, std::fabs(v[i]));
    return largest;
}

// The largest |change(x)| over the points; infinite when a change is not finite.
template <typename Change>
double largestChange(const PointArray& x, int n, Change change)
{
    double largest = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double c = std::fabs(change(x[i]));
        if (!std::isfinite(c)) return std::numeric_limits<double>::infinity();
        largest = std::max(largest, c);
    }
    return largest;
}

PointArray reciprocals(const PointArray& y, int n)
{
    PointArray v{};
    for (int i = 1; i <= n; ++i) v[i] = y[i] != 0.0 ? 1.0 / y[i] : 0.0;
    return v;
}

} // namespace

std::vector<TermReach> polynomialTermReaches(const PointArray& x, const PointArray& v, int n, int degree)
{
    const double scale = largestMagnitude(v, n);
    const double widest = largestMagnitude(x, n);
    std::vector<TermReach> reaches;
    for (int k = 0; k <= degree; ++k) reaches.push_back({std::pow(widest, k), scale});
    return reaches;
}

std::vector<TermReach> surfaceTermReaches(const PointArray& x, const PointArray& y, const PointArray& z, int n,
                                          int degree)
{
    const double scale = largestMagnitude(z, n);
    std::vector<TermReach> reaches;
    for (int k = 1; k <= surfaceTermCount(degree); ++k) {
        double reach = 0.0;
        for (int i = 1; i <= n; ++i) reach = std::max(reach, std::fabs(surfaceTerm(k, x[i], y[i])));
        reaches.push_back({reach, scale});
    }
    return reaches;
}

std::vector<TermReach> curveTermReaches(const FittedCurve& curve, const PointArray& x, const PointArray& y, int n)
{
    const double scale = largestMagnitude(y, n);
    return std::visit(
        [&](const auto& c) -> std::vector<TermReach> {
            using Curve = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<Curve, PolynomialCurve>) {
                return polynomialTermReaches(x, y, n, c.degree);
            } else if constexpr (std::is_same_v<Curve, RationalCurve>) {
                return polynomialTermReaches(x, reciprocals(y, n), n, c.degree);
            } else if constexpr (std::is_same_v<Curve, TemperatureTimeCurve>) {
                // dT/dM = (Tf - Ti) t e^(-M t)
                const double jump = c.final - c.initial;
                return {{largestChange(x, n, [&](double t) { return jump * t * std::exp(-c.decayM * t); }), scale}};
            } else {
                const double a = c.parameters.a, b = c.parameters.b;
                if constexpr (std::is_same_v<Curve, PowerCurve>) { // y = A x^B
                    return {{largestChange(x, n, [&](double v) { return std::pow(v, b); }), scale},
                            {largestChange(x, n, [&](double v) { return a * std::pow(v, b) * std::log(v); }), scale}};
                } else if constexpr (std::is_same_v<Curve, ExponentialCurve>) { // y = A e^(B x)
                    return {{largestChange(x, n, [&](double v) { return std::exp(b * v); }), scale},
                            {largestChange(x, n, [&](double v) { return a * v * std::exp(b * v); }), scale}};
                } else { // log10 p = A + B / T: a unit of A moves p by p ln 10, of B by p ln 10 / T
                    auto p = [&](double t) { return std::pow(10.0, a + b / t) * std::log(10.0); };
                    return {{largestChange(x, n, p), scale},
                            {largestChange(x, n, [&](double t) { return p(t) / t; }), scale}};
                }
            }
        },
        curve);
}

TermReach timeConstantReach(const TemperatureTimeCurve& c, const PointArray& x, const PointArray& y, int n)
{
    // T = Tf - (Tf - Ti) e^(-t / tau): dT/dtau = -(Tf - Ti) t e^(-t / tau) / tau²
    const double tau = 1.0 / c.decayM;
    const double jump = c.final - c.initial;
    return {largestChange(x, n, [&](double t) { return jump * t * std::exp(-t / tau) / (tau * tau); }),
            largestMagnitude(y, n)};
}

} // namespace calvero
