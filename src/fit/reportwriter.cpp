#include "fit/reportwriter.h"

#include "fit/fault.h"
#include "common/numtext.h"
#include "fit/report.h"
#include "fit/surface.h"
#include "fit/termreach.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace calvero {

namespace {

// Every number of a report is finite: one that is not abandons the report.
std::string real(double value, int width, int decimals) { return formatReal(finiteValue(value), width, decimals); }

// A number text that fills or overflows its field gets one blank before it,
// so that it never runs into the label or field on its left.
std::string spaced(const std::string& text) { return text.front() == ' ' ? text : " " + text; }

// A coefficient after the head of its line, with as many digits as its reach
// over the points needs and the line's characters hold.
std::string withCoefficient(const std::string& head, double value, int width, int decimals,
                            std::optional<TermReach> term = std::nullopt)
{
    return head + spaced(formatCoefficient(finiteValue(value), width, decimals,
                                           ReportLineWidth - static_cast<int>(head.size()) - 1, term));
}

// A field of a point table.
std::string field(double value, int width, int decimals) { return spaced(real(value, width, decimals)); }

// An empty field of a number column.
std::string blanks(int width) { return std::string(static_cast<std::size_t>(width), ' '); }

std::vector<TermReach> reachesOf(const ReportSubject& subject)
{
    return curveTermReaches(*subject.curve, subject.points.x, subject.points.y, subject.count);
}

void writeCoefficientLines(ReportBuffer& report, const ReportSubject& subject, const PolynomialCoefficients& c)
{
    const std::vector<TermReach> reaches = reachesOf(subject);
    for (int k = 1; k <= subject.degree + 1; ++k)
        appendLine(report, withCoefficient("Termine nr:" + formatInteger(k, 3) + "  =", c[k], 20, 12,
                                           reaches[static_cast<std::size_t>(k - 1)]));
}

// The time constant 1/M and the step Tf - Ti: a zero M has no time constant.
struct TemperatureTimeFigures {
    double timeConstant;
    double step;
};
TemperatureTimeFigures temperatureTimeFigures(const TemperatureTimeCurve& c)
{
    return {divide(1.0, c.decayM), checked(c.final - c.initial)};
}

void writeTemperatureTimeHead(ReportBuffer& report, const ReportSubject& subject, const TemperatureTimeCurve& c)
{
    auto add = [&report](const std::string& line) { appendLine(report, line); };
    // Every text first: a zero M stops here, before a line of the head is added.
    const TemperatureTimeFigures figures = temperatureTimeFigures(c);
    const TermReach mReach = reachesOf(subject).front();
    const std::string tauLine = withCoefficient(" COSTANTE DI TEMPO=", figures.timeConstant, 16, 12,
                                                timeConstantReach(c, subject.points.x, subject.points.y, subject.count));
    const std::string ti = spaced(real(c.initial, 10, 3));
    const std::string tf = spaced(real(c.final, 10, 3));
    const std::string dt = spaced(real(figures.step, 10, 3));
    // M keeps its digits in the equation too: a slow decay is a small M.
    const std::string m = formatCoefficient(finiteValue(c.decayM), 8, 6, 60, mReach);
    const std::string mLine = withCoefficient(" COEFFICIENTE M=", c.decayM, 8, 6, mReach);
    add("equazione=" + tf + "-" + dt + " e^[-" + m + " x tempo]");
    add("temperatura iniziale:" + ti);
    add("temperatura finale  :" + tf);
    add("salto termico       :" + dt);
    add(mLine);
    add(tauLine);
    add("EQUAZIONE temperatura_tempo");
}

void writeTwoCoefficientLines(ReportBuffer& report, const ReportSubject& subject, const TwoParameters& p)
{
    const std::vector<TermReach> reaches = reachesOf(subject);
    const std::string aLine = withCoefficient(" COEFFICIENTE A=", p.a, 16, 12, reaches[0]);
    const std::string bLine = withCoefficient(" COEFFICIENTE B=", p.b, 16, 12, reaches[1]);
    appendLine(report, aLine);
    appendLine(report, bLine);
}

// Smallest, largest and mean absolute error over the points that have one.
class ErrorStatistics {
public:
    void take(double error)
    {
        if (taken_ == 0) {
            minimum_ = maximum_ = error;
        } else {
            if (error < minimum_) minimum_ = error;
            if (error > maximum_) maximum_ = error;
        }
        sum_ = checked(sum_ + std::fabs(error));
        ++taken_;
    }
    bool empty() const { return taken_ == 0; }
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double mean() const { return divide(sum_, static_cast<double>(taken_)); }

private:
    double minimum_ = 0.0;
    double maximum_ = 0.0;
    double sum_ = 0.0;
    int taken_ = 0;
};

// error % of a point against the curve; nothing when y is 0.
std::optional<double> errorPercent(double y, double yint, bool saturation)
{
    if (y == 0.0) return std::nullopt;
    if (saturation) return divide(checked(checked(yint - y) * 100.0), y);
    return checked(divide(checked(y - yint), y) * 100.0);
}

// One point of the table: its interpolated value and difference, and the
// error shown, which is the last point's when this one has none.
struct PointFigures {
    double yint;
    double difference;
};
PointFigures pointFigures(const CurveOfX& curve, double x, double y, bool saturation,
                          std::optional<double>& lastError)
{
    const double yint = curve(x);
    const double difference = checked(y - yint);
    if (auto error = errorPercent(y, yint, saturation)) lastError = error;
    return {yint, difference};
}

// The surface's error of a point, the last point's when its z is 0.
void surfacePointError(double zint, double z, std::optional<double>& lastError)
{
    if (z != 0.0) lastError = divide(checked(checked(zint - z) * 100.0), z);
}

void writeStatisticsLines(ReportBuffer& report, const ErrorStatistics& stats, bool saturation)
{
    auto add = [&report](const std::string& line) { appendLine(report, line); };
    // No point with an error (every y is 0): the values stay blank.
    const bool none = stats.empty();
    const std::string minimum = none ? blanks(10) : spaced(real(stats.minimum(), 10, 4));
    const std::string maximum = none ? blanks(10) : spaced(real(stats.maximum(), 10, 4));
    const std::string mean = none ? blanks(10) : spaced(real(stats.mean(), 10, 4));
    add((saturation ? "errore minimo %=" : "errore minimo =") + minimum);
    add((saturation ? "errore massimo%=" : "errore massimo=") + maximum);
    add((saturation ? "errore medio  %=" : "errore medio =") + mean);
}

} // namespace

