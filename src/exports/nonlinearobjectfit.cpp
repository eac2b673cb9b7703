#include "exports/nonlinearobjectfit.h"

#include "common/numtext.h"
#include "fit/equationparser.h"
#include "fit/nonlinearfit.h"
#include "fit/statistics.h"
#include "fit/startvalues.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <set>

namespace calvero {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr std::size_t FittedGuesses = 6;
// Beyond this condition number of the Jacobian (unit columns) a change of
// the values by 1/10000 of their size can move the coefficients by all of
// theirs: a sigmoid seen on one side, two decays of nearly the same rate.
constexpr double PoorlyDetermined = 1e4;

using Parameters = std::vector<double>;
using Column = std::function<double(double x)>;

Refusal refusal(std::string sentence) { return Refusal{RefusalCode::NoExport, {std::move(sentence)}}; }

struct Spread {
    double low = 0.0, high = 0.0, span = 1.0;
};

Spread spreadOf(std::span<const double> x)
{
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    Spread s{*low, *high, *high - *low};
    if (!(s.span > 0.0)) s.span = 1.0;
    return s;
}

// The least squares of the values on the columns; nothing where a column is
// not finite or the columns are dependent.
std::optional<Parameters> linearPart(const std::vector<Column>& columns, std::span<const double> x,
                                     std::span<const double> v)
{
    const auto n = static_cast<Eigen::Index>(x.size()), m = static_cast<Eigen::Index>(columns.size());
    Eigen::MatrixXd a(n, m);
    Eigen::VectorXd b(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        b(i) = v[static_cast<std::size_t>(i)];
        for (Eigen::Index k = 0; k < m; ++k)
            a(i, k) = columns[static_cast<std::size_t>(k)](x[static_cast<std::size_t>(i)]);
    }
    if (!a.allFinite()) return std::nullopt;
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < m) return std::nullopt;
    const Eigen::VectorXd c = qr.solve(b);
    if (!c.allFinite()) return std::nullopt;
    return Parameters(c.data(), c.data() + m);
}

std::vector<double> bothSigns(std::initializer_list<double> magnitudes, double scale)
{
    std::vector<double> values;
    for (double m : magnitudes) {
        values.push_back(m * scale);
        values.push_back(-m * scale);
    }
    return values;
}

