#include "app/datasetcommands.h"

#include "app/datasetfile.h"
#include "app/examples.h"
#include "entry/spreadsheetexport.h"
#include "fit/drivers.h"
#include "fit/frontend.h"
#include "fit/pointordering.h"
#include "fit/session.h"
#include "fit/workingset.h"

namespace calvero {

bool saveDataSet(const std::string& path)
{
    if (!writeDataSetFile(path)) return false;
    session().currentDataSetName = path;
    // The export tells whether the workbook was saved; either way the data set file is.
    const ExportResult exported = exportSpreadsheet(workbookNameFor(path), session().points.count);
    if (Presenter* p = presenter()) p->showMessage(exported.message);
    return true;
}

bool readAndCalculate(const std::string& path)
{
    if (!readDataSetFile(path)) return false;
    fillPointGrid();
    calculate(); // counts the grid again, then the driver of the kind
    return true;
}

void resetDataSet()
{
    Session& s = session();
    clearDataSet();
    s.fit.kind = FitType::Polynomial;
    s.fit.degree = 2;
    s.fit.curveDegree = 2;
    mainInputs().setKindItemIndex(kindNumber(FitType::Polynomial) - 1);
    mainInputs().setDegreeValue(2);
}

void runExamples()
{
    resetDataSet();
    for (std::size_t i = 0; i < ExampleFiles.size(); ++i) {
        const ExampleFile& example = ExampleFiles[i];
        if (!readDataSetFile(examplePath(example))) return;
        calculate();
        // The last example stays loaded, so it can be recalculated or saved.
        if (i + 1 < ExampleFiles.size()) resetDataSet();
    }
}

} // namespace calvero
