#include "app/batchrun.h"

#include "app/batchexports.h"
#include "app/batchsummary.h"
#include "app/calculatecommand.h"
#include "app/datasetcommands.h"
#include "app/datasetfile.h"
#include "app/document.h"
#include "app/fitjson.h"
#include "app/frontend.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "entry/importcommand.h"
#include "entry/spreadsheetexport.h"
#include "fit/comparison.h"
#include "fit/pointordering.h"
#include "viewers/rtf.h"

#include <algorithm>
#include <optional>
#include <variant>

namespace calvero {

Checked<LinesRead> importBatchPoints(const Workspace& work, const std::string& file, const BatchOptions& options)
{
    Document& d = work.document;
    // The surface's weights per point are the fourth field of each line.
    const bool fourth = options.kind == kindNumber(FitType::SurfaceXY) && options.weightsGiven &&
                        options.steering.weighting == Weighting::Column;
    d.weightColumn.clear();
    const Checked<LinesRead> read =
        readPointFile(file, FirstImportedSpreadsheetRow, {d.grid, d.points, fourth ? &d.weightColumn : nullptr});
    if (!read) return read;
    MainWindowInputs& inputs = work.inputs;
    inputs.setKindItemIndex(options.kind - 1);
    d.kind = static_cast<FitType>(options.kind);
    inputs.setDegreeValue(options.degree);
    inputs.setInitialTemperatureText(options.initialTemperature);
    inputs.setFinalTemperatureText(options.finalTemperature);
    return read;
}

std::string firstLinesNotice(const std::string& file) { return std::string(FirstLinesNotice) + " " + file; }

namespace {

// The data set file or the point file, ready to be calculated. A point file
// read only to its 200th line is said on err.
Failure loadInput(const Workspace& work, const BatchOptions& options, std::ostream& err)
{
    if (!options.pointsFile.empty()) {
        const Checked<LinesRead> read = importBatchPoints(work, options.pointsFile, options);
        if (!read) return read.failure;
        if (read->moreLines) err << firstLinesNotice(options.pointsFile) << '\n';
        return std::nullopt;
    }
    if (auto failure = loadDataSetFile(work, options.dataSetFile)) return failure;
    fillPointGrid(work.document.grid, work.document.points);
    return std::nullopt;
}

// The fit options named on the line over those the data set's options file
// gave; the message when a through point has the wrong count of numbers for
// the kind.
Failure applySteering(const Workspace& work, const BatchOptions& options)
{
    FitOptions& o = work.document.options;
    const FitOptions& given = options.steering;
    const bool surface = work.document.kind == FitType::SurfaceXY;
    if (options.throughGiven) {
        for (int fields : options.throughFields) {
            if (surface && fields != 3) return "per il polinomio Z=F(x,y) un punto di passaggio si dà come X,Y,Z";
            if (!surface && fields != 2) return "un punto di passaggio si dà come X,Y (X,Y,Z solo per il polinomio Z=F(x,y))";
        }
        o.throughPoints = given.throughPoints;
    }
    if (options.fixGiven) o.fixedTerms = given.fixedTerms;
    if (options.weightsGiven) o.weighting = given.weighting;
    if (options.minimaxGiven) o.minimax = given.minimax;
    if (options.monotoneGiven) o.monotone = given.monotone;
    if (o.weighting == Weighting::Column && surface && work.document.weightColumn.empty())
        return "i pesi dei punti del polinomio Z=F(x,y) si leggono dalla quarta colonna di un file di punti di testo "
               "(x;y;z;peso), con --points e --weights column";
    return std::nullopt;
}

// The workbook as the save command writes it: kind and degree from the main
// window, the points counted over the arrays.
Failure exportWorkbook(const Workspace& work, const std::string& path)
{
    takeSaveChoices(work);
    return exportSpreadsheet(exportSource(work.document), path, work.document.points.count);
}

// The JSON document to its file, or to standard output alone for "-".
int writeJson(const BatchOptions& options, const std::string& document, std::ostream& out, std::ostream& err)
{
    if (options.jsonOut == "-") {
        out << document;
        return BatchOk;
    }
    if (auto failure = writeOutputFile(options.jsonOut, document)) {
        err << *failure << '\n';
        return BatchUnreadable;
    }
    return BatchOk;
}

// --stats, --compare and --json after the report. The JSON goes to standard
// output alone when it is "-".
int writeFigures(const BatchOptions& options, const Workspace& work, const Calculation& done, std::ostream& out,
                 std::ostream& err)
{
    const bool jsonOnly = options.jsonOut == "-";
    auto print = [&](const std::vector<std::string>& lines) {
        if (jsonOnly) return;
        out << '\n';
        for (const std::string& line : lines) out << line << '\n';
    };
    if (options.statistics) {
        print(statisticsLines(fitStatistics(done)));
        print(shapeLines(shapeChecks(done)));
    }
    std::vector<ComparisonRow> rows;
    if (options.compare) {
        // The temperatures as the main window holds them, for the temperature-time kind.
        const CalculationInput input =
            inputOf(done, work.inputs.initialTemperatureText(), work.inputs.finalTemperatureText());
        rows = compareEquations(input, options.tolerance, {}, options.compareWithOptions);
        print(comparisonLines(rows, options.tolerance, options.toleranceText));
    }
    if (options.jsonOut.empty()) return BatchOk;
    return writeJson(options,
                     fitJson(done, options.compare ? &rows : nullptr, options.tolerance, options.toleranceText) + "\n",
                     out, err);
}

// --compare on a point file without a kind: the comparison of the kinds of
// one variable alone, refused (exit 1) when not one of them could be fitted.
int compareOnly(const BatchOptions& options, const Workspace& work, std::ostream& out, std::ostream& err)
{
    CalculationInput input = currentCalculationInput(work);
    input.kind = FitType::Polynomial;
    const std::vector<ComparisonRow> rows = compareEquations(input, options.tolerance, {}, options.compareWithOptions);
    if (options.jsonOut != "-")
        for (const std::string& line : comparisonLines(rows, options.tolerance, options.toleranceText))
            out << line << '\n';
    int exit = BatchOk;
    if (std::none_of(rows.begin(), rows.end(), [](const ComparisonRow& row) { return row.fitted(); })) {
        err << "nessuna equazione si può calcolare su questi punti\n";
        exit = BatchRefused;
    }
    if (!options.jsonOut.empty()) {
        const int written = writeJson(options, comparisonJson(rows, options.tolerance, options.toleranceText) + "\n",
                                      out, err);
        if (written != BatchOk) exit = written;
    }
    return exit;
}

int runSummary(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    ManyFileExports exports(options);
    const std::vector<SummaryRow> rows = summarise(summaryFiles(options.files), options, exports.visitor());
    for (const SummaryRow& row : rows)
        if (!row.notice.empty()) err << row.notice << '\n';
    int exit = std::max(summaryExit(rows), exports.write(err));
    // Without a table's file the table goes to standard output.
    if (options.summaryOut.empty() && options.jsonOut.empty()) out << summaryCsv(rows, options.eachParameter);
    if (options.jsonOut == "-") out << summaryJson(rows);
    for (const std::string& path : {options.summaryOut, options.jsonOut}) {
        if (path.empty() || path == "-") continue;
        const bool json = &path == &options.jsonOut;
        const auto failure = json ? writeOutputFile(path, summaryJson(rows)) : writeSummary(rows, options.eachParameter, path);
        if (failure) {
            err << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    return exit;
}

} // namespace

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, const GraphWriter& writeGraph)
{
    if (options.manyFiles) return runSummary(options, out, err);
    Document document;
    InputFields inputs;
    const Workspace work{document, inputs};
    if (const auto failure = loadInput(work, options, err)) {
        err << *failure << '\n';
        return BatchUnreadable;
    }
    if (const auto failure = applySteering(work, options)) {
        err << *failure << '\n';
        return BatchRefused;
    }
    if (options.kind == 0 && !options.pointsFile.empty()) return compareOnly(options, work, out, err);
    const Outcome outcome = calculateDocument(work);
    if (const Refusal* refusal = std::get_if<Refusal>(&outcome)) {
        err << refusal->message << '\n';
        return BatchRefused;
    }
    const Calculation& done = std::get<Calculation>(outcome);
    if (options.jsonOut != "-")
        for (const std::string& line : done.report) out << trimRight(line) << '\n';

    int exit = writeFigures(options, work, done, out, err);
    if (!options.reportOut.empty()) {
        if (auto failure = writeRtfFile(options.reportOut, done.report)) {
            err << "errore di scrittura del file " << options.reportOut << ": " << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    if (!options.graphOut.empty()) {
        const Failure failure = writeGraph ? writeGraph(options.graphOut, done)
                                           : Failure("errore di scrittura del file " + options.graphOut);
        if (failure) {
            err << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    if (!options.workbookOut.empty()) {
        if (const Failure failure = exportWorkbook(work, options.workbookOut)) {
            err << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    return std::max(exit, writeExports(options, done, err));
}

} // namespace calvero
