#include "fit/statistics.h"

#include "common/fault.h"
#include "fit/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace calvero {

namespace {

using Column = std::vector<double>;

// The least-squares problem a fit solves: target ≈ Σ coefficients[j] columns[j].
struct LinearModel {
    std::vector<Column> columns;
    Column target;
    std::vector<double> coefficients;
    std::vector<std::string> names;
    std::string interceptErrorOf; // "log10 A" / "ln A": A is the intercept transformed back
    double (*back)(double) = nullptr;
};

double tenTo(double v) { return std::pow(10.0, v); }
double eTo(double v) { return std::exp(v); }

double dot(const Column& a, const Column& b)
{
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) s += a[i] * b[i];
    return s;
}

// One-sided Jacobi: the columns are rotated until orthogonal, so that their
// norms are the singular values and the rotations make V. It keeps the small
// singular values accurate, which the normal equations themselves would not.
struct Decomposition {
    std::vector<double> sigma;
    std::vector<Column> v; // v[j] is column j of V
};

Decomposition singularValues(std::vector<Column> a)
{
    const std::size_t p = a.size();
    Decomposition d;
    d.v.assign(p, Column(p, 0.0));
    for (std::size_t j = 0; j < p; ++j) d.v[j][j] = 1.0;
    for (int sweep = 0; sweep < 80; ++sweep) {
        bool rotated = false;
        for (std::size_t j = 0; j + 1 < p; ++j) {
            for (std::size_t k = j + 1; k < p; ++k) {
                const double alpha = dot(a[j], a[j]);
                const double beta = dot(a[k], a[k]);
                const double gamma = dot(a[j], a[k]);
                if (gamma == 0.0 || std::fabs(gamma) <= 1e-16 * std::sqrt(alpha * beta)) continue;
                rotated = true;
                const double zeta = (beta - alpha) / (2.0 * gamma);
                const double t = std::fabs(zeta) > 1e150
                                     ? 1.0 / (2.0 * zeta)
                                     : std::copysign(1.0, zeta) / (std::fabs(zeta) + std::sqrt(1.0 + zeta * zeta));
                const double c = 1.0 / std::sqrt(1.0 + t * t);
                const double s = c * t;
                auto rotate = [c, s](Column& u, Column& w) {
                    for (std::size_t i = 0; i < u.size(); ++i) {
                        const double x = u[i];
                        const double y = w[i];
                        u[i] = c * x - s * y;
                        w[i] = s * x + c * y;
                    }
                };
                rotate(a[j], a[k]);
                rotate(d.v[j], d.v[k]);
            }
        }
        if (!rotated) break;
    }
    for (std::size_t j = 0; j < p; ++j) d.sigma.push_back(std::sqrt(dot(a[j], a[j])));
    return d;
}

// The columns scaled to unit length: what is left is the conditioning the
// data carry, not the units of x (a fan curve in m³/h is not ill-conditioned
// for being in thousands).
struct Inverse {
    std::optional<double> condition;           // cond(XᵀX) of the scaled columns; none when singular
    std::optional<std::vector<double>> diagonal; // diag((XᵀX)⁻¹) of the columns as they are
};

Inverse normalEquationsInverse(std::vector<Column> columns)
{
    Inverse result;
    std::vector<double> scale;
    for (Column& c : columns) {
        const double norm = std::sqrt(dot(c, c));
        if (norm == 0.0 || !std::isfinite(norm)) return result;
        for (double& v : c) v /= norm;
        scale.push_back(norm);
    }
    const Decomposition d = singularValues(columns);
    const auto [low, high] = std::minmax_element(d.sigma.begin(), d.sigma.end());
    if (*low <= 1e-15 * *high) return result;
    result.condition = (*high / *low) * (*high / *low);
    std::vector<double> diagonal(columns.size(), 0.0);
    for (std::size_t k = 0; k < d.sigma.size(); ++k)
        for (std::size_t j = 0; j < columns.size(); ++j)
            diagonal[j] += d.v[k][j] * d.v[k][j] / (d.sigma[k] * d.sigma[k]);
    for (std::size_t j = 0; j < columns.size(); ++j) diagonal[j] /= scale[j] * scale[j];
    result.diagonal = diagonal;
    return result;
}

