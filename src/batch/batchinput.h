#pragma once
// What calvero1-batch calculates from a file, for one file (batchrun.h) and
// for many (batchsummary.h): a point file read as the point-entry import
// reads it, then its cells into numbers with the options' kind, degree and
// temperatures, as the main window would read them after the import.
#include "batch/batchoptions.h"
#include "common/checked.h"
#include "entry/pointgrid.h"
#include "fit/calculation.h"

#include <string>
#include <vector>

namespace calvero {

enum BatchExit { BatchOk = 0, BatchRefused = 1, BatchUnreadable = 2 };

// A point file as the import leaves it: its cells (a text file's first 200
// lines, or with --all-lines up to the engine's 100 000; a workbook's rows
// from row 2) and the numbers the text import stores beside them.
struct BatchPoints {
    PointGrid cells;
    PointSet points;
    bool moreLines = false; // a text file read only to the grid's last row
    // The fourth field of each line, when asked for: the surface's weights.
    std::vector<double> weightColumn;
};

// The Italian message when the file could not be read.
Checked<BatchPoints> readBatchPoints(const std::string& file, bool allLines, bool withWeightColumn = false);

// A data set file as the program reads it, with the fit options saved beside
// it; the Italian message when either cannot be read.
Checked<CalculationInput> readDataSetInput(const std::string& file);

// The points with the options' kind, degree and temperatures; the refusal of
// a cell or a temperature that is not a number.
Checked<CalculationInput> pointsInput(BatchPoints& read, const BatchOptions& options);

// A family of curves, x;parameter;y: one input per parameter value, in the
// order the values first appear, each with that value; or the refusal of a
// cell that is not a number.
struct FamilyMember {
    double parameter = 0.0;
    Checked<CalculationInput> input;
};
Checked<std::vector<FamilyMember>> familyInputs(BatchPoints& read, const BatchOptions& options);

// What standard error says of a point file read only to its grid's last row.
std::string firstLinesNotice(const std::string& file, const BatchPoints& read);

} // namespace calvero
