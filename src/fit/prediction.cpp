#include "fit/prediction.h"

#include "fit/centreddesign.h"
#include "fit/curvequestions.h"
#include "fit/equationfit.h"
#include "fit/equalityfit.h"
#include "fit/fault.h"
#include "fit/nonlinearfit.h"
#include "fit/statistics.h"
#include "fit/steering.h"
#include "fit/surface.h"
#include "fit/valuesleastsquares.h"

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {

// The fitted line's variable u of x, and its value η mapped back to y.
enum class Transform { Same, Log10, Ln, Reciprocal };

double forward(Transform t, double v)
{
    switch (t) {
    case Transform::Same: return v;
    case Transform::Log10: return v > 0.0 ? std::log10(v) : std::numeric_limits<double>::quiet_NaN();
    case Transform::Ln: return v > 0.0 ? std::log(v) : std::numeric_limits<double>::quiet_NaN();
    case Transform::Reciprocal: return v != 0.0 ? 1.0 / v : std::numeric_limits<double>::quiet_NaN();
    }
    return v;
}

double backward(Transform t, long double eta)
{
    switch (t) {
    case Transform::Same: return static_cast<double>(eta);
    case Transform::Log10: return static_cast<double>(std::pow(10.0L, eta));
    case Transform::Ln: return static_cast<double>(std::exp(eta));
    case Transform::Reciprocal: return eta != 0 ? static_cast<double>(1 / eta) : std::numeric_limits<double>::quiet_NaN();
    }
    return static_cast<double>(eta);
}

bool finite(double v) { return std::isfinite(v); }

// An interval of η mapped back to y: the ends in order; none when the
// reciprocal's interval holds 0 (the pole) or an end has no value.
std::optional<Interval> mappedBack(Transform back, long double low, long double high)
{
    if (back == Transform::Reciprocal && low <= 0 && high >= 0) return std::nullopt;
    const double a = backward(back, low), b = backward(back, high);
    if (!finite(a) || !finite(b)) return std::nullopt;
    return Interval{std::min(a, b), std::max(a, b)};
}

} // namespace

std::string noIntervalText(NoInterval why)
{
    switch (why) {
    case NoInterval::Minimax: return "nessun intervallo: il minimo errore massimo non è una stima ai minimi quadrati";
    case NoInterval::NoDegreesOfFreedom: return "nessun intervallo: n = p, nessun errore si può stimare";
    case NoInterval::Pole: return "nessun intervallo: l'intervallo di 1/y contiene 0 (il polo della curva)";
    case NoInterval::Undetermined: return "nessun intervallo: i punti non determinano l'errore dei coefficienti";
    }
    return {};
}

struct CurvePredictor::Model {
    enum class Road { None, Linear, TemperatureTime, Jacobian };
    Road road = Road::None;
    bool surface = false;
    bool equation = false;
    double lowX = 0.0, highX = 0.0, lowY = 0.0, highY = 0.0;
    std::optional<FittedCurve> curve;

    // The least-squares problem the fit solved, in its own variables.
    Transform ofX = Transform::Same;  // u of x
    Transform back = Transform::Same; // y of η
    SteeredProblem problem;
    std::unique_ptr<CentredTerms> design;
    std::optional<ConditionedDesign> conditioned;
    RealVector solution;              // η's coefficients of the unit columns
    std::vector<double> ownCoefficients; // the fit's own, where they are no least squares
    bool minimax = false;
    bool approximate = false;
    std::string boundWords;
    int dof = 0;
    long double variance = 0; // s² of the residuals, on the problem's own weights
    long double newPointVariance = 0; // s² of a new point of weight 1, on the statistics' weights
    bool relativeWeights = false; // a new point weighs 1/y², as the fitted ones

    // A typed equation, a kind fitted in y itself: from the Jacobian.
    std::optional<JacobianModel> jacobian;

    // Temperature-time: M as the mean of the points' M_i.
    double meanM = 0.0, spreadM = 0.0; // the M_i's standard deviation
    int pointCount = 0;