LinearModel powerLikeModel(const Calculation& c, const TwoParameters& ab, double (*u)(double), double (*v)(double))
{
    LinearModel m;
    m.columns.assign(2, Column{});
    for (int i = 1; i <= c.pointCount; ++i) {
        m.columns[0].push_back(1.0);
        m.columns[1].push_back(u(c.points.x[i]));
        m.target.push_back(v(c.points.y[i]));
    }
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
    m.columns.assign(static_cast<std::size_t>(degree + 1), Column{});
    for (int i = 1; i <= c.pointCount; ++i) {
        double power = 1.0;
        for (int e = 0; e <= degree; ++e) {
            m.columns[static_cast<std::size_t>(e)].push_back(power);
            power *= c.points.x[i];
        }
        m.target.push_back(rational ? 1.0 / c.points.y[i] : c.points.y[i]);
    }
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
        const int terms = surfaceTermCount(c.degree);
        for (int k = 1; k <= terms; ++k) {
            Column column;
            for (int i = 1; i <= c.pointCount; ++i) column.push_back(surfaceTerm(k, c.points.x[i], c.points.y[i]));
            m.columns.push_back(column);
            m.names.push_back("termine " + std::to_string(k) + " (" + surfaceTermName(k) + ")");
            m.coefficients.push_back(c.surface[k]);
        }
        for (int i = 1; i <= c.pointCount; ++i) m.target.push_back(c.points.z[i]);
        return m;
    }
    if (!c.curve) return std::nullopt;
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

// The regularized incomplete beta function I_x(a, b), by its continued fraction.
double incompleteBeta(double x, double a, double b)
{
    if (x <= 0.0) return 0.0;
    if (x >= 1.0) return 1.0;
    if (x > (a + 1.0) / (a + b + 2.0)) return 1.0 - incompleteBeta(1.0 - x, b, a);
    const double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x)) / a;
    const double tiny = 1e-300;
    double f = 1.0, c = 1.0, d = 0.0;
    for (int i = 0; i <= 400; ++i) {
        const int m = i / 2;
        double numerator;
        if (i == 0) numerator = 1.0;
        else if (i % 2 == 0) numerator = m * (b - m) * x / ((a + 2.0 * m - 1.0) * (a + 2.0 * m));
        else numerator = -((a + m) * (a + b + m) * x) / ((a + 2.0 * m) * (a + 2.0 * m + 1.0));
        d = 1.0 + numerator * d;
        if (std::fabs(d) < tiny) d = tiny;
        d = 1.0 / d;
        c = 1.0 + numerator / c;
        if (std::fabs(c) < tiny) c = tiny;
        const double cd = c * d;
        f *= cd;
        if (std::fabs(1.0 - cd) < 1e-16) break;
    }
    return front * (f - 1.0);
}

double studentCdf(double t, int dof)
{
    const double nu = dof;
    const double tail = 0.5 * incompleteBeta(nu / (nu + t * t), nu / 2.0, 0.5);
    return t >= 0.0 ? 1.0 - tail : tail;
}

std::string withDegree(const Statistics& s)
{
    std::string text = kindLabel(s.kind);
    if (takesDegree(s.kind)) text += ", grado " + std::to_string(s.degree);
    return text;
}

std::string orNot(const std::optional<double>& value, int digits, const std::string& why)
{
    return value ? significant(*value, digits) : why;
}

} // namespace

