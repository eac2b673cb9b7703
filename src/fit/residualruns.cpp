#include "fit/residualruns.h"

#include <boost/math/special_functions/binomial.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace calvero {

namespace {

double choose(int n, int k)
{
    if (k < 0 || n < 0 || k > n) return 0.0;
    // Boost's own arithmetic on Boost's factorials, which it copies out of a
    // table of long doubles at every call; kept here once, the same bit for bit.
    constexpr int TableEnd = boost::math::max_factorial<double>::value;
    static const std::array<double, TableEnd + 1> factorials = [] {
        std::array<double, TableEnd + 1> table{};
        for (unsigned i = 0; i <= TableEnd; ++i) table[i] = boost::math::unchecked_factorial<double>(i);
        return table;
    }();
    if (n > TableEnd) {
        // Beyond the table Boost goes through the beta function, which costs
        // as much as the rest of a small fit's statistics and misses the exact
        // value by up to two units of the last place; the product in long
        // double is exact to within one (checked against exact integers).
        const int fewer = std::min(k, n - k);
        long double product = 1;
        for (int i = 1; i <= fewer; ++i) product = product * (n - fewer + i) / i;
        return static_cast<double>(product);
    }
    if (k == 0 || k == n) return 1.0;
    if (k == 1 || k == n - 1) return n;
    double result = factorials[static_cast<std::size_t>(n)];
    result /= factorials[static_cast<std::size_t>(n - k)];
    result /= factorials[static_cast<std::size_t>(k)];
    return std::ceil(result - 0.5f);
}

// The binomials C(n, k) of one n, each taken from Boost once: the
// distribution of the runs asks for the same ones many times over.
class Binomials {
public:
    explicit Binomials(int n) : n_(n) {}
    double operator()(int k)
    {
        if (k < 0 || n_ < 0 || k > n_) return 0.0;
        while (static_cast<int>(known_.size()) <= k) known_.push_back(choose(n_, static_cast<int>(known_.size())));
        return known_[static_cast<std::size_t>(k)];
    }

private:
    int n_;
    std::vector<double> known_;
};

// The arrangements of n1 and n2 signs that make exactly r runs, from the
// binomials of n1 - 1 and n2 - 1.
double arrangementsWithRuns(int r, Binomials& first, Binomials& second)
{
    if (r % 2 == 0) {
        const int k = r / 2; // k runs of each sign
        return 2.0 * first(k - 1) * second(k - 1);
    }
    const int k = (r - 1) / 2; // k + 1 runs of one sign, k of the other
    return first(k) * second(k - 1) + first(k - 1) * second(k);
}

} // namespace

double fewRunsProbability(int runs, int positive, int negative)
{
    if (positive <= 0 || negative <= 0) return 1.0;
    Binomials first(positive - 1), second(negative - 1);
    double favourable = 0.0;
    for (int r = 2; r <= runs; ++r) favourable += arrangementsWithRuns(r, first, second);
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
