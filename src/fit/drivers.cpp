#include "fit/drivers.h"

#include "fit/curvefunctions.h"
#include "fit/fault.h"
#include "fit/fits.h"
#include "fit/frontend.h"
#include "fit/numtext.h"
#include "fit/pointordering.h"
#include "fit/reportwriter.h"
#include "fit/session.h"
#include "fit/surface.h"
#include "fit/workingset.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace calvero {

namespace {

const char* const TooFewPoints = " numero punti=  <2!";
const char* const TooFewForDegree = "numero punti insufficiente per il grado scelto";
const char* const TooManySurfacePoints = "massimo 100 punti per il polinomio Z=F(x,y)";
const char* const NotPositive = "tutti numeri devono essere>0!";
const char* const TooFewDistinctX = "valori di x diversi insufficienti per il grado scelto";
const char* const SurfaceUndetermined =
    "i punti non bastano a determinare i termini del polinomio Z=F(x,y) del grado scelto";

void tell(const std::string& text)
{
    if (Presenter* p = presenter()) p->showMessage(text);
}

void showReportViewer()
{
    if (Presenter* p = presenter()) p->showReport();
}

int distinctValues(const PointArray& v, int n)
{
    std::vector<double> values(v.items.begin(), v.items.begin() + n);
    std::sort(values.begin(), values.end());
    return static_cast<int>(std::unique(values.begin(), values.end()) - values.begin());
}

std::optional<std::string> invalidCellMessage(const std::optional<InvalidCell>& cell)
{
    if (!cell) return std::nullopt;
    const char column = "XYZ"[cell->column - 1];
    return "valore non numerico alla riga " + std::to_string(cell->row) + ", colonna " + column + ": " + cell->text;
}

struct Temperatures {
    double initial = 0.0;
    double final = 0.0;
};

// What the one-variable kind refuses before anything of the result changes.
std::optional<std::string> oneVariableRefusal(Temperatures& temperatures)
{
    const Session& s = session();
    const PointSet& p = s.points;
    switch (s.fit.kind) {
    case FitType::Polynomial:
    case FitType::RationalPolynomial:
        // Fewer points, or fewer distinct x, than coefficients leave infinitely
        // many curves through the points: none of them is the answer.
        if (p.count <= s.fit.degree) return TooFewForDegree;
        if (distinctValues(p.x, p.count) <= s.fit.degree) return TooFewDistinctX;
        break;
    case FitType::TemperatureTime: {
        if (p.x[1] == 0.0 || p.y[1] == 0.0) return NotPositive;
        const std::string initialText = mainInputs().initialTemperatureText();
        const std::string finalText = mainInputs().finalTemperatureText();
        const std::optional<double> initial = temperatureValue(initialText);
        if (!initial) return "temperatura non valida: " + initialText;
        const std::optional<double> final = temperatureValue(finalText);
        if (!final) return "temperatura non valida: " + finalText;
        temperatures = {*initial, *final};
        break;
    }
    default: break;
    }
    return std::nullopt;
}

void copyPolynomialToCurve(int degree)
{
    FitResult& r = session().result;
    for (int k = 0; k <= degree; ++k) r.curve[k] = r.coefficients[k + 1];
}

// The kinds with the two parameters A and B.
void copyParametersToCurve()
{
    FitResult& r = session().result;
    r.curve[0] = r.paramA;
    r.curve[1] = r.paramB;
}

void fitOneVariable(const Temperatures& temperatures)
{
    Session& s = session();
    PointSet& p = s.points;
    FitResult& r = s.result;
    const int n = p.count;
    const int degree = s.fit.degree;
    switch (s.fit.kind) {
    case FitType::Power:
        fitPower(p.x, p.y, n);
        copyParametersToCurve();
        break;
    case FitType::Polynomial:
        fitPolynomial(p.x, p.y, degree, n);
        copyPolynomialToCurve(degree);
        break;
    case FitType::Exponential:
        fitExponential(p.x, p.y, n);
        copyParametersToCurve();
        break;
    case FitType::RationalPolynomial: {
        PointArray w{};
        for (int i = 1; i <= n; ++i) w[i] = divide(1.0, p.y[i]);
        fitPolynomial(p.x, w, degree, n);
        s.fit.curveDegree = static_cast<std::uint8_t>(degree);
        copyPolynomialToCurve(degree);
        break;
    }
    case FitType::TemperatureTime:
        fitTemperatureTime(p.x, p.y, n, temperatures.initial, temperatures.final);
        r.curve[0] = r.decayM;
        r.curve[1] = r.tInitial;
        r.curve[2] = r.tFinal;
        break;
    case FitType::Saturation:
        fitSaturation(p.x, p.y, n);
        copyParametersToCurve();
        break;
    default: break; // Scatter: the points alone
    }
}

} // namespace