    long double eta(double u, double w) const
    {
        if (!ownCoefficients.empty()) return polynomialValue(ownCoefficients, problem.terms, u, w);
        return design->rowAt(u, w).dot(solution);
    }
};

namespace {

using Model = CurvePredictor::Model;

void linearRoad(Model& m, const Calculation& c)
{
    const bool transformed = c.kind == FitType::Power || c.kind == FitType::Exponential || c.kind == FitType::Saturation;
    if (transformed) {
        m.ofX = c.kind == FitType::Power ? Transform::Log10 : c.kind == FitType::Saturation ? Transform::Reciprocal
                                                                                          : Transform::Same;
        m.back = c.kind == FitType::Exponential ? Transform::Ln : Transform::Log10;
        m.problem.terms = powersOfX(1);
        for (int i = 1; i <= c.pointCount; ++i) {
            m.problem.x.push_back(checked(forward(m.ofX, c.points.x[i])));
            m.problem.v.push_back(checked(forward(m.back, c.points.y[i])));
        }
    } else {
        m.problem = steeredProblem(c.kind, c.degree, c.points, c.pointCount, c.options);
        if (c.kind == FitType::RationalPolynomial) m.back = Transform::Reciprocal;
    }
    m.minimax = c.options.minimax;
    m.approximate = c.slopeBound;
    if (c.slopeBound) m.boundWords = shapeBoundWords(c.options);
    m.design = std::make_unique<CentredTerms>(m.problem.x, m.problem.y, m.problem.terms);
    const WeightedProblem weighted{m.problem.x, m.problem.y, m.problem.v, m.problem.weights, m.problem.terms};
    Checked<ConditionedDesign> conditioned = ConditionedDesign::make(weighted, *m.design, m.problem.conditions);
    if (conditioned) m.conditioned.emplace(std::move(*conditioned));
    // The curve from its own coefficients where they are no least squares of
    // the equality conditions: the smallest largest error, a monotone curve
    // held at its bound.
    if (m.minimax || m.approximate || !m.conditioned) {
        if (c.kind == FitType::SurfaceXY) {
            m.ownCoefficients.assign(c.surface.items.begin(), c.surface.items.begin() + surfaceTermCount(c.degree));
        } else if (const auto* p = std::get_if<PolynomialCurve>(&*c.curve)) {
            m.ownCoefficients.assign(p->coefficients.items.begin(), p->coefficients.items.begin() + p->degree + 1);
        } else if (const auto* r = std::get_if<RationalCurve>(&*c.curve)) {
            m.ownCoefficients.assign(r->coefficients.items.begin(), r->coefficients.items.begin() + r->degree + 1);
        }
    } else {
        m.solution = m.conditioned->solve().centred;
    }
    const int n = static_cast<int>(m.problem.v.size());
    m.dof = n - static_cast<int>(m.problem.terms.size()) + static_cast<int>(m.problem.conditions.size());
    long double sum = 0;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const long double residual =
            m.problem.v[at] - m.eta(m.problem.x[at], m.problem.y.empty() ? 0.0 : m.problem.y[at]);
        sum += (m.problem.weights.empty() ? 1.0L : m.problem.weights[at]) * residual * residual;
    }
    if (m.dof > 0) m.variance = sum / m.dof;
    // A new point's own spread: s² over its weight, with the s the statistics
    // give a weighted fit (on the weights as they scale them), so that the
    // intervals and the statistics say the same whatever the weights' scale.
    // The curve's own spread, leverage times s², does not depend on it.
    m.newPointVariance = m.variance;
    if (c.options.weighting != Weighting::None) {
        const Statistics statistics = fitStatistics(c);
        if (statistics.standardError) m.newPointVariance = static_cast<long double>(*statistics.standardError) * *statistics.standardError;
        m.relativeWeights = c.options.weighting == Weighting::Relative;
    }
    m.road = Model::Road::Linear;
}

