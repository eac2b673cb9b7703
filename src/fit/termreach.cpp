#include "fit/termreach.h"

#include "fit/surface.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

double largestMagnitude(const PointArray& v, int n)
{
    double largest = 0.0;
    for (int i = 1; i <= n; ++i) largest = std::max(largest, std::fabs(v[i]));
    return largest;
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

} // namespace calvero