void writeReportHead(ReportBuffer& report, const ReportSubject& subject)
{
    auto add = [&report](const std::string& line) { appendLine(report, line); };
    const FitType kind = subject.kind;
    add("tipo di equazione:" + kindName(kind));
    if (!subject.steering.empty()) add(subject.steering);
    if (!subject.curve) return;
    const FittedCurve& curve = *subject.curve;
    switch (kind) {
    case FitType::TemperatureTime:
        writeTemperatureTimeHead(report, subject, std::get<TemperatureTimeCurve>(curve));
        break;
    case FitType::Power: writeTwoCoefficientLines(report, subject, std::get<PowerCurve>(curve).parameters); break;
    case FitType::Exponential:
        writeTwoCoefficientLines(report, subject, std::get<ExponentialCurve>(curve).parameters);
        break;
    case FitType::Saturation:
        add("curva saturazione");
        writeTwoCoefficientLines(report, subject, std::get<SaturationCurve>(curve).parameters);
        break;
    case FitType::Polynomial:
        add("EQUAZIONE POLINOMIALE DI GRADO:" + formatInteger(subject.degree, 4));
        add("I COEFFICIENTI DEL POLINOMIO SONO:");
        writeCoefficientLines(report, subject, std::get<PolynomialCurve>(curve).coefficients);
        break;
    case FitType::RationalPolynomial:
        add("EQUAZIONE POLINOMIO FRATTO DI GRADO:" + formatInteger(subject.degree, 4));
        writeCoefficientLines(report, subject, std::get<RationalCurve>(curve).coefficients);
        break;
    default: break;
    }
}

