#include "fit/equationreport.h"

#include "common/numtext.h"
#include "fit/equationstatistics.h"
#include "fit/fault.h"
#include "fit/report.h"
#include "fit/reportwriter.h"

#include <cmath>

namespace calvero {

namespace {

// A long text over as many lines as it needs, each within the report's
// width, broken after a blank where the line has one; the lines after the
// first indented under the text.
void addWrapped(ReportBuffer& report, const std::string& head, const std::string& text)
{
    const std::size_t width = static_cast<std::size_t>(ReportLineWidth) - head.size();
    std::string rest = text;
    std::string lead = head;
    while (true) {
        std::string piece = firstCharacters(rest, width);
        if (piece.size() < rest.size())
            if (const std::size_t blank = piece.rfind(' '); blank != std::string::npos && blank > 0)
                piece.resize(blank + 1);
        appendLine(report, lead + piece);
        if (piece.size() >= rest.size()) break;
        rest = rest.substr(piece.size());
        lead = std::string(head.size(), ' ');
    }
}

// A line of the statistics' words, "name: text", wrapped as above.
void addWrappedLine(ReportBuffer& report, const std::string& line)
{
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) return appendLine(report, line);
    addWrapped(report, line.substr(0, colon + 2), line.substr(colon + 2));
}

std::string parameterList(const EquationFit& fit, const std::vector<double>& values)
{
    std::string list;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (fit.fixed[k]) continue;
        list += (list.empty() ? "" : "; ") + fit.equation.parameters[k] + " = " + formatCoefficientFigure(values[k]);
    }
    return list;
}

} // namespace

std::string equationSteeringLine(const EquationFit& fit)
{
    std::string line;
    auto add = [&line](const std::string& part) { line += (line.empty() ? "vincoli: " : "; ") + part; };
    for (std::size_t k = 0; k < fit.parameters.size(); ++k) {
        const std::string& name = fit.equation.parameters[k];
        if (fit.fixed[k]) {
            add(name + " fisso = " + formatCoefficientFigure(fit.parameters[k]));
            continue;
        }
        const bool low = k < fit.lower.size() && std::isfinite(fit.lower[k]);
        const bool high = k < fit.upper.size() && std::isfinite(fit.upper[k]);
        if (low && high)
            add(name + " tra " + formatCoefficientFigure(fit.lower[k]) + " e " + formatCoefficientFigure(fit.upper[k]));
        else if (low)
            add(name + " >= " + formatCoefficientFigure(fit.lower[k]));
        else if (high)
            add(name + " <= " + formatCoefficientFigure(fit.upper[k]));
    }
    const std::string value = fit.equation.response();
    if (fit.weighting == Weighting::Relative) add("pesi relativi 1/" + value + "^2");
    if (fit.weighting == Weighting::Column) add("pesi dei punti dalla colonna");
    return firstCharacters(line, static_cast<std::size_t>(ReportLineWidth));
}

std::vector<std::string> equationReport(const EquationFit& fit)
{
    ReportBuffer report;
    clearReport(report);
    auto add = [&report](const std::string& line) { appendLine(report, line); };
    add("tipo di equazione:EQUAZIONE LIBERA");
    addWrapped(report, "equazione: ", fit.equation.text);
    if (const std::string steering = equationSteeringLine(fit); !steering.empty()) add(steering);
    add("PARAMETRI:");
    for (std::size_t k = 0; k < fit.parameters.size(); ++k) {
        std::string line = " " + fit.equation.parameters[k] + " = " + formatCoefficientFigure(fit.parameters[k]);
        if (fit.fixed[k]) line += "   (fisso)";
        else if (k < fit.atBound.size() && fit.atBound[k]) line += "   (al suo limite)";
        add(line);
    }
    const EquationFigures figures = equationFigures(fit);
    addWrappedLine(report, equationSolverLine(figures));
    addWrappedLine(report, equationStartLine(figures));
    if (!fit.linear) addWrappedLine(report, "partenza: " + parameterList(fit, fit.start));
    if (fit.possiblyLocal)
        add("ATTENZIONE: minimo forse locale: non si può escludere un minimo più basso della somma dei quadrati");

    PointSet points;
    const int n = fit.points.count();
    for (int i = 1; i <= n; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        points.x[i] = fit.points.x[at];
        if (fit.equation.twoVariables) {
            points.y[i] = fit.points.y[at];
            points.z[i] = fit.points.value[at];
        } else {
            points.y[i] = fit.points.value[at];
        }
    }
    const std::vector<long double> parameters(fit.parameters.begin(), fit.parameters.end());
    std::vector<long double> scratch;
    const Expression& e = fit.equation.expression;
    auto value = [&](double x, double y) {
        const long double v = e.value<long double>(parameters, x, y, scratch);
        if (std::isnan(v)) raiseFault(FaultKind::InvalidOperation);
        return checked(static_cast<double>(v));
    };
    try {
        if (fit.equation.twoVariables)
            writeEquationPointTable(report, points, n, SurfaceOfXY(value));
        else
            writeEquationPointTable(report, points, n, CurveOfX([&](double x) { return value(x, 0.0); }));
    } catch (const ArithmeticFault& fault) {
        add(refusalText(faultRefusal(fault.kind())));
    }
    return reportLines(report);
}

} // namespace calvero
