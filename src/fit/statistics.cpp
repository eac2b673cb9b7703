#include "fit/statistics.h"

#include "fit/fault.h"
#include "fit/leastsquares.h"
#include "fit/steering.h"
#include "fit/surface.h"
#include "fit/termreach.h"
#include "fit/coefficientlist.h"
#include "fit/conditioningdigits.h"
#include "fit/valuesleastsquares.h"

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace calvero {

namespace {

// The least-squares problem a fit solves: target ≈ Σ coefficients[k] u^a w^b
// over its terms (w only for the surface).
struct LinearModel {
    std::vector<double> u, w;
    std::vector<double> target;
    std::vector<Monomial> terms;
    std::vector<double> coefficients;
    std::vector<std::string> names;
    std::string interceptErrorOf; // "log10 A" / "ln A": A is the intercept transformed back
    double (*back)(double) = nullptr;
    std::vector<double> weights; // of the squared errors of target; empty: all 1

    double value(std::size_t i) const { return polynomialValue(coefficients, terms, u[i], w.empty() ? 0.0 : w[i]); }
    void reserve(int points)
    {
        for (std::vector<double>* values : {&u, &w, &target}) values->reserve(static_cast<std::size_t>(points));
    }
};

double tenTo(double v) { return std::pow(10.0, v); }
double eTo(double v) { return std::exp(v); }

LinearModel powerLikeModel(const Calculation& c, const TwoParameters& ab, double (*u)(double), double (*v)(double))
{
    LinearModel m;
    m.reserve(c.pointCount);
    for (int i = 1; i <= c.pointCount; ++i) {
        m.u.push_back(u(c.points.x[i]));
        m.target.push_back(v(c.points.y[i]));
    }
    m.terms = powersOfX(1);
    m.names = {"A", "B"};
    m.coefficients = {ab.a, ab.b};
    return m;
}

double same(double x) { return x; }
double reciprocal(double x) { return 1.0 / x; }
double log10Of(double x) { return std::log10(x); }
double lnOf(double x) { return std::log(x); }

LinearModel polynomialModel(const Calculation& c, const PolynomialCoefficients& k, int degree, bool rational)
{
    LinearModel m;
    m.reserve(c.pointCount);
    for (int i = 1; i <= c.pointCount; ++i) {
        m.u.push_back(c.points.x[i]);
        m.target.push_back(rational ? 1.0 / c.points.y[i] : c.points.y[i]);
    }
    m.terms = powersOfX(degree);
    for (int e = 0; e <= degree; ++e) {
        m.names.push_back("termine " + std::to_string(e + 1) + " (" +
                          (e == 0 ? std::string("1") : e == 1 ? std::string("x") : "x^" + std::to_string(e)) + ")");
        m.coefficients.push_back(k[e + 1]);
    }
    return m;
}

std::optional<LinearModel> linearModel(const Calculation& c)
{
    if (c.kind == FitType::SurfaceXY) {
        LinearModel m;
        m.reserve(c.pointCount);
        for (int i = 1; i <= c.pointCount; ++i) {
            m.u.push_back(c.points.x[i]);
            m.w.push_back(c.points.y[i]);
            m.target.push_back(c.points.z[i]);
        }
        m.terms = surfaceMonomials(c.degree);
        for (int k = 1; k <= surfaceTermCount(c.degree); ++k) {
            m.names.push_back("termine " + std::to_string(k) + " (" + surfaceTermName(k) + ")");
            m.coefficients.push_back(c.surface[k]);
        }
        if (c.options.any()) m.weights = steeredProblem(c.kind, c.degree, c.points, c.pointCount, c.options).weights;
        return m;
    }
    if (!c.curve) return std::nullopt;
    if (c.options.any()) {
        // The steered kinds: the problem they solved, weights and all.
        LinearModel m = std::get_if<PolynomialCurve>(&*c.curve)
                            ? polynomialModel(c, std::get<PolynomialCurve>(*c.curve).coefficients, c.degree, false)
                            : polynomialModel(c, std::get<RationalCurve>(*c.curve).coefficients, c.degree, true);
        m.weights = steeredProblem(c.kind, c.degree, c.points, c.pointCount, c.options).weights;
        return m;
    }
    if (auto* power = std::get_if<PowerCurve>(&*c.curve)) {
        LinearModel m = powerLikeModel(c, power->parameters, log10Of, log10Of);
        m.coefficients[0] = std::log10(power->parameters.a);
        m.interceptErrorOf = "log10 A";
        m.back = tenTo;
        return m;
    }
    if (auto* exponential = std::get_if<ExponentialCurve>(&*c.curve)) {
        LinearModel m = powerLikeModel(c, exponential->parameters, same, lnOf);
        m.coefficients[0] = std::log(exponential->parameters.a);
        m.interceptErrorOf = "ln A";
        m.back = eTo;
        return m;
    }
    if (auto* saturation = std::get_if<SaturationCurve>(&*c.curve))
        return powerLikeModel(c, saturation->parameters, reciprocal, log10Of);
    if (auto* polynomial = std::get_if<PolynomialCurve>(&*c.curve))
        return polynomialModel(c, polynomial->coefficients, polynomial->degree, false);
    if (auto* rational = std::get_if<RationalCurve>(&*c.curve))
        return polynomialModel(c, rational->coefficients, rational->degree, true);
    return std::nullopt; // temperature-time: M is a mean, not a least-squares line
}

// The curve's values at the points for the residuals: the polynomial kinds'
// sums taken without the cancellation of their terms in double, which would
// swamp the residuals of a close fit in kelvin.
class FittedValues {
public:
    explicit FittedValues(const Calculation& c) : calculation_(c)
    {
        if (c.kind == FitType::SurfaceXY) {
            terms_ = surfaceMonomials(c.degree);
            coefficients_.assign(c.surface.items.begin(), c.surface.items.begin() + static_cast<long>(terms_.size()));
        } else if (const auto* polynomial = std::get_if<PolynomialCurve>(&*c.curve)) {
            polynomialTerms(polynomial->coefficients, polynomial->degree);
        } else if (const auto* rational = std::get_if<RationalCurve>(&*c.curve)) {
            polynomialTerms(rational->coefficients, rational->degree);
            reciprocal_ = true;
        }
    }
    // At point i (from 1).
    double at(int i)
    {
        const Calculation& c = calculation_;
        if (terms_.empty()) return evaluate(*c.curve, c.points.x[i]);
        if (sums_.empty()) {
            sums_ = PolynomialInQuad(coefficients_, terms_).values(c.points.x.first(c.pointCount), c.points.y.first(c.pointCount));
        }
        const double value = checked(sums_[static_cast<std::size_t>(i - 1)]);
        return reciprocal_ ? divide(1.0, value) : value;
    }
    // The polynomial's sums at the points: for the polynomial kinds and the
    // surface, the linear model's own values.
    const std::vector<double>& sums() const { return sums_; }

private:
    void polynomialTerms(const PolynomialCoefficients& k, int degree)
    {
        terms_ = powersOfX(degree);
        coefficients_.assign(k.items.begin(), k.items.begin() + degree + 1);
    }
    const Calculation& calculation_;
    std::vector<Monomial> terms_;
    std::vector<double> coefficients_;
    bool reciprocal_ = false;
    std::vector<double> sums_;
};

// The weights of the errors of y (z for the surface) the fit used; empty
// when none. Column weights scaled to mean 1: a weight's unit is the user's,
// and s and AICc must not move with it.
std::vector<double> measuredWeights(const Calculation& c)
{
    std::vector<double> weights;
    const bool surface = c.kind == FitType::SurfaceXY;
    for (int i = 1; i <= c.pointCount && c.options.weighting != Weighting::None; ++i) {
        const double measured = surface ? c.points.z[i] : c.points.y[i];
        weights.push_back(c.options.weighting == Weighting::Relative ? 1.0 / (measured * measured)
                                                                     : c.options.pointWeights[static_cast<std::size_t>(i - 1)]);
    }
    if (c.options.weighting == Weighting::Column && !weights.empty()) {
        // The mean of weights of any size, without overflow: the largest taken out first.
        const double largest = *std::max_element(weights.begin(), weights.end());
        double mean = 0.0;
        for (double w : weights) mean += w / largest;
        mean /= static_cast<double>(weights.size());
        for (double& w : weights) w = w / largest / mean;
    }
    return weights;
}

// The curve is held through the origin: the polynomial's or the surface's
// constant term fixed at 0, or a through point at (0; 0) (the surface's at
// (0; 0; 0)).
bool heldThroughOrigin(const Calculation& c)
{
    if (c.kind != FitType::Polynomial && c.kind != FitType::SurfaceXY) return false;
    for (const FixedTerm& t : c.options.fixedTerms)
        if (t.term == 1 && t.value == 0.0) return true;
    for (const ThroughPoint& t : c.options.throughPoints)
        if (t.x == 0.0 && t.y == 0.0 && (c.kind != FitType::SurfaceXY || t.z == 0.0)) return true;
    return false;
}

// The coefficients of a kind fitted by least squares of y itself, with their
// errors s² (JᵀJ)⁻¹ from the Jacobian at the fitted curve.
void addValuesCoefficients(Statistics& s, const Calculation& c, double sse)
{
    const std::vector<double> factors = valuesVarianceFactors(*c.curve, c.points, c.pointCount);
    const std::vector<NamedCoefficient> named = namedCoefficients(c);
    for (std::size_t j = 0; j < named.size(); ++j) {
        CoefficientStatistics coefficient;
        coefficient.name = named[j].first;
        coefficient.value = named[j].second;
        if (s.dof > 0 && j < factors.size()) {
            const double error = std::sqrt(sse / s.dof * factors[j]);
            coefficient.standardError = error;
            coefficient.lower = coefficient.value - *s.tValue * error;
            coefficient.upper = coefficient.value + *s.tValue * error;
        }
        s.coefficients.push_back(coefficient);
    }
}

std::string withDegree(const Statistics& s)
{
    if (s.equation) return "equazione libera " + s.equation->text;
    std::string text = kindLabel(s.kind);
    if (takesDegree(s.kind)) text += ", grado " + std::to_string(s.degree);
    return text;
}

std::string orNot(const std::optional<double>& value, int digits, const std::string& why)
{
    return value ? significant(*value, digits) : why;
}

// How a typed equation was fitted, in words, before the figures.
void addEquationNotes(StatisticsText& text, const Statistics& s)
{
    const EquationFigures& e = *s.equation;
    if (e.fixedCount > 0)
        text.notes.push_back("punti n = " + std::to_string(s.n) + ", parametri p = " + std::to_string(s.p) +
                             ", parametri fissi = " + std::to_string(e.fixedCount) +
                             ", gradi di libertà n - p + fissi = " + std::to_string(s.dof));
    else
        text.notes.push_back("punti n = " + std::to_string(s.n) + ", parametri p = " + std::to_string(s.p) +
                             ", gradi di libertà n - p = " + std::to_string(s.dof));
    if (s.dof == 0)
        text.notes.push_back("n = p: la curva passa per tutti i punti e nessun errore si può stimare (servono più "
                             "punti che parametri)");
    text.notes.push_back(equationSolverLine(e));
    text.notes.push_back(equationStartLine(e));
}

} // namespace

std::string equationSolverLine(const EquationFigures& e)
{
    if (e.linear)
        return "calcolo: l'equazione è lineare nei parametri: minimi quadrati lineari esatti, senza valori iniziali né "
               "iterazioni";
    return "calcolo: minimi quadrati non lineari (Levenberg-Marquardt con le derivate esatte dell'equazione, poi "
           "Gauss-Newton con i residui in precisione estesa), " +
           std::to_string(e.iterations) + (e.iterations == 1 ? " iterazione" : " iterazioni") +
           (e.converged ? ", convergente" : ", non convergente");
}

std::string equationStartLine(const EquationFigures& e)
{
    if (e.linear) return "valori iniziali: non servono";
    if (e.continued)
        return "valori iniziali: dati, ma il calcolo da quelli non convergeva ed è proseguito con la ricerca del "
               "programma (" + std::to_string(e.localFits) + " calcoli locali, tenuto il minimo più basso)";
    if (e.startValues == "given") return "valori iniziali: dati";
    // Some given, the rest searched: the given ones are among the search's guesses.
    const std::string some = e.givenStarts == 0 ? std::string()
        : e.givenStarts == 1 ? "dato per 1 parametro e provato fra le partenze, gli altri "
                             : "dati per " + std::to_string(e.givenStarts) + " parametri e provati fra le partenze, gli altri ";
    return "valori iniziali: " + some + "trovati dal programma (" + std::to_string(e.localFits) +
           " calcoli locali da partenze scelte, tenuto il minimo più basso)" +
           (e.possiblyLocal ? ": minimo forse locale" : "");
}

double studentQuantile(double probability, int dof)
{
    return boost::math::quantile(boost::math::students_t_distribution<double>(dof), probability);
}

double studentQuantile975(int dof)
{
    // Every fit asks for one of these; the quantile costs more than the rest
    // of a small fit's statistics, so the degrees of freedom the engine's
    // points allow are worked out once, when first asked for.
    static const std::array<double, MaxPoints + 1> table = [] {
        std::array<double, MaxPoints + 1> quantiles{};
        for (int d = 1; d <= MaxPoints; ++d) quantiles[static_cast<std::size_t>(d)] = studentQuantile(0.975, d);
        return quantiles;
    }();
    return dof >= 1 && dof <= MaxPoints ? table[static_cast<std::size_t>(dof)] : studentQuantile(0.975, dof);
}

std::string significant(double value, int digits)
{
    if (!std::isfinite(value)) return "non calcolabile";
    if (value == 0.0) return "0";
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    if (-magnitude - 1 > FixedFigureLeadingZeros || magnitude + 1 > FixedFigureDigits)
        return formatScientific(value, digits);
    const int decimals = std::clamp(digits - 1 - magnitude, 0, 40);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

int coefficientCount(const Calculation& c)
{
    if (c.kind == FitType::SurfaceXY) return surfaceTermCount(c.degree);
    if (!c.curve) return 0;
    if (std::holds_alternative<PolynomialCurve>(*c.curve) || std::holds_alternative<RationalCurve>(*c.curve))
        return c.degree + 1;
    if (std::holds_alternative<TemperatureTimeCurve>(*c.curve)) return 1;
    return 2;
}

// The figures every fit has from its values: the errors, R², the runs of
// the residuals' signs in x order (when xs is given: the curves y = f(x)),
// the standard error and AICc. Weighted when weights are given.
void residualFigures(Statistics& s, const std::vector<double>& observed, const std::vector<double>& fitted,
                     const std::vector<double>& weights, const std::vector<double>& xs)
{
    double mean = 0.0;
    for (double v : observed) mean += v;
    mean /= s.n;
    double sst = 0.0, sumSquaredPercent = 0.0, weightedSse = 0.0;
    int withPercent = 0;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        const double residual = observed[i] - fitted[i];
        s.sse += residual * residual;
        if (s.weighted) weightedSse += weights[i] * residual * residual;
        sst += (observed[i] - mean) * (observed[i] - mean);
        s.largestAbsoluteError = std::max(s.largestAbsoluteError, std::fabs(residual));
        if (observed[i] != 0.0) {
            const double percent = std::fabs(residual / observed[i] * 100.0);
            s.largestPercentError = std::max(s.largestPercentError.value_or(0.0), percent);
            sumSquaredPercent += percent * percent;
            ++withPercent;
        }
    }
    if (withPercent > 0) s.rmsPercentError = std::sqrt(sumSquaredPercent / withPercent);
    if (s.weighted) s.weightedSse = weightedSse;
    const double leastSum = s.weighted ? weightedSse : s.sse; // the sum the fit made least
    double largestObserved = 0.0;
    for (double v : observed) largestObserved = std::max(largestObserved, std::fabs(v));
    // Residuals this small are the rounding of the curve's own arithmetic.
    const double noise = NegligibleContribution * largestObserved;
    s.exactFit = s.dof > 0 && s.largestAbsoluteError <= noise;
    if (!xs.empty() && s.dof > 0 && !s.exactFit) {
        std::vector<double> residuals;
        residuals.reserve(observed.size());
        for (std::size_t i = 0; i < observed.size(); ++i) residuals.push_back(observed[i] - fitted[i]);
        s.residualRuns = residualRuns(xs, residuals, noise);
        s.residualPattern = s.residualRuns && s.residualRuns->probability <= ResidualPatternLevel;
    }
    if (s.dof > 0) s.standardError = std::sqrt(leastSum / s.dof);
    if (sst > 0.0) {
        s.rSquared = 1.0 - s.sse / sst;
        if (s.dof > 0) s.adjustedRSquared = 1.0 - (1.0 - *s.rSquared) * (s.n - 1) / s.dof;
    }
    const int k = s.p - s.equalities + 1; // the free coefficients and the variance of the residuals
    if (!s.exactFit && leastSum > 0.0 && s.n - k - 1 > 0)
        s.aicc = s.n * std::log(leastSum / s.n) + 2.0 * k + 2.0 * k * (k + 1) / (s.n - k - 1);
}

Statistics fitStatistics(const Calculation& c)
{
    Statistics s;
    s.kind = c.kind;
    s.degree = c.degree;
    const bool surface = c.kind == FitType::SurfaceXY;
    if (!surface && !c.curve) return s;
    s.n = c.pointCount;
    s.p = coefficientCount(c);
    s.equalities = static_cast<int>(c.options.throughPoints.size() + c.options.fixedTerms.size());
    s.dof = s.n - s.p + s.equalities;
    const std::vector<double> weights = measuredWeights(c);
    s.weighted = !weights.empty();
    s.weighting = c.options.weighting;
    if (c.options.minimax)
        s.approximate = "i coefficienti rendono minimo l'errore percentuale massimo, non la somma dei quadrati";
    else if (c.slopeBound)
        s.approximate = shapeBoundWords(c.options) + " in qualche punto";
    if (!c.options.throughPoints.empty() && c.pointCount > 0) {
        s.lowX = s.highX = c.points.x[1];
        s.lowY = s.highY = c.points.y[1];
        for (int i = 2; i <= c.pointCount; ++i) {
            s.lowX = std::min(s.lowX, c.points.x[i]), s.highX = std::max(s.highX, c.points.x[i]);
            s.lowY = std::min(s.lowY, c.points.y[i]), s.highY = std::max(s.highY, c.points.y[i]);
        }
        for (const ThroughPoint& t : c.options.throughPoints)
            if (t.x < s.lowX || t.x > s.highX || (surface && (t.y < s.lowY || t.y > s.highY)))
                s.throughOutside.push_back(t);
    }

    std::vector<double> observed, fitted;
    observed.reserve(static_cast<std::size_t>(c.pointCount));
    fitted.reserve(static_cast<std::size_t>(c.pointCount));
    FittedValues fittedValue(c);
    try {
        for (int i = 1; i <= c.pointCount; ++i) {
            observed.push_back(surface ? c.points.z[i] : c.points.y[i]);
            fitted.push_back(fittedValue.at(i));
        }
    } catch (const ArithmeticFault&) {
        return s; // a curve that cannot be evaluated at its own points has no figures
    }
    s.fitted = true;

    std::vector<double> xs;
    if (!surface)
        for (int i = 1; i <= c.pointCount; ++i) xs.push_back(c.points.x[i]);
    residualFigures(s, observed, fitted, weights, xs);
    if (heldThroughOrigin(c)) {
        double sumOfSquares = 0.0;
        for (double v : observed) sumOfSquares += v * v;
        if (sumOfSquares > 0.0) s.uncentredRSquared = 1.0 - s.sse / sumOfSquares;
    }
    if (s.dof > 0) s.tValue = studentQuantile975(s.dof);

    if (c.options.leastSquaresInY && c.curve) {
        // Least squares of y itself: the errors from the Jacobian at the curve.
        addValuesCoefficients(s, c, s.sse);
        return s;
    }
    const std::optional<LinearModel> model = linearModel(c);
    if (!model) return s;
    double sseModel = 0.0, sstModel = 0.0, meanTarget = 0.0;
    for (double v : model->target) meanTarget += v;
    meanTarget /= static_cast<double>(model->target.size());
    const bool computed = fittedValue.sums().size() == model->target.size();
    for (std::size_t i = 0; i < model->target.size(); ++i) {
        const double value = computed ? fittedValue.sums()[i] : model->value(i);
        const double weight = model->weights.empty() ? 1.0 : model->weights[i];
        sseModel += weight * (model->target[i] - value) * (model->target[i] - value);
        sstModel += (model->target[i] - meanTarget) * (model->target[i] - meanTarget);
    }
    // The polynomials and the surface bring their fit's own; the straight
    // lines of the transformed kinds are in variables of the statistics' own.
    std::optional<DesignConditioning> design = c.design;
    if (!design) {
        try {
            design = designConditioning(model->u, model->w, model->terms);
        } catch (const ArithmeticFault&) {
            // a singular design: no condition number, no errors of the coefficients
        }
    }
    if (design && c.options.any()) {
        // The errors of a fit under conditions and weights: its own design.
        const std::vector<double> factors =
            steeredVarianceFactors(steeredProblem(c.kind, c.degree, c.points, c.pointCount, c.options));
        if (factors.size() == design->varianceFactors.size()) design->varianceFactors = factors;
        else design.reset();
    }
    if (design && std::isfinite(design->conditionNumber)) s.conditionNumber = design->conditionNumber;
    const std::vector<double> dataDigits = dataSensitivityDigits(model->u, model->w, model->target, model->weights,
                                                                 model->terms, model->coefficients);
    if (!dataDigits.empty()) s.dataSensitivityDigits = *std::min_element(dataDigits.begin(), dataDigits.end());
    s.evaluationDigits = evaluationDigits(model->u, model->w, model->terms, model->coefficients);
    s.coefficientDigits = s.dataSensitivityDigits; // the older name, kept for its readers
    s.illConditioned = !s.dataSensitivityDigits || *s.dataSensitivityDigits < TrustedCoefficientDigits ||
                       (s.evaluationDigits && *s.evaluationDigits < TrustedCoefficientDigits);
    const bool transformed = c.kind == FitType::Power || c.kind == FitType::Exponential || c.kind == FitType::Saturation;
    if (transformed && sstModel > 0.0) {
        s.transformedRSquared = 1.0 - sseModel / sstModel;
        s.transformedLine = c.kind == FitType::Power         ? "la retta di log10 y su log10 x"
                            : c.kind == FitType::Exponential ? "la retta di ln y su x"
                                                             : "la retta di log10 p su 1/T";
    }

    const std::vector<TermReach> reaches =
        surface ? surfaceTermReaches(c.points.x, c.points.y, c.points.z, c.pointCount, c.degree)
                : curveTermReaches(*c.curve, c.points.x, c.points.y, c.pointCount);
    for (std::size_t j = 0; j < model->terms.size(); ++j) {
        CoefficientStatistics coefficient;
        coefficient.name = model->names[j];
        if (j < reaches.size()) coefficient.reach = reaches[j];
        if (j < dataDigits.size()) coefficient.dataDigits = dataDigits[j];
        const double b = model->coefficients[j];
        const bool backTransformed = j == 0 && model->back;
        coefficient.value = backTransformed ? model->back(b) : b;
        if (backTransformed) coefficient.errorOf = model->interceptErrorOf;
        for (const FixedTerm& t : c.options.fixedTerms) coefficient.fixed = coefficient.fixed || t.term == static_cast<int>(j) + 1;
        if (s.dof > 0 && design && !coefficient.fixed) {
            const double error = std::sqrt(sseModel / s.dof * design->varianceFactors[j]);
            coefficient.standardError = error;
            const double low = b - *s.tValue * error;
            const double high = b + *s.tValue * error;
            coefficient.lower = backTransformed ? model->back(low) : low;
            coefficient.upper = backTransformed ? model->back(high) : high;
        }
        s.coefficients.push_back(coefficient);
    }
    return s;
}

StatisticsText statisticsText(const Statistics& s)
{
    StatisticsText text;
    text.title = "STATISTICHE DELL'ADATTAMENTO: " + withDegree(s);
    if (!s.fitted) {
        text.notes.push_back(s.kind == FitType::Scatter
                                 ? "la punteggiata non ha una curva: nessuna statistica"
                                 : "la curva non si può calcolare in tutti i punti: nessuna statistica");
        return text;
    }
    const bool surface = s.equation ? s.equation->twoVariables : s.kind == FitType::SurfaceXY;
    const std::string yName = surface ? "z" : "y";
    const int d = 10;
    if (s.equation) {
        addEquationNotes(text, s);
    } else if (s.equalities > 0)
        text.notes.push_back("punti n = " + std::to_string(s.n) + ", coefficienti p = " + std::to_string(s.p) +
                             ", vincoli di uguaglianza (punti di passaggio e termini fissi) = " +
                             std::to_string(s.equalities) + ", gradi di libertà n - p + vincoli = " +
                             std::to_string(s.dof));
    else
        text.notes.push_back("punti n = " + std::to_string(s.n) + ", coefficienti p = " + std::to_string(s.p) +
                             ", gradi di libertà n - p = " + std::to_string(s.dof));
    if (s.dof == 0)
        text.notes.push_back("n = p: la curva passa per tutti i punti e nessun errore si può stimare (servono più "
                             "punti che coefficienti)");
    if (s.weighting == Weighting::Column)
        text.notes.push_back("pesi dei punti normalizzati a media 1 (un punto di peso 1 è un punto medio): s e AICc "
                             "non cambiano se tutti i pesi si moltiplicano per una stessa costante");
    if (s.weighting == Weighting::Relative)
        text.notes.push_back("pesi relativi 1/" + yName + "²: s è un errore relativo (0,01 = 1 %)");
    if (s.uncentredRSquared)
        text.notes.push_back("curva per l'origine: R² confronta SSE con la dispersione attorno alla media di " + yName +
                             ", R² non centrato con quella attorno a 0 (il valore dei programmi di regressione "
                             "senza termine noto)");
    auto figure = [&text](const std::string& label, const std::string& value) { text.figures.push_back({label, value}); };
    figure("somma dei quadrati dei residui SSE", significant(s.sse, d));
    const std::string dofText = s.equalities > 0 ? "(n - p + vincoli)" : "(n - p)";
    if (s.weighted) {
        figure("somma pesata dei quadrati dei residui Σ w (" + yName + " - " + yName + "int)²",
               significant(*s.weightedSse, d));
        figure("errore standard della stima s = √(Σ w (" + yName + " - " + yName + "int)² / " + dofText + ")",
               orNot(s.standardError, d, "non calcolabile"));
    } else {
        figure("errore standard della stima s = √(SSE / " + dofText + ")",
               orNot(s.standardError, d, "non calcolabile (n = p)"));
    }
    figure("R² = 1 - SSE / Σ(" + yName + " - media)²",
           orNot(s.rSquared, d, "non calcolabile (tutti i valori di " + yName + " sono uguali)"));
    figure("R² corretto = 1 - (1 - R²)(n - 1)/" + dofText, orNot(s.adjustedRSquared, d, "non calcolabile"));
    if (s.uncentredRSquared)
        figure("R² non centrato = 1 - SSE / Σ" + yName + "²", significant(*s.uncentredRSquared, d));
    if (s.transformedRSquared)
        figure("R² della retta trasformata (" + s.transformedLine +
                   ", quello delle linee di tendenza dei fogli di calcolo)",
               significant(*s.transformedRSquared, d));
    figure("errore assoluto massimo", significant(s.largestAbsoluteError, d));
    figure("errore percentuale massimo",
           s.largestPercentError ? significant(*s.largestPercentError, 6) + " %"
                                 : "non calcolabile (tutti i valori di " + yName + " sono 0)");
    figure("media quadratica degli errori percentuali",
           s.rmsPercentError ? significant(*s.rmsPercentError, 6) + " %" : "non calcolabile");
    figure("AICc", s.aicc       ? significant(*s.aicc, 8)
                   : s.dof == 0 ? "non calcolabile (n = p)"
                   : s.exactFit ? "non definito: la curva passa per i punti (SSE è 0 a meno degli arrotondamenti)"
                                : "non calcolabile (troppo pochi punti: ne servono almeno p + 3)");
    if (!surface && s.dof > 0) {
        std::string runs;
        if (s.exactFit) runs = "non calcolate (curva esatta)";
        else if (!s.residualRuns) runs = "non calcolabili (i residui non hanno entrambi i segni)";
        else
            runs = std::to_string(s.residualRuns->runs) + " con " + std::to_string(s.residualRuns->positive) +
                   " positivi e " + std::to_string(s.residualRuns->negative) +
                   " negativi; probabilità di non più di così per caso = " +
                   significant(s.residualRuns->probability, 3);
        figure("successioni di segno dei residui in ordine di x", runs);
    }

    if (s.coefficients.empty()) {
        if (s.kind == FitType::TemperatureTime && !s.equation)
            text.coefficientsHeading = "errori dei coefficienti: non calcolati (M è la media dei valori dei singoli "
                                       "punti, non una retta ai minimi quadrati)";
    } else {
        text.coefficientsHeading =
            s.equation && s.dof > 0
                ? "parametri con errore standard e intervallo di confidenza al 95 % (dalla matrice jacobiana alla "
                  "soluzione, approssimazione lineare; t di Student = " +
                      significant(*s.tValue, 6) + " con " + std::to_string(s.dof) +
                      (s.dof == 1 ? " grado" : " gradi") + " di libertà):"
            : s.equation ? "parametri (n = p: nessun errore standard né intervallo di confidenza):"
            : s.dof > 0 ? "coefficienti con errore standard e intervallo di confidenza al 95 % (t di Student = " +
                            significant(*s.tValue, 6) + " con " + std::to_string(s.dof) +
                            (s.dof == 1 ? " grado" : " gradi") + " di libertà):"
                      : "coefficienti (n = p: nessun errore standard né intervallo di confidenza):";
        if (!s.approximate.empty() && s.dof > 0)
            text.warnings.push_back("ATTENZIONE: errori standard e intervalli approssimati, calcolati come per i "
                                    "minimi quadrati con i soli vincoli di uguaglianza: " + s.approximate);
        for (const CoefficientStatistics& c : s.coefficients) {
            CoefficientFigures row;
            row.name = c.name;
            row.value = formatCoefficientFigure(c.value, c.reach);
            row.errorOf = c.errorOf;
            if (c.fixed) {
                row.remark = s.equation ? "fissato" : "fissato dal vincolo";
            } else if (c.atBound) {
                row.remark = "al suo limite: nessun errore standard";
            } else if (c.standardError) {
                // An error of log10 A is no quantity of y: no reach of its own.
                row.error = formatCoefficientFigure(*c.standardError,
                                                    c.errorOf.empty() ? c.reach : std::optional<TermReach>());
                row.lower = formatCoefficientFigure(*c.lower, c.reach);
                row.upper = formatCoefficientFigure(*c.upper, c.reach);
            } else if (s.dof > 0) {
                row.remark = "errore non calcolabile (coefficienti non indipendenti)";
            }
            text.coefficients.push_back(row);
        }
    }
    for (const ThroughPoint& t : s.throughOutside) {
        const bool surface = s.kind == FitType::SurfaceXY;
        text.warnings.push_back(
            "ATTENZIONE: il punto di passaggio (" + significant(t.x, 10) + "; " + significant(t.y, 10) +
            (surface ? "; " + significant(t.z, 10) : std::string()) + ") è fuori " +
            (surface ? "dal rettangolo dei punti (x da " + significant(s.lowX, 10) + " a " + significant(s.highX, 10) +
                           ", y da " + significant(s.lowY, 10) + " a " + significant(s.highY, 10) + ")"
                     : "dal campo delle x dei punti (da " + significant(s.lowX, 10) + " a " + significant(s.highX, 10) +
                           ")") +
            ": la curva vi passa per estrapolazione, e il vincolo la piega anche fra i punti.");
    }
    if (s.equation && s.equation->possiblyLocal)
        text.warnings.push_back("ATTENZIONE: minimo forse locale: i valori iniziali li ha scelti il programma e non si "
                                "può escludere che altrove la somma dei quadrati abbia un minimo più basso; dare valori "
                                "iniziali vicini a quelli attesi per confermarlo.");
    if (s.residualPattern)
        text.warnings.push_back("ATTENZIONE: i segni dei residui in ordine di x fanno meno successioni di quante ne "
                                "dia il caso (test delle successioni al 5 %): la curva non segue la forma dei punti; "
                                "provare un altro tipo di equazione o un grado più alto.");
    if (s.illConditioned) {
        if (s.dataSensitivityDigits) {
            const std::string around =
                s.conditionNumber ? " (numero di condizionamento circa 10^" +
                                        std::to_string(static_cast<int>(std::lround(std::log10(*s.conditionNumber)))) + ")"
                                  : std::string();
            text.warnings.push_back("ATTENZIONE: coefficienti mal condizionati" + around + ":");
            const int kept = static_cast<int>(std::floor(*s.dataSensitivityDigits));
            text.warnings.push_back("  un cambiamento di ogni dato di una unità alla sedicesima cifra significativa "
                                    "sposta i coefficienti già alla cifra " +
                                    std::to_string(kept + 1) + ": i coefficienti hanno solo circa " +
                                    std::to_string(kept) + " cifre significative sicure;");
            if (s.evaluationDigits)
                text.warnings.push_back(
                    "  un programma che calcola la curva con questi coefficienti in doppia precisione ne conserva "
                    "ai punti circa " +
                    std::to_string(static_cast<int>(std::floor(*s.evaluationDigits))) +
                    " cifre significative (i termini si cancellano tra loro);");
        } else {
            text.warnings.push_back("ATTENZIONE: coefficienti mal condizionati (numero di condizionamento oltre "
                                    "10^16): i termini dell'equazione non si distinguono sui punti e i coefficienti "
                                    "non hanno cifre sicure;");
        }
        text.warnings.push_back("  rimedi: centrare o riscalare x (per esempio x - media, o x / 1000), cambiare "
                                "unità di misura, abbassare il grado.");
    }
    return text;
}

std::vector<std::string> statisticsLines(const Statistics& s)
{
    const StatisticsText text = statisticsText(s);
    std::vector<std::string> lines = {text.title};
    lines.insert(lines.end(), text.notes.begin(), text.notes.end());
    for (const StatisticsFigure& f : text.figures) lines.push_back(f.label + " = " + f.value);
    if (!text.coefficientsHeading.empty()) lines.push_back(text.coefficientsHeading);
    for (const CoefficientFigures& c : text.coefficients) {
        std::string line = "  " + c.name + " = " + c.value;
        if (!c.error.empty())
            line += "   errore standard" + (c.errorOf.empty() ? "" : " di " + c.errorOf) + " = " + c.error +
                    "   intervallo: " + c.lower + " ... " + c.upper;
        else if (!c.remark.empty())
            line += "   " + c.remark;
        lines.push_back(line);
    }
    lines.insert(lines.end(), text.warnings.begin(), text.warnings.end());
    return lines;
}

Statistics valueStatistics(const std::vector<double>& observed, const std::vector<double>& fitted,
                           const std::vector<double>& xs, int p)
{
    Statistics s;
    s.n = static_cast<int>(observed.size());
    s.p = p;
    s.dof = s.n - p;
    s.fitted = true;
    residualFigures(s, observed, fitted, {}, xs);
    if (s.dof > 0) s.tValue = studentQuantile975(s.dof);
    return s;
}

} // namespace calvero
