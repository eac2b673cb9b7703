#include "app/datasetcommands.h"

#include "app/calculatecommand.h"
#include "app/datasetfile.h"
#include "app/document.h"
#include "app/examples.h"
#include "entry/importcommand.h"
#include "entry/spreadsheetexport.h"
#include "entry/pointordering.h"


namespace calvero {

ExportSource exportSource(const Document& d)
{
    return {d.kind, d.degree, d.points, d.lastCalculation ? &*d.lastCalculation : nullptr,
            {d.coefficients.block[1], d.coefficients.block[2]}};
}

Checked<std::string> saveDataSet(const Workspace& work, const std::string& path)
{
    if (const auto failure = writeDataSetFile(work, path)) return failed<std::string>(*failure);
    Document& d = work.document;
    d.currentDataSetName = path;
    // The save says whether the workbook was saved; either way the data set file is.
    const std::string workbook = workbookNameFor(path);
    const Failure failure = exportSpreadsheet(exportSource(d), workbook, d.points.count);
    return succeeded(failure ? *failure : workbookSavedMessage(workbook));
}

Failure readAndCalculate(const Workspace& work, const std::string& path)
{
    if (const Failure failure = loadDataSetFile(work, path)) return failure;
    fillPointGrid(work.document.grid, work.document.points);
    return calculate(work); // counts the grid again, then the calculation of the kind
}

Failure openFile(const Workspace& work, const std::string& path)
{
    if (holdsDataSet(path) || pointFileKind(path) == PointFileKind::Unknown) return readAndCalculate(work, path);
    Document& d = work.document;
    return importPointFile(path, FirstImportedSpreadsheetRow, {d.grid, d.points});
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
    work.inputs.setKindItemIndex(kindNumber(FitType::Polynomial) - 1);
    work.inputs.setDegreeValue(2);
}

Failure runExamples(const Workspace& work)
{
    resetDataSet(work);
    for (std::size_t i = 0; i < ExampleFiles.size(); ++i) {
        if (Failure failure = loadDataSetFile(work, examplePath(work.document.programFolder, ExampleFiles[i])))
            return failure;
        work.tell(calculate(work));
        // The last example stays loaded, so it can be recalculated or saved.
        if (i + 1 < ExampleFiles.size()) resetDataSet(work);
    }
    return std::nullopt;
}

} // namespace calvero
