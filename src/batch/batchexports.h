#pragma once
// The exports of calvero1-batch written to their files: those of one
// calculation, or those of many files in one run, a piece per row of the
// summary (an object, a row of coefficients, a function), named after its
// file and made unique, or a comment saying why the row has none.
#include "batch/batchoptions.h"
#include "batch/batchsummary.h"
#include "fit/calculation.h"

#include <ostream>
#include <vector>

namespace calvero {

// 0 when every file was written; 1 when a format has nothing for the
// calculation (its message on err); 2 when a file could not be written.
int writeExports(const BatchOptions& options, const Calculation& done, std::ostream& err);

class ManyFileExports {
public:
    explicit ManyFileExports(const BatchOptions& options);
    // What summarise calls for every row.
    SummaryVisitor visitor();
    // Writes every file: 0, 1 when a row had no piece in some file, 2 when a
    // file could not be written.
    int write(std::ostream& err) const;

private:
    std::vector<BatchExport> exports_;
    std::vector<ExportCollection> collections_;
    UniqueNames names_;
};

} // namespace calvero
