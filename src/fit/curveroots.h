#pragma once
// Every root of a smooth function of one variable over an interval: the x
// for a given y, the operating point, the ratio for a duty point. The
// function is sampled finely; a change of sign is closed in on by TOMS 748
// to the last bit the function's evaluation allows, and every turn of the
// function between samples is found by Brent's minimisation: a turn that
// touches 0 within the evaluation's noise is one root (a tangency, placed to
// about the square root of the machine epsilon, as well as such a root can
// be), a turn across 0 two roots closer than the samples.
#include <functional>
#include <optional>
#include <vector>

namespace calvero {

struct Root {
    double x = 0.0;
    bool tangent = false; // the function touches 0 there without crossing it
};

// A function and how far from 0 its evaluation may stray by rounding alone
// (an absolute figure): a turn within that of 0 is a tangency. NaN where the
// function has no value.
struct RootProblem {
    std::function<double(double)> f;
    double noise = 0.0;
};

// The roots in [low, high], in increasing order.
std::vector<Root> rootsOf(const RootProblem& problem, double low, double high);

// The first place from `from` towards `to` where f changes sign (f(from)
// being of one sign), closed in on; nothing when it does not before `to`.
std::optional<double> firstCrossing(const std::function<double(double)>& f, double from, double to);

} // namespace calvero