void temperatureTimeRoad(Model& m, const Calculation& c)
{
    const auto& curve = std::get<TemperatureTimeCurve>(*c.curve);
    m.meanM = curve.decayM;
    m.pointCount = c.pointCount;
    long double sum = 0;
    for (int i = 1; i <= c.pointCount; ++i) {
        const double theta = (c.points.y[i] - curve.final) / (curve.initial - curve.final);
        const long double own = -std::log(static_cast<long double>(theta)) / c.points.x[i];
        sum += (own - curve.decayM) * (own - curve.decayM);
    }
    m.dof = c.pointCount - 1;
    if (m.dof > 0) m.spreadM = static_cast<double>(std::sqrt(sum / m.dof));
    m.road = Model::Road::TemperatureTime;
}

} // namespace

CurvePredictor::CurvePredictor(const Calculation& c)
{
    auto m = std::make_shared<Model>();
    m->surface = c.kind == FitType::SurfaceXY;
    m->curve = c.curve;
    if (c.pointCount > 0) {
        const auto xs = c.points.x.first(c.pointCount), ys = c.points.y.first(c.pointCount);
        std::tie(m->lowX, m->highX) = std::pair(*std::min_element(xs.begin(), xs.end()), *std::max_element(xs.begin(), xs.end()));
        std::tie(m->lowY, m->highY) = std::pair(*std::min_element(ys.begin(), ys.end()), *std::max_element(ys.begin(), ys.end()));
    }
    try {
        if (c.options.leastSquaresInY && c.curve && takesLeastSquaresInY(c.kind)) {
            m->jacobian = valuesJacobianModel(*c.curve, c.points, c.pointCount);
            m->road = Model::Road::Jacobian;
        } else if (c.kind == FitType::TemperatureTime && c.curve) temperatureTimeRoad(*m, c);
        else if (m->surface || c.curve) linearRoad(*m, c);
    } catch (const ArithmeticFault&) {
        // A problem the statistics cannot take again: no intervals.
        m->road = Model::Road::None;
    }
    model_ = std::move(m);
}

