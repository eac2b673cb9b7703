#include "spreadsheet/spreadsheetimport.h"

#include "spreadsheet/biff8formularesults.h"
#include "spreadsheet/childprocess.h"
#include "spreadsheet/compoundfilecheck.h"
#include "spreadsheet/compoundfilereader.h"
#include "spreadsheet/odsimport.h"
#include "spreadsheet/spreadsheetxml.h"
#include "spreadsheet/xlsximport.h"
#include "spreadsheet/zipreader.h"
#include "common/celltext.h"
#include "common/numtext.h"

#include <freexl.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>

namespace calvero {

namespace {

// Far more than FreeXL needs for the largest workbook; past it, it is stuck.
constexpr std::chrono::seconds FreeXlTimeLimit{30};
// Far more than the records of any workbook of 200 points.
constexpr std::size_t MaxWorkbookStream = std::size_t{64} << 20;

// The parts of a workbook of 200 points take a few hundred kilobytes as
// documents; this lets a sheet of some hundred thousand rows in too.
constexpr std::size_t MaxXmlMemory = std::size_t{256} << 20;

constexpr std::string_view OdsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

// Every zip archive starts with "PK"; a compound file or a BIFF stream never does.
bool startsLikeZip(const std::string& fileName)
{
    char start[2] = {};
    std::ifstream file(fileName, std::ios::binary);
    return file.read(start, 2) && start[0] == 'P' && start[1] == 'K';
}

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

// FreeXL gives formula cells as empty; the values stored with them fill the
// cells in, and FreeXL's own cells, read next, go over them.
void addFormulaResults(const std::string& fileName, SpreadsheetBlock& block)
{
    const auto stream = readCompoundRootStream(fileName, "Workbook", MaxWorkbookStream);
    if (!stream) return;
    for (const FormulaResultCell& cell : firstSheetFormulaResults(*stream, SpreadsheetRows, SpreadsheetColumns))
        block[cell.row - 1][cell.column - 1] = firstCharacters(cell.text, CellTextLength);
}

std::optional<SpreadsheetBlock> readWithFreeXl(const std::string& fileName)
{
    const void* handle = nullptr;
    const int opened = freexl_open(fileName.c_str(), &handle);
    Workbook workbook(handle); // closed on every path, a failed opening included
    if (opened != FREEXL_OK || handle == nullptr) return std::nullopt;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK) return std::nullopt;

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) return std::nullopt;

    SpreadsheetBlock block;
    addFormulaResults(fileName, block);
    const unsigned int lastRow = std::min<unsigned int>(rows, SpreadsheetRows);
    const unsigned short lastColumn = std::min<unsigned short>(columns, SpreadsheetColumns);
    for (unsigned int r = 0; r < lastRow; ++r) {
        for (unsigned short c = 0; c < lastColumn; ++c) {
            FreeXL_CellValue cell{};
            if (freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK && cell.type != FREEXL_CELL_NULL)
                block[r][c] = cellText(cell);
        }
    }
    return block;
}

// The block as the child process hands it over: each cell's length in four
// bytes, then its text, row by row.
std::string encodeBlock(const SpreadsheetBlock& block)
{
    std::string bytes;
    for (const auto& row : block) {
        for (const std::string& text : row) {
            const auto size = static_cast<std::uint32_t>(text.size());
            for (int i = 0; i < 4; ++i) bytes += static_cast<char>(size >> (8 * i));
            bytes += text;
        }
    }
    return bytes;
}

std::optional<SpreadsheetBlock> decodeBlock(const std::string& bytes)
{
    SpreadsheetBlock block;
    std::size_t at = 0;
    for (auto& row : block) {
        for (std::string& text : row) {
            if (bytes.size() - at < 4) return std::nullopt;
            std::uint32_t size = 0;
            for (int i = 0; i < 4; ++i) size |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at++])) << (8 * i);
            if (bytes.size() - at < size) return std::nullopt;
            text = bytes.substr(at, size);
            at += size;
        }
    }
    if (at != bytes.size()) return std::nullopt;
    return block;
}

} // namespace

std::optional<SpreadsheetBlock> readZippedSpreadsheet(const ZipReader& archive)
{
    XmlMemoryBudget budget(MaxXmlMemory);
    const std::optional<std::string> mimeType = archive.entry("mimetype", 256);
    if (mimeType && mimeType->starts_with(OdsMimeType)) return readOdsBlock(archive);
    return readXlsxBlock(archive);
}

std::optional<SpreadsheetBlock> readSpreadsheetBlock(const std::string& fileName)
{
    if (startsLikeZip(fileName)) {
        const std::optional<ZipReader> archive = ZipReader::openFile(fileName);
        if (!archive) return std::nullopt;
        return readZippedSpreadsheet(*archive);
    }
    // FreeXL overruns its memory on some malformed compound files: those never reach it.
    if (checkCompoundFile(fileName) == CompoundFileCheck::Unsound) return std::nullopt;
    // It does on some malformed workbooks too, so it reads in a child process.
    const std::optional<std::string> encoded = runInChildProcess(
        [&fileName]() -> std::optional<std::string> {
            const std::optional<SpreadsheetBlock> block = readWithFreeXl(fileName);
            if (!block) return std::nullopt;
            return encodeBlock(*block);
        },
        FreeXlTimeLimit);
    if (!encoded) return std::nullopt;
    return decodeBlock(*encoded);
}

} // namespace calvero
