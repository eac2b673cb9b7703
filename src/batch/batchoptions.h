#pragma once
// The command line of calvero1-batch.
#include "common/checked.h"
#include "fit/curveanswers.h"
#include "fit/fitoptions.h"
#include "exports/exportformats.h"

#include <set>
#include <string>
#include <variant>
#include <vector>

namespace calvero {

// An export of the equation into a file.
struct BatchExport {
    ExportFormat format = ExportFormat::EnergyPlus;
    std::string path;
};

struct BatchOptions {
    std::string dataSetFile; // the data set file to read and calculate, or
    std::string pointsFile;  // a point file read as the point-entry import reads it
    int kind = 0;            // with --points: 1..8; 0 with --compare alone (the comparison needs none)
    int degree = 2;          // with --points: 1..9
    std::string initialTemperature;
    std::string finalTemperature;
    std::string workbookOut; // --xls
    std::string reportOut;   // --rtf
    std::string graphOut;    // --png
    bool statistics = false; // --stats: the fit's statistics and shape checks after the report
    bool compare = false;    // --compare: the comparison of the equations
    double tolerance = 1.0;  // --tolerance: the comparison's largest percentage error
    std::string toleranceText; // as the user wrote it, for the rule that quotes it
    std::string jsonOut;     // --json: one JSON document, "-" for standard output
    // Many files in one run: every file or folder named, the table's file
    // (--summary) and one curve per parameter value (--each-parameter).
    std::vector<std::string> files;
    std::string summaryOut;
    bool eachParameter = false;
    bool manyFiles = false;
    // --all-lines: a text point file read to its end (up to the engine's
    // 100 000 points), not to its 200th line as the window's import reads it.
    bool allLines = false;
    // The exports of the equation (batchexportoptions.h): a file per format,
    // with one piece per file fitted when there are many, and their settings.
    std::vector<BatchExport> exports;
    ExportChoices exportChoices;
    std::set<std::string> exportSettings; // the settings given: --rated, --units, --cells, --curve-name, --object, ...
    // --pair: the coil's or chiller's capacity and EIR curves from a point
    // file of x;y;capacity;power (calvero1-batch's EnergyPlus export alone).
    bool pair = false;
    // A point file without a kind whose points go straight into the
    // simulation object asked for (--object or --pair): nothing is calculated
    // but that object; the kind below only says how the file is read (3: x;y,
    // 7: x;y;z).
    bool objectOnly = false;
    bool compareObjects = false; // --objects: the comparison ranks the simulation's objects instead of the kinds
    // The fit options named on the line (--through, --fix, --weights,
    // --minimax, --monotone, --concave, --convex). Each one named replaces the same option of the
    // data set's options file; the others stay as the file has them.
    FitOptions steering;
    std::vector<int> throughFields; // the numbers of each --through: 2 (x,y) or 3 (x,y,z)
    bool throughGiven = false;
    bool fixGiven = false;
    bool weightsGiven = false;
    bool minimaxGiven = false;
    bool monotoneGiven = false;
    bool curvatureGiven = false;
    bool compareWithOptions = false; // --compare-with-options: the comparison fits with the same options
    // The questions asked of the curve (batchquestionoptions.h), and the
    // data set file the scaled curve is written into (--scaled-out).
    CurveQuestions questions;
    std::vector<int> valueFields; // the numbers of each --at: 1 (x) or 2 (x,y)
    bool systemGiven = false;
    bool quantityGiven = false;
    bool bands = false; // --bands: the --png graph draws the confidence and prediction bands
    std::string scaledOut;
    // --equation: a typed equation fitted to the point file's every line,
    // with its parameters' start values, fixed values and bounds as written
    // (read against the equation's parameters when it is read).
    std::string equation;
    std::vector<std::string> startTexts, fixTexts, boundsTexts;
    // --least-squares-in-y: the power, exponential, saturation and
    // temperature-time kinds by least squares of y itself.
    bool leastSquaresInY = false;
    bool leastSquaresInYGiven = false;
    bool steeringGiven() const
    {
        return throughGiven || fixGiven || weightsGiven || minimaxGiven || monotoneGiven || curvatureGiven;
    }
};

// --help (or -h) and --version answer at once, whatever else the line holds.
enum class BatchRequest { Help, Version };

// What the command line asks for: the options, or the help or the version.
using BatchCommand = std::variant<BatchOptions, BatchRequest>;

// The command, or the text that explains what is wrong with the line.
Checked<BatchCommand> parseBatchOptions(const std::vector<std::string>& arguments);

// What --help prints, with the kinds' numbers and names.
std::string batchUsage();

} // namespace calvero
