#pragma once
// calvero1-batch --equation: a typed equation fitted to a point file's every
// line, its report on standard output, and its statistics, JSON and RTF when
// asked for.
#include "batch/batchoptions.h"
#include "fit/equationfit.h"
#include "formats/equationfile.h"

#include <ostream>

namespace calvero {

// The exit status as runBatch's: 0 fitted, 1 refused (an equation or a
// setting that cannot be read, a fit that cannot be made), 2 for a file
// that could not be read or written.
int runEquation(const BatchOptions& options, std::ostream& out, std::ostream& err);

// The report, statistics and files of a fitted equation, as runEquation
// writes them (also for the equation kept beside a data set).
int writeEquationOutputs(const BatchOptions& options, const EquationFit& fit, std::ostream& out, std::ostream& err);

// A data set whose equation is saved beside it (NAME.equazione.json): the
// equation fitted to the data set's points instead of its kind.
int runSavedEquation(const BatchOptions& options, SavedEquation saved, std::ostream& out, std::ostream& err);

} // namespace calvero
