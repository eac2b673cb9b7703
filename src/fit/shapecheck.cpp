#include "fit/shapecheck.h"

#include "fit/fault.h"
#include "fit/statistics.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace calvero {

namespace {

struct Node {
    double x;
    double y;
};

// The points by ascending x, points at the same x merged into their mean.
std::vector<Node> nodes(const Calculation& c)
{
    std::map<double, std::pair<double, int>> byX;
    for (int i = 1; i <= c.pointCount; ++i) {
        auto& [sum, count] = byX[c.points.x[i]];
        sum += c.points.y[i];
        ++count;
    }
    std::vector<Node> result;
    for (const auto& [x, sum] : byX) result.push_back({x, sum.first / sum.second});
    return result;
}

int sign(double step, double tolerance) { return step > tolerance ? 1 : step < -tolerance ? -1 : 0; }

std::string xList(const std::vector<double>& xs)
{
    std::string text;
    const std::size_t shown = std::min<std::size_t>(xs.size(), 8);
    for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + significant(xs[i], 6);
    if (xs.size() > shown) text += " e altri " + std::to_string(xs.size() - shown);
    return text;
}

// The x of the top of the parabola through three samples around a turn,
// within the outer two; the middle one when they lie on a line.
double vertex(double xa, double ya, double xb, double yb, double xc, double yc)
{
    const double p = (xb - xa) * (yb - yc);
    const double q = (xb - xc) * (yb - ya);
    const double denominator = p - q;
    if (denominator == 0.0 || !std::isfinite(denominator)) return xb;
    const double x = xb - 0.5 * ((xb - xa) * p - (xb - xc) * q) / denominator;
    return std::isfinite(x) ? std::clamp(x, xa, xc) : xb;
}

struct Extreme {
    double x;
    int kind; // +1 a maximum, -1 a minimum
};

// y = 1 / P(x) never crosses zero: a change of sign between two samples is
// P going through zero, a pole. Its x by bisection (an exact zero of P
// faults, and is the pole itself).
std::optional<double> poleBetween(const FittedCurve& curve, double xa, double ya, double xb, double yb)
{
    if (!std::holds_alternative<RationalCurve>(curve) || (ya > 0) == (yb > 0)) return std::nullopt;
    for (int step = 0; step < 80 && xa < xb; ++step) {
        const double mid = xa + 0.5 * (xb - xa);
        if (mid <= xa || mid >= xb) break;
        try {
            if ((evaluate(curve, mid) > 0) == (ya > 0))
                xa = mid;
            else
                xb = mid;
        } catch (const ArithmeticFault&) {
            return mid;
        }
    }
    return xa + 0.5 * (xb - xa);
}

} // namespace

