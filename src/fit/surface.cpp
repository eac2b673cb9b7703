#include "fit/surface.h"

#include "fit/fault.h"
#include "fit/kernel.h"
#include "fit/leastsquares.h"

#include <cmath>
#include <vector>

namespace calvero {

int surfaceTermCount(int degree)
{
    switch (degree) {
    case 1: return 3;
    case 2: return 6;
    case 3: return 10;
    case 4: return 15;
    default: return 0;
    }
}

namespace {

// Each power written out as repeated multiplication, in the order of the list.
long double term(int k, long double x, long double y)
{
    switch (k) {
    case 1: return 1.0L;
    case 2: return x;
    case 3: return y;
    case 4: return x * x;
    case 5: return y * y;
    case 6: return x * y;
    case 7: return x * x * x;
    case 8: return y * y * y;
    case 9: return x * y * y;
    case 10: return x * x * y;
    case 11: return x * x * x * x;
    case 12: return y * y * y * y;
    case 13: return x * y * y * y;
    case 14: return x * x * y * y;
    case 15: return x * x * x * y;
    default: return 0.0L;
    }
}

long double norm(const std::vector<long double>& v)
{
    long double sum = 0;
    for (long double c : v) sum += c * c;
    return std::sqrt(sum);
}

} // namespace

double surfaceTerm(int k, double x, double y) { return roundToDouble(term(k, x, y)); }

const char* surfaceTermName(int k)
{
    static const char* const names[] = {"1",   "x",     "y",     "x^2",     "y^2",
                                        "x*y", "x^3",   "y^3",   "x*y^2",   "x^2*y",
                                        "x^4", "y^4",   "x*y^3", "x^2*y^2", "x^3*y"};
    return k >= 1 && k <= 15 ? names[k - 1] : "";
}

bool surfaceTermsDetermined(const PointArray& x, const PointArray& y, int n, int g)
{
    // Gram-Schmidt over the terms' columns of values at the points: a column
    // that loses nearly all its length to the ones before it adds nothing.
    const int N = surfaceTermCount(g);
    std::vector<std::vector<long double>> basis;
    for (int k = 1; k <= N; ++k) {
        std::vector<long double> column(static_cast<std::size_t>(n));
        for (int i = 1; i <= n; ++i) column[static_cast<std::size_t>(i - 1)] = term(k, x[i], y[i]);
        const long double length = norm(column);
        if (!(length > 0)) return false;
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& unit : basis) {
                long double along = 0;
                for (std::size_t i = 0; i < column.size(); ++i) along += column[i] * unit[i];
                for (std::size_t i = 0; i < column.size(); ++i) column[i] -= along * unit[i];
            }
        const long double left = norm(column);
        if (!(left > 1e-9L * length)) return false;
        for (long double& c : column) c /= left;
        basis.push_back(std::move(column));
    }
    return true;
}

std::vector<Monomial> surfaceMonomials(int degree)
{
    static const Monomial powers[] = {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {0, 2}, {1, 1}, {3, 0}, {0, 3},
                                      {1, 2}, {2, 1}, {4, 0}, {0, 4}, {1, 3}, {2, 2}, {3, 1}};
    return std::vector<Monomial>(powers, powers + surfaceTermCount(degree));
}

SurfaceCoefficients fitSurface(const SurfacePoints& points, int n, int g, DesignConditioning* conditioning)
{
    SurfaceCoefficients K{};
    const std::vector<Monomial> terms = surfaceMonomials(g);
    if (terms.empty()) return K;
    std::vector<double> x, y, z;
    for (int i = 1; i <= n; ++i) {
        x.push_back(points[i].x);
        y.push_back(points[i].y);
        z.push_back(points[i].z);
    }
    LeastSquaresFit fitted;
    if (conditioning)
        fitted = fitLeastSquaresWithConditioning(x, y, z, terms);
    else
        fitted.coefficients = fitLeastSquares(x, y, z, terms);
    for (std::size_t k = 0; k < terms.size(); ++k) K[static_cast<int>(k) + 1] = fitted.coefficients[k];
    if (conditioning) *conditioning = std::move(fitted.conditioning);
    return K;
}

double evaluateSurface(const SurfaceCoefficients& K, double x, double y, int g)
{
    const int N = surfaceTermCount(g);
    long double sum = 0.0L;
    for (int k = 1; k <= N; ++k) sum += static_cast<long double>(K[k]) * term(k, x, y);
    return roundToDouble(sum);
}

std::optional<double> surfaceValue(const SurfaceCoefficients& K, double x, double y, int g)
{
    try {
        return evaluateSurface(K, x, y, g);
    } catch (const ArithmeticFault&) {
        return std::nullopt;
    }
}

} // namespace calvero
