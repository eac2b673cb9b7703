#include "app/datasetfile.h"

#include "app/document.h"
#include "formats/equationfile.h"
#include "formats/fitoptionsfile.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "entry/gridinput.h"
#include "entry/pointordering.h"
#include "fit/workingset.h"

namespace calvero {

namespace {

// The values of a file into the document and the main window, in the order
// the shared fields need: the radio group may set the kind on its own, so
// the kind of the file is set again afterwards.
void applyContents(const Workspace& work, const DataSetFileContents& file, const std::string& path)
{
    Document& d = work.document;
    MainWindowInputs& inputs = work.inputs;
    d.currentDataSetName = path;

    d.kind = static_cast<FitType>(file.kind);
    d.degree = file.degree;
    d.points.foundCount = file.count;
    inputs.setDegreeValue(file.degree);
    inputs.setKindItemIndex(file.kind - 1);
    d.points.count = d.points.foundCount;
    d.coefficients.block = file.curveBlock;
    d.kind = static_cast<FitType>(file.kind);
    d.points.x = columnValues(file.x);
    d.points.y = columnValues(file.y);
    d.points.z = columnValues(file.z);
    countStoredPoints(d.points);
    fillPointGrid(d.grid, d.points);
    sortPointsByX(d.points, d.grid);

    // The block's ninth and tenth numbers are the two temperatures.
    inputs.setInitialTemperatureText(formatReal(file.curveBlock[9], TemperatureFieldWidth, TemperatureFieldDecimals));
    inputs.setFinalTemperatureText(formatReal(file.curveBlock[10], TemperatureFieldWidth, TemperatureFieldDecimals));
}

} // namespace

void takeSaveChoices(const Workspace& work)
{
    Document& d = work.document;
    countStoredPoints(d.points);
    d.degree = work.inputs.degreeValue();
    d.kind = static_cast<FitType>(work.inputs.kindItemIndex() + 1);
}

Failure writeDataSetFile(const Workspace& work, const std::string& path)
{
    Document& d = work.document;
    takeSaveChoices(work);
    // What calvero1-batch NAME.dat fits: the equation must give what the data set holds.
    if (d.lastEquation && d.lastEquation->equation.twoVariables != (d.kind == FitType::SurfaceXY))
        return "l'equazione " + d.lastEquation->equation.text + " d\u00e0 " + d.lastEquation->equation.response() +
               ", ma il tipo scelto " + (d.kind == FitType::SurfaceXY ? "ha anche z" : "non ha z") +
               ": scegliere " + (d.kind == FitType::SurfaceXY ? "un tipo di una variabile" : "la superficie") +
               ", o calcolare un tipo, prima di salvare";
    // A field the calculation would refuse is saved as 0, as it always was.
    d.coefficients.block[9] = temperatureValue(work.inputs.initialTemperatureText()).value_or(0.0);
    d.coefficients.block[10] = temperatureValue(work.inputs.finalTemperatureText()).value_or(0.0);

    DataSetFileContents contents;
    contents.kind = static_cast<std::uint8_t>(d.kind);
    contents.degree = static_cast<std::uint8_t>(d.degree & 0xFF);
    contents.count = d.points.foundCount;
    contents.curveBlock = d.coefficients.block;
    contents.x = fileColumn(d.points.x);
    contents.y = fileColumn(d.points.y);
    contents.z = fileColumn(d.points.z);

    const Checked<std::string> text = formatDataSetFile(contents);
    if (!text) return text.failure();
    if (Failure failure = writeOutputFile(path, *text)) return failure;
    if (Failure failure = saveDataSetOptions(path, d.options)) return failure;
    if (!d.lastEquation) return std::nullopt;
    return saveDataSetEquation(path, *d.lastEquation);
}

Failure loadDataSetFile(const Workspace& work, const std::string& path)
{
    const Checked<DataSetFileContents> contents = readDataSetFile(path);
    if (!contents) return contents.failure();
    // The options steer the fit of this data set: it is not read without them.
    Checked<FitOptions> options = readDataSetOptions(path);
    if (!options) return options.failure();
    // So is the equation saved beside it, which the equation window then shows.
    Checked<std::optional<SavedEquation>> equation = readDataSetEquation(path);
    if (!equation) return equation.failure();
    applyContents(work, *contents, path);
    work.document.options = std::move(*options);
    work.document.lastEquation = std::move(*equation);
    work.document.weightColumn.clear();
    return std::nullopt;
}

} // namespace calvero