ShapeChecks shapeChecks(const Calculation& c, const ShapeOptions& options)
{
    ShapeChecks checks;
    checks.bandShare = options.bandShare;
    checks.n = c.pointCount;
    checks.p = coefficientCount(c);
    checks.fewPoints = checks.p > 0 && checks.n < 2 * checks.p;
    if (!c.curve) return checks;
    checks.checked = true;
    checks.residualPattern = fitStatistics(c).residualPattern;

    const std::vector<Node> points = nodes(c);
    const std::size_t m = points.size();
    if (m < 2) return checks;
    double low = points[0].y, high = points[0].y;
    for (const Node& node : points) low = std::min(low, node.y), high = std::max(high, node.y);
    const double span = high - low;
    const double flat = 1e-12 * (span + std::max(std::fabs(low), std::fabs(high)));

    // The points' direction on each interval, and the nodes where it changes.
    std::vector<int> direction(m - 1);
    for (std::size_t i = 0; i + 1 < m; ++i) direction[i] = sign(points[i + 1].y - points[i].y, flat);
    // turning[k]: +1 a maximum of the points, -1 a minimum, 2 either (a flat step), 0 none.
    std::vector<int> turning(m, 0);
    for (std::size_t k = 1; k + 1 < m; ++k) {
        const int before = direction[k - 1], after = direction[k];
        if (before == after) continue;
        turning[k] = before > 0 && after < 0 ? 1 : before < 0 && after > 0 ? -1 : 2;
    }

    // The curve sampled finely over each interval.
    std::vector<Extreme> extremes;
    std::vector<std::size_t> extremeInterval;
    int lastDirection = 0;
    double previous = 0.0, previousX = 0.0;
    double before = 0.0, beforeX = 0.0; // the sample before the previous one
    bool havePrevious = false, haveBefore = false;
    const int samples = std::max(options.samplesPerInterval, 2);
    for (std::size_t i = 0; i + 1 < m; ++i) {
        const double x0 = points[i].x, x1 = points[i + 1].x;
        std::vector<std::pair<double, double>> curve;
        try {
            for (int j = i == 0 ? 0 : 1; j <= samples; ++j) {
                const double x = j == samples ? x1 : x0 + (x1 - x0) * j / samples;
                curve.emplace_back(x, evaluate(*c.curve, x));
            }
        } catch (const ArithmeticFault&) {
            const double x = x0 + (x1 - x0) * static_cast<double>(curve.size() + (i == 0 ? 0 : 1)) / samples;
            checks.notEvaluable.push_back(x);
            havePrevious = haveBefore = false;
            lastDirection = 0;
            continue;
        }
        // A pole between two samples: the interval is that finding alone.
        std::optional<double> pole;
        if (havePrevious && i > 0) pole = poleBetween(*c.curve, previousX, previous, curve.front().first, curve.front().second);
        for (std::size_t k = 1; !pole && k < curve.size(); ++k)
            pole = poleBetween(*c.curve, curve[k - 1].first, curve[k - 1].second, curve[k].first, curve[k].second);
        if (pole) {
            checks.notEvaluable.push_back(*pole);
            havePrevious = haveBefore = false;
            lastDirection = 0;
            continue;
        }
        // Leaving the band of the two points and of the curve at them.
        double step = std::fabs(points[i + 1].y - points[i].y);
        if (i > 0) step = std::max(step, std::fabs(points[i].y - points[i - 1].y));
        if (i + 2 < m) step = std::max(step, std::fabs(points[i + 2].y - points[i + 1].y));
        step = std::max(step, 0.01 * span);
        const double atStart = i == 0 || !havePrevious ? curve.front().second : previous;
        const double atEnd = curve.back().second;
        const double bandLow = std::min({points[i].y, points[i + 1].y, atStart, atEnd}) - options.bandShare * step;
        const double bandHigh = std::max({points[i].y, points[i + 1].y, atStart, atEnd}) + options.bandShare * step;
        double worst = 0.0, worstX = 0.0;
        for (const auto& [x, y] : curve) {
            const double beyond = std::max(y - bandHigh, bandLow - y);
            if (beyond > worst) worst = beyond, worstX = x;
        }
        if (worst > 0.0) checks.outOfBand.push_back(worstX);

        // The curve's turns.
        const double curveFlat = 1e-9 * (span + std::max(std::fabs(low), std::fabs(high)));
        for (const auto& [x, y] : curve) {
            if (havePrevious) {
                const int d = sign(y - previous, curveFlat);
                if (d != 0) {
                    if (lastDirection != 0 && d != lastDirection) {
                        const double at = haveBefore ? vertex(beforeX, before, previousX, previous, x, y) : previousX;
                        extremes.push_back({at, lastDirection}); // where the last run ended
                        extremeInterval.push_back(i);
                    }
                    lastDirection = d;
                }
            }
            if (havePrevious) before = previous, beforeX = previousX, haveBefore = true;
            previous = y;
            previousX = x;
            havePrevious = true;
        }
    }

    // Each turn of the points explains one turn of the curve of the same kind
    // within the intervals beside it; the turns left over are oscillations.
    std::vector<bool> used(m, false);
    for (std::size_t e = 0; e < extremes.size(); ++e) {
        const std::size_t i = extremeInterval[e];
        bool explained = false;
        // The two nodes of its interval, or the one before when the turn sits on node i.
        for (std::size_t k : {i, i + 1, i == 0 ? i : i - 1}) {
            if (k >= m || used[k] || turning[k] == 0) continue;
            if (turning[k] != 2 && turning[k] != extremes[e].kind) continue;
            used[k] = true;
            explained = true;
            break;
        }
        if (!explained) checks.turns.push_back(extremes[e].x);
    }
    return checks;
}

std::vector<std::string> shapeLines(const ShapeChecks& s)
{
    std::vector<std::string> lines;
    lines.push_back("CONTROLLI DELLA FORMA DELLA CURVA");
    if (s.fewPoints)
        lines.push_back("pochi punti: " + std::to_string(s.n) + " punti per " + std::to_string(s.p) +
                        " coefficienti, meno di due punti per coefficiente");
    if (!s.checked) {
        lines.push_back("forma tra i punti non controllata: il tipo scelto non ha una curva y = f(x)");
        return lines;
    }
    if (!s.turns.empty())
        lines.push_back("la curva oscilla tra i punti: cambia pendenza dove i punti non la cambiano, a x = " +
                        xList(s.turns));
    if (!s.outOfBand.empty())
        lines.push_back("la curva esce dalla fascia dei punti vicini di oltre il " +
                        significant(s.bandShare * 100.0, 3) + " % del salto di y tra i punti, a x = " +
                        xList(s.outOfBand));
    if (!s.notEvaluable.empty())
        lines.push_back("la curva non si può calcolare tra i punti (va all'infinito), vicino a x = " +
                        xList(s.notEvaluable));
    if (!s.any() && s.residualPattern)
        lines.push_back("la curva non segue la forma dei punti: i segni dei residui fanno troppo poche successioni "
                        "(test delle successioni al 5 %), anche se tra i punti non oscilla e non esce dalla fascia");
    else if (!s.any())
        lines.push_back("nessun difetto: la curva segue l'andamento dei punti");
    return lines;
}

std::vector<std::string> shapeFlags(const ShapeChecks& s)
{
    std::vector<std::string> flags;
    if (!s.turns.empty()) flags.push_back("oscilla");
    if (!s.outOfBand.empty()) flags.push_back("fuori banda");
    if (!s.notEvaluable.empty()) flags.push_back("polo");
    if (s.fewPoints) flags.push_back("pochi punti");
    return flags;
}

} // namespace calvero