// Guesses of every coefficient: the nonlinear ones over the places the
// points suggest, the linear ones solved for each.
std::vector<Parameters> guessesFor(std::string_view type, std::span<const double> x, std::span<const double> v)
{
    const Spread s = spreadOf(x);
    std::vector<Parameters> guesses;
    const auto one = [](double) { return 1.0; };
    const auto identity = [](double t) { return t; };
    const std::vector<double> rates = bothSigns({0.1, 0.3, 1.0, 2.0, 4.0, 10.0, 30.0}, 1.0 / s.span);
    if (type == "Curve:Exponent") {
        const bool zero = *std::min_element(x.begin(), x.end()) <= 0.0;
        for (double p : {-3.0, -2.0, -1.0, -0.5, -0.25, 0.25, 0.5, 0.75, 1.5, 2.0, 2.5, 3.0, 4.0}) {
            if (zero && p < 0.0) continue;
            const auto c = linearPart({one, [p](double t) { return std::pow(t, p); }}, x, v);
            if (c) guesses.push_back({(*c)[0], (*c)[1], p});
        }
    } else if (type == "Curve:ExponentialDecay") {
        for (double r : rates) {
            const auto c = linearPart({one, [r](double t) { return std::exp(r * t); }}, x, v);
            if (c) guesses.push_back({(*c)[0], (*c)[1], r});
        }
    } else if (type == "Curve:DoubleExponentialDecay") {
        for (std::size_t i = 0; i < rates.size(); ++i)
            for (std::size_t j = 0; j < rates.size(); ++j) {
                const double r = rates[i], q = rates[j];
                if (!(r < q)) continue;
                const auto c = linearPart(
                    {one, [r](double t) { return std::exp(r * t); }, [q](double t) { return std::exp(q * t); }}, x, v);
                if (c) guesses.push_back({(*c)[0], (*c)[1], r, (*c)[2], q});
            }
    } else if (type == "Curve:Sigmoid") {
        for (double e : {1.0, 0.5, 2.0})
            for (double place : {-0.25, 0.0, 0.25, 0.5, 0.75, 1.0, 1.25})
                for (double w : bothSigns({0.03, 0.1, 0.3, 1.0}, s.span)) {
                    const double centre = s.low + place * s.span;
                    const auto c = linearPart(
                        {one, [=](double t) { return 1.0 / std::pow(1.0 + std::exp((centre - t) / w), e); }}, x, v);
                    if (c) guesses.push_back({(*c)[0], (*c)[1], centre, w, e});
                }
    } else if (type == "Curve:RectangularHyperbola1" || type == "Curve:RectangularHyperbola2") {
        // The asymptote x = -C2 kept off the points, on either side.
        const bool second = type == "Curve:RectangularHyperbola2";
        for (double k : {0.01, 0.03, 0.1, 0.3, 1.0, 3.0, 10.0, 100.0})
            for (double c2 : {-s.low + k * s.span, -s.high - k * s.span}) {
                const Column last = second ? Column(identity) : Column(one);
                const auto c = linearPart({[c2](double t) { return t / (c2 + t); }, last}, x, v);
                if (c) guesses.push_back({(*c)[0], c2, (*c)[1]});
            }
    } else if (type == "Curve:ExponentialSkewNormal") {
        // No coefficient enters linearly: the peak near the largest value or
        // along x, the width a share of the range, the skew a few sizes (never
        // 0, where C3 would leave the curve alone).
        std::vector<double> centres, widths = bothSigns({0.1, 0.3, 1.0, 3.0}, s.span);
        for (double place : {0.0, 0.25, 0.5, 0.75, 1.0}) centres.push_back(s.low + place * s.span);
        centres.push_back(x[static_cast<std::size_t>(std::max_element(v.begin(), v.end()) - v.begin())]);
        // Without skew the curve is a bell, ln y = -(x² - 2 C1 x)/(2 C2²):
        // a parabola through the logarithms of the positive values.
        std::vector<double> px, lv;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (v[i] > 0.0) px.push_back(x[i]), lv.push_back(std::log(v[i]));
        if (px.size() >= 3)
            if (const auto q = linearPart({one, identity, [](double t) { return t * t; }}, px, lv);
                q && (*q)[2] < 0.0) {
                centres.push_back(-(*q)[1] / (2.0 * (*q)[2]));
                widths.push_back(std::sqrt(-0.5 / (*q)[2]));
                widths.push_back(-widths.back());
            }
        for (double c1 : centres)
            for (double c2 : widths)
                for (double c3 : {0.0, 0.3 / s.span, -0.3 / s.span, 1.0 / s.span, -1.0 / s.span})
                    for (double c4 : bothSigns({0.03, 0.1, 0.3, 1.0, 3.0}, 1.0)) guesses.push_back({c1, c2, c3, c4});
    }
    return guesses;
}

double sumOfSquaresOf(const CurveObject& object, const Parameters& c, std::span<const double> x,
                      std::span<const double> v)
{
    long double sum = 0.0L;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const std::optional<double> value = curveObjectValue(object, c, x[i]);
        if (!value) return Infinity;
        const long double e = static_cast<long double>(v[i]) - *value;
        sum += e * e;
    }
    return static_cast<double>(sum);
}

// The same minimum: sums of squares and coefficients alike (as the engine's search judges it).
bool sameMinimum(const NonlinearSolution& a, const NonlinearSolution& b)
{
    if (std::fabs(a.sse - b.sse) > 1e-7 * std::max(a.sse, b.sse) + 1e-300) return false;
    for (std::size_t k = 0; k < a.parameters.size(); ++k)
        if (std::fabs(a.parameters[k] - b.parameters[k]) >
            1e-5 * std::max(std::fabs(a.parameters[k]), std::fabs(b.parameters[k])) + 1e-300)
            return false;
    return true;
}

