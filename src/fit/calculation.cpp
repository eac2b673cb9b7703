#include "fit/calculation.h"

#include "common/fault.h"
#include "fit/fits.h"
#include "fit/kernel.h"
#include "common/numtext.h"
#include "fit/reportwriter.h"
#include "fit/steering.h"

#include <algorithm>

namespace calvero {

namespace {

const char* const TooFewPoints = " numero punti=  <2!";
const char* const TooFewForDegree = "numero punti insufficiente per il grado scelto";
const char* const TooManySurfacePoints = "massimo 100 punti per il polinomio Z=F(x,y)";
const char* const NotPositive = "tutti numeri devono essere>0!";
const char* const TooFewDistinctX = "valori di x diversi insufficienti per il grado scelto";
const char* const SurfaceUndetermined =
    "i punti non bastano a determinare i termini del polinomio Z=F(x,y) del grado scelto";

std::string invalidCellMessage(const InvalidCell& cell)
{
    const char column = "XYZ"[cell.column - 1];
    return "valore non numerico alla riga " + std::to_string(cell.row) + ", colonna " + column + ": " + cell.text;
}

int distinctValues(const PointArray& v, int n)
{
    std::vector<double> values(v.items.begin(), v.items.begin() + n);
    std::sort(values.begin(), values.end());
    return static_cast<int>(std::unique(values.begin(), values.end()) - values.begin());
}

struct Temperatures {
    double initial = 0.0;
    double final = 0.0;
};

// What the one-variable kind refuses before it fits.
std::optional<std::string> oneVariableRefusal(const CalculationInput& in, int degree, Temperatures& temperatures)
{
    const PointSet& p = in.points;
    switch (in.kind) {
    case FitType::Polynomial:
    case FitType::RationalPolynomial:
        // Fewer points, or fewer distinct x, than coefficients leave infinitely
        // many curves through the points: none of them is the answer.
        if (in.pointCount <= degree) return TooFewForDegree;
        if (distinctValues(p.x, in.pointCount) <= degree) return TooFewDistinctX;
        break;
    case FitType::TemperatureTime: {
        if (p.x[1] == 0.0 || p.y[1] == 0.0) return NotPositive;
        const std::optional<double> initial = temperatureValue(in.initialTemperature);
        if (!initial) return "temperatura non valida: " + in.initialTemperature;
        const std::optional<double> final = temperatureValue(in.finalTemperature);
        if (!final) return "temperatura non valida: " + in.finalTemperature;
        temperatures = {*initial, *final};
        break;
    }
    default: break;
    }
    return std::nullopt;
}

// The coefficients of a steered fit, or its refusal.
Checked<std::vector<double>> steeredCoefficients(FitType kind, const PointSet& p, int n, int degree,
                                                 const FitOptions& options, bool& slopeBound)
{
    const Checked<SteeredFit> fit = fitSteered(steeredProblem(kind, degree, p, n, options));
    if (!fit) return failed<std::vector<double>>(fit.failure);
    slopeBound = fit->slopeBound;
    return succeeded(fit->coefficients);
}

PolynomialCoefficients polynomialCoefficients(const std::vector<double>& fitted)
{
    PolynomialCoefficients coefficients{};
    for (std::size_t k = 0; k < fitted.size(); ++k) coefficients[static_cast<int>(k) + 1] = fitted[k];
    return coefficients;
}

std::optional<FittedCurve> fitOneVariable(FitType kind, const PointSet& p, int n, int degree,
                                          const Temperatures& temperatures)
{
    switch (kind) {
    case FitType::Power: return PowerCurve{fitPower(p.x, p.y, n)};
    case FitType::Polynomial: return PolynomialCurve{fitPolynomial(p.x, p.y, degree, n), degree};
    case FitType::Exponential: return ExponentialCurve{fitExponential(p.x, p.y, n)};
    case FitType::RationalPolynomial: {
        PointArray w{};
        for (int i = 1; i <= n; ++i) w[i] = divide(1.0, p.y[i]);
        return RationalCurve{fitPolynomial(p.x, w, degree, n), degree};
    }
    case FitType::TemperatureTime:
        return TemperatureTimeCurve{fitTemperatureTime(p.x, p.y, n, temperatures.initial, temperatures.final),
                                    temperatures.initial, temperatures.final};
    case FitType::Saturation: return SaturationCurve{fitSaturation(p.x, p.y, n)};
    default: return std::nullopt; // Scatter: the points alone
    }
}

Outcome calculateOneVariable(const CalculationInput& in)
{
    if (in.invalidCell) return Refusal{invalidCellMessage(*in.invalidCell)};
    if (in.pointCount < 2) return Refusal{TooFewPoints};
    const int degree = std::clamp(in.degree, 1, 8);
    const int kind = kindNumber(in.kind);
    if (kind < 1 || kind > 8) return Refusal{" tipo non scelto=" + formatInteger(kind, 2)};
    Temperatures temperatures;
    if (auto message = oneVariableRefusal(in, degree, temperatures)) return Refusal{*message};

    const bool steered = in.options.any();
    if (steered) {
        if (auto message = steeringRefusal(in.kind, degree, in.points, in.pointCount, in.options)) return Refusal{*message};
    }

    Calculation done;
    done.kind = in.kind;
    done.degree = degree;
    done.points = in.points;
    done.pointCount = in.pointCount;
    done.options = in.options;
    if (steered) {
        const Checked<std::vector<double>> fitted =
            steeredCoefficients(in.kind, in.points, in.pointCount, degree, in.options, done.slopeBound);
        if (!fitted) return Refusal{fitted.failure};
        const PolynomialCoefficients c = polynomialCoefficients(*fitted);
        if (in.kind == FitType::RationalPolynomial) done.curve = RationalCurve{c, degree};
        else done.curve = PolynomialCurve{c, degree};
    } else {
        done.curve = fitOneVariable(in.kind, in.points, in.pointCount, degree, temperatures);
    }
    ReportBuffer report;
    clearReport(report);
    const ReportSubject subject{in.kind, degree, done.points, done.pointCount, done.curve ? &*done.curve : nullptr,
                                optionsLine(in.options, in.kind)};
    writeReportHead(report, subject);
    writeOneVariableReport(report, subject);
    done.report = reportLines(report);
    return done;
}

Outcome calculateSurface(const CalculationInput& in)
{
    if (in.invalidCell) return Refusal{invalidCellMessage(*in.invalidCell)};
    const int degree = std::clamp(in.degree, 2, 4);
    const int n = in.pointCount;
    if (n < 2) return Refusal{TooFewPoints};
    if (n > MaxSurfacePoints) return Refusal{TooManySurfacePoints};
    if (n < surfaceTermCount(degree)) return Refusal{TooFewForDegree};
    Calculation done;
    done.kind = FitType::SurfaceXY;
    done.degree = degree;
    done.points = in.points;
    done.pointCount = n;
    done.options = in.options;
    sortByX(done.points, n, &done.options.pointWeights);
    if (!surfaceTermsDetermined(done.points.x, done.points.y, n, degree)) return Refusal{SurfaceUndetermined};

    if (done.options.any()) {
        if (auto message = steeringRefusal(FitType::SurfaceXY, degree, done.points, n, done.options))
            return Refusal{*message};
        const Checked<std::vector<double>> fitted =
            steeredCoefficients(FitType::SurfaceXY, done.points, n, degree, done.options, done.slopeBound);
        if (!fitted) return Refusal{fitted.failure};
        for (std::size_t k = 0; k < fitted->size(); ++k) done.surface[static_cast<int>(k) + 1] = (*fitted)[k];
    } else {
        SurfacePoints table{};
        for (int i = 1; i <= n; ++i) table[i] = {done.points.x[i], done.points.y[i], done.points.z[i]};
        done.surface = fitSurface(table, n, degree);
    }
    ReportBuffer report;
    writeSurfaceReport(report, degree, done.points, n, done.surface, optionsLine(done.options, FitType::SurfaceXY));
    done.report = reportLines(report);
    return done;
}

} // namespace

std::optional<double> temperatureValue(std::string_view text)
{
    const std::string number = trimRight(commaToPoint(text));
    if (number.find_first_not_of(' ') == std::string::npos) return 0.0;
    return parseDecimal(number);
}

void sortByX(PointSet& points, int count, std::vector<double>* along)
{
    const bool carried = along && along->size() >= static_cast<std::size_t>(count);
    for (int a = 1; a <= count; ++a) {
        for (int c = a + 1; c <= count; ++c) {
            if (points.x[a] > points.x[c]) {
                swapValues(points.x[a], points.x[c]);
                swapValues(points.y[a], points.y[c]);
                swapValues(points.z[a], points.z[c]);
                if (carried) swapValues((*along)[static_cast<std::size_t>(a - 1)], (*along)[static_cast<std::size_t>(c - 1)]);
            }
        }
    }
}

Outcome calculate(const CalculationInput& input)
{
    try {
        if (input.kind == FitType::SurfaceXY) return calculateSurface(input);
        return calculateOneVariable(input);
    } catch (const ArithmeticFault& fault) {
        // The one place where an arithmetic fault becomes a refusal.
        return Refusal{fault.what()};
    }
}

} // namespace calvero
