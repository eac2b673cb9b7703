#include "entry/spreadsheetrange.h"

#include "common/fileending.h"
#include "common/utf8.h"
#include "common/numtext.h"

#include <algorithm>

namespace calvero {

void placeSpreadsheetRows(const SpreadsheetBlock& block, int firstRow, PointGrid& grid)
{
    firstRow = std::clamp(firstRow, 1, SpreadsheetRows);
    for (int r = firstRow; r <= SpreadsheetRows; ++r)
        for (int c = 1; c <= SpreadsheetColumns; ++c)
            grid.setCell(r - firstRow + 1, c, firstCharacters(block[r - 1][c - 1], PointGrid::CellTextLength));
}

Failure readSpreadsheetRange(const std::string& fileName, int firstRow, PointGrid& grid)
{
    const std::optional<SpreadsheetBlock> block = readSpreadsheetBlock(fileName);
    if (!block) return unreadableSpreadsheetMessage(fileName);
    placeSpreadsheetRows(*block, firstRow, grid);
    return std::nullopt;
}

std::string unreadableSpreadsheetMessage(const std::string& fileName)
{
    if (lowerExtension(fileName) == "xls") return "impossibile leggere il file EXCEL: " + fileName;
    return "impossibile leggere il file: " + fileName;
}

} // namespace calvero
