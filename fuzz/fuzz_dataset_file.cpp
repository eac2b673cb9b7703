// The data set file reader on arbitrary bytes: parseDataSetFile on the text,
// loadDataSetFile on a file holding it. A refused file must leave the document
// and the main window exactly as they were and say why; an accepted one must
// be what the parser accepts, and what the writer makes of it must read back.
#include "app/datasetfile.h"
#include "common/fault.h"
#include "app/document.h"
#include "fuzz_support.h"
#include "session_snapshot.h"

#include <string_view>

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

void checkWriterOutputReadsBack(const DataSetFileContents& contents)
{
    std::string written;
    try {
        written = formatDataSetFile(contents);
    } catch (const ArithmeticFault&) {
        require(false, "a parsed file holds a value the writer refuses");
    }
    const auto again = parseDataSetFile(written);
    require(again.has_value(), "the writer's own file is refused");
    require(again->kind == contents.kind && again->degree == contents.degree && again->count == contents.count,
            "kind, degree or count changed through the writer");
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
    } else {
        const auto after = calvero::testing::SessionSnapshot::take(document, inputs);
        require(after == before, "a refused file changed: " + after.differencesFrom(before));
        require(*failure == "il file non contiene dati validi: " + path, "a refused file did not say why");
    }
    return 0;
}
