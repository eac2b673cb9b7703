#pragma once
// The program's state for one run: the point grid and the working points,
// the user's choice of kind and degree as the data set holds it, the fit
// options, the last calculation, the coefficients the data set file keeps,
// the typed equation last fitted, what the data set file last saved or
// read holds, and the names (of the data
// set file, or of the point file imported). The main
// window owns one; commands and tests are handed the one they work on.
#include "formats/datasetformat.h"
#include "formats/equationfile.h"
#include "entry/pointgrid.h"
#include "fit/calculation.h"
#include "fit/dataset.h"
#include "fit/fitoptions.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

// What the data set file last saved or read holds of what the user types:
// the points and the two temperature fields. Leaving the program with
// anything else asks first.
struct StoredEntry {
    PointSet points;
    std::string initialTemperature;
    std::string finalTemperature;
};

struct Document {
    PointGrid grid;   // the master copy of the points
    PointSet points;  // the last count of the grid, or the data set file last read
    FitType kind = FitType::Polynomial;
    int degree = 2;
    std::optional<Calculation> lastCalculation; // the last calculation that succeeded
    // The typed equation last fitted ("equazione libera…"), while no kind
    // has been calculated since: the data set file saves it beside the data.
    std::optional<SavedEquation> lastEquation;
    DataSetCoefficients coefficients;           // what the data set file keeps of the fits
    StoredEntry stored;                         // on disk since the last save or read
    std::string currentDataSetName;             // data set file last read or saved
    // The point file the grid's points were imported from, while no data set
    // file has been read or saved since: what the titles name, never a name to save under.
    std::string importedPointFile;
    std::string programFolder;                  // folder of the program, with a trailing '/'
    FitOptions options;                         // what steers the fits of this data set
    // The weights of a point file's fourth column (x;y;z;w), for the surface's
    // per-point weights; in the points' order, moved with them when sorted.
    std::vector<double> weightColumn;
};

} // namespace calvero
