#include "app/datasetcommands.h"

#include "app/calculatecommand.h"
#include "app/datasetfile.h"
#include "app/document.h"
#include "app/examples.h"
#include "entry/gridinput.h"
#include "entry/importcommand.h"
#include "entry/spreadsheetexport.h"
#include "entry/pointordering.h"
#include "common/outputpaths.h"
#include "fit/workingset.h"
#include "formats/fitoptionsfile.h"

#include <filesystem>
#include <vector>

namespace calvero {

namespace {

// What the data set file just written or read holds of what the user types.
void rememberStored(const Workspace& work)
{
    Document& d = work.document;
    d.stored = {d.points, work.inputs.initialTemperatureText(), work.inputs.finalTemperatureText()};
}

// Reads the data set file; what it then holds is what the user has saved.
Failure read(const Workspace& work, const std::string& path)
{
    if (Failure failure = loadDataSetFile(work, path)) return failure;
    work.document.importedPointFile.clear();
    rememberStored(work);
    return std::nullopt;
}

// An existing file a data set must not replace: a point file or a workbook.
bool isPointFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) && holdsPointsOnly(path);
}

// The coefficients a save keeps: those of a calculation of the grid's points
// made now, or none (zero) when it is refused. The outcome.
Outcome calculateForSave(const Workspace& work)
{
    work.document.coefficients = {}; // the save writes the two temperatures into it
    return calculateDocument(work);
}

std::string coefficientsNotSavedMessage(const std::string& refusal)
{
    return "i punti salvati non si possono calcolare: " + refusal +
           "\nnel file dei dati i coefficienti sono a zero, nel foglio EXCEL non ci sono";
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isBlank(const std::string& text) { return trimmed(text).empty(); }

bool gridIsEmpty(const PointGrid& grid)
{
    for (int row = 1; row <= PointGrid::Rows; ++row)
        for (int column = 1; column <= PointGrid::Columns; ++column)
            if (!isBlank(grid.cell(row, column))) return false;
    return true;
}

// The first n points of a and b agree (z too for the surface).
bool samePoints(const PointSet& a, const PointSet& b, int n, bool withZ)
{
    for (int i = 1; i <= n; ++i)
        if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || (withZ && a.z[i] != b.z[i])) return false;
    return true;
}

} // namespace

ExportSource exportSource(const Document& d)
{
    return {d.kind, d.degree, d.points, d.lastCalculation ? &*d.lastCalculation : nullptr,
            {d.coefficients.block[1], d.coefficients.block[2]}};
}

Failure saveDataSet(const Workspace& work, const std::string& path)
{
    Document& d = work.document;
    // Another point file is refused; the one imported is replaced only after
    // the window asked (saveOverImportQuestion).
    if (isPointFile(path) && !sameFile(path, d.importedPointFile)) return "il file " + path + " \u00e8 un file di punti: salvare i dati con un altro nome";
    PointSet counted;
    if (const PointCount count = countPoints(d.grid, counted, d.kind); count.invalidCell)
        return invalidCellMessage(*count.invalidCell);
    // No coefficient of other points, or of another kind or degree, is saved beside these points.
    const Outcome outcome = calculateForSave(work);
    if (Failure failure = writeDataSetFile(work, path)) return failure;
    d.currentDataSetName = path;
    d.importedPointFile.clear();
    rememberStored(work);
    // The export tells whether the workbook was saved; either way the data set file is.
    const std::string workbook = workbookNameFor(path);
    ExportSource source = exportSource(d);
    if (!outcome) source.last = nullptr;
    const std::string refused = outcome ? "" : coefficientsNotSavedMessage(outcome.failure()) + "\n";
    const Failure failure = exportSpreadsheet(source, workbook, d.points.count);
    if (failure)
        work.tell(refused + *failure);
    else if (!outcome)
        work.tell(refused + workbookSavedMessage(workbook));
    else
        work.confirm(workbookSavedMessage(workbook));
    return std::nullopt;
}

std::optional<std::string> saveOverImportQuestion(const Document& document, const std::string& path)
{
    return overwriteQuestion({path, optionsFileFor(path), workbookNameFor(path), equationFileFor(path)},
                             {document.importedPointFile});
}

Failure readAndCalculate(const Workspace& work, const std::string& path)
{
    if (Failure failure = read(work, path)) return failure;
    fillPointGrid(work.document.grid, work.document.points);
    // The data set's own equation stays the one its next save keeps, whatever the kind's calculation does.
    const std::optional<SavedEquation> equation = work.document.lastEquation;
    const Failure failure = calculate(work); // counts the grid again, then the calculation of the kind
    work.document.lastEquation = equation;
    return failure;
}

Failure openFile(const Workspace& work, const std::string& path)
{
    if (!holdsPointsOnly(path)) return readAndCalculate(work, path);
    return importPoints(work, path);
}

bool holdsPointsOnly(const std::string& path)
{
    return pointFileKind(path) != PointFileKind::Unknown && !holdsDataSet(path);
}

Failure importPoints(const Workspace& work, const std::string& path)
{
    Document& d = work.document;
    const Failure said = importPointFile(path, FirstImportedSpreadsheetRow, {d.grid, d.points});
    if (importReplacedPoints(said)) pointsImported(d, path);
    return said;
}

void pointsImported(Document& d, const std::string& path)
{
    d.currentDataSetName.clear();
    d.importedPointFile = path;
    d.weightColumn.clear();
}

std::string pointsCaption(const Document& d)
{
    if (!d.currentDataSetName.empty() || d.importedPointFile.empty()) return d.currentDataSetName;
    return d.importedPointFile + " (punti importati)";
}

std::string importInsteadQuestion(const std::string& path)
{
    return "il file non \u00e8 un file dei dati ma un file di punti: " + path + "\nimportare i punti nella griglia?";
}

bool hasUnsavedData(const Workspace& work)
{
    const Document& d = work.document;
    const std::string initial = work.inputs.initialTemperatureText(), final = work.inputs.finalTemperatureText();
    if (gridIsEmpty(d.grid) && isBlank(initial) && isBlank(final)) return false;
    if (trimmed(initial) != trimmed(d.stored.initialTemperature) || trimmed(final) != trimmed(d.stored.finalTemperature))
        return true;
    PointSet read;
    const PointCount counted = countPoints(d.grid, read, d.kind);
    return counted.invalidCell || counted.points != d.stored.points.count ||
           !samePoints(read, d.stored.points, counted.points, d.kind == FitType::SurfaceXY);
}

void clearDataSet(const Workspace& work)
{
    Document& d = work.document;
    d.points.x.clear();
    d.points.y.clear();
    d.points.z.clear();
    d.grid.clear();
    d.importedPointFile.clear();
    work.inputs.setInitialTemperatureText("");
    work.inputs.setFinalTemperatureText("");
}

void resetDataSet(const Workspace& work)
{
    Document& d = work.document;
    clearDataSet(work);
    d.kind = FitType::Polynomial;
    d.degree = 2;
    d.options = {};
    d.weightColumn.clear();
    work.inputs.setKindItemIndex(kindNumber(FitType::Polynomial) - 1);
    work.inputs.setDegreeValue(2);
}

Failure runExamples(const Workspace& work)
{
    resetDataSet(work);
    for (std::size_t i = 0; i < ExampleFiles.size(); ++i) {
        if (Failure failure = read(work, examplePath(work.document.programFolder, ExampleFiles[i]))) return failure;
        work.tell(calculate(work));
        // The last example stays loaded, so it can be recalculated or saved.
        if (i + 1 < ExampleFiles.size()) resetDataSet(work);
    }
    return std::nullopt;
}

} // namespace calvero
