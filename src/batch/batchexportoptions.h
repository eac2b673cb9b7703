#pragma once
// The options of calvero1-batch that export the fitted equation for other
// programs: --energyplus OUT [--rated X[,Y]], --ahri540 OUT --units C|F,
// --formula OUT [--cells X[,Y]], --c-function OUT, --python-function OUT, and
// --curve-name NAME for the object or function of a single file.
#include "batch/batchoptions.h"

#include <string>

namespace calvero {

// Whether the argument is one of them (each takes a value).
bool isExportOption(const std::string& argument);

// Reads the option's value into the options; the Italian problem, if any.
Failure readExportOption(const std::string& argument, const std::string& value, BatchOptions& options);

// Once the whole line is read: what is wrong with the export options taken
// together, if anything. Without --curve-name a single file's object is named
// after the file.
Failure settleExportOptions(BatchOptions& options);

} // namespace calvero
