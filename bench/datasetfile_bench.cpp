// A data set of 200 points saved to and read back from a data set file in
// the temporary folder, and the two halves without the disk: the 913 lines
// formatted and parsed.
#include "bench_support.h"

#include "app/datasetfile.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

using namespace calvero;
using namespace calvero::bench;

namespace {

bool noMessage(benchmark::State& state, const QuietPresenter& shown)
{
    if (shown.messages == 0) return true;
    state.SkipWithError(("a message was shown: " + shown.firstMessage).c_str());
    return false;
}

void BM_WriteDataSetFile200Points(benchmark::State& state)
{
    BenchWorkspace w;
    if (!prepareCalculated(state, polynomialCase(), w)) return;
    const TempPath file("write.txt");
    for (auto _ : state) {
        if (const auto failure = writeDataSetFile(w.work, file.str())) {
            state.SkipWithError(("the data set file was not written: " + *failure).c_str());
            break;
        }
    }
    noMessage(state, w.shown);
}
BENCHMARK(BM_WriteDataSetFile200Points)->Unit(benchmark::kMicrosecond);

// Reading also fills the grid and sorts the points by x, as the command does.
void BM_ReadDataSetFile200Points(benchmark::State& state)
{
    BenchWorkspace w;
    if (!prepareCalculated(state, polynomialCase(), w)) return;
    const TempPath file("read.txt");
    if (const auto failure = writeDataSetFile(w.work, file.str())) {
        state.SkipWithError(("the data set file was not written: " + *failure).c_str());
        return;
    }
    for (auto _ : state) {
        if (const auto failure = loadDataSetFile(w.work, file.str())) {
            state.SkipWithError(("the data set file was not read: " + *failure).c_str());
            break;
        }
    }
    if (noMessage(state, w.shown) && w.doc.points.foundCount != MaxPoints)
        state.SkipWithError("the data set file did not give back 200 points");
}
BENCHMARK(BM_ReadDataSetFile200Points)->Unit(benchmark::kMicrosecond);

DataSetFileContents contentsOf200Points()
{
    const GridRows rows = polynomialCase().rows;
    DataSetFileContents contents;
    contents.kind = kindNumber(FitType::Polynomial);
    contents.degree = 8;
    contents.count = MaxPoints;
    for (int i = 1; i <= MaxPoints; ++i) {
        contents.x[i] = parseDecimalOrZero(rows.x[i - 1]);
        contents.y[i] = parseDecimalOrZero(rows.y[i - 1]);
    }
    for (int k = 1; k <= 9; ++k) contents.curveBlock[k] = 1.0 / k;
    return contents;
}

void BM_FormatDataSetFile200Points(benchmark::State& state)
{
    const DataSetFileContents contents = contentsOf200Points();
    for (auto _ : state) benchmark::DoNotOptimize(formatDataSetFile(contents));
}
BENCHMARK(BM_FormatDataSetFile200Points)->Unit(benchmark::kMicrosecond);

void BM_ParseDataSetFile200Points(benchmark::State& state)
{
    const std::string text = *formatDataSetFile(contentsOf200Points());
    std::optional<DataSetFileContents> parsed;
    for (auto _ : state) {
        parsed = parseDataSetFile(text);
        benchmark::DoNotOptimize(parsed);
    }
    if (!parsed || parsed->count != MaxPoints) state.SkipWithError("the formatted file did not parse back");
}
BENCHMARK(BM_ParseDataSetFile200Points)->Unit(benchmark::kMicrosecond);

} // namespace
