#include "fit/slopecheck.h"

#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

long double slopeAt(const std::vector<long double>& a, long double t)
{
    long double slope = 0;
    for (std::size_t j = a.size(); j-- > 1;) slope = slope * t + static_cast<long double>(j) * a[j];
    return slope;
}

// The points where sign · p' may be lowest: the ends and the real parts of
// the roots of p'' inside. A root that the eigenvalues give with a small
// imaginary part (a double root) is still looked at; the others only add
// a harmless look.
std::vector<long double> candidates(const std::vector<long double>& a)
{
    std::vector<long double> at{-1.0L, 1.0L};
    std::vector<double> curvature; // p''(t) = Σ j (j-1) a_j t^(j-2)
    for (std::size_t j = 2; j < a.size(); ++j) curvature.push_back(static_cast<double>(j * (j - 1) * a[j]));
    double largest = 0.0;
    for (double c : curvature) largest = std::max(largest, std::fabs(c));
    while (!curvature.empty() && std::fabs(curvature.back()) <= 1e-14 * largest) curvature.pop_back();
    const auto degree = static_cast<Eigen::Index>(curvature.size()) - 1;
    if (degree < 1) return at;
    Eigen::MatrixXd companion = Eigen::MatrixXd::Zero(degree, degree);
    for (Eigen::Index i = 1; i < degree; ++i) companion(i, i - 1) = 1.0;
    for (Eigen::Index i = 0; i < degree; ++i)
        companion(i, degree - 1) = -curvature[static_cast<std::size_t>(i)] / curvature.back();
    const Eigen::VectorXcd roots = Eigen::EigenSolver<Eigen::MatrixXd>(companion, false).eigenvalues();
    for (const auto& root : roots)
        if (std::isfinite(root.real()) && root.real() > -1.0 && root.real() < 1.0) at.push_back(root.real());
    return at;
}

} // namespace

std::vector<double> wrongWaySlopes(const std::vector<long double>& coefficients, int sign)
{
    std::vector<double> wrong;
    for (long double t : candidates(coefficients))
        if (sign * slopeAt(coefficients, t) < 0) wrong.push_back(static_cast<double>(t));
    std::sort(wrong.begin(), wrong.end());
    return wrong;
}

long double wrongWayFall(const std::vector<long double>& coefficients, int sign)
{
    const std::vector<long double> curvature = derivativeOf(derivativeOf(coefficients)); // its slopeAt is p'''
    long double fall = 0;
    for (long double t : candidates(coefficients)) {
        const long double m = sign * slopeAt(coefficients, t);
        if (m >= 0) continue;
        const long double k = sign * slopeAt(curvature, t);
        if (t <= -1.0L || t >= 1.0L || !(k > 0)) return std::numeric_limits<long double>::infinity();
        fall = std::max(fall, 2.0L / 3.0L * -m * 2.0L * std::sqrt(-2.0L * m / k));
    }
    return fall;
}

std::vector<long double> derivativeOf(const std::vector<long double>& coefficients)
{
    std::vector<long double> slope;
    for (std::size_t j = 1; j < coefficients.size(); ++j) slope.push_back(static_cast<long double>(j) * coefficients[j]);
    return slope;
}

long double lowestSlope(const std::vector<long double>& coefficients, int sign)
{
    long double lowest = sign * slopeAt(coefficients, -1.0L);
    for (long double t : candidates(coefficients)) lowest = std::min(lowest, sign * slopeAt(coefficients, t));
    return lowest;
}

} // namespace calvero
