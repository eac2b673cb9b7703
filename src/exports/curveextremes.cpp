#include "exports/curveextremes.h"

#include "fit/surface.h"
#include "exports/exportequation.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/Polynomials>

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

// The x in (low, high) where the polynomial Σ c[k] x^k has a vanishing
// derivative, from the roots of the derivative (Eigen's companion-matrix
// solver); near-real roots are kept too, as a candidate more costs nothing.
std::vector<double> stationaryPoints(const std::vector<double>& c, double low, double high)
{
    std::vector<double> derivative;
    for (std::size_t k = 1; k < c.size(); ++k) derivative.push_back(static_cast<double>(k) * c[k]);
    while (!derivative.empty() && derivative.back() == 0.0) derivative.pop_back();
    if (derivative.size() < 2) return {};
    const Eigen::Map<const Eigen::VectorXd> polynomial(derivative.data(), static_cast<Eigen::Index>(derivative.size()));
    Eigen::PolynomialSolver<double, Eigen::Dynamic> solver;
    solver.compute(polynomial);
    std::vector<double> found;
    for (const std::complex<double>& root : solver.roots()) {
        const double x = root.real();
        if (std::fabs(root.imag()) <= 1e-6 * (1.0 + std::fabs(x)) && x > low && x < high) found.push_back(x);
    }
    return found;
}

// The powers of one variable when the other is held: Σ K x^a y^b at x = held
// as a polynomial in y (alongX false), or at y = held as one in x.
std::vector<double> edgePolynomial(const ExportEquation& e, double held, bool alongX)
{
    std::vector<double> c(5, 0.0);
    for (const ExportTerm& t : e.terms) {
        const int free = alongX ? t.powers.xPower : t.powers.yPower;
        const int fixed = alongX ? t.powers.yPower : t.powers.xPower;
        c[static_cast<std::size_t>(free)] += t.coefficient * std::pow(held, fixed);
    }
    return c;
}

// Where the gradient of the surface vanishes inside the rectangle: Newton's
// method on the gradient from a 7 x 7 grid of starts (a surface of degree 3
// has at most four such points).
std::vector<std::pair<double, double>> interiorStationaryPoints(const ExportEquation& e, const Envelope& r)
{
    const auto derivatives = [&](double x, double y, Eigen::Vector2d& g, Eigen::Matrix2d& h) {
        g.setZero();
        h.setZero();
        for (const ExportTerm& t : e.terms) {
            const int a = t.powers.xPower, b = t.powers.yPower;
            const double k = t.coefficient;
            const auto p = [](double v, int n) { return n < 0 ? 0.0 : std::pow(v, n); };
            g(0) += k * a * p(x, a - 1) * p(y, b);
            g(1) += k * b * p(x, a) * p(y, b - 1);
            h(0, 0) += k * a * (a - 1) * p(x, a - 2) * p(y, b);
            h(1, 1) += k * b * (b - 1) * p(x, a) * p(y, b - 2);
            h(0, 1) += k * a * b * p(x, a - 1) * p(y, b - 1);
        }
        h(1, 0) = h(0, 1);
    };
    std::vector<std::pair<double, double>> found;
    constexpr int Starts = 7;
    for (int i = 1; i <= Starts; ++i)
        for (int j = 1; j <= Starts; ++j) {
            Eigen::Vector2d at(r.xMin + (r.xMax - r.xMin) * i / (Starts + 1), r.yMin + (r.yMax - r.yMin) * j / (Starts + 1));
            for (int step = 0; step < 60; ++step) {
                Eigen::Vector2d g;
                Eigen::Matrix2d h;
                derivatives(at(0), at(1), g, h);
                const Eigen::Vector2d move = h.fullPivLu().solve(-g);
                if (!move.allFinite()) break;
                at += move;
                // Converged (the value is then exact to the square of the step), or gone far outside.
                if (std::fabs(move(0)) <= 1e-12 * r.xScale() && std::fabs(move(1)) <= 1e-12 * r.yScale()) break;
                if (std::fabs(at(0) - (r.xMin + r.xMax) / 2) > 2 * r.xScale() ||
                    std::fabs(at(1) - (r.yMin + r.yMax) / 2) > 2 * r.yScale())
                    break;
            }
            if (at(0) > r.xMin && at(0) < r.xMax && at(1) > r.yMin && at(1) < r.yMax) found.emplace_back(at(0), at(1));
        }
    return found;
}

struct Extremes {
    ValueRange range{INFINITY, -INFINITY};
    bool complete = true; // every value looked at exists
    void take(std::optional<double> v)
    {
        if (!v) {
            complete = false;
            return;
        }
        range.lowest = std::min(range.lowest, *v);
        range.highest = std::max(range.highest, *v);
    }
    std::optional<ValueRange> found() const
    {
        if (!complete) return std::nullopt;
        return range;
    }
};

std::optional<ValueRange> surfaceRange(const Calculation& c, const ExportEquation& e, const Envelope& r)
{
    Extremes found;
    const auto value = [&](double x, double y) { found.take(surfaceValue(c.surface, x, y, c.degree)); };
    for (int i = 1; i <= c.pointCount; ++i) value(c.points.x[i], c.points.y[i]);
    for (double x : {r.xMin, r.xMax}) {
        for (double y : {r.yMin, r.yMax}) value(x, y);
        for (double y : stationaryPoints(edgePolynomial(e, x, false), r.yMin, r.yMax)) value(x, y);
    }
    for (double y : {r.yMin, r.yMax})
        for (double x : stationaryPoints(edgePolynomial(e, y, true), r.xMin, r.xMax)) value(x, y);
    for (const auto& [x, y] : interiorStationaryPoints(e, r)) value(x, y);
    return found.found();
}

} // namespace

std::optional<ValueRange> curveValueRange(const Calculation& c, const Envelope& r)
{
    const std::optional<ExportEquation> e = exportEquation(c);
    if (e && e->twoVariables()) return surfaceRange(c, *e, r);
    Extremes found;
    if (!c.curve) return found.range;
    const auto value = [&](double x) { found.take(curveValue(*c.curve, x)); };
    value(r.xMin);
    value(r.xMax);
    for (int i = 1; i <= c.pointCount; ++i) value(c.points.x[i]);
    if (e && e->shape == EquationShape::Polynomial) {
        std::vector<double> coefficients;
        for (const ExportTerm& t : e->terms) coefficients.push_back(t.coefficient);
        for (double x : stationaryPoints(coefficients, r.xMin, r.xMax)) value(x);
    }
    return found.found();
}

} // namespace calvero
