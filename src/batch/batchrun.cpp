#include "batch/batchrun.h"

#include "batch/batchequation.h"
#include "batch/batchexports.h"
#include "batch/batchquestionoptions.h"
#include "batch/batchsummary.h"
#include "formats/datasetformat.h"
#include "formats/fitjson.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "common/outputpaths.h"
#include "formats/fitoptionsfile.h"
#include "entry/spreadsheetexport.h"
#include "fit/comparison.h"
#include "fit/workingset.h"
#include "exports/objectcomparison.h"
#include "exports/objectexport.h"
#include "exports/tableexport.h"
#include "viewers/rtf.h"
#include "entry/pointgrid.h"
#include "common/refusal.h"

#include <algorithm>
#include <optional>

namespace calvero {

namespace {

// The surface's weights per point are the fourth field of a point file's
// lines, and so is the power of the coil's pair.
bool readsWeightColumn(const BatchOptions& options)
{
    return options.pair || (options.kind == kindNumber(FitType::SurfaceXY) && options.weightsGiven &&
                            options.steering.weighting == Weighting::Column);
}

// Where the program itself chose to read the points as x;y (no --kind: the
// comparison, or an object of one input) a third column would be left out
// unseen: the first point that has a number there, or none.
std::optional<int> unreadThirdColumn(const BatchOptions& options, const BatchPoints& read, int pointCount)
{
    const bool xyChosen = options.kind == 0 || (options.objectOnly && options.kind != kindNumber(FitType::SurfaceXY));
    if (!xyChosen) return std::nullopt;
    for (int row = 1; row <= pointCount; ++row)
        if (parseDecimal(commaToPoint(read.cells.cell(row, 3)))) return row;
    return std::nullopt;
}

std::string thirdColumnRefusal(const BatchOptions& options, int row)
{
    const std::string said = "il file di punti ha una terza colonna (punto " + std::to_string(row) + "): ";
    if (options.kind == 0)
        return said + "il confronto senza --kind legge solo x;y; per i punti x;y;z --kind 7";
    return said + options.exportChoices.object + " ha un solo ingresso e leggerebbe solo x;y; per i punti x;y;z un "
                                                 "oggetto di due ingressi";
}

// The fit options named on the line over those the data set's options file
// gave; the message when a through point has the wrong count of numbers for
// the kind, or the surface's weights have no column to come from.
Checked<FitOptions> steeredOptions(FitOptions o, const BatchOptions& options, FitType kind, bool weightColumnRead)
{
    const FitOptions& given = options.steering;
    const bool surface = kind == FitType::SurfaceXY;
    if (options.throughGiven) {
        for (int fields : options.throughFields) {
            if (surface && fields != 3)
                return failed<FitOptions>("per il polinomio Z=F(x,y) un punto di passaggio si dà come X,Y,Z");
            if (!surface && fields != 2)
                return failed<FitOptions>(
                    "un punto di passaggio si dà come X,Y (X,Y,Z solo per il polinomio Z=F(x,y))");
        }
        o.throughPoints = given.throughPoints;
    }
    if (options.fixGiven) o.fixedTerms = given.fixedTerms;
    if (options.weightsGiven) o.weighting = given.weighting;
    if (options.minimaxGiven) o.minimax = given.minimax;
    if (options.monotoneGiven) o.monotone = given.monotone;
    if (options.curvatureGiven) o.curvature = given.curvature;
    if (options.leastSquaresInYGiven) o.leastSquaresInY = true;
    if (o.weighting == Weighting::Column && surface && !weightColumnRead)
        return failed<FitOptions>(
            "i pesi dei punti del polinomio Z=F(x,y) si leggono dalla quarta colonna di un file di punti di testo "
            "(x;y;z;peso), con --points e --weights column");
    return succeeded(std::move(o));
}

// The refusal of points 1..count of which some line has no third field: the
// one-variable kinds' weight with --weights column. A blank field would read
// as 0 and be refused as a weight that is not positive, which it is not.
std::optional<Refusal> missingWeights(const PointGrid& cells, int count)
{
    std::optional<int> first;
    bool any = false;
    for (int row = 1; row <= count; ++row) {
        const bool blank = cells.cell(row, 3).find_first_not_of(" \t") == std::string::npos;
        if (blank && !first) first = row;
        any = any || !blank;
    }
    if (!first) return std::nullopt;
    if (!any) return Refusal{RefusalCode::MissingWeights, {"column"}};
    return Refusal{RefusalCode::MissingWeights, {"point", std::to_string(*first)}};
}

// The input of the command's file: a data set file as the program reads it,
// with its options file, or a point file with the options' choices, and the
// fit options named on the line over the file's (its refusal when a cell, a
// temperature or an option cannot be taken). The message of a file that
// could not be read. A point file read only to its 200th line is said on err.
Checked<Checked<CalculationInput>> readInput(const BatchOptions& options, std::ostream& err,
                                             std::vector<double>* power = nullptr)
{
    CalculationInput input;
    std::vector<double> fourth;
    bool fourthRead = false;
    std::optional<Refusal> missingWeight;
    if (!options.pointsFile.empty()) {
        Checked<BatchPoints> read = readBatchPoints(options.pointsFile, options.allLines, readsWeightColumn(options));
        if (!read) return failed<Checked<CalculationInput>>(read.refusal);
        if (read->moreLines) err << firstLinesNotice(options.pointsFile, *read) << '\n';
        Checked<CalculationInput> points = pointsInput(*read, options);
        if (!points) return succeeded(std::move(points));
        if (const std::optional<int> row = unreadThirdColumn(options, *read, points->pointCount))
            return succeeded(failed<CalculationInput>(thirdColumnRefusal(options, *row)));
        input = std::move(*points);
        missingWeight = missingWeights(read->cells, input.pointCount);
        fourth = std::move(read->weightColumn);
        fourthRead = readsWeightColumn(options);
    } else {
        Checked<CalculationInput> file = readDataSetInput(options.dataSetFile);
        if (!file) return failed<Checked<CalculationInput>>(file.refusal);
        input = std::move(*file);
    }
    if (options.pair) {
        // The fourth column is the pair's power, not a weight.
        if (power) *power = std::move(fourth);
        return succeeded(succeeded(std::move(input)));
    }
    Checked<FitOptions> steered = steeredOptions(input.options, options, input.kind, fourthRead);
    if (!steered) return succeeded(failed<CalculationInput>(steered.refusal));
    input.options = std::move(*steered);
    if (input.options.weighting == Weighting::Column && input.kind != FitType::SurfaceXY && missingWeight)
        return succeeded(failed<CalculationInput>(*missingWeight));
    takeColumnWeights(input, fourth);
    return succeeded(succeeded(std::move(input)));
}

// The points of the input as a simulation object takes them.
ObjectPoints inputPoints(const CalculationInput& input)
{
    return objectPoints(input.points, input.pointCount, input.kind == FitType::SurfaceXY);
}

int writeEnergyPlus(const BatchOptions& options, const Checked<std::vector<IdfObject>>& objects, std::ostream& err)
{
    if (!objects) {
        err << objects.failure() << '\n';
        return BatchRefused;
    }
    const bool epJson = options.exportChoices.epJson;
    const std::string text = (epJson ? std::string() : energyPlusHead() + "\n") + energyPlusText(*objects, epJson);
    for (const BatchExport& e : options.exports) {
        if (e.format != ExportFormat::EnergyPlus) continue;
        if (const Failure failure = writeOutputFile(e.path, text)) {
            err << *failure << '\n';
            return BatchUnreadable;
        }
    }
    return BatchOk;
}

// --object or --pair on a point file without a kind: the points straight
// into the simulation's object, its fit on standard output (and as JSON).
int objectOnly(const BatchOptions& options, const CalculationInput& input, const std::vector<double>& power,
               std::ostream& out, std::ostream& err)
{
    const EnergyPlusChoices choices = options.exportChoices.energyPlus();
    const ObjectPoints points = inputPoints(input);
    if (options.pair) {
        PairPoints pair{points.x, points.y, points.v, power};
        if (power.size() != points.size()) {
            err << "--pair: ogni riga del file di punti ha x;y;capacità;potenza\n";
            return BatchRefused;
        }
        return writeEnergyPlus(options, energyPlusPair(pair, choices), err);
    }
    if (isLookupTable(choices.object)) return writeEnergyPlus(options, lookupTableObjects(points, choices), err);
    const Checked<ObjectFit> fit = fitCurveObject(*curveObjectNamed(choices.object), points);
    if (!fit) {
        err << fit.failure() << '\n';
        return BatchRefused;
    }
    if (options.jsonOut != "-")
        for (const std::string& line : objectFitLines(*fit)) out << line << '\n';
    int exit = BatchOk;
    if (!options.jsonOut.empty()) {
        if (options.jsonOut == "-") out << objectFitJson(*fit);
        else if (const Failure failure = writeOutputFile(options.jsonOut, objectFitJson(*fit))) {
            err << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    const Checked<IdfObject> object = fittedObject(*fit, choices);
    if (!object) {
        err << object.failure() << '\n';
        return BatchRefused;
    }
    return std::max(exit, writeEnergyPlus(options, succeeded(std::vector<IdfObject>{*object}), err));
}

// The comparison the line asks for: of the kinds, or of the simulation's objects.
std::vector<ComparisonRow> comparedRows(const BatchOptions& options, const CalculationInput& input)
{
    if (options.compareObjects) return compareObjects(inputPoints(input), options.tolerance);
    return compareEquations(input, options.tolerance, {}, options.compareWithOptions);
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

// The scaled curve's data set file (--scaled-out), when asked for and the curve was scaled.
int writeScaled(const BatchOptions& options, const CurveAnswers& answers, std::ostream& err)
{
    if (options.scaledOut.empty() || !answers.scaled || !*answers.scaled) return BatchOk;
    const Checked<std::string> text = dataSetTextOf(**answers.scaled);
    if (!text) {
        err << text.failure() << '\n';
        return BatchRefused;
    }
    if (auto failure = writeOutputFile(options.scaledOut, *text)) {
        err << *failure << '\n';
        return BatchUnreadable;
    }
    return BatchOk;
}

// --stats, --compare, the questions to the curve and --json after the
// report. The JSON goes to standard output alone when it is "-". A question
// refused is said on standard error too, and the run exits 1.
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
        rows = comparedRows(options, inputOf(done, input.initialTemperature, input.finalTemperature));
        print(comparisonLines(rows, options.tolerance, options.toleranceText));
    }
    int exit = BatchOk;
    std::optional<CurveAnswers> answers;
    const bool surface = done.kind == FitType::SurfaceXY;
    if (const Failure problem = valuePlacesProblem(options, surface, false)) {
        err << *problem << '\n';
        return BatchRefused;
    }
    if (options.questions.any()) {
        answers = answerQuestions(done, options.questions);
        print(answerLines(options.questions, *answers));
        for (const Refusal& refusal : answers->refusals()) {
            err << refusalText(refusal) << '\n';
            exit = BatchRefused;
        }
        exit = std::max(exit, writeScaled(options, *answers, err));
    }
    if (options.jsonOut.empty()) return exit;
    const CurveAnswers none;
    const AskedQuestions asked{options.questions, answers ? *answers : none};
    return std::max(exit, writeJson(options,
                                    fitJson(done, options.compare ? &rows : nullptr, options.tolerance,
                                            options.toleranceText, answers ? &asked : nullptr) +
                                        "\n",
                                    out, err));
}

// --compare on a point file without a kind: the comparison of the kinds of
// one variable alone, refused (exit 1) when not one of them could be fitted.
int compareOnly(const BatchOptions& options, CalculationInput input, std::ostream& out, std::ostream& err)
{
    input.kind = FitType::Polynomial;
    const std::vector<ComparisonRow> rows = comparedRows(options, input);
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

// Every file the command reads: the data set file with its options file, or
// the point file, or the many files and those in the folders named (a data
// set file among them with its options file).
std::vector<std::string> inputsOf(const BatchOptions& options)
{
    if (!options.manyFiles) {
        if (options.dataSetFile.empty()) return {options.pointsFile};
        return {options.dataSetFile, optionsFileFor(options.dataSetFile)};
    }
    std::vector<std::string> files = summaryFiles(options.files);
    const std::size_t named = files.size();
    for (std::size_t i = 0; i < named; ++i) files.push_back(optionsFileFor(files[i]));
    return files;
}

// Every file the command writes.
std::vector<std::string> outputsOf(const BatchOptions& options)
{
    std::vector<std::string> files{options.workbookOut, options.reportOut, options.graphOut, options.jsonOut,
                                   options.summaryOut, options.scaledOut};
    for (const BatchExport& e : options.exports) files.push_back(e.path);
    return files;
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
    // Nothing is read into a calculation, nor written, when an output would replace an input.
    if (const Failure refusal = outputRefusal(outputsOf(options), inputsOf(options))) {
        err << *refusal << '\n';
        return BatchUnreadable;
    }
    if (options.manyFiles) return runSummary(options, out, err);
    if (!options.equation.empty()) return runEquation(options, out, err);
    if (!options.dataSetFile.empty()) {
        Checked<std::optional<SavedEquation>> saved = readDataSetEquation(options.dataSetFile);
        if (!saved) {
            err << saved.failure() << '\n';
            return BatchUnreadable;
        }
        if (*saved) return runSavedEquation(options, std::move(**saved), out, err);
    }
    std::vector<double> power;
    const Checked<Checked<CalculationInput>> read = readInput(options, err, &power);
    if (!read) {
        err << read.failure() << '\n';
        return BatchUnreadable;
    }
    const Checked<CalculationInput>& input = *read;
    if (input && options.kind == 0 && !options.pointsFile.empty()) return compareOnly(options, *input, out, err);
    if (input && options.objectOnly) return objectOnly(options, *input, power, out, err);
    const Outcome outcome = input ? calculate(*input) : failed<Calculation>(input.refusal);
    if (!outcome) {
        err << outcome.failure() << '\n';
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
        const Failure failure = writeGraph ? writeGraph(options.graphOut, done, options.questions, options.bands)
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
    return std::max(exit, writeExports(options, done, err));
}

} // namespace calvero
