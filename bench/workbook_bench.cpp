// The workbook the save command writes beside the data set file, for the
// three kinds that have a sheet: saved to the temporary folder, and built as
// bytes in memory without the disk.
#include "bench_support.h"

#include "entry/spreadsheetexport.h"
#include "spreadsheet/workbookwriter.h"
#include "app/datasetcommands.h"

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace calvero;
using namespace calvero::bench;

namespace {

void BM_ExportWorkbook(benchmark::State& state, BenchCase (*makeCase)())
{
    const BenchCase c = makeCase();
    BenchWorkspace w;
    if (!prepareCalculated(state, c, w)) return;
    const auto points = static_cast<std::uint16_t>(c.rows.size());
    const TempPath file("export.xls");
    for (auto _ : state) {
        if (const Failure failure = exportSpreadsheet(exportSource(w.doc), file.str(), points)) {
            state.SkipWithError(failure->c_str());
            break;
        }
    }
    state.counters["points"] = points;
}

void BM_WorkbookBytes(benchmark::State& state, BenchCase (*makeCase)())
{
    const BenchCase c = makeCase();
    BenchWorkspace w;
    if (!prepareCalculated(state, c, w)) return;
    const auto points = static_cast<std::uint16_t>(c.rows.size());
    std::size_t size = 0;
    for (auto _ : state) {
        const Bytes bytes = workbookFile(buildExportSheet(exportSource(w.doc), points));
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["points"] = points;
    state.counters["bytes"] = static_cast<double>(size);
}

} // namespace

BENCHMARK_CAPTURE(BM_ExportWorkbook, Polynomial200Points, polynomialCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExportWorkbook, Power200Points, powerCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExportWorkbook, SurfaceXY100Points, surfaceCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorkbookBytes, Polynomial200Points, polynomialCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorkbookBytes, Power200Points, powerCase)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorkbookBytes, SurfaceXY100Points, surfaceCase)->Unit(benchmark::kMicrosecond);
