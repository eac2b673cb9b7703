#pragma once
// The state of one run of the program: one instance of every record, in one
// place that the engine and the windows reach. Tests start from a fresh one
// with resetSession().
#include "fit/dataset.h"
#include "fit/pointgrid.h"
#include "fit/report.h"

#include <string>

namespace calvero {

// Staging copy of the points used by sorting and by the data set files.
struct StagingPoints {
    PointArray x{};
    PointArray y{};
    PointArray z{};
};

// What the data set file image holds beyond the fields it shares with the
// fit state: the tenth number of the curve block (the final temperature).
struct DataSetFileImage {
    double finalTemperatureSlot = 0.0;
};

struct Session {
    PointSet points;
    FitState fit;
    FitResult result;
    PointGrid grid;
    StagingPoints staging;
    ReportBuffer report;
    DataSetFileImage image;
    std::string currentDataSetName; // data set file last read or saved
    std::string programFolder;      // folder of the program, with a trailing '/'
};

Session& session();
void resetSession();

} // namespace calvero
