#pragma once
// What calvero1-batch does: the road of "&Leggi i dati dal disco" (or of a
// point-file import followed by "&Calcola") without windows, the report on
// standard output, and on request the workbook, the RTF report, the graph and
// the exports; or, for a point file without a kind, the comparison of the
// equations alone. An output that is one of the inputs, or a folder, stops
// the run before anything is read or written (exit 2).
#include "batch/batchinput.h"
#include "batch/batchoptions.h"
#include "common/checked.h"
#include "fit/calculation.h"

#include <functional>
#include <ostream>

namespace calvero {

// writeGraph draws the graph of the calculation into the named image file
// (the caller owns the drawing toolkit); the Italian message when it could
// not be written.
using GraphWriter = std::function<Failure(const std::string& path, const Calculation& done)>;

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, const GraphWriter& writeGraph);

} // namespace calvero
