#include "app/calculatecommand.h"

#include "app/document.h"
#include "fit/pointordering.h"
#include "fit/workingset.h"

#include <variant>

namespace calvero {

namespace {

CalculationInput inputOf(const Workspace& work, const PointCount& counted)
{
    CalculationInput input;
    input.points = work.document.points;
    input.pointCount = counted.points;
    input.invalidCell = counted.invalidCell;
    input.kind = work.document.kind;
    input.degree = work.inputs.degreeValue();
    input.initialTemperature = work.inputs.initialTemperatureText();
    input.finalTemperature = work.inputs.finalTemperatureText();
    input.options = work.document.options;
    if (input.options.weighting == Weighting::Column) {
        // One-variable kinds: the column after x and y is z; the surface's is the fourth.
        if (input.kind == FitType::SurfaceXY) {
            input.options.pointWeights = work.document.weightColumn;
        } else {
            for (int i = 1; i <= counted.points; ++i) input.options.pointWeights.push_back(work.document.points.z[i]);
        }
    }
    return input;
}

void keep(Document& d, const Calculation& done)
{
    d.kind = done.kind;
    d.degree = done.degree;
    d.points.foundCount = static_cast<std::uint8_t>(done.pointCount);
    keepCoefficients(d.coefficients, done);
    d.lastCalculation = done;
}

} // namespace

CalculationInput currentCalculationInput(const Workspace& work)
{
    PointSet points = work.document.points;
    const PointCount counted = countPoints(work.document.grid, points, work.document.kind);
    CalculationInput input = inputOf(work, counted);
    input.points = points;
    if (input.options.weighting == Weighting::Column && input.kind != FitType::SurfaceXY) {
        input.options.pointWeights.clear();
        for (int i = 1; i <= counted.points; ++i) input.options.pointWeights.push_back(points.z[i]);
    }
    return input;
}

Outcome calculateDocument(const Workspace& work)
{
    Document& d = work.document;
    const PointCount counted = countPoints(d.grid, d.points, d.kind);
    // The surface's points are ordered by x in the grid before anything else.
    if (d.kind == FitType::SurfaceXY && !counted.invalidCell) sortPointsByX(d.points, d.grid, &d.weightColumn);
    Outcome outcome = calculate(inputOf(work, counted));
    if (const Calculation* done = std::get_if<Calculation>(&outcome)) keep(d, *done);
    return outcome;
}

void calculate(const Workspace& work)
{
    const Outcome outcome = calculateDocument(work);
    if (const Refusal* refusal = std::get_if<Refusal>(&outcome)) return work.tell(refusal->message);
    if (work.presenter) work.presenter->showReport();
    if (std::get<Calculation>(outcome).hasGraph()) showFitGraph(work);
}

void showFitGraph(const Workspace& work)
{
    if (work.presenter) work.presenter->showGraph("file:" + work.document.currentDataSetName);
}

} // namespace calvero
