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

// Beyond this many signs the binomials outgrow a double (C(1030, 515) is
// about 1e308): the distribution is summed from their logarithms.
constexpr int MostSignsInDoubles = 1000;

// log C(n, k), from the logarithm of the gamma function.
double logChoose(int n, int k) { return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0); }

// log C(n, k) for k = 0, 1, ..., upTo (at most n), each from the one before:
// C(n, k) = C(n, k - 1) (n - k + 1) / k. The steps are added with their
// rounding errors carried (Kahan), so that over fifty thousand of them the
// logarithm stays within about 1e-11 instead of drifting by 1e-7.
std::vector<double> logBinomials(int n, int upTo)
{
    std::vector<double> logs(static_cast<std::size_t>(std::max(upTo, -1) + 1));
    double sum = 0.0, carried = 0.0;
    for (int k = 1; k <= upTo; ++k) {
        const double step = std::log1p((n - 2.0 * k + 1.0) / k) - carried;
        const double next = sum + step;
        carried = (next - sum) - step;
        sum = next;
        logs[static_cast<std::size_t>(k)] = sum;
    }
    return logs;
}

// The probability of at most runs runs, summed in logarithms: each term
// carries a relative error of about 1e-12, far below what a P value needs.
double fewRunsProbabilityOfLogs(int runs, int positive, int negative)
{
    const int n1 = positive - 1, n2 = negative - 1;
    const int most = runs / 2 + 1; // no term asks for k beyond this
    const std::vector<double> first = logBinomials(n1, std::min(most, n1)), second = logBinomials(n2, std::min(most, n2));
    const auto logOf = [](const std::vector<double>& logs, int k) {
        return k < 0 || k >= static_cast<int>(logs.size()) ? -INFINITY : logs[static_cast<std::size_t>(k)];
    };
    std::vector<double> logs;
    logs.reserve(static_cast<std::size_t>(std::max(runs - 1, 0)));
    for (int r = 2; r <= runs; ++r) {
        double term;
        if (r % 2 == 0) {
            const int k = r / 2; // k runs of each sign
            term = std::log(2.0) + logOf(first, k - 1) + logOf(second, k - 1);
        } else {
            const int k = (r - 1) / 2; // k + 1 runs of one sign, k of the other
            const double a = logOf(first, k) + logOf(second, k - 1), b = logOf(first, k - 1) + logOf(second, k);
            const double top = std::max(a, b);
            term = top == -INFINITY ? top : top + std::log(std::exp(a - top) + std::exp(b - top));
        }
        if (term > -INFINITY) logs.push_back(term);
    }
    if (logs.empty()) return 0.0;
    const double top = *std::max_element(logs.begin(), logs.end());
    double sum = 0.0;
    for (double term : logs) sum += std::exp(term - top);
    return std::min(1.0, std::exp(top + std::log(sum) - logChoose(positive + negative, positive)));
}

} // namespace

double fewRunsProbability(int runs, int positive, int negative)
{
    if (positive <= 0 || negative <= 0) return 1.0;
    if (positive + negative > MostSignsInDoubles) return fewRunsProbabilityOfLogs(runs, positive, negative);
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
