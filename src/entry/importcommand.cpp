#include "entry/importcommand.h"

#include "entry/pointimport.h"
#include "entry/spreadsheetrange.h"
#include "spreadsheet/spreadsheetimport.h"
#include "common/numtext.h"


namespace calvero {

namespace {

constexpr std::size_t ConvertedLength = 130;

double cellNumber(const std::string& text)
{
    return parseDecimalOrZero(std::string_view(text).substr(0, ConvertedLength));
}

} // namespace

PointFileKind pointFileKind(const std::string& fileName)
{
    const std::string extension = lowerExtension(fileName);
    if (extension == "txt" || extension == "csv") return PointFileKind::Text;
    if (extension == "xls" || extension == "xlsx" || extension == "ods") return PointFileKind::Spreadsheet;
    return PointFileKind::Unknown;
}

Checked<LinesRead> readPointFile(const std::string& fileName, int firstSpreadsheetRow, const PointTarget& into)
{
    switch (pointFileKind(fileName)) {
    case PointFileKind::Text: return readPointLines(fileName, 1, into.grid.rows(), into);
    case PointFileKind::Spreadsheet:
        if (const Failure failure = readSpreadsheetRange(fileName, firstSpreadsheetRow, into.grid))
            return failed<LinesRead>(*failure);
        return succeeded(LinesRead{});
    case PointFileKind::Unknown: break;
    }
    return failed<LinesRead>("tipo di file non riconosciuto: " + fileName);
}

Failure importPointFile(const std::string& fileName, int firstSpreadsheetRow, const PointTarget& into)
{
    const Checked<LinesRead> read = readPointFile(fileName, firstSpreadsheetRow, into);
    if (!read) return read.failure();
    if (into.source) *into.source = fileName;
    if (read->moreLines) return std::string(FirstLinesNotice);
    return std::nullopt;
}

void copyGridToPoints(const PointGrid& grid, PointSet& points)
{
    for (int r = 1; r <= PointGrid::Rows; ++r) {
        if (grid.cell(r, 1).empty()) continue;
        points.x[r] = cellNumber(grid.cell(r, 1));
        points.y[r] = cellNumber(grid.cell(r, 2));
        points.z[r] = cellNumber(grid.cell(r, 3));
    }
}

} // namespace calvero