// The coefficient held at its guess in a first fit, whose solution is the
// start of the whole: the skew's rate C3 (which moves the curve only through
// C4, so the two slide along each other far from the minimum) and the
// sigmoid's exponent C5 (which trades with its width and centre).
std::vector<bool> heldFirst(std::string_view type)
{
    if (type == "Curve:ExponentialSkewNormal") return {false, false, true, false};
    if (type == "Curve:Sigmoid") return {false, false, false, false, true};
    return {};
}

// The Input Output Reference writes the skew's factors as 1 + erf(Z/√2),
// which a program computing in double loses to rounding where Z is far
// below 0 (at Z = -5.2 the factor is 1e-7 and keeps 9 digits): said when Z2
// or Z3 goes that far at the ends or at the points.
std::optional<std::string> skewRoundingCaution(const Parameters& c, std::span<const double> x)
{
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    double lowest = -c[0] / c[1];
    std::vector<double> places(x.begin(), x.end());
    for (std::size_t i = 0; i <= 64; ++i) places.push_back(*low + (*high - *low) * static_cast<double>(i) / 64.0);
    for (double t : places) lowest = std::min(lowest, (c[3] * t * std::exp(c[2] * t) - c[0]) / c[1]);
    if (!(lowest < -5.2)) return std::nullopt;
    return "attenzione: con questi coefficienti Z2 o Z3 arriva a " + significant(lowest, 3) +
           ": 1 + erf(Z/sqrt(2)) vi e' cosi' vicino a 0 che un programma che lo calcola in doppia precisione ne perde "
           "le cifre";
}

std::size_t distinctCount(std::span<const double> x) { return std::set<double>(x.begin(), x.end()).size(); }

} // namespace

std::string nonlinearObjectEquation(const CurveObject& object)
{
    const std::string_view t = object.type;
    if (t == "Curve:Exponent") return "C1 + C2*x^C3";
    if (t == "Curve:ExponentialDecay") return "C1 + C2*exp(C3*x)";
    if (t == "Curve:DoubleExponentialDecay") return "C1 + C2*exp(C3*x) + C4*exp(C5*x)";
    if (t == "Curve:Sigmoid") return "C1 + C2/(1 + exp((C3 - x)/C4))^C5";
    if (t == "Curve:RectangularHyperbola1") return "C1*x/(C2 + x) + C3";
    if (t == "Curve:RectangularHyperbola2") return "C1*x/(C2 + x) + C3*x";
    // 1 + Z/|Z| erf(|Z|/√2) is erfc(-Z/√2), without its loss of digits far out.
    if (t == "Curve:ExponentialSkewNormal")
        return "exp(-0.5*((x - C1)/C2)^2)*erfc(-(exp(C3*x)*C4*x - C1)/C2/sqrt(2)) / "
               "(exp(-0.5*(C1/C2)^2)*erfc(C1/C2/sqrt(2)))";
    return {};
}