double studentQuantile(double probability, int dof)
{
    if (probability == 0.5) return 0.0;
    if (probability < 0.5) return -studentQuantile(1.0 - probability, dof);
    double low = 0.0, high = 1.0;
    while (studentCdf(high, dof) < probability) high *= 2.0;
    for (int i = 0; i < 200 && high - low > 1e-15 * high; ++i) {
        const double middle = 0.5 * (low + high);
        (studentCdf(middle, dof) < probability ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

std::string significant(double value, int digits)
{
    if (!std::isfinite(value)) return "non calcolabile";
    if (value == 0.0) return "0";
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(digits - 1 - magnitude, 0, 60);
    char text[400];
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

Statistics fitStatistics(const Calculation& c)
{
    Statistics s;
    s.kind = c.kind;
    s.degree = c.degree;
    const bool surface = c.kind == FitType::SurfaceXY;
    if (!surface && !c.curve) return s;
    s.n = c.pointCount;
    s.p = coefficientCount(c);
    s.dof = s.n - s.p;

    std::vector<double> observed, fitted;
    try {
        for (int i = 1; i <= c.pointCount; ++i) {
            const double x = c.points.x[i];
            const double y = c.points.y[i];
            observed.push_back(surface ? c.points.z[i] : y);
            fitted.push_back(surface ? evaluateSurface(c.surface, x, y, c.degree) : evaluate(*c.curve, x));
        }
    } catch (const ArithmeticFault&) {
        return s; // a curve that cannot be evaluated at its own points has no figures
    }
    s.fitted = true;

    double mean = 0.0;
    for (double v : observed) mean += v;
    mean /= s.n;
    double sst = 0.0, sumSquaredPercent = 0.0;
    int withPercent = 0;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        const double residual = observed[i] - fitted[i];
        s.sse += residual * residual;
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
    if (s.dof > 0) s.standardError = std::sqrt(s.sse / s.dof);
    if (sst > 0.0) {
        s.rSquared = 1.0 - s.sse / sst;
        if (s.dof > 0) s.adjustedRSquared = 1.0 - (1.0 - *s.rSquared) * (s.n - 1) / s.dof;
    }
    const int k = s.p + 1; // the coefficients and the variance of the residuals
    if (s.sse > 0.0 && s.n - k - 1 > 0)
        s.aicc = s.n * std::log(s.sse / s.n) + 2.0 * k + 2.0 * k * (k + 1) / (s.n - k - 1);
    if (s.dof > 0) s.tValue = studentQuantile(0.975, s.dof);

    const std::optional<LinearModel> model = linearModel(c);
    if (!model) return s;
    const Inverse inverse = normalEquationsInverse(model->columns);
    s.conditionNumber = inverse.condition;
    s.illConditioned = !s.conditionNumber || *s.conditionNumber > IllConditioned;

    double sseModel = 0.0, meanTarget = 0.0;
    for (double v : model->target) meanTarget += v;
    meanTarget /= static_cast<double>(model->target.size());
    double sstModel = 0.0;
    for (std::size_t i = 0; i < model->target.size(); ++i) {
        double value = 0.0;
        for (std::size_t j = 0; j < model->columns.size(); ++j) value += model->coefficients[j] * model->columns[j][i];
        sseModel += (model->target[i] - value) * (model->target[i] - value);
        sstModel += (model->target[i] - meanTarget) * (model->target[i] - meanTarget);
    }
    const bool transformed = c.kind == FitType::Power || c.kind == FitType::Exponential || c.kind == FitType::Saturation;
    if (transformed && sstModel > 0.0) {
        s.transformedRSquared = 1.0 - sseModel / sstModel;
        s.transformedLine = c.kind == FitType::Power         ? "la retta di log10 y su log10 x"
                            : c.kind == FitType::Exponential ? "la retta di ln y su x"
                                                             : "la retta di log10 p su 1/T";
    }

    const std::optional<std::vector<double>>& diagonal = inverse.diagonal;
    for (std::size_t j = 0; j < model->columns.size(); ++j) {
        CoefficientStatistics coefficient;
        coefficient.name = model->names[j];
        const double b = model->coefficients[j];
        const bool backTransformed = j == 0 && model->back;
        coefficient.value = backTransformed ? model->back(b) : b;
        if (backTransformed) coefficient.errorOf = model->interceptErrorOf;
        if (s.dof > 0 && diagonal) {
            const double error = std::sqrt(sseModel / s.dof * (*diagonal)[j]);
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

std::vector<std::string> statisticsLines(const Statistics& s)
{
    std::vector<std::string> lines;
    auto add = [&lines](const std::string& line) { lines.push_back(line); };
    add("STATISTICHE DELL'ADATTAMENTO: " + withDegree(s));
    if (!s.fitted) {
        add(s.kind == FitType::Scatter ? "la punteggiata non ha una curva: nessuna statistica"
                                       : "la curva non si può calcolare in tutti i punti: nessuna statistica");
        return lines;
    }
    const std::string yName = s.kind == FitType::SurfaceXY ? "z" : "y";
    const int d = 10;
    add("punti n = " + std::to_string(s.n) + ", coefficienti p = " + std::to_string(s.p) +
        ", gradi di libertà n - p = " + std::to_string(s.dof));
    if (s.dof == 0)
        add("n = p: la curva passa per tutti i punti e nessun errore si può stimare (servono più punti che "
            "coefficienti)");
    add("somma dei quadrati dei residui SSE = " + significant(s.sse, d));
    add("errore standard della stima s = √(SSE / (n - p)) = " + orNot(s.standardError, d, "non calcolabile (n = p)"));
    add("R² = 1 - SSE / Σ(" + yName + " - media)² = " +
        orNot(s.rSquared, d, "non calcolabile (tutti i valori di " + yName + " sono uguali)"));
    add("R² corretto = 1 - (1 - R²)(n - 1)/(n - p) = " + orNot(s.adjustedRSquared, d, "non calcolabile"));
    if (s.transformedRSquared)
        add("R² della retta trasformata (" + s.transformedLine +
            ", quello delle linee di tendenza dei fogli di calcolo) = " + significant(*s.transformedRSquared, d));
    add("errore assoluto massimo = " + significant(s.largestAbsoluteError, d));
    add("errore percentuale massimo = " +
        (s.largestPercentError ? significant(*s.largestPercentError, 6) + " %"
                               : "non calcolabile (tutti i valori di " + yName + " sono 0)"));
    add("media quadratica degli errori percentuali = " +
        (s.rmsPercentError ? significant(*s.rmsPercentError, 6) + " %" : "non calcolabile"));
    add("AICc = " + orNot(s.aicc, 8, "non calcolabile (troppo pochi punti o curva esatta)"));

    if (s.coefficients.empty()) {
        if (s.kind == FitType::TemperatureTime)
            add("errori dei coefficienti: non calcolati (M è la media dei valori dei singoli punti, non una retta "
                "ai minimi quadrati)");
    } else {
        if (s.dof > 0)
            add("coefficienti con errore standard e intervallo di confidenza al 95 % (t di Student = " +
                significant(*s.tValue, 6) + " con " + std::to_string(s.dof) +
                (s.dof == 1 ? " grado" : " gradi") + " di libertà):");
        else
            add("coefficienti (n = p: nessun errore standard né intervallo di confidenza):");
        for (const CoefficientStatistics& c : s.coefficients) {
            std::string line = "  " + c.name + " = " + significant(c.value, 12);
            if (c.standardError) {
                line += "   errore standard" + (c.errorOf.empty() ? "" : " di " + c.errorOf) + " = " +
                        significant(*c.standardError, 6);
                line += "   intervallo: " + significant(*c.lower, 8) + " ... " + significant(*c.upper, 8);
            } else if (s.dof > 0) {
                line += "   errore non calcolabile (coefficienti non indipendenti)";
            }
            add(line);
        }
    }
    if (s.illConditioned) {
        const bool known = s.conditionNumber.has_value();
        const std::string digits =
            known ? std::to_string(static_cast<int>(std::lround(std::log10(*s.conditionNumber)))) : "16";
        add("ATTENZIONE: le equazioni del calcolo sono mal condizionate (numero di condizionamento " +
            std::string(known ? "circa" : "oltre") + " 10^" + digits + "):");
        add(known ? "  si perdono circa " + digits + " delle 16 cifre dei calcoli: le ultime cifre dei coefficienti "
                                                   "dipendono dagli arrotondamenti;"
                  : "  si perdono tutte le cifre dei calcoli: i coefficienti dipendono dagli arrotondamenti;");
        add("  i termini dell'equazione si somigliano troppo sui punti dati: conviene un grado più basso.");
    }
    return lines;
}

} // namespace calvero