CurvePredictor::CurvePredictor(const EquationFit& fit)
{
    auto m = std::make_shared<Model>();
    m->surface = fit.equation.twoVariables;
    m->equation = true;
    const auto range = [](const std::vector<double>& v) {
        if (v.empty()) return std::pair(0.0, 0.0);
        return std::pair(*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
    };
    std::tie(m->lowX, m->highX) = range(fit.points.x);
    std::tie(m->lowY, m->highY) = range(fit.points.y);
    m->jacobian = jacobianModel(problemOf(fit), fit.parameters, fit.atBound, fit.weightedSse, fit.weighting);
    m->jacobian->twoVariables = m->surface;
    m->road = Model::Road::Jacobian;
    model_ = std::move(m);
}

CurvePredictor::~CurvePredictor() = default;
CurvePredictor::CurvePredictor(const CurvePredictor&) = default;
CurvePredictor& CurvePredictor::operator=(const CurvePredictor&) = default;

bool CurvePredictor::surface() const { return model_->surface; }
bool CurvePredictor::equation() const { return model_->equation; }
const std::optional<FittedCurve>& CurvePredictor::curve() const { return model_->curve; }
double CurvePredictor::lowX() const { return model_->lowX; }
double CurvePredictor::highX() const { return model_->highX; }

bool CurvePredictor::oneVariable() const { return !model_->surface && (model_->curve || model_->jacobian); }

double CurvePredictor::valueAt(double x) const
{
    if (model_->jacobian) return jacobianValue(*model_->jacobian, x, 0.0);
    return model_->curve ? preciseValue(*model_->curve, x) : std::numeric_limits<double>::quiet_NaN();
}

Checked<Prediction> CurvePredictor::at(double x, double y, const PredictionRequest& request) const
{
    const Model& m = *model_;
    if (!(request.level > 0.0 && request.level < 1.0))
        return failed<Prediction>(Refusal{RefusalCode::InvalidQuestion, {"level"}});
    if (!(request.weight > 0.0) || !finite(request.weight))
        return failed<Prediction>(Refusal{RefusalCode::InvalidQuestion, {"weight"}});
    if (!finite(x) || !finite(y)) return failed<Prediction>(Refusal{RefusalCode::InvalidQuestion, {"x"}});
    const Refusal noValue{RefusalCode::NoValueAt, {significant(x, 10)}};
    if (m.road == Model::Road::None && !m.curve) return failed<Prediction>(refusalOf(RefusalCode::NoCurve));

    const bool extrapolated = x < m.lowX || x > m.highX || (m.surface && (y < m.lowY || y > m.highY));
    if (m.road == Model::Road::Jacobian) {
        Checked<Prediction> p = jacobianPrediction(*m.jacobian, x, y, request);
        if (p) p->extrapolated = extrapolated;
        return p;
    }
    Prediction p;
    p.x = x;
    p.y = m.surface ? y : 0.0;
    p.level = request.level;
    p.extrapolated = extrapolated;
    const double t = m.dof > 0 ? studentQuantile(0.5 + request.level / 2.0, m.dof) : 0.0;

    if (m.road == Model::Road::TemperatureTime) {
        const auto& curve = std::get<TemperatureTimeCurve>(*m.curve);
        auto at = [&](double decay) { return curve.final - std::exp(-decay * x) * (curve.final - curve.initial); };
        p.value = at(curve.decayM);
        if (!finite(p.value)) return failed<Prediction>(noValue);
        if (m.dof <= 0) {
            p.none = NoInterval::NoDegreesOfFreedom;
            return succeeded(p);
        }
        auto through = [&](double half) {
            const double a = at(m.meanM - half), b = at(m.meanM + half);
            return Interval{std::min(a, b), std::max(a, b)};
        };
        p.confidence = through(t * m.spreadM / std::sqrt(static_cast<double>(m.pointCount)));
        p.prediction = through(t * m.spreadM * std::sqrt(1.0 + 1.0 / m.pointCount));
        return succeeded(p);
    }
    if (m.road == Model::Road::None) {
        const std::optional<double> value = curveValue(*m.curve, x);
        if (!value) return failed<Prediction>(noValue);
        p.value = *value;
        p.none = NoInterval::Undetermined;
        return succeeded(p);
    }

    const double u = forward(m.ofX, x);
    if (!finite(u)) return failed<Prediction>(noValue);
    long double eta = 0;
    try {
        eta = m.eta(u, p.y);
    } catch (const ArithmeticFault&) {
        return failed<Prediction>(noValue);
    }
    p.value = backward(m.back, eta);
    if (!finite(p.value)) return failed<Prediction>(noValue);
    if (m.minimax) {
        p.none = NoInterval::Minimax;
        return succeeded(p);
    }
    if (m.dof <= 0) {
        p.none = NoInterval::NoDegreesOfFreedom;
        return succeeded(p);
    }
    if (!m.conditioned) {
        p.none = NoInterval::Undetermined;
        return succeeded(p);
    }
    p.approximate = m.approximate;
    p.boundWords = m.boundWords;
    const long double leverage = m.conditioned->leverage(m.design->rowAt(u, p.y));
    const long double confidence = t * std::sqrt(m.variance * leverage);
    // Under relative weights a new point weighs 1/y² as the fitted points do,
    // times the weight asked: its error is relative too.
    const long double newWeight = m.relativeWeights ? request.weight / (eta * eta) : request.weight;
    const long double prediction = t * std::sqrt(m.variance * leverage + m.newPointVariance / newWeight);
    p.confidence = mappedBack(m.back, eta - confidence, eta + confidence);
    p.prediction = mappedBack(m.back, eta - prediction, eta + prediction);
    if (!p.confidence || !p.prediction) p.none = NoInterval::Pole;
    return succeeded(p);
}

} // namespace calvero
