#pragma once
// The program's state for one run: the point grid and the working points,
// the user's choice of kind and degree as the data set holds it, the fit
// options, the last calculation, the coefficients the data set file keeps,
// and the names. The
// main window owns one; commands and tests are handed the one they work on.
#include "app/datasetfile.h"
#include "fit/calculation.h"
#include "fit/dataset.h"
#include "fit/fitoptions.h"
#include "fit/pointgrid.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

struct Document {
    PointGrid grid;   // the master copy of the points
    PointSet points;  // the last count of the grid, or the data set file last read
    FitType kind = FitType::Polynomial;
    int degree = 2;
    std::optional<Calculation> lastCalculation; // the last calculation that succeeded
    DataSetCoefficients coefficients;           // what the data set file keeps of the fits
    std::string currentDataSetName;             // data set file last read or saved
    std::string programFolder;                  // folder of the program, with a trailing '/'
    FitOptions options;                         // what steers the fits of this data set
    // The weights of a point file's fourth column (x;y;z;w), for the surface's
    // per-point weights; in the points' order, moved with them when sorted.
    std::vector<double> weightColumn;
};

} // namespace calvero
