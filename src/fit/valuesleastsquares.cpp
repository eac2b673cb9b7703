#include "fit/valuesleastsquares.h"

#include "fit/equationparser.h"
#include "fit/nonlinearfit.h"

namespace calvero {

namespace {

// The kind's curve as a typed equation: its text, its parameters' values
// in the order they appear, and which of them stay as they are.
struct CurveEquation {
    ParsedEquation equation;
    std::vector<double> parameters;
    std::vector<bool> fixed;
};

CurveEquation equationOf(const FittedCurve& curve)
{
    CurveEquation e;
    auto read = [&e](const char* text) { e.equation = *readEquation(text); };
    if (const auto* p = std::get_if<PowerCurve>(&curve)) {
        read("y = A*x^B");
        e.parameters = {p->parameters.a, p->parameters.b};
    } else if (const auto* x = std::get_if<ExponentialCurve>(&curve)) {
        read("y = A*exp(B*x)");
        e.parameters = {x->parameters.a, x->parameters.b};
    } else if (const auto* s = std::get_if<SaturationCurve>(&curve)) {
        read("y = 10^(A + B/x)");
        e.parameters = {s->parameters.a, s->parameters.b};
    } else if (const auto* t = std::get_if<TemperatureTimeCurve>(&curve)) {
        read("y = Tf - exp(-M*x)*(Tf - Ti)");
        e.parameters = {t->final, t->decayM, t->initial};
        e.fixed = {true, false, true};
    }
    if (e.fixed.empty()) e.fixed.assign(e.parameters.size(), false);
    return e;
}

FittedCurve curveOf(const FittedCurve& like, const std::vector<double>& b)
{
    if (std::holds_alternative<PowerCurve>(like)) return PowerCurve{{b[0], b[1]}};
    if (std::holds_alternative<ExponentialCurve>(like)) return ExponentialCurve{{b[0], b[1]}};
    if (std::holds_alternative<SaturationCurve>(like)) return SaturationCurve{{b[0], b[1]}};
    return TemperatureTimeCurve{b[1], b[2], b[0]};
}

NonlinearProblem problemOf(const CurveEquation& e, const PointSet& points, int n)
{
    NonlinearProblem problem = plainProblem(e.equation.expression, {points.x.first(n), {}}, {}, {points.y.first(n), {}});
    problem.fixed = e.fixed;
    return problem;
}

} // namespace

bool takesLeastSquaresInY(FitType kind)
{
    return kind == FitType::Power || kind == FitType::Exponential || kind == FitType::Saturation ||
           kind == FitType::TemperatureTime;
}

Checked<FittedCurve> leastSquaresInY(const FittedCurve& transformed, const PointSet& points, int n)
{
    const CurveEquation e = equationOf(transformed);
    if (e.parameters.empty()) return succeeded(transformed);
    const Checked<NonlinearSolution> solved = solveNonlinear(problemOf(e, points, n), e.parameters);
    if (!solved) return failed<FittedCurve>(solved.refusal);
    return succeeded(curveOf(transformed, solved->parameters));
}

std::vector<double> valuesVarianceFactors(const FittedCurve& curve, const PointSet& points, int n)
{
    const CurveEquation e = equationOf(curve);
    if (e.parameters.empty()) return {};
    return jacobianFigures(problemOf(e, points, n), e.parameters).varianceFactors;
}

JacobianModel valuesJacobianModel(const FittedCurve& curve, const PointSet& points, int n)
{
    const CurveEquation e = equationOf(curve);
    const NonlinearProblem problem = problemOf(e, points, n);
    return jacobianModel(problem, e.parameters, {}, sumOfSquares(problem, e.parameters), Weighting::None);
}

} // namespace calvero
