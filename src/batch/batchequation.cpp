#include "batch/batchequation.h"

#include "batch/batchinput.h"
#include "batch/batchquestionoptions.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "entry/equationinput.h"
#include "fit/curveanswers.h"
#include "fit/equationreport.h"
#include "fit/equationstatistics.h"
#include "fit/parametertext.h"
#include "formats/equationfile.h"
#include "formats/equationjson.h"
#include "viewers/rtf.h"

namespace calvero {

int writeEquationOutputs(const BatchOptions& options, const EquationFit& fit, std::ostream& out, std::ostream& err)
{
    const std::vector<std::string> report = equationReport(fit);
    const bool jsonOnly = options.jsonOut == "-";
    if (!jsonOnly)
        for (const std::string& line : report) out << trimRight(line) << '\n';
    if (options.statistics && !jsonOnly) {
        out << '\n';
        for (const std::string& line : statisticsLines(equationStatistics(fit))) out << line << '\n';
    }
    int exit = BatchOk;
    // The questions to the curve, as the kinds answer them; a refusal is said
    // on standard error too, and the run exits 1.
    std::optional<CurveAnswers> answers;
    if (options.questions.any()) {
        answers = answerQuestions(fit, options.questions);
        if (!jsonOnly) {
            out << '\n';
            for (const std::string& line : answerLines(options.questions, *answers)) out << line << '\n';
        }
        for (const Refusal& refusal : answers->refusals()) {
            err << refusalText(refusal) << '\n';
            exit = BatchRefused;
        }
    }
    if (!options.jsonOut.empty()) {
        const std::string document =
            equationJson(fit, answers ? &options.questions : nullptr, answers ? &*answers : nullptr) + "\n";
        if (jsonOnly) {
            out << document;
        } else if (auto failure = writeOutputFile(options.jsonOut, document)) {
            err << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    if (!options.reportOut.empty()) {
        if (auto failure = writeRtfFile(options.reportOut, report)) {
            err << "errore di scrittura del file " << options.reportOut << ": " << *failure << '\n';
            exit = BatchUnreadable;
        }
    }
    return exit;
}

namespace {

// The equation fitted and its outputs written, or its refusal said.
int fitAndWrite(const BatchOptions& options, EquationInput input, std::ostream& out, std::ostream& err)
{
    const Checked<EquationFit> fit = fitEquation(std::move(input));
    if (!fit) {
        err << fit.failure() << '\n';
        return BatchRefused;
    }
    return writeEquationOutputs(options, *fit, out, err);
}

} // namespace

int runEquation(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    Checked<ParsedEquation> equation = readEquation(options.equation);
    if (!equation) {
        err << equation.failure() << '\n';
        return BatchRefused;
    }
    const bool two = equation->twoVariables;
    const bool columnWeights = options.weightsGiven && options.steering.weighting == Weighting::Column;
    Checked<BatchPoints> read = readBatchPoints(options.pointsFile, true, two && columnWeights);
    if (!read) {
        err << read.failure() << '\n';
        return BatchUnreadable;
    }
    if (read->moreLines) err << firstLinesNotice(options.pointsFile, *read) << '\n';
    if (const Failure problem = valuePlacesProblem(options, two, true)) {
        err << *problem << '\n';
        return BatchRefused;
    }
    Checked<EquationGridPoints> points = readEquationPoints(read->cells, two, columnWeights && !two);
    if (!points) {
        err << points.failure() << '\n';
        return BatchRefused;
    }
    Checked<ParameterSettings> settings =
        readParameterSettings(options.startTexts, options.fixTexts, options.boundsTexts, equation->parameters);
    if (!settings) {
        err << settings.failure() << '\n';
        return BatchRefused;
    }
    EquationInput input;
    input.equation = std::move(*equation);
    input.points = std::move(points->points);
    input.settings = std::move(*settings);
    if (options.weightsGiven) input.weighting = options.steering.weighting;
    if (columnWeights) {
        input.pointWeights = two ? read->weightColumn : points->thirdColumn;
        input.pointWeights.resize(static_cast<std::size_t>(input.points.count()), 0.0);
    }
    return fitAndWrite(options, std::move(input), out, err);
}

int runSavedEquation(const BatchOptions& options, SavedEquation saved, std::ostream& out, std::ostream& err)
{
    const Checked<CalculationInput> read = readDataSetInput(options.dataSetFile);
    if (!read) {
        err << read.failure() << '\n';
        return BatchUnreadable;
    }
    const bool two = saved.equation.twoVariables;
    if (two != (read->kind == FitType::SurfaceXY)) {
        err << "l'equazione salvata con i dati (" << equationFileFor(options.dataSetFile) << ") dà "
            << saved.equation.response() << ", ma i dati " << (two ? "non hanno z" : "hanno anche z") << '\n';
        return BatchRefused;
    }
    EquationInput input;
    for (int i = 1; i <= read->pointCount; ++i) {
        input.points.x.push_back(read->points.x[i]);
        if (two) input.points.y.push_back(read->points.y[i]);
        input.points.value.push_back(two ? read->points.z[i] : read->points.y[i]);
    }
    input.equation = std::move(saved.equation);
    input.settings = std::move(saved.settings);
    // Relative weights are the data set's own choice; a weight column belongs to a point file.
    if (read->options.weighting == Weighting::Relative) input.weighting = Weighting::Relative;
    if (options.weightsGiven) input.weighting = options.steering.weighting;
    if (input.weighting == Weighting::Column) {
        err << "un insieme di dati non ha la colonna dei pesi: --weights column vale solo con --points\n";
        return BatchRefused;
    }
    return fitAndWrite(options, std::move(input), out, err);
}

} // namespace calvero
