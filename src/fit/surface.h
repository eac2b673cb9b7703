#pragma once
// The surface polynomial Z = F(x, y) of total degree 1 to 4 over the fixed
// term list 1, x, y, x², y², xy, x³, y³, xy², x²y, x⁴, y⁴, xy³, x²y², x³y.
#include "fit/leastsquares.h"
#include "fit/onebased.h"

#include <optional>
#include <vector>

namespace calvero {

// The surface's points that the window's grid and a data set file may hold.
constexpr int MaxSurfacePoints = 100;

struct SurfacePoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};
using SurfacePoints = OneBasedList<SurfacePoint>;
using SurfaceCoefficients = OneBasedArray<double, 15>;

// Number of terms of degree g: 3, 6, 10 or 15 (0 outside 1 to 4).
int surfaceTermCount(int degree);

// The value of term k (1..15) at (x, y).
double surfaceTerm(int k, double x, double y);

// The term's name as written in formulas: "1", "x", "y", "x^2", ...
const char* surfaceTermName(int k);

// True when the points (x[i], y[i]), i = 1..n, tell every term of degree g
// apart; false when some term is a combination of the others there (all
// points on one line, or on too few distinct x or y), so that infinitely
// many surfaces fit them equally well.
bool surfaceTermsDetermined(const PointArray& x, const PointArray& y, int n, int g);

// The terms of degree g as powers of x and y, in the order of the list.
std::vector<Monomial> surfaceMonomials(int degree);

// Least squares over the first surfaceTermCount(g) terms: K[1..N], the rest
// 0; and, when asked for, the conditioning of its design.
SurfaceCoefficients fitSurface(const SurfacePoints& points, int n, int g, DesignConditioning* conditioning = nullptr);

// Σ K[k] φk(x, y), k = 1..N, summed at extended precision.
double evaluateSurface(const SurfaceCoefficients& K, double x, double y, int g);

// The same, or nothing where it raises an arithmetic fault.
std::optional<double> surfaceValue(const SurfaceCoefficients& K, double x, double y, int g);

} // namespace calvero