std::optional<double> temperatureValue(std::string_view text)
{
    const std::string number = trimRight(commaToPoint(text));
    if (number.find_first_not_of(' ') == std::string::npos) return 0.0;
    return parseDecimal(number);
}

void calculate()
{
    if (session().fit.kind == FitType::SurfaceXY)
        calculateSurface(countPoints().invalidCell);
    else
        calculateOneVariable(); // counts the grid itself
}

void calculateOneVariable()
{
    Session& s = session();
    if (auto message = invalidCellMessage(countPoints().invalidCell)) return tell(*message);
    if (s.points.count < 2) return tell(TooFewPoints);

    s.result.tInitial = 0.0;
    s.result.tFinal = 0.0;
    const int degree = std::clamp(mainInputs().degreeValue(), 1, 8);
    s.fit.degree = static_cast<std::uint16_t>(degree);
    s.fit.curveDegree = static_cast<std::uint8_t>(degree);

    const int kind = kindNumber(s.fit.kind);
    if (kind < 1 || kind > 8) return tell(" tipo non scelto=" + formatInteger(kind, 2));
    Temperatures temperatures;
    if (auto message = oneVariableRefusal(temperatures)) return tell(*message);

    try {
        selectCurveFunction();
        fitOneVariable(temperatures);
        clearReport(s.report);
        writeReportHead();
        writeOneVariableReport();
        showReportViewer();
        showFitGraph();
    } catch (const ArithmeticFault& fault) {
        tell(fault.what());
    }
}

void calculateSurface(const std::optional<InvalidCell>& invalidCell)
{
    Session& s = session();
    // Refused before the sort, which rewrites every cell of the grid.
    if (auto message = invalidCellMessage(invalidCell)) return tell(*message);
    sortPointsByX();
    const int degree = std::clamp(mainInputs().degreeValue(), 2, 4);
    s.fit.degree = static_cast<std::uint16_t>(degree);
    s.fit.curveDegree = static_cast<std::uint8_t>(degree);

    const int n = countPoints().points;
    if (n < 2) return tell(TooFewPoints);
    if (n > MaxSurfacePoints) return tell(TooManySurfacePoints);
    if (n < surfaceTermCount(degree)) return tell(TooFewForDegree);
    if (!surfaceTermsDetermined(s.points.x, s.points.y, n, degree)) return tell(SurfaceUndetermined);
    s.fit.kind = FitType::SurfaceXY;
    s.points.foundCount = static_cast<std::uint8_t>(n);

    try {
        SurfacePoints table{};
        for (int i = 1; i <= n; ++i) table[i] = {s.points.x[i], s.points.y[i], s.points.z[i]};
        fitSurface(table, n, degree, s.result.coefficients);
        writeSurfaceReport();
        showReportViewer();
    } catch (const ArithmeticFault& fault) {
        tell(fault.what());
    }
}

void showFitGraph()
{
    const Session& s = session();
    if (s.points.foundCount == 0) return;
    if (Presenter* p = presenter()) p->showGraph("file:" + s.currentDataSetName);
}

} // namespace calvero
