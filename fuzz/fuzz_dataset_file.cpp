// The data set file reader on arbitrary bytes: parseDataSetFile on the text,
// loadDataSetFile on a file holding it. A refused file must leave the document
// and the main window exactly as they were and say why; an accepted one must
// be what the parser accepts, what the writer makes of it must read back, and
// what calvero1-batch calculates from it must be what the main window
// calculates after reading it.
#include "app/datasetfile.h"
#include "app/document.h"
#include "entry/gridinput.h"
#include "fuzz_support.h"
#include "plain_inputs.h"
#include "session_snapshot.h"

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

void checkWriterOutputReadsBack(const DataSetFileContents& contents)
{
    const Checked<std::string> written = formatDataSetFile(contents);
    require(written.value.has_value(), "a parsed file holds a value the writer refuses");
    const auto again = parseDataSetFile(*written);
    require(again.has_value(), "the writer's own file is refused");
    require(again->kind == contents.kind && again->degree == contents.degree && again->count == contents.count,
            "kind, degree or count changed through the writer");
}

// The main window reads the grid and the fields the file filled; the batch
// takes the file's numbers. Both must calculate the same.
void checkBothRoadsAgree(Document& document, const MainWindowInputs& inputs, const DataSetFileContents& file)
{
    const TypedChoices choices{document.kind, inputs.degreeValue(), inputs.initialTemperatureText(),
                               inputs.finalTemperatureText()};
    const Checked<CalculationInput> window = readCalculationInput(document.grid, document.points, choices);
    require(window.value.has_value(), "the grid of a data set file is refused: " + window.failure());
    const CalculationInput batch = dataSetInput(file);
    require(window->pointCount == batch.pointCount, "the two roads count different points");
    for (int i = 1; i <= batch.pointCount; ++i) {
        const bool same = std::bit_cast<std::uint64_t>(window->points.x[i]) == std::bit_cast<std::uint64_t>(batch.points.x[i]) &&
                          std::bit_cast<std::uint64_t>(window->points.y[i]) == std::bit_cast<std::uint64_t>(batch.points.y[i]) &&
                          std::bit_cast<std::uint64_t>(window->points.z[i]) == std::bit_cast<std::uint64_t>(batch.points.z[i]);
        require(same, "the two roads read point " + std::to_string(i) + " differently");
    }
    require(window->kind == batch.kind && window->degree == batch.degree, "the two roads differ in kind or degree");
    require(window->initialTemperature == batch.initialTemperature && window->finalTemperature == batch.finalTemperature,
            "the two roads read different temperatures");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file(".txt");
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto parsed = parseDataSetFile(text);
    if (parsed) {
        require(parsed->kind <= 8, "kind outside 0..8 accepted");
        checkWriterOutputReadsBack(*parsed);
    }

    Document document;
    InputFields inputs;
    calvero::testing::loadDistinctiveDataSet(document, inputs);
    const auto before = calvero::testing::SessionSnapshot::take(document, inputs);
    const std::string& path = file.write(data, size);
    const auto failure = loadDataSetFile(Workspace{document, inputs}, path);
    const bool read = !failure;

    require(read == parsed.has_value(), "the file reader and the parser disagree");
    if (read) {
        require(document.currentDataSetName == path, "accepted file is not the current data set");
        require(document.points.count <= MaxPoints, "more points than places");
        checkBothRoadsAgree(document, inputs, *parsed);
    } else {
        const auto after = calvero::testing::SessionSnapshot::take(document, inputs);
        require(after == before, "a refused file changed: " + after.differencesFrom(before));
        require(*failure == "il file non contiene dati validi: " + path, "a refused file did not say why");
    }
    return 0;
}
