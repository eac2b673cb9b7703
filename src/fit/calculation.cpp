#include "fit/calculation.h"

#include "fit/fault.h"
#include "fit/fits.h"
#include "fit/kernel.h"
#include "common/numtext.h"
#include "fit/reportwriter.h"
#include "fit/steering.h"
#include "fit/valuesleastsquares.h"

#include <algorithm>

namespace calvero {

namespace {

// Whether values 1..n take more than most distinct values: one sweep that
// stops at the first value beyond them (a degree's few), however many points.
bool moreDistinctThan(const PointArray& v, int n, int most)
{
    std::vector<double> seen;
    for (const double value : v.first(n)) {
        if (std::find(seen.begin(), seen.end(), value) != seen.end()) continue;
        if (static_cast<int>(seen.size()) == most) return true;
        seen.push_back(value);
    }
    return false;
}

struct Temperatures {
    double initial = 0.0;
    double final = 0.0;
};

// What the one-variable kind refuses before it fits.
std::optional<Refusal> oneVariableRefusal(const CalculationInput& in, int degree)
{
    const PointSet& p = in.points;
    switch (in.kind) {
    case FitType::Polynomial:
    case FitType::RationalPolynomial:
        // Fewer points, or fewer distinct x, than coefficients leave infinitely
        // many curves through the points: none of them is the answer.
        if (in.pointCount <= degree) return refusalOf(RefusalCode::TooFewPointsForDegree);
        if (!moreDistinctThan(p.x, in.pointCount, degree)) return refusalOf(RefusalCode::TooFewDistinctX);
        break;
    case FitType::TemperatureTime:
        if (p.x[1] == 0.0 || p.y[1] == 0.0) return refusalOf(RefusalCode::NotPositive);
        break;
    default: break;
    }
    return std::nullopt;
}

// The coefficients of a steered fit, or its refusal.
Checked<std::vector<double>> steeredCoefficients(FitType kind, const PointSet& p, int n, int degree,
                                                 const FitOptions& options, bool& slopeBound)
{
    const Checked<SteeredFit> fit = fitSteered(steeredProblem(kind, degree, p, n, options));
    if (!fit) return failed<std::vector<double>>(fit.refusal);
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
                                          const Temperatures& temperatures, std::optional<DesignConditioning>& design)
{
    switch (kind) {
    case FitType::Power: return PowerCurve{fitPower(p.x, p.y, n)};
    case FitType::Polynomial: return PolynomialCurve{fitPolynomial(p.x, p.y, degree, n, &design.emplace()), degree};
    case FitType::Exponential: return ExponentialCurve{fitExponential(p.x, p.y, n)};
    case FitType::RationalPolynomial: {
        PointArray w{};
        for (int i = 1; i <= n; ++i) w[i] = divide(1.0, p.y[i]);
        return RationalCurve{fitPolynomial(p.x, w, degree, n, &design.emplace()), degree};
    }
    case FitType::TemperatureTime:
        return TemperatureTimeCurve{fitTemperatureTime(p.x, p.y, n, temperatures.initial, temperatures.final),
                                    temperatures.initial, temperatures.final};
    case FitType::Saturation: return SaturationCurve{fitSaturation(p.x, p.y, n)};
    default: return std::nullopt; // Scatter: the points alone
    }
}

Outcome refused(Refusal refusal) { return failed<Calculation>(std::move(refusal)); }
Outcome refused(RefusalCode code) { return refused(Refusal{code, {}}); }

Outcome calculateOneVariable(CalculationInput& in)
{
    if (in.pointCount < 2) return refused(RefusalCode::TooFewPoints);
    const int most = in.limit == PointLimit::Grid ? MaxPoints : MaxEnginePoints;
    if (in.pointCount > most) return refused(Refusal{RefusalCode::TooManyPoints, {std::to_string(most)}});
    const int degree = std::clamp(in.degree, 1, 8);
    const int kind = kindNumber(in.kind);
    if (kind < 1 || kind > 8) return refused(Refusal{RefusalCode::KindNotChosen, {std::to_string(kind)}});
    if (auto message = oneVariableRefusal(in, degree)) return refused(*message);
    // An empty temperature field reads as 0.
    const Temperatures temperatures{in.initialTemperature.value_or(0.0), in.finalTemperature.value_or(0.0)};
    if (in.options.leastSquaresInY) {
        if (in.options.minimax || in.options.anyShape())
            return refused(RefusalCode::LeastSquaresInYNotWithOptions);
        if (!takesLeastSquaresInY(in.kind)) return refused(Refusal{RefusalCode::OptionNotForKind, {"leastSquaresInY"}});
    }
    const bool steered = in.options.any();
    if (steered) {
        if (auto message = steeringRefusal(in.kind, degree, in.points, in.pointCount, in.options))
            return refused(*message);
    }

    Calculation done;
    done.kind = in.kind;
    done.degree = degree;
    done.points = std::move(in.points);
    done.pointCount = in.pointCount;
    done.options = in.options;
    if (steered) {
        const Checked<std::vector<double>> fitted =
            steeredCoefficients(in.kind, done.points, in.pointCount, degree, in.options, done.slopeBound);
        if (!fitted) return refused(fitted.refusal);
        const PolynomialCoefficients c = polynomialCoefficients(*fitted);
        if (in.kind == FitType::RationalPolynomial) done.curve = RationalCurve{c, degree};
        else done.curve = PolynomialCurve{c, degree};
    } else {
        done.curve = fitOneVariable(in.kind, done.points, in.pointCount, degree, temperatures, done.design);
        if (in.options.leastSquaresInY && done.curve) {
            Checked<FittedCurve> refined = leastSquaresInY(*done.curve, done.points, in.pointCount);
            if (!refined) return refused(refined.refusal);
            done.curve = *refined;
        }
    }
    return succeeded(std::move(done));
}

ReportSubject subjectOf(const Calculation& done)
{
    return {done.kind,       done.degree, done.points, done.pointCount, done.curve ? &*done.curve : nullptr,
            optionsLine(done.options, done.kind)};
}

// The report's lines; an arithmetic fault of the report stops them.
std::vector<std::string> writeReport(const Calculation& done)
{
    ReportBuffer report;
    if (done.kind == FitType::SurfaceXY) {
        writeSurfaceReport(report, done.degree, done.points, done.pointCount, done.surface,
                           optionsLine(done.options, FitType::SurfaceXY));
    } else {
        clearReport(report);
        writeReportHead(report, subjectOf(done));
        writeOneVariableReport(report, subjectOf(done));
    }
    return reportLines(report);
}

// The faults writeReport would raise, without its text.
void checkReport(const Calculation& done)
{
    if (done.kind == FitType::SurfaceXY)
        checkSurfaceReport(done.degree, done.points, done.pointCount, done.surface);
    else
        checkOneVariableReport(subjectOf(done));
}

Outcome calculateSurface(CalculationInput& in)
{
    const int degree = std::clamp(in.degree, 2, 4);
    const int n = in.pointCount;
    if (n < 2) return refused(RefusalCode::TooFewPoints);
    const int most = in.limit == PointLimit::Grid ? MaxSurfacePoints : MaxEnginePoints;
    if (n > most) return refused(Refusal{RefusalCode::TooManyPoints, {std::to_string(most), "polinomio Z=F(x,y)"}});
    if (n < surfaceTermCount(degree)) return refused(RefusalCode::TooFewPointsForDegree);
    Calculation done;
    done.kind = FitType::SurfaceXY;
    done.degree = degree;
    done.points = std::move(in.points);
    done.pointCount = n;
    done.options = in.options;
    sortByX(done.points, n, &done.options.pointWeights);
    if (!surfaceTermsDetermined(done.points.x, done.points.y, n, degree)) return refused(RefusalCode::SurfaceUndetermined);

    if (done.options.any()) {
        if (auto message = steeringRefusal(FitType::SurfaceXY, degree, done.points, n, done.options))
            return refused(*message);
        const Checked<std::vector<double>> fitted =
            steeredCoefficients(FitType::SurfaceXY, done.points, n, degree, done.options, done.slopeBound);
        if (!fitted) return refused(fitted.refusal);
        for (std::size_t k = 0; k < fitted->size(); ++k) done.surface[static_cast<int>(k) + 1] = (*fitted)[k];
    } else {
        SurfacePoints table{};
        for (int i = 1; i <= n; ++i) table[i] = {done.points.x[i], done.points.y[i], done.points.z[i]};
        done.surface = fitSurface(table, n, degree, &done.design.emplace());
    }
    return succeeded(std::move(done));
}

} // namespace

void takeColumnWeights(CalculationInput& input, const std::vector<double>& fourth)
{
    if (input.options.weighting != Weighting::Column) return;
    if (input.kind == FitType::SurfaceXY) {
        input.options.pointWeights = fourth;
        return;
    }
    input.options.pointWeights.clear();
    for (int i = 1; i <= input.pointCount; ++i) input.options.pointWeights.push_back(input.points.z[i]);
}

void sortByX(PointSet& points, int count, std::vector<double>* along)
{
    const bool carried = along && along->size() >= static_cast<std::size_t>(count);
    if (count > MaxPoints) {
        // More points than a grid holds: a stable sort, as quick as any.
        std::vector<int> order(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i + 1;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return points.x[a] < points.x[b]; });
        PointSet sorted = points;
        std::vector<double> carriedValues = carried ? *along : std::vector<double>{};
        for (int k = 1; k <= count; ++k) {
            const int from = order[static_cast<std::size_t>(k - 1)];
            sorted.x[k] = points.x[from];
            sorted.y[k] = points.y[from];
            sorted.z[k] = points.z[from];
            if (carried) carriedValues[static_cast<std::size_t>(k - 1)] = (*along)[static_cast<std::size_t>(from - 1)];
        }
        points = std::move(sorted);
        if (carried) *along = std::move(carriedValues);
        return;
    }
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

Outcome calculate(CalculationInput input, ReportText text)
{
    // Every coordinate holds a value for each point (0 where none was
    // written), and nothing beyond them.
    input.pointCount = std::max(input.pointCount, 0);
    for (PointValues* values : {&input.points.x, &input.points.y, &input.points.z}) values->resize(input.pointCount);
    try {
        Outcome outcome = input.kind == FitType::SurfaceXY ? calculateSurface(input) : calculateOneVariable(input);
        if (!outcome) return outcome;
        if (text == ReportText::Now)
            outcome->report = writeReport(*outcome);
        else
            checkReport(*outcome); // what the report would refuse is refused now all the same
        return outcome;
    } catch (const ArithmeticFault& fault) {
        // The one place where an arithmetic fault becomes a refusal.
        return refused(faultRefusal(fault.kind()));
    }
}

std::vector<std::string> reportOf(const Calculation& done)
{
    if (!done.report.empty()) return done.report;
    try {
        return writeReport(done);
    } catch (const ArithmeticFault& fault) {
        return {refusalText(faultRefusal(fault.kind()))}; // never for a calculation that calculate() gave
    }
}

} // namespace calvero
