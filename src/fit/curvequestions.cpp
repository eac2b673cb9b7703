#include "fit/curvequestions.h"

#include "fit/curveroots.h"
#include "fit/fault.h"
#include "fit/statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// How far rounding alone may take a sum of values of about this size from 0.
double noiseOf(double magnitude) { return 64.0 * std::numeric_limits<double>::epsilon() * magnitude; }

// The largest |f| over the interval, from a few samples.
double magnitudeOver(const std::function<double(double)>& f, double low, double high)
{
    double largest = 0.0;
    for (int i = 0; i <= 64; ++i) {
        const double v = f(low + (high - low) * i / 64);
        if (std::isfinite(v)) largest = std::max(largest, std::fabs(v));
    }
    return largest;
}

std::optional<Refusal> oneVariableRefusal(const CurvePredictor& p)
{
    if (p.surface()) return Refusal{RefusalCode::QuestionNotForKind, {p.equation() ? "surfaceEquation" : "surface"}};
    if (!p.oneVariable()) return refusalOf(RefusalCode::NoCurve);
    return std::nullopt;
}

// The band's ends less the target at x: where both keep their signs, the
// band holds the target.
struct BandEdges {
    const CurvePredictor& predictor;
    PredictionRequest request;
    std::function<double(double)> target;

    double edge(double x, bool upper) const
    {
        const Checked<Prediction> p = predictor.at(x, 0.0, request);
        if (!p || !p->confidence) return NaN;
        return (upper ? p->confidence->high : p->confidence->low) - target(x);
    }
};

// The interval of x around the place whose confidence band holds the target.
void bandInterval(CurvePlace& place, const BandEdges& band, double low, double high)
{
    const Checked<Prediction> here = band.predictor.at(place.x, 0.0, band.request);
    if (!here || !here->confidence) return;
    auto side = [&](double to) -> std::optional<double> {
        const std::optional<double> lower = firstCrossing([&](double x) { return band.edge(x, false); }, place.x, to);
        const std::optional<double> upper = firstCrossing([&](double x) { return band.edge(x, true); }, place.x, to);
        if (!lower) return upper;
        if (!upper) return lower;
        return std::fabs(*lower - place.x) < std::fabs(*upper - place.x) ? lower : upper;
    };
    place.xLow = side(low);
    place.xHigh = side(high);
}

struct Range {
    double low, high;
};

Range questionRange(const CurvePredictor& predictor)
{
    const double width = predictor.highX() - predictor.lowX();
    return {predictor.lowX() - QuestionReach * width, predictor.highX() + QuestionReach * width};
}

} // namespace

double preciseValue(const FittedCurve& curve, double x)
{
    try {
        if (const auto* p = std::get_if<PolynomialCurve>(&curve))
            return polynomialValue(std::span(p->coefficients.items).first(static_cast<std::size_t>(p->degree) + 1),
                                   powersOfX(p->degree), x);
        if (const auto* r = std::get_if<RationalCurve>(&curve))
            return divide(1.0, polynomialValue(std::span(r->coefficients.items).first(static_cast<std::size_t>(r->degree) + 1),
                                               powersOfX(r->degree), x));
    } catch (const ArithmeticFault&) {
        return NaN;
    }
    return curveValue(curve, x).value_or(NaN);
}

Checked<std::vector<CurvePlace>> solveForY(const CurvePredictor& predictor, double y, double level)
{
    if (auto refusal = oneVariableRefusal(predictor)) return failed<std::vector<CurvePlace>>(*refusal);
    if (!std::isfinite(y)) return failed<std::vector<CurvePlace>>(Refusal{RefusalCode::InvalidQuestion, {"y"}});
    const Range range = questionRange(predictor);
    const auto f = [&](double x) { return predictor.valueAt(x) - y; };
    const double noise = noiseOf(std::max(std::fabs(y), magnitudeOver([&](double x) { return predictor.valueAt(x); },
                                                                      range.low, range.high)));
    std::vector<CurvePlace> places;
    const BandEdges band{predictor, {level, 1.0}, [y](double) { return y; }};
    for (const Root& root : rootsOf({f, noise}, range.low, range.high)) {
        CurvePlace place;
        place.x = root.x;
        place.y = y;
        place.extrapolated = root.x < predictor.lowX() || root.x > predictor.highX();
        place.tangent = root.tangent;
        bandInterval(place, band, range.low, range.high);
        places.push_back(place);
    }
    if (places.empty()) return failed<std::vector<CurvePlace>>(Refusal{RefusalCode::NoXForY, {significant(y, 10)}});
    return succeeded(std::move(places));
}

double SystemCurve::at(double q) const { return p0 + k * std::pow(q, n); }

std::optional<SystemCurve> systemThrough(double q, double dp, double p0, double n)
{
    const double qn = std::pow(q, n);
    if (!std::isfinite(qn) || qn == 0.0 || !std::isfinite(dp) || !std::isfinite(p0) || !(n > 0.0)) return std::nullopt;
    return SystemCurve{(dp - p0) / qn, p0, n};
}

Checked<std::vector<CurvePlace>> operatingPoints(const CurvePredictor& predictor, const SystemCurve& system,
                                                 double level)
{
    if (auto refusal = oneVariableRefusal(predictor)) return failed<std::vector<CurvePlace>>(*refusal);
    if (!std::isfinite(system.k) || !std::isfinite(system.p0) || !std::isfinite(system.n) || !(system.n > 0.0))
        return failed<std::vector<CurvePlace>>(Refusal{RefusalCode::InvalidQuestion, {"system"}});
    Range range = questionRange(predictor);
    range.low = std::max(range.low, 0.0); // a system's flow is never negative
    const auto f = [&](double q) { return predictor.valueAt(q) - system.at(q); };
    const double noise = noiseOf(std::max(magnitudeOver([&](double q) { return predictor.valueAt(q); }, range.low, range.high),
                                          magnitudeOver([&](double q) { return system.at(q); }, range.low, range.high)));
    std::vector<CurvePlace> places;
    const BandEdges band{predictor, {level, 1.0}, [&system](double q) { return system.at(q); }};
    for (const Root& root : rootsOf({f, noise}, range.low, range.high)) {
        CurvePlace place;
        place.x = root.x;
        place.y = system.at(root.x);
        place.extrapolated = root.x < predictor.lowX() || root.x > predictor.highX();
        place.tangent = root.tangent;
        bandInterval(place, band, range.low, range.high);
        if (place.xLow && place.xHigh) {
            const double a = system.at(*place.xLow), b = system.at(*place.xHigh);
            place.yLow = std::min(a, b);
            place.yHigh = std::max(a, b);
        }
        places.push_back(place);
    }
    if (places.empty()) return failed<std::vector<CurvePlace>>(refusalOf(RefusalCode::NoOperatingPoint));
    return succeeded(std::move(places));
}

} // namespace calvero
