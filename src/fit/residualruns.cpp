#include "fit/residualruns.h"

#include <boost/math/special_functions/binomial.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace calvero {

namespace {

double choose(int n, int k)
{
    if (k < 0 || n < 0 || k > n) return 0.0;
    return boost::math::binomial_coefficient<double>(static_cast<unsigned>(n), static_cast<unsigned>(k));
}

// The arrangements of n1 and n2 signs that make exactly r runs.
double arrangementsWithRuns(int r, int n1, int n2)
{
    if (r % 2 == 0) {
        const int k = r / 2; // k runs of each sign
        return 2.0 * choose(n1 - 1, k - 1) * choose(n2 - 1, k - 1);
    }
    const int k = (r - 1) / 2; // k + 1 runs of one sign, k of the other
    return choose(n1 - 1, k) * choose(n2 - 1, k - 1) + choose(n1 - 1, k - 1) * choose(n2 - 1, k);
}

} // namespace

double fewRunsProbability(int runs, int positive, int negative)
{
    if (positive <= 0 || negative <= 0) return 1.0;
    double favourable = 0.0;
    for (int r = 2; r <= runs; ++r) favourable += arrangementsWithRuns(r, positive, negative);
    return std::min(1.0, favourable / choose(positive + negative, positive));
}

std::optional<ResidualRuns> residualRuns(const std::vector<double>& x, const std::vector<double>& r, double zero)
{
    std::vector<std::size_t> order(std::min(x.size(), r.size()));
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&x](std::size_t a, std::size_t b) { return x[a] < x[b]; });
    ResidualRuns found;
    int lastSign = 0;
    for (std::size_t i : order) {
        if (!(std::fabs(r[i]) > zero)) continue; // zero, or not a number: no sign
        const int sign = r[i] > 0 ? 1 : -1;
        ++(sign > 0 ? found.positive : found.negative);
        if (sign != lastSign) ++found.runs;
        lastSign = sign;
    }
    if (found.positive == 0 || found.negative == 0) return std::nullopt;
    found.probability = fewRunsProbability(found.runs, found.positive, found.negative);
    return found;
}

} // namespace calvero
