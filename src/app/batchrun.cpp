#include "app/batchrun.h"

#include "app/batchsummary.h"
#include "app/datasetformat.h"
#include "app/fitjson.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "entry/spreadsheetexport.h"
#include "fit/comparison.h"
#include "fit/workingset.h"
#include "viewers/rtf.h"

namespace calvero {

namespace {

// The input of the command's file: a data set file as the program reads it,
// or a point file with the options' choices (its refusal when a cell or a
// temperature is not a number); the message of a file that could not be
// read. A point file read only to its 200th line is said on err.
Checked<Checked<CalculationInput>> readInput(const BatchOptions& options, std::ostream& err)
{
    if (!options.pointsFile.empty()) {
        Checked<BatchPoints> read = readBatchPoints(options.pointsFile);
        if (!read) return failed<Checked<CalculationInput>>(read.failure);
        if (read->moreLines) err << firstLinesNotice(options.pointsFile) << '\n';
        return succeeded(pointsInput(*read, options));
    }
    const Checked<DataSetFileContents> file = readDataSetFile(options.dataSetFile);
    if (!file) return failed<Checked<CalculationInput>>(file.failure);
    return succeeded(succeeded(dataSetInput(*file)));
}

// The workbook as the save command writes it after this calculation: the
// kind and the degree as the main window holds them, the points counted
// over the arrays, the power curve's numbers as the data set keeps them.
Failure exportWorkbook(const CalculationInput& input, const Calculation& done, const std::string& path)
{
    DataSetCoefficients kept;
    keepCoefficients(kept, done);
    PointSet points = input.points;
    const int count = countStoredPoints(points);
    const ExportSource source{input.kind, input.degree, points, &done, {kept.block[1], kept.block[2]}};
    return exportSpreadsheet(source, path, static_cast<std::uint16_t>(count));
}

// --stats, --compare and --json after the report. The JSON goes to standard
// output alone when it is "-".
int writeFigures(const BatchOptions& options, const CalculationInput& input, const Calculation& done,
                 std::ostream& out, std::ostream& err)
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
        rows = compareEquations(inputOf(done, input.initialTemperature, input.finalTemperature), options.tolerance);
        print(comparisonLines(rows, options.tolerance));
    }
    if (options.jsonOut.empty()) return BatchOk;
    const std::string document = fitJson(done, options.compare ? &rows : nullptr, options.tolerance) + "\n";
    if (jsonOnly) {
        out << document;
        return BatchOk;
    }
    if (auto failure = writeOutputFile(options.jsonOut, document)) {
        err << *failure << '\n';
        return BatchUnreadable;
    }
    return BatchOk;
}

int runSummary(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    const std::vector<SummaryRow> rows = summarise(summaryFiles(options.files), options);
    for (const SummaryRow& row : rows)
        if (!row.notice.empty()) err << row.notice << '\n';
    int exit = summaryExit(rows);
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
    const Checked<Checked<CalculationInput>> read = readInput(options, err);
    if (!read) {
        err << read.failure << '\n';
        return BatchUnreadable;
    }
    const Checked<CalculationInput>& input = *read;
    const Outcome outcome = input ? calculate(*input) : failed<Calculation>(input.failure);
    if (!outcome) {
        err << outcome.failure << '\n';
        return BatchRefused;
    }
    const Calculation& done = *outcome;
    if (options.jsonOut != "-")
        for (const std::string& line : done.report) out << trimRight(line) << '\n';

    int exit = writeFigures(options, *input, done, out, err);
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
        if (const Failure failure = exportWorkbook(*input, done, options.workbookOut)) {
            err << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    return exit;
}

} // namespace calvero