namespace {

// The point table of a one-variable report: without a curve, x and y alone.
void writeCurveTable(ReportBuffer& report, const PointSet& p, int count, const CurveOfX* curve, bool saturation)
{
    auto add = [&report](const std::string& line) { appendLine(report, line); };
    const int n = std::min(count, MaxListedPoints);

    add("numero punti:" + formatInteger(n, 4));
    if (saturation) add("temperature e pressioni assolute ");
    add("     punto.........X.........Y......Yint......errore%.. differenza");

    ErrorStatistics stats;
    std::optional<double> lastError;
    for (int i = 1; i <= n; ++i) {
        std::string line = blanks(7) + formatInteger(i, 3) + field(p.x[i], 10, 4) + field(p.y[i], 10, 4);
        if (!curve) {
            add(line + blanks(30));
            continue;
        }
        const PointFigures figures = pointFigures(*curve, p.x[i], p.y[i], saturation, lastError);
        if (lastError) stats.take(*lastError);
        line += field(figures.yint, 10, 4) + (lastError ? field(*lastError, 10, 4) : blanks(10)) +
                field(figures.difference, 10, 4);
        add(line);
    }
    if (curve) writeStatisticsLines(report, stats, saturation);
}

void writeSurfaceTable(ReportBuffer& report, const PointSet& p, int count, const SurfaceOfXY& surface)
{
    appendLine(report, "...punto........X........Y........Z.....Zint.....err%");
    std::optional<double> lastError;
    for (int i = 1; i <= count; ++i) {
        const double zint = surface(p.x[i], p.y[i]);
        surfacePointError(zint, p.z[i], lastError);
        appendLine(report, formatInteger(i, 3) + blanks(5) + field(p.x[i], 9, 4) + field(p.y[i], 9, 4) +
                               field(p.z[i], 9, 4) + field(zint, 9, 4) + (lastError ? field(*lastError, 8, 1) : blanks(8)));
    }
}

} // namespace

void writeOneVariableReport(ReportBuffer& report, const ReportSubject& subject)
{
    if (!subject.curve) {
        writeCurveTable(report, subject.points, subject.count, nullptr, false);
        return;
    }
    const FittedCurve& fitted = *subject.curve;
    const CurveOfX curve = [&fitted](double x) { return evaluate(fitted, x); };
    writeCurveTable(report, subject.points, subject.count, &curve, subject.kind == FitType::Saturation);
}

void writeEquationPointTable(ReportBuffer& report, const PointSet& points, int count, const CurveOfX& curve)
{
    writeCurveTable(report, points, count, &curve, false);
}

void writeEquationPointTable(ReportBuffer& report, const PointSet& points, int count, const SurfaceOfXY& surface)
{
    writeSurfaceTable(report, points, count, surface);
}

void writeSurfaceReport(ReportBuffer& report, int g, const PointSet& p, int count, const SurfaceCoefficients& K,
                        const std::string& steering)
{
    auto add = [&report](const std::string& line) { appendLine(report, line); };
    clearReport(report);
    add("POLINOMIO Z=F(x,y)  grado=" + formatInteger(g, 3));
    if (!steering.empty()) add(steering);
    add("termine........");
    const std::vector<TermReach> reaches = surfaceTermReaches(p.x, p.y, p.z, count, g);
    // Each coefficient with the term it multiplies, the names in one column.
    std::vector<std::string> lines;
    std::size_t width = 0;
    for (int k = 1; k <= surfaceTermCount(g); ++k) {
        lines.push_back(formatInteger(k, 5) +
                        spaced(formatCoefficient(finiteValue(K[k]), 18, 11, ReportLineWidth - 20, reaches[static_cast<std::size_t>(k - 1)])));
        width = std::max(width, lines.back().size());
    }
    for (int k = 1; k <= surfaceTermCount(g); ++k) {
        std::string& line = lines[static_cast<std::size_t>(k - 1)];
        add(line + blanks(static_cast<int>(width - line.size()) + 2) + "(" + surfaceTermName(k) + ")");
    }
    writeSurfaceTable(report, p, count, [&K, g](double x, double y) { return evaluateSurface(K, x, y, g); });
}

void checkOneVariableReport(const ReportSubject& subject)
{
    if (!subject.curve) return; // the points alone: nothing computed
    if (const auto* t = std::get_if<TemperatureTimeCurve>(subject.curve)) temperatureTimeFigures(*t);
    const PointSet& p = subject.points;
    const bool saturation = subject.kind == FitType::Saturation;
    ErrorStatistics stats;
    std::optional<double> lastError;
    const FittedCurve& fitted = *subject.curve;
    const CurveOfX curve = [&fitted](double x) { return evaluate(fitted, x); };
    for (int i = 1; i <= std::min(subject.count, MaxListedPoints); ++i) {
        pointFigures(curve, p.x[i], p.y[i], saturation, lastError);
        if (lastError) stats.take(*lastError);
    }
    if (!stats.empty()) stats.mean();
}

void checkSurfaceReport(int g, const PointSet& p, int count, const SurfaceCoefficients& K)
{
    std::optional<double> lastError;
    for (int i = 1; i <= count; ++i) surfacePointError(evaluateSurface(K, p.x[i], p.y[i], g), p.z[i], lastError);
}

} // namespace calvero
