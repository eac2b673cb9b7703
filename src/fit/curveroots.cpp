#include "fit/curveroots.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

// Samples over the interval: a pair of roots closer than a 4000th of it that
// the function does not turn between is beyond any fitted curve's shape.
constexpr int Samples = 4000;
constexpr double Epsilon = std::numeric_limits<double>::epsilon();

bool opposite(double a, double b) { return (a < 0.0 && b > 0.0) || (a > 0.0 && b < 0.0); }

// The root of f between a and b, where f changes sign, to the last bit.
double closeIn(const std::function<double(double)>& f, double a, double b, double fa, double fb)
{
    std::uintmax_t iterations = 200;
    const auto [left, right] = boost::math::tools::toms748_solve(
        f, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(std::numeric_limits<double>::digits - 1),
        iterations);
    return left + (right - left) / 2.0;
}

// Where |f| is least between a and b, f keeping the sign `sign` at the samples.
std::pair<double, double> leastMagnitude(const std::function<double(double)>& f, double a, double b, double sign)
{
    std::uintmax_t iterations = 200;
    const auto [x, value] = boost::math::tools::brent_find_minima(
        [&](double v) {
            const double fv = f(v);
            return std::isnan(fv) ? std::numeric_limits<double>::max() : sign * fv;
        },
        a, b, std::numeric_limits<double>::digits, iterations);
    return {x, sign * value};
}

} // namespace

std::vector<Root> rootsOf(const RootProblem& problem, double low, double high)
{
    std::vector<Root> roots;
    if (!(high > low)) return roots;
    const auto& f = problem.f;
    std::vector<double> xs(Samples + 1), fs(Samples + 1);
    for (int i = 0; i <= Samples; ++i) {
        xs[static_cast<std::size_t>(i)] = i == Samples ? high : low + (high - low) * i / Samples;
        fs[static_cast<std::size_t>(i)] = f(xs[static_cast<std::size_t>(i)]);
    }
    auto x = [&](int i) { return xs[static_cast<std::size_t>(i)]; };
    auto fx = [&](int i) { return fs[static_cast<std::size_t>(i)]; };
    for (int i = 0; i <= Samples; ++i) {
        if (std::isnan(fx(i))) continue;
        if (fx(i) == 0.0) {
            // Met at a sample: a touch when the neighbours keep one sign.
            const bool inside = i > 0 && i < Samples && !std::isnan(fx(i - 1)) && !std::isnan(fx(i + 1));
            roots.push_back({x(i), inside && fx(i - 1) * fx(i + 1) > 0.0});
        }
        if (i < Samples && opposite(fx(i), fx(i + 1))) roots.push_back({closeIn(f, x(i), x(i + 1), fx(i), fx(i + 1)), false});
        // A turn of f towards 0 between the neighbours, which keep its sign.
        if (i == 0 || i == Samples || std::isnan(fx(i - 1)) || std::isnan(fx(i + 1)) || fx(i) == 0.0) continue;
        const double sign = fx(i) > 0.0 ? 1.0 : -1.0;
        if (opposite(fx(i - 1), fx(i)) || opposite(fx(i), fx(i + 1))) continue;
        if (!(sign * fx(i) <= sign * fx(i - 1) && sign * fx(i) < sign * fx(i + 1))) continue;
        const auto [turn, least] = leastMagnitude(f, x(i - 1), x(i + 1), sign);
        if (std::fabs(least) <= problem.noise) {
            roots.push_back({turn, true});
        } else if (opposite(least, fx(i))) {
            roots.push_back({closeIn(f, x(i - 1), turn, fx(i - 1), least), false});
            roots.push_back({closeIn(f, turn, x(i + 1), least, fx(i + 1)), false});
        }
    }
    std::sort(roots.begin(), roots.end(), [](const Root& a, const Root& b) { return a.x < b.x; });
    // A root found twice (at a sample, and by the turn beside it) is one; a
    // tangency keeps its name over the crossings it hides.
    const double apart = std::sqrt(Epsilon) * std::max({std::fabs(low), std::fabs(high), high - low});
    std::vector<Root> distinct;
    for (const Root& r : roots) {
        if (!distinct.empty() && r.x - distinct.back().x <= apart) {
            if (r.tangent) distinct.back() = r;
            continue;
        }
        distinct.push_back(r);
    }
    return distinct;
}

std::optional<double> firstCrossing(const std::function<double(double)>& f, double from, double to)
{
    const double start = f(from);
    if (std::isnan(start) || start == 0.0) return start == 0.0 ? std::optional<double>(from) : std::nullopt;
    const int steps = Samples;
    double previousX = from, previous = start;
    for (int i = 1; i <= steps; ++i) {
        const double x = i == steps ? to : from + (to - from) * i / steps;
        const double value = f(x);
        if (std::isnan(value)) return std::nullopt;
        if (value == 0.0) return x;
        if (opposite(previous, value)) {
            const double a = std::min(previousX, x), b = std::max(previousX, x);
            const double fa = a == previousX ? previous : value, fb = a == previousX ? value : previous;
            return closeIn(f, a, b, fa, fb);
        }
        previousX = x;
        previous = value;
    }
    return std::nullopt;
}

} // namespace calvero
