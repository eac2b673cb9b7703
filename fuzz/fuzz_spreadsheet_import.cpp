// The spreadsheet import on arbitrary bytes given as an .xls file:
// readSpreadsheetBlock either refuses the file or gives the block, and
// readSpreadsheetRange puts it into the grid from the chosen row on, cut to
// 130 characters, leaving the grid untouched when the file is refused. The
// compound file and formula result readers run on it directly too.
#include "spreadsheet/biff8formularesults.h"
#include "spreadsheet/compoundfilereader.h"
#include "entry/spreadsheetrange.h"
#include "spreadsheet/spreadsheetimport.h"
#include "fuzz_support.h"

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

std::string sentinelText(int row, int column) { return "#" + std::to_string(row) + "," + std::to_string(column); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file(".xls");
    const std::string& path = file.write(data, size);

    const auto block = readSpreadsheetBlock(path);
    // The readers that run in FreeXL's child process, here where a fault shows:
    // the input as a compound file, and as a Workbook stream itself.
    if (const auto stream = readCompoundRootStream(path, "Workbook", std::size_t{1} << 26))
        firstSheetFormulaResults(*stream, SpreadsheetRows, SpreadsheetColumns);
    firstSheetFormulaResults(std::string_view(reinterpret_cast<const char*>(data), size), SpreadsheetRows,
                             SpreadsheetColumns);

    PointGrid grid;
    for (int r = 1; r <= PointGrid::Rows; ++r)
        for (int c = 1; c <= PointGrid::Columns; ++c) grid.setCell(r, c, sentinelText(r, c));
    const PointGrid before = grid;
    const int firstRow = size > 0 ? 1 + data[size - 1] % SpreadsheetRows : 2;

    const bool read = !readSpreadsheetRange(path, firstRow, grid);
    require(read == block.has_value(), "the same file read two ways");
    if (!read) {
        require(grid == before, "a refused workbook changed the grid");
    } else {
        for (int r = 1; r <= PointGrid::Rows; ++r) {
            for (int c = 1; c <= PointGrid::Columns; ++c) {
                const std::string& cell = grid.cell(r, c);
                if (r > SpreadsheetRows - firstRow + 1) {
                    require(cell == sentinelText(r, c), "a grid row below the block changed");
                } else {
                    require(characterCount(cell) <= 130, "a cell text longer than 130 characters");
                    const std::string& source = (*block)[static_cast<std::size_t>(r + firstRow - 2)][static_cast<std::size_t>(c - 1)];
                    require(source.compare(0, cell.size(), cell) == 0, "a cell text that is not its spreadsheet cell");
                }
            }
        }
    }
    return 0;
}
