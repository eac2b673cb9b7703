#pragma once
// What calvero1-batch does: the road of "&Leggi i dati dal disco" (or of a
// point-file import followed by "&Calcola") without windows, the report on
// standard output, and on request the workbook, the RTF report and the graph;
// or, for a point file without a kind, the comparison of the equations alone.
#include "app/batchoptions.h"
#include "common/checked.h"
#include "entry/pointimport.h"
#include "fit/calculation.h"

#include <functional>
#include <ostream>

namespace calvero {

enum BatchExit { BatchOk = 0, BatchRefused = 1, BatchUnreadable = 2 };

struct Workspace;

// The points of a point file into the grid (a text file's first 200 lines),
// then the main window's inputs as the options set them, as the user would.
// Whether the text file held more than was read, or the Italian message when
// the file could not be read.
Checked<LinesRead> importBatchPoints(const Workspace& work, const std::string& file, const BatchOptions& options);

// What standard error says of a point file read only to its 200th line.
std::string firstLinesNotice(const std::string& file);

// writeGraph draws the graph of the calculation into the named image file
// (the caller owns the drawing toolkit); the Italian message when it could
// not be written.
using GraphWriter = std::function<Failure(const std::string& path, const Calculation& done)>;

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, const GraphWriter& writeGraph);

} // namespace calvero
