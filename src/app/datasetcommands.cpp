#include "app/datasetcommands.h"

#include "app/calculatecommand.h"
#include "app/datasetfile.h"
#include "app/document.h"
#include "app/examples.h"
#include "entry/importcommand.h"
#include "entry/spreadsheetexport.h"
#include "fit/pointordering.h"

#include <vector>

namespace calvero {

namespace {

// A file read shows why it was not; true when it was.
bool read(const Workspace& work, const std::string& path)
{
    const auto failure = loadDataSetFile(work, path);
    if (failure) work.tell(*failure);
    return !failure;
}

} // namespace

ExportSource exportSource(const Document& d)
{
    return {d.kind, d.degree, d.points, d.lastCalculation ? &*d.lastCalculation : nullptr,
            {d.coefficients.block[1], d.coefficients.block[2]}};
}

bool saveDataSet(const Workspace& work, const std::string& path)
{
    if (const auto failure = writeDataSetFile(work, path)) {
        work.tell(*failure);
        return false;
    }
    Document& d = work.document;
    d.currentDataSetName = path;
    // The export tells whether the workbook was saved; either way the data set file is.
    const std::string workbook = workbookNameFor(path);
    const Failure failure = exportSpreadsheet(exportSource(d), workbook, d.points.count);
    work.tell(failure ? *failure : workbookSavedMessage(workbook));
    return true;
}

bool readAndCalculate(const Workspace& work, const std::string& path)
{
    if (!read(work, path)) return false;
    fillPointGrid(work.document.grid, work.document.points);
    calculate(work); // counts the grid again, then the calculation of the kind
    return true;
}

bool openFile(const Workspace& work, const std::string& path)
{
    if (holdsDataSet(path) || pointFileKind(path) == PointFileKind::Unknown) return readAndCalculate(work, path);
    Document& d = work.document;
    const std::vector<std::string> messages = importPointFile(path, FirstImportedSpreadsheetRow, {d.grid, d.points});
    for (const std::string& message : messages) work.tell(message);
    return true;
}

void clearDataSet(const Workspace& work)
{
    Document& d = work.document;
    d.points.x.fill(0.0);
    d.points.y.fill(0.0);
    d.points.z.fill(0.0);
    d.grid.clear();
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

void runExamples(const Workspace& work)
{
    resetDataSet(work);
    for (std::size_t i = 0; i < ExampleFiles.size(); ++i) {
        if (!read(work, examplePath(work.document.programFolder, ExampleFiles[i]))) return;
        calculate(work);
        // The last example stays loaded, so it can be recalculated or saved.
        if (i + 1 < ExampleFiles.size()) resetDataSet(work);
    }
}

} // namespace calvero
