// The .xlsx and .ods readers on arbitrary bytes. An input that starts with
// "PK" is an archive as it is: read from memory and from a file it is refused
// the same way or gives the same block. Any other input holds the parts of a
// workbook, separated by \x01 bytes, which are zipped here first, so that
// the fuzzer reaches the XML behind the archive's checksums: "x" before the
// first separator makes the parts those of an .xlsx package, anything else
// those of an .ods one. Every block's cells fit a grid cell.
#include "spreadsheet/spreadsheetimport.h"
#include "spreadsheet/zipreader.h"
#include "fuzz_support.h"

#include <zip.h>

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

const char* const XlsxParts[] = {"_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                                 "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml"};
const char* const OdsParts[] = {"mimetype", "content.xml"};

// The parts stored (not deflated) in a new archive at path.
void zipParts(const std::string& path, const std::string& input)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = input.find('\x01', start)) != std::string::npos; start = end + 1)
        pieces.push_back(input.substr(start, end - start));
    pieces.push_back(input.substr(start));
    const bool xlsx = pieces.front() == "x";
    const auto* names = xlsx ? XlsxParts : OdsParts;
    const std::size_t nameCount = xlsx ? std::size(XlsxParts) : std::size(OdsParts);

    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    require(archive != nullptr, "cannot create " + path);
    for (std::size_t i = 0; i < nameCount && i + 1 < pieces.size(); ++i) {
        zip_source_t* source = zip_source_buffer(archive, pieces[i + 1].data(), pieces[i + 1].size(), 0);
        const zip_int64_t index = zip_file_add(archive, names[i], source, ZIP_FL_OVERWRITE);
        require(index >= 0, "cannot add a part");
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    require(zip_close(archive) == 0, "cannot write " + path);
}

void requireCellsFit(const std::optional<SpreadsheetBlock>& block)
{
    if (!block) return;
    for (const auto& row : *block)
        for (const std::string& cell : row) require(characterCount(cell) <= 130, "a cell text longer than 130 characters");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file(".xlsx");
    if (size >= 2 && data[0] == 'P' && data[1] == 'K') {
        std::optional<SpreadsheetBlock> block;
        if (const auto archive = ZipReader::openBytes(data, size)) block = readZippedSpreadsheet(*archive);
        requireCellsFit(block);
        require(readSpreadsheetBlock(file.write(data, size)) == block, "the same archive read two ways");
    } else {
        zipParts(file.path(), std::string(reinterpret_cast<const char*>(data), size));
        requireCellsFit(readSpreadsheetBlock(file.path()));
    }
    return 0;
}
