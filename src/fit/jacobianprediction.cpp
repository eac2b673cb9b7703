#include "fit/jacobianprediction.h"

#include "fit/nonlinearfit.h"
#include "fit/statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

JacobianModel jacobianModel(const NonlinearProblem& problem, std::span<const double> parameters,
                            const std::vector<bool>& atBound, double weightedSse, Weighting weighting)
{
    JacobianModel m;
    m.model = *problem.model;
    m.parameters.assign(parameters.begin(), parameters.end());
    // The estimated parameters: neither fixed nor held at a bound.
    NonlinearProblem estimatedOnly = problem;
    estimatedOnly.fixed.resize(parameters.size(), false);
    int counted = 0;
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        if (estimatedOnly.fixed[k]) continue;
        ++counted;
        if (k < atBound.size() && atBound[k]) {
            estimatedOnly.fixed[k] = true;
            m.approximate = true;
        } else {
            m.estimated.push_back(static_cast<int>(k));
        }
    }
    m.dof = problem.pointCount() - counted;
    if (m.dof > 0) m.variance = static_cast<long double>(weightedSse) / m.dof;
    m.newPointVariance = m.variance;
    if (weighting == Weighting::Column && !problem.weights.empty()) {
        // A new point of weight 1 on the weights scaled to mean 1, whatever their unit.
        long double mean = 0;
        for (double w : problem.weights) mean += w;
        mean /= static_cast<long double>(problem.weights.size());
        if (mean > 0) m.newPointVariance = m.variance / mean;
    }
    m.relativeWeights = weighting == Weighting::Relative;
    if (!m.estimated.empty()) m.inverse = jacobianFigures(estimatedOnly, parameters).inverse;
    return m;
}

namespace {

// The value at (x, y) and its gradient over every parameter, in long double.
long double valueAndGradient(const JacobianModel& m, double x, double y, std::vector<long double>& gradient)
{
    std::vector<long double> scratch, adjoints;
    const std::vector<long double> b(m.parameters.begin(), m.parameters.end());
    gradient.assign(b.size(), 0.0L);
    return m.model.valueAndGradient<long double>(b, x, y, gradient, scratch, adjoints);
}

bool finiteDouble(long double v) { return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<double>::max(); }

} // namespace

double jacobianValue(const JacobianModel& m, double x, double y)
{
    std::vector<long double> gradient;
    const long double v = valueAndGradient(m, x, y, gradient);
    return finiteDouble(v) ? static_cast<double>(v) : std::numeric_limits<double>::quiet_NaN();
}

Checked<Prediction> jacobianPrediction(const JacobianModel& m, double x, double y, const PredictionRequest& request)
{
    std::vector<long double> gradient;
    const long double value = valueAndGradient(m, x, y, gradient);
    if (!finiteDouble(value)) return failed<Prediction>(Refusal{RefusalCode::NoValueAt, {significant(x, 10)}});
    Prediction p;
    p.x = x;
    p.y = m.twoVariables ? y : 0.0;
    p.level = request.level;
    p.value = static_cast<double>(value);
    if (m.dof <= 0) {
        p.none = NoInterval::NoDegreesOfFreedom;
        return succeeded(p);
    }
    const std::size_t e = m.estimated.size();
    if (e > 0 && m.inverse.size() != e * e) {
        p.none = NoInterval::Undetermined;
        return succeeded(p);
    }
    // gᵀ (JᵀWJ)⁻¹ g over the estimated parameters.
    long double leverage = 0;
    for (std::size_t i = 0; i < e; ++i) {
        const long double gi = gradient[static_cast<std::size_t>(m.estimated[i])];
        for (std::size_t j = 0; j < e; ++j)
            leverage += gi * m.inverse[i * e + j] * gradient[static_cast<std::size_t>(m.estimated[j])];
    }
    if (!std::isfinite(leverage)) {
        p.none = NoInterval::Undetermined;
        return succeeded(p);
    }
    leverage = std::max(leverage, 0.0L);
    const long double t = studentQuantile(0.5 + request.level / 2.0, m.dof);
    const long double newWeight = m.relativeWeights ? request.weight / (value * value) : request.weight;
    const long double confidence = t * std::sqrt(m.variance * leverage);
    const long double prediction = t * std::sqrt(m.variance * leverage + m.newPointVariance / newWeight);
    p.confidence = Interval{static_cast<double>(value - confidence), static_cast<double>(value + confidence)};
    p.prediction = Interval{static_cast<double>(value - prediction), static_cast<double>(value + prediction)};
    p.approximate = p.parameterAtBound = m.approximate;
    return succeeded(p);
}

} // namespace calvero
