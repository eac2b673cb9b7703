#include "spreadsheet/biff8formularesults.h"

#include "common/utf8.h"
#include "spreadsheet/biff8records.h"
#include "spreadsheet/littleendian.h"
#include "spreadsheet/spreadsheetdate.h"
#include "spreadsheet/spreadsheetblock.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>

namespace calvero {

namespace {

constexpr std::uint16_t Biff8Version = 0x0600;
constexpr std::uint16_t SpecialResult = 0xFFFF; // top bytes of a result that is no number
constexpr std::size_t FormulaHead = 20;         // row, column, format, result, flags, cache

struct Record {
    std::uint16_t type = 0;
    std::string_view data;
};

// The records of the stream from a position on; a record cut short ends them.
class RecordCursor {
public:
    RecordCursor(std::string_view stream, std::size_t at) : stream_(stream), at_(at) {}
    bool next(Record& record)
    {
        if (at_ > stream_.size() || stream_.size() - at_ < 4) return false;
        const std::uint16_t length = littleEndian16(stream_, at_ + 2);
        if (stream_.size() - at_ - 4 < length) return false;
        record = {littleEndian16(stream_, at_), stream_.substr(at_ + 4, length)};
        at_ += 4 + std::size_t{length};
        return true;
    }

private:
    std::string_view stream_;
    std::size_t at_;
};

// An XLUnicodeString at `at` (16-bit count, flags, one or two bytes a
// character) as UTF-8; characters beyond the record (they go on in a
// CONTINUE record) are left out.
std::string unicodeString(std::string_view data, std::size_t at)
{
    if (data.size() < at + 3) return {};
    const std::size_t count = littleEndian16(data, at);
    const bool wide = (static_cast<unsigned char>(data[at + 2]) & 0x01) != 0;
    std::string text;
    Utf16Decoder decoder;
    std::size_t p = at + 3;
    for (std::size_t i = 0; i < count && p + (wide ? 2 : 1) <= data.size(); ++i) {
        if (wide)
            decoder.put(littleEndian16(data, p), text);
        else
            appendUtf8(text, static_cast<unsigned char>(data[p]));
        p += wide ? 2 : 1;
    }
    decoder.finish(text);
    return text;
}

std::string errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#N/A";
    }
}

// What the workbook globals tell about the first sheet and the number formats.
struct Globals {
    std::optional<std::uint32_t> firstSheetAt;
    std::vector<std::uint16_t> cellFormats; // the number format of each XF
    std::map<std::uint16_t, std::string> formatCodes;
    bool from1904 = false;
};

bool isBiff8Bof(const Record& record)
{
    return record.type == RecordType::Bof && record.data.size() >= 2 && littleEndian16(record.data, 0) == Biff8Version;
}

std::optional<Globals> readGlobals(std::string_view stream)
{
    RecordCursor cursor(stream, 0);
    Record record;
    if (!cursor.next(record) || !isBiff8Bof(record)) return std::nullopt;
    Globals globals;
    while (cursor.next(record) && record.type != RecordType::Eof) {
        const std::string_view d = record.data;
        if (record.type == RecordType::BoundSheet8 && d.size() >= 4 && !globals.firstSheetAt)
            globals.firstSheetAt = littleEndian32(d, 0);
        else if (record.type == RecordType::Xf && d.size() >= 4)
            globals.cellFormats.push_back(littleEndian16(d, 2));
        else if (record.type == RecordType::Format && d.size() >= 2)
            globals.formatCodes[littleEndian16(d, 0)] = unicodeString(d, 2);
        else if (record.type == RecordType::Date1904 && d.size() >= 2)
            globals.from1904 = littleEndian16(d, 0) == 1;
    }
    return globals;
}

std::optional<std::string> numberText(double value, std::uint16_t xf, const Globals& globals)
{
    if (!std::isfinite(value)) return std::nullopt;
    if (xf < globals.cellFormats.size()) {
        const std::uint16_t format = globals.cellFormats[xf];
        const auto code = globals.formatCodes.find(format);
        const std::string formatCode = code != globals.formatCodes.end() ? code->second : std::string();
        if (auto date = serialDateText(value, format, formatCode, globals.from1904)) return date;
    }
    return spreadsheetNumberText(value);
}

} // namespace

std::vector<FormulaResultCell> firstSheetFormulaResults(std::string_view stream, int maxRows, int maxColumns)
{
    std::vector<FormulaResultCell> cells;
    const std::optional<Globals> globals = readGlobals(stream);
    if (!globals || !globals->firstSheetAt) return cells;

    RecordCursor cursor(stream, *globals->firstSheetAt);
    Record record;
    if (!cursor.next(record) || !isBiff8Bof(record)) return cells;
    int depth = 1; // a chart inside the sheet brings its own BOF and EOF
    constexpr std::size_t NoCell = SIZE_MAX;
    std::size_t awaitingText = NoCell; // the cell whose text result comes in a STRING record
    while (depth > 0 && cursor.next(record)) {
        const std::string_view d = record.data;
        if (record.type == RecordType::Bof) {
            ++depth;
        } else if (record.type == RecordType::Eof) {
            --depth;
        } else if (record.type == RecordType::String && awaitingText != NoCell) {
            cells[awaitingText].text = unicodeString(d, 0);
            awaitingText = NoCell;
        } else if (record.type == RecordType::Formula && d.size() >= FormulaHead) {
            awaitingText = NoCell;
            const int row = littleEndian16(d, 0) + 1;
            const int column = littleEndian16(d, 2) + 1;
            if (row > maxRows || column > maxColumns) continue;
            std::optional<std::string> text;
            if (littleEndian16(d, 12) != SpecialResult) {
                const std::uint64_t bits = littleEndian32(d, 6) | static_cast<std::uint64_t>(littleEndian32(d, 10)) << 32;
                double value = 0.0;
                std::memcpy(&value, &bits, sizeof value);
                text = numberText(value, littleEndian16(d, 4), *globals);
            } else {
                switch (static_cast<unsigned char>(d[6])) {
                case 0: // text, in the STRING record that follows
                    awaitingText = cells.size();
                    text = std::string();
                    break;
                case 1: text = d[8] != 0 ? "VERO" : "FALSO"; break;
                case 2: text = errorText(static_cast<std::uint8_t>(d[8])); break;
                case 3: text = std::string(); break;
                default: break;
                }
            }
            if (text) cells.push_back({row, column, std::move(*text)});
        }
    }
    return cells;
}

} // namespace calvero
