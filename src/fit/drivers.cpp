#include "fit/drivers.h"

#include "fit/curvefunctions.h"
#include "fit/frontend.h"
#include "fit/pointordering.h"
#include "fit/session.h"

#include <variant>

namespace calvero {

namespace {

CalculationInput inputFromSession(const PointCount& counted)
{
    const Session& s = session();
    CalculationInput input;
    input.points = s.points;
    input.pointCount = counted.points;
    input.invalidCell = counted.invalidCell;
    input.kind = s.fit.kind;
    input.degree = mainInputs().degreeValue();
    input.initialTemperature = mainInputs().initialTemperatureText();
    input.finalTemperature = mainInputs().finalTemperatureText();
    return input;
}

void storePolynomial(FitResult& r, const PolynomialCoefficients& c, int degree)
{
    for (int k = 1; k <= degree + 1; ++k) r.coefficients[k] = c[k];
    for (int k = 0; k <= degree; ++k) r.curve[k] = c[k + 1];
}

void storeParameters(FitResult& r, const TwoParameters& p)
{
    r.paramA = r.curve[0] = p.a;
    r.paramB = r.curve[1] = p.b;
}

// The curve's numbers in the result's slots, where the graph, the workbook
// and the data set file read them.
struct CurveStore {
    FitResult& r;
    void operator()(const PowerCurve& c) const { storeParameters(r, c.parameters); }
    void operator()(const PolynomialCurve& c) const { storePolynomial(r, c.coefficients, c.degree); }
    void operator()(const ExponentialCurve& c) const { storeParameters(r, c.parameters); }
    void operator()(const RationalCurve& c) const { storePolynomial(r, c.coefficients, c.degree); }
    void operator()(const TemperatureTimeCurve& c) const
    {
        r.decayM = r.curve[0] = c.decayM;
        r.tInitial = r.curve[1] = c.initial;
        r.tFinal = r.curve[2] = c.final;
    }
    void operator()(const SaturationCurve& c) const { storeParameters(r, c.parameters); }
};

} // namespace

void applyCalculation(const Calculation& done)
{
    Session& s = session();
    s.fit.kind = done.kind;
    s.fit.degree = static_cast<std::uint16_t>(done.degree);
    s.fit.curveDegree = static_cast<std::uint8_t>(done.degree);
    clearReport(s.report);
    for (const std::string& line : done.report) appendLine(s.report, line);
    if (done.kind == FitType::SurfaceXY) {
        for (int k = 1; k <= surfaceTermCount(done.degree); ++k) s.result.coefficients[k] = done.surface[k];
        s.points.foundCount = static_cast<std::uint8_t>(done.pointCount);
        return;
    }
    s.result.tInitial = 0.0;
    s.result.tFinal = 0.0;
    if (done.curve) std::visit(CurveStore{s.result}, *done.curve);
    selectCurveFunction();
    // The graph marks the points the report lists.
    s.points.count = static_cast<std::uint16_t>(std::min(done.pointCount, MaxListedPoints));
}

CalculationInput currentCalculationInput() { return inputFromSession(countPoints()); }

Outcome calculateSession()
{
    const PointCount counted = countPoints();
    // The surface's points are ordered by x in the grid before anything else.
    if (session().fit.kind == FitType::SurfaceXY && !counted.invalidCell) sortPointsByX();
    Outcome outcome = calculate(inputFromSession(counted));
    if (const Calculation* done = std::get_if<Calculation>(&outcome)) applyCalculation(*done);
    return outcome;
}

void calculate()
{
    const Outcome outcome = calculateSession();
    Presenter* shown = presenter();
    if (const Refusal* refusal = std::get_if<Refusal>(&outcome)) {
        if (shown) shown->showMessage(refusal->message);
        return;
    }
    const Calculation& done = std::get<Calculation>(outcome);
    if (shown) shown->showReport();
    if (done.hasGraph()) showFitGraph();
}

void showFitGraph()
{
    const Session& s = session();
    if (s.points.foundCount == 0) return;
    if (Presenter* p = presenter()) p->showGraph("file:" + s.currentDataSetName);
}

} // namespace calvero
