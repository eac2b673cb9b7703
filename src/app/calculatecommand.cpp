#include "app/calculatecommand.h"

#include "app/datasetcommands.h"
#include "app/document.h"
#include "entry/gridinput.h"
#include "entry/pointordering.h"

namespace calvero {

namespace {

// What the main window's controls hold now; the kind is the document's,
// which the radio group sets.
TypedChoices typedChoices(const Workspace& work)
{
    return {work.document.kind, work.inputs.degreeValue(), work.inputs.initialTemperatureText(),
            work.inputs.finalTemperatureText()};
}

// The document's fit options for the points read, with their weights from a column.
void takeOptions(const Document& d, CalculationInput& input)
{
    input.options = d.options;
    takeColumnWeights(input, d.weightColumn);
}

void keep(Document& d, const Calculation& done)
{
    d.kind = done.kind;
    d.degree = done.degree;
    d.points.foundCount = done.pointCount;
    keepCoefficients(d.coefficients, done);
    d.lastCalculation = done;
}

} // namespace

Checked<CalculationInput> currentCalculationInput(const Workspace& work)
{
    PointSet points = work.document.points;
    Checked<CalculationInput> input = readCalculationInput(work.document.grid, points, typedChoices(work));
    if (input) takeOptions(work.document, *input);
    return input;
}

Outcome calculateDocument(const Workspace& work)
{
    Document& d = work.document;
    Checked<CalculationInput> input = readCalculationInput(d.grid, d.points, typedChoices(work));
    if (!input) return failed<Calculation>(input.refusal);
    // The surface's points are ordered by x in the grid before anything else.
    if (d.kind == FitType::SurfaceXY) {
        sortPointsByX(d.points, d.grid, &d.weightColumn);
        input->points = d.points;
    }
    takeOptions(d, *input);
    Outcome outcome = calculate(*input);
    if (outcome) keep(d, *outcome);
    return outcome;
}

Failure calculate(const Workspace& work)
{
    const Outcome outcome = calculateDocument(work);
    if (!outcome) return outcome.failure();
    // The kind calculated is now the data set's fit, not the equation fitted before.
    work.document.lastEquation.reset();
    if (work.presenter) work.presenter->showReport();
    if (outcome->hasGraph()) showFitGraph(work);
    return std::nullopt;
}

void showFitGraph(const Workspace& work)
{
    if (work.presenter) work.presenter->showGraph("file:" + pointsCaption(work.document));
}

} // namespace calvero
