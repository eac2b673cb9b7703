#include "app/batchrun.h"

#include "app/datasetcommands.h"
#include "app/datasetfile.h"
#include "entry/importcommand.h"
#include "entry/pointimport.h"
#include "entry/spreadsheetexport.h"
#include "entry/spreadsheetimport.h"
#include "fit/drivers.h"
#include "fit/frontend.h"
#include "fit/numtext.h"
#include "fit/session.h"
#include "viewers/rtf.h"

#include <vector>

namespace calvero {

namespace {

// Collects what the windows would show: messages, the report, the graph.
class BatchPresenter : public Presenter {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showReport() override { reportShown = true; }
    void showGraph(const std::string&) override { graphShown = true; }

    std::vector<std::string> messages;
    bool reportShown = false;
    bool graphShown = false;
};

void printMessages(const std::vector<std::string>& messages, std::ostream& err)
{
    for (const std::string& message : messages) err << message << '\n';
}

// The points of a point file into the grid, then the main window's inputs as
// the user would set them. False when the file could not be read.
bool importPoints(const BatchOptions& options, BatchPresenter& shown)
{
    const PointFileKind kind = pointFileKind(options.pointsFile);
    if (kind == PointFileKind::Unknown) {
        shown.messages.push_back("tipo di file non riconosciuto: " + options.pointsFile);
        return false;
    }
    if (kind == PointFileKind::Spreadsheet) {
        if (!readSpreadsheetRange(options.pointsFile, 2)) {
            shown.messages.push_back(unreadableSpreadsheetMessage(options.pointsFile));
            return false;
        }
    } else {
        const PointLinesOutcome outcome = readPointLines(options.pointsFile, 1, MaxPointLines);
        if (outcome.failure) {
            shown.messages.push_back(*outcome.failure);
            return false;
        }
    }
    MainWindowInputs& inputs = mainInputs();
    inputs.setKindItemIndex(options.kind - 1);
    session().fit.kind = static_cast<FitType>(options.kind);
    inputs.setDegreeValue(options.degree);
    inputs.setInitialTemperatureText(options.initialTemperature);
    inputs.setFinalTemperatureText(options.finalTemperature);
    return true;
}

// The workbook as the save command writes it: kind and degree from the main
// window, the points counted over the arrays.
ExportResult exportWorkbook(const std::string& path)
{
    takeSaveChoices();
    return exportSpreadsheet(path, session().points.count);
}

} // namespace

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, const GraphWriter& writeGraph)
{
    BatchPresenter shown;
    Presenter* previous = presenter();
    setPresenter(&shown);
    struct Restore {
        Presenter* previous;
        ~Restore() { setPresenter(previous); }
    } restore{previous};

    if (options.pointsFile.empty()) {
        if (!readAndCalculate(options.dataSetFile)) {
            printMessages(shown.messages, err);
            return BatchUnreadable;
        }
    } else {
        if (!importPoints(options, shown)) {
            printMessages(shown.messages, err);
            return BatchUnreadable;
        }
        calculate();
    }

    if (!shown.messages.empty() || !shown.reportShown) {
        printMessages(shown.messages, err);
        return BatchRefused;
    }
    for (const std::string& line : reportLines(session().report)) out << trimRight(line) << '\n';

    int exit = BatchOk;
    if (!options.reportOut.empty()) {
        if (auto failure = writeRtfFile(options.reportOut, reportLines(session().report))) {
            err << "errore di scrittura del file " << options.reportOut << ": " << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    if (!options.graphOut.empty()) {
        if (!shown.graphShown) {
            err << "nessun grafico per questo tipo di interpolazione\n";
        } else if (!writeGraph || !writeGraph(options.graphOut)) {
            err << "errore di scrittura del file " << options.graphOut << '\n';
            exit = BatchUnreadable;
        }
    }
    if (!options.workbookOut.empty()) {
        const ExportResult exported = exportWorkbook(options.workbookOut);
        if (!exported.saved) {
            err << exported.message << '\n';
            exit = BatchUnreadable;
        }
    }
    return exit;
}

} // namespace calvero
