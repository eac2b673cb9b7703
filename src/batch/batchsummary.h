#pragma once
// Many data sets in one run of calvero1-batch: each file (data set files,
// point files and workbooks, mixed; a folder stands for the files in it) is
// fitted in turn, and one table holds a row per file, or per parameter value
// of a family of curves: the equation, its coefficients at full precision, the
// figures that say how good it is, and "ok" or why there is none.
#include "common/checked.h"
#include "batch/batchoptions.h"
#include "fit/calculation.h"
#include "fit/coefficientlist.h"
#include "spreadsheet/workbooksheet.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace calvero {

// What the table keeps of a calculation: a few numbers, not its points or
// its report, so that a thousand files take no more memory than ten.
struct SummaryFit {
    FitType kind = FitType::Polynomial;
    int degree = 0;
    int points = 0;
    std::vector<NamedCoefficient> coefficients;
    std::optional<double> standardError;
    std::optional<double> adjustedRSquared;
    std::optional<double> largestPercentError;
};

struct SummaryRow {
    std::string file;
    std::optional<double> parameter; // the family's parameter, with --each-parameter
    std::optional<SummaryFit> fit;
    std::string outcome = "ok"; // or the Italian refusal, or why the file could not be read
    bool unreadable = false;
    std::string notice; // for standard error, not the table: a point file read to its 200th line
};

// The files the paths stand for: a folder's regular files in name order.
std::vector<std::string> summaryFiles(const std::vector<std::string>& paths);

// Called for every row as it is made, in order, with its calculation while
// that lives (nothing for a refusal or a file that could not be read): the
// exports of many files are written from it without keeping the calculations.
using SummaryVisitor = std::function<void(const SummaryRow& row, const Calculation* calculation)>;

std::vector<SummaryRow> summarise(const std::vector<std::string>& files, const BatchOptions& options,
                                  const SummaryVisitor& visit = {});

// The table as semicolon-separated text with decimal commas, a header line first.
std::string summaryCsv(const std::vector<SummaryRow>& rows, bool withParameter);
// The same as one JSON document.
std::string summaryJson(const std::vector<SummaryRow>& rows);
// The same as the worksheet "RIEPILOGO" of the .xlsx and .xls files.
Worksheet summarySheet(const std::vector<SummaryRow>& rows, bool withParameter);
// The table into OUT by its ending: .csv, .xlsx, .xls or .json. The Italian message
// when it could not be written. Every text goes in as validText makes it, so
// whatever bytes a file's name or message held, each format stays valid.
Failure writeSummary(const std::vector<SummaryRow>& rows, bool withParameter, const std::string& path);

// 0 when every row was fitted, 1 when a calculation was refused, 2 when a
// file could not be read.
int summaryExit(const std::vector<SummaryRow>& rows);

} // namespace calvero
