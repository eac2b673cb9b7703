#include "entry/spreadsheetimport.h"

#include "entry/compoundfilecheck.h"
#include "fit/session.h"

#include <freexl.h>

#include <algorithm>
#include <charconv>
#include <memory>

namespace calvero {

namespace {

constexpr std::size_t CellTextLength = 130;

struct WorkbookCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};
using Workbook = std::unique_ptr<const void, WorkbookCloser>;

std::string cellText(const FreeXL_CellValue& cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return std::to_string(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return spreadsheetNumberText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return cell.value.text_value != nullptr ? std::string(cell.value.text_value) : std::string();
    default:
        return {};
    }
}

// The first `count` characters of a UTF-8 text, never splitting a character.
std::string firstCharacters(const std::string& text, std::size_t count)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count) return text.substr(0, i);
    }
    return text;
}

} // namespace

std::string spreadsheetNumberText(double value)
{
    if (value == 0.0) value = 0.0; // no "-0"
    char buffer[400];
    auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (fixed.ec == std::errc() && static_cast<std::size_t>(fixed.ptr - buffer) <= CellTextLength)
        return std::string(buffer, fixed.ptr);
    auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    return std::string(buffer, shortest.ptr);
}

std::optional<SpreadsheetBlock> readSpreadsheetBlock(const std::string& fileName)
{
    // FreeXL overruns its memory on some malformed compound files: those never reach it.
    if (checkCompoundFile(fileName) == CompoundFileCheck::Unsound) return std::nullopt;
    const void* handle = nullptr;
    const int opened = freexl_open(fileName.c_str(), &handle);
    Workbook workbook(handle); // closed on every path, a failed opening included
    if (opened != FREEXL_OK || handle == nullptr) return std::nullopt;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK) return std::nullopt;

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) return std::nullopt;

    SpreadsheetBlock block;
    const unsigned int lastRow = std::min<unsigned int>(rows, SpreadsheetRows);
    const unsigned short lastColumn = std::min<unsigned short>(columns, SpreadsheetColumns);
    for (unsigned int r = 0; r < lastRow; ++r) {
        for (unsigned short c = 0; c < lastColumn; ++c) {
            FreeXL_CellValue cell{};
            if (freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK) block[r][c] = cellText(cell);
        }
    }
    return block;
}

void placeSpreadsheetRows(const SpreadsheetBlock& block, int firstRow, PointGrid& grid)
{
    firstRow = std::clamp(firstRow, 1, SpreadsheetRows);
    for (int r = firstRow; r <= SpreadsheetRows; ++r)
        for (int c = 1; c <= SpreadsheetColumns; ++c)
            grid.setCell(r - firstRow + 1, c, firstCharacters(block[r - 1][c - 1], CellTextLength));
}

bool readSpreadsheetRange(const std::string& fileName, int firstRow)
{
    const std::optional<SpreadsheetBlock> block = readSpreadsheetBlock(fileName);
    if (!block) return false;
    placeSpreadsheetRows(*block, firstRow, session().grid);
    return true;
}

} // namespace calvero
