#include "fit/affinity.h"

#include "fit/curvequestions.h"
#include "fit/curveroots.h"
#include "fit/statistics.h"
#include "fit/workingset.h"

#include <cmath>
#include <limits>

namespace calvero {

namespace {

std::string kindText(const FittedCurve& curve)
{
    if (std::holds_alternative<TemperatureTimeCurve>(curve)) return kindLabel(FitType::TemperatureTime);
    return kindLabel(FitType::Saturation);
}

// c_k x^k, k = 0..degree, read at x / r and multiplied by r^e: c_k r^(e-k).
PolynomialCoefficients scaledPowers(const PolynomialCoefficients& c, int degree, double ratio, int exponent)
{
    PolynomialCoefficients scaled{};
    for (int k = 0; k <= degree; ++k) scaled[k + 1] = c[k + 1] * std::pow(ratio, exponent - k);
    return scaled;
}

} // namespace

int affinityExponent(AffinityQuantity quantity)
{
    return quantity == AffinityQuantity::Head ? 2 : quantity == AffinityQuantity::Power ? 3 : 0;
}

Checked<FittedCurve> scaledCurve(const FittedCurve& curve, double ratio, AffinityQuantity quantity)
{
    if (!(ratio > 0.0) || !std::isfinite(ratio)) return failed<FittedCurve>(Refusal{RefusalCode::InvalidQuestion, {"ratio"}});
    const int e = affinityExponent(quantity);
    if (const auto* p = std::get_if<PolynomialCurve>(&curve))
        return succeeded(FittedCurve(PolynomialCurve{scaledPowers(p->coefficients, p->degree, ratio, e), p->degree}));
    if (const auto* r = std::get_if<RationalCurve>(&curve)) // r^e / P(Q/r) = 1 / (r^-e P(Q/r))
        return succeeded(FittedCurve(RationalCurve{scaledPowers(r->coefficients, r->degree, ratio, -e), r->degree}));
    if (const auto* power = std::get_if<PowerCurve>(&curve)) // r^e A (Q/r)^B = A r^(e-B) Q^B
        return succeeded(FittedCurve(PowerCurve{{power->parameters.a * std::pow(ratio, e - power->parameters.b),
                                                 power->parameters.b}}));
    if (const auto* exponential = std::get_if<ExponentialCurve>(&curve)) // r^e A e^(B Q/r)
        return succeeded(FittedCurve(ExponentialCurve{{exponential->parameters.a * std::pow(ratio, e),
                                                       exponential->parameters.b / ratio}}));
    return failed<FittedCurve>(Refusal{RefusalCode::AffinityNotKept, {kindText(curve)}});
}

Checked<Calculation> scaledCalculation(const Calculation& c, double ratio, AffinityQuantity quantity)
{
    if (c.kind == FitType::SurfaceXY || !c.curve)
        return failed<Calculation>(Refusal{RefusalCode::AffinityNotKept, {kindLabel(c.kind)}});
    Checked<FittedCurve> curve = scaledCurve(*c.curve, ratio, quantity);
    if (!curve) return failed<Calculation>(curve.refusal);
    Calculation scaled = c;
    scaled.curve = std::move(*curve);
    const double factor = std::pow(ratio, affinityExponent(quantity));
    for (int i = 1; i <= c.pointCount; ++i) {
        scaled.points.x[i] = c.points.x[i] * ratio;
        scaled.points.y[i] = c.points.y[i] * factor;
    }
    scaled.report.clear();
    scaled.design.reset();
    scaled.options = FitOptions{};
    scaled.slopeBound = false;
    return succeeded(std::move(scaled));
}

Checked<std::vector<DutyRatio>> dutyRatios(const Calculation& c, double q, double h, AffinityQuantity quantity)
{
    if (c.kind == FitType::SurfaceXY || !c.curve)
        return failed<std::vector<DutyRatio>>(Refusal{RefusalCode::AffinityNotKept, {kindLabel(c.kind)}});
    if (!std::isfinite(q) || !std::isfinite(h) || !(q > 0.0))
        return failed<std::vector<DutyRatio>>(Refusal{RefusalCode::InvalidQuestion, {"duty"}});
    const FittedCurve& curve = *c.curve;
    if (const Checked<FittedCurve> kept = scaledCurve(curve, 1.0, quantity); !kept)
        return failed<std::vector<DutyRatio>>(kept.refusal);
    const double low = minX(c.points), high = maxX(c.points);
    const double reachLow = low - QuestionReach * (high - low), reachHigh = high + QuestionReach * (high - low);
    // q / r within the range looked at: r from q / reachHigh to q / reachLow.
    double from = LowestDutyRatio, to = HighestDutyRatio;
    if (reachHigh > 0.0) from = std::max(from, q / reachHigh);
    if (reachLow > 0.0) to = std::min(to, q / reachLow);
    const int e = affinityExponent(quantity);
    const auto f = [&](double r) { return std::pow(r, e) * preciseValue(curve, q / r) - h; };
    double magnitude = std::fabs(h);
    for (int i = 0; i <= 64 && to > from; ++i) {
        const double v = f(from + (to - from) * i / 64) + h;
        if (std::isfinite(v)) magnitude = std::max(magnitude, std::fabs(v));
    }
    std::vector<DutyRatio> found;
    for (const Root& root : rootsOf({f, 64.0 * std::numeric_limits<double>::epsilon() * magnitude}, from, to)) {
        const double at = q / root.x;
        found.push_back({root.x, at < low || at > high, *scaledCurve(curve, root.x, quantity)});
    }
    if (found.empty())
        return failed<std::vector<DutyRatio>>(Refusal{RefusalCode::NoDutyRatio, {significant(q, 10), significant(h, 10)}});
    return succeeded(std::move(found));
}

} // namespace calvero
