#include "batch/batchexports.h"

#include "batch/batchrun.h"
#include "common/filewrite.h"
#include "common/numtext.h"

#include <algorithm>

namespace calvero {

namespace {

// The file's stem, and the parameter's value for a family of curves.
std::string rowName(const SummaryRow& row)
{
    const std::string stem = fileStem(row.file);
    return row.parameter ? stem + "_" + shortestText(*row.parameter) : stem;
}

int written(const std::string& path, const std::string& text, std::ostream& err)
{
    if (const Failure failure = writeOutputFile(path, text)) {
        err << *failure << '\n';
        return BatchUnreadable;
    }
    return BatchOk;
}

} // namespace

int writeExports(const BatchOptions& options, const Calculation& done, std::ostream& err)
{
    int exit = BatchOk;
    for (const BatchExport& e : options.exports) {
        const Checked<std::string> text = exportText(e.format, done, options.exportChoices);
        if (!text) {
            err << text.failure() << '\n';
            exit = std::max<int>(exit, BatchRefused);
            continue;
        }
        exit = std::max(exit, written(e.path, *text, err));
    }
    return exit;
}

ManyFileExports::ManyFileExports(const BatchOptions& options) : exports_(options.exports)
{
    for (const BatchExport& e : exports_) collections_.emplace_back(e.format, options.exportChoices);
}

SummaryVisitor ManyFileExports::visitor()
{
    return [this](const SummaryRow& row, const Calculation* done) {
        const std::string name = names_.take(rowName(row));
        for (ExportCollection& collection : collections_) {
            if (done) collection.add(*done, name);
            else collection.addMissing(name, row.outcome);
        }
    };
}

int ManyFileExports::write(std::ostream& err) const
{
    int exit = BatchOk;
    for (std::size_t i = 0; i < exports_.size(); ++i) {
        if (!collections_[i].complete()) exit = std::max<int>(exit, BatchRefused);
        exit = std::max(exit, written(exports_[i].path, collections_[i].text(), err));
    }
    return exit;
}

} // namespace calvero