Checked<NonlinearObjectFit> fitNonlinearObject(const CurveObject& object, std::span<const double> x,
                                               std::span<const double> v)
{
    const std::string type(object.type);
    const std::size_t p = object.coefficientCount();
    if (distinctCount(x) < p)
        return failed<NonlinearObjectFit>(refusal(type + " ha " + std::to_string(p) + " coefficienti: servono almeno " +
                                                  std::to_string(p) + " valori diversi di x"));
    if (object.type == "Curve:Exponent")
        for (std::size_t i = 0; i < x.size(); ++i)
            if (x[i] < 0.0)
                return failed<NonlinearObjectFit>(refusal("il punto " + std::to_string(i + 1) +
                                                          " ha x negativa: x**C3 di " + type + " non vi ha un valore"));
    const Checked<ParsedEquation> equation = readEquation(nonlinearObjectEquation(object));
    if (!equation || equation->parameters.size() != p)
        return failed<NonlinearObjectFit>(refusal(type + " non si adatta ai punti con i minimi quadrati non lineari"));
    const NonlinearProblem problem = plainProblem(equation->expression, {x, {}}, {{}, {}}, {v, {}});

    // The guesses scored by their sums of squares; the best few fitted.
    std::vector<std::pair<double, Parameters>> scored;
    for (Parameters& guess : guessesFor(object.type, x, v)) {
        const double sse = sumOfSquaresOf(object, guess, x, v);
        if (std::isfinite(sse)) scored.emplace_back(sse, std::move(guess));
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NonlinearSolution> minima;
    const std::vector<bool> held = heldFirst(object.type);
    // The skew's coefficients slide along each other: more of its guesses fitted.
    const std::size_t fitted = object.type == "Curve:ExponentialSkewNormal" ? 2 * FittedGuesses : FittedGuesses;
    for (std::size_t k = 0; k < scored.size() && k < fitted; ++k) {
        Parameters start = scored[k].second;
        if (!held.empty()) {
            NonlinearProblem first = problem;
            first.fixed = held;
            if (const Checked<NonlinearSolution> solved = solveNonlinear(first, start)) start = solved->parameters;
        }
        const Checked<NonlinearSolution> solved = solveNonlinear(problem, start);
        if (solved) minima.push_back(*solved);
    }
    const StartSearch search = searchStart(problem, Parameters(p, 1.0), std::vector<std::optional<double>>(p));
    if (search.best) minima.push_back(*search.best);
    if (minima.empty())
        return failed<NonlinearObjectFit>(refusal(type + " non si adatta ai punti: il calcolo dei coefficienti non "
                                                         "converge da nessuno dei valori iniziali provati"));
    const NonlinearSolution& best =
        *std::min_element(minima.begin(), minima.end(), [](const auto& a, const auto& b) { return a.sse < b.sse; });

    NonlinearObjectFit fit;
    fit.coefficients = best.parameters;
    const JacobianFigures figures = jacobianFigures(problem, best.parameters);
    if (figures.varianceFactors.empty())
        fit.cautions.push_back("attenzione: i punti non determinano tutti i coefficienti: coefficienti diversi danno la "
                               "stessa curva sui punti, e fuori dai punti la curva non e' affidabile");
    else if (figures.conditionNumber > PoorlyDetermined)
        fit.cautions.push_back("attenzione: i punti determinano male i coefficienti (numero di condizione " +
                               significant(figures.conditionNumber, 3) +
                               "): coefficienti molto diversi danno quasi la stessa curva sui punti, e fuori dai "
                               "punti la curva non e' affidabile");
    const auto agreeing =
        std::count_if(minima.begin(), minima.end(), [&](const auto& m) { return sameMinimum(m, best); });
    const bool searchAgrees = search.best && sameMinimum(*search.best, best);
    if (object.type == "Curve:ExponentialSkewNormal") {
        if (const std::optional<std::string> caution = skewRoundingCaution(fit.coefficients, x))
            fit.cautions.push_back(*caution);
    }
    // A sum of squares at the rounding of the values leaves nothing lower to find.
    double largest = 0.0;
    for (double value : v) largest = std::max(largest, std::fabs(value));
    const double rounding =
        static_cast<double>(v.size()) * std::pow(4.0 * std::numeric_limits<double>::epsilon() * largest, 2);
    if (best.sse > rounding && agreeing < 3 && !(searchAgrees && !search.possiblyLocal))
        fit.cautions.push_back("attenzione: meno di tre valori iniziali hanno portato a questo minimo della somma dei "
                               "quadrati: altri coefficienti potrebbero darne uno piu' basso");
    return succeeded(std::move(fit));
}

} // namespace calvero
