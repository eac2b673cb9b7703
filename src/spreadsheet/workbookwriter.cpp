#include "spreadsheet/workbookwriter.h"

#include "common/filewrite.h"
#include "common/utf8.h"
#include "spreadsheet/biff8formula.h"
#include "spreadsheet/compoundfile.h"
#include "spreadsheet/workbookformula.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <map>
#include <system_error>

namespace calvero {

namespace {

constexpr std::uint16_t Biff8Version = 0x0600;
constexpr std::uint16_t GlobalsSubstream = 0x0005;
constexpr std::uint16_t WorksheetSubstream = 0x0010;
constexpr std::uint16_t UnicodeCodePage = 1200;
constexpr int BuiltInStyleFormats = 15;
constexpr int FontCount = 4; // font index 4 does not exist in the format, so four is the usual minimum

void writeBof(RecordStream& stream, std::uint16_t substream)
{
    ByteWriter bof;
    bof.u16(Biff8Version).u16(substream);
    bof.u16(0x0DBB).u16(0x07CC); // build and year of the format's first writer
    bof.u32(0x00000001);         // last edited on Windows
    bof.u32(0x00000006);         // lowest version that reads every record: BIFF8
    stream.record(RecordType::Bof, bof);
}

void writeEof(RecordStream& stream) { stream.record(RecordType::Eof, Bytes{}); }

void writeWindow1(RecordStream& stream)
{
    ByteWriter window;
    window.u16(0).u16(0).u16(0x3A98).u16(0x1F40); // position and size in twips
    window.u16(0x0038);                           // scroll bars and sheet tabs shown
    window.u16(0).u16(0).u16(1);                  // active sheet, first tab, one selected
    window.u16(600);                              // tab bar width ratio
    stream.record(RecordType::Window1, window);
}

void writeFonts(RecordStream& stream)
{
    for (int k = 0; k < FontCount; ++k) {
        ByteWriter font;
        font.u16(200);    // 10 points, in twips
        font.u16(0);      // upright, no effects
        font.u16(0x7FFF); // automatic colour
        font.u16(400);    // normal weight
        font.u16(0);      // no super- or subscript
        font.u8(0).u8(0).u8(0).u8(0);
        font.bytes(shortUnicodeString(u"Arial"));
        stream.record(RecordType::Font, font);
    }
}

// The number formats the sheet's cells ask for, in the order first asked:
// the k-th is number format 164 + k (the first index a workbook may define)
// and cell format DefaultCellFormat + 1 + k.
struct NumberFormats {
    std::vector<std::string> codes;
    std::map<CellAddress, std::uint16_t> cellFormat;

    explicit NumberFormats(const Worksheet& sheet)
    {
        std::map<std::string, std::uint16_t> index;
        for (const auto& [address, code] : sheet.numberFormats()) {
            const auto [found, added] = index.try_emplace(code, static_cast<std::uint16_t>(codes.size()));
            if (added) codes.push_back(code);
            cellFormat[address] = static_cast<std::uint16_t>(DefaultCellFormat + 1 + found->second);
        }
    }
    std::uint16_t of(CellAddress address) const
    {
        const auto found = cellFormat.find(address);
        return found == cellFormat.end() ? DefaultCellFormat : found->second;
    }
};

constexpr std::uint16_t FirstDefinedNumberFormat = 164;

void writeCellFormat(RecordStream& stream, int k, std::uint16_t numberFormat)
{
    const bool style = k < BuiltInStyleFormats;
    ByteWriter xf;
    xf.u16(0).u16(numberFormat);          // font 0, the number format
    xf.u16(style ? 0xFFF5 : 0x0001);      // locked; a style has no parent
    xf.u8(0x20);                          // bottom aligned
    xf.u8(0);                             // no rotation
    xf.u8(0);                             // no indent
    // The attribute groups the outline styles leave alone; a cell with a
    // number format of its own says it sets that group.
    xf.u8(style ? (k > 0 ? 0xF4 : 0x00) : (numberFormat != 0 ? 0x04 : 0x00));
    xf.u32(0).u32(0);                     // no borders, no fill
    xf.u16(0x20C0);                       // automatic pattern colours (64, 65)
    stream.record(RecordType::Xf, xf);
}

void writeFormats(RecordStream& stream, const NumberFormats& formats)
{
    for (std::size_t k = 0; k < formats.codes.size(); ++k) {
        ByteWriter format;
        format.u16(static_cast<std::uint16_t>(FirstDefinedNumberFormat + k));
        format.bytes(unicodeString(utf16FromUtf8(formats.codes[k])));
        stream.record(RecordType::Format, format);
    }
    // The 15 built-in style formats (Normal and the row and column outline
    // levels), the default cell format, then one cell format per number format.
    for (int k = 0; k <= BuiltInStyleFormats; ++k) writeCellFormat(stream, k, 0);
    for (std::size_t k = 0; k < formats.codes.size(); ++k)
        writeCellFormat(stream, BuiltInStyleFormats + 1 + static_cast<int>(k),
                        static_cast<std::uint16_t>(FirstDefinedNumberFormat + k));
    ByteWriter normal;
    normal.u16(0x8000).u8(0).u8(0xFF); // built-in style "Normal" on format 0
    stream.record(RecordType::Style, normal);
}

void checkSheetName(const std::u16string& name)
{
    if (name.empty() || name.size() > 31) throw WorkbookError("nome del foglio non valido");
    for (char16_t c : name)
        if (c == u':' || c == u'\\' || c == u'/' || c == u'?' || c == u'*' || c == u'[' || c == u']')
            throw WorkbookError("nome del foglio non valido");
    if (name.front() == u'\'' || name.back() == u'\'') throw WorkbookError("nome del foglio non valido");
}

struct SharedStrings {
    std::vector<std::u16string> strings;
    std::map<std::u16string, std::uint32_t> index;
    std::uint32_t references = 0;

    std::uint32_t add(const std::string& text)
    {
        std::u16string units = utf16FromUtf8(validText(text));
        if (units.size() > 32767) throw WorkbookError("testo di cella troppo lungo");
        ++references;
        const auto [found, added] = index.try_emplace(units, static_cast<std::uint32_t>(strings.size()));
        if (added) strings.push_back(std::move(units));
        return found->second;
    }
};

ByteWriter cellHeader(CellAddress address, std::uint16_t cellFormat)
{
    ByteWriter cell;
    cell.u16(static_cast<std::uint16_t>(address.row - 1));
    cell.u16(static_cast<std::uint16_t>(address.column - 1));
    cell.u16(cellFormat);
    return cell;
}

// The digit of the workbook's font (Arial 10) is 7 pixels wide, and every
// cell has 5 pixels of padding and grid line that the applications take off
// before they show a width in characters.
constexpr double DigitPixels = 7.0;
constexpr double CellPaddingPixels = 5.0;

std::uint16_t storedColumnWidth(double characters)
{
    const double units = std::trunc((characters * DigitPixels + CellPaddingPixels) / DigitPixels * 256.0);
    return static_cast<std::uint16_t>(std::clamp(units, 0.0, 65535.0)); // in 1/256 of a character
}

void writeColumnWidths(RecordStream& stream, const Worksheet& sheet)
{
    for (const auto& [column, characters] : sheet.columnWidths()) {
        ByteWriter info;
        info.u16(static_cast<std::uint16_t>(column - 1)).u16(static_cast<std::uint16_t>(column - 1));
        info.u16(storedColumnWidth(characters));
        info.u16(DefaultCellFormat);
        info.u16(0x0002); // width set by the user
        info.u16(0);
        stream.record(RecordType::ColInfo, info);
    }
}

void writeDimensions(RecordStream& stream, const Worksheet& sheet)
{
    std::uint32_t firstRow = 0, endRow = 0;
    std::uint16_t firstColumn = 0, endColumn = 0;
    if (!sheet.cells().empty()) {
        firstRow = static_cast<std::uint32_t>(sheet.cells().begin()->first.row - 1);
        endRow = static_cast<std::uint32_t>(sheet.cells().rbegin()->first.row);
        int minColumn = MaxSheetColumns, maxColumn = 1;
        for (const auto& [address, value] : sheet.cells()) {
            minColumn = std::min(minColumn, address.column);
            maxColumn = std::max(maxColumn, address.column);
        }
        firstColumn = static_cast<std::uint16_t>(minColumn - 1);
        endColumn = static_cast<std::uint16_t>(maxColumn);
    }
    ByteWriter dimensions;
    dimensions.u32(firstRow).u32(endRow).u16(firstColumn).u16(endColumn).u16(0);
    stream.record(RecordType::Dimensions, dimensions);
}

void writeFormulaCell(RecordStream& stream, const Worksheet& sheet, CellAddress address, const FormulaText& formula,
                      std::uint16_t cellFormat)
{
    FormulaTokens tokens;
    try {
        tokens = parseFormula(formula.text);
    } catch (const FormulaSyntaxError& error) {
        throw WorkbookError(error.what());
    }
    const Bytes rgce = formulaTokenBytes(tokens);
    ByteWriter cell = cellHeader(address, cellFormat);
    cell.bytes(formulaValueBytes(cellValue(sheet, address)));
    cell.u16(0x0001); // always calculate: the application computes it again on opening
    cell.u32(0);
    cell.u16(static_cast<std::uint16_t>(rgce.size())).bytes(rgce);
    stream.record(RecordType::Formula, cell);
}

void writeCells(RecordStream& stream, const Worksheet& sheet, const NumberFormats& formats, SharedStrings& strings)
{
    for (const auto& [address, value] : sheet.cells()) {
        const std::uint16_t cellFormat = formats.of(address);
        if (const double* number = std::get_if<double>(&value)) {
            if (!std::isfinite(*number)) throw WorkbookError("numero non finito nella cella " + cellName(address));
            ByteWriter cell = cellHeader(address, cellFormat);
            cell.f64(*number);
            stream.record(RecordType::Number, cell);
        } else if (const std::string* text = std::get_if<std::string>(&value)) {
            ByteWriter cell = cellHeader(address, cellFormat);
            cell.u32(strings.add(*text));
            stream.record(RecordType::LabelSst, cell);
        } else {
            writeFormulaCell(stream, sheet, address, std::get<FormulaText>(value), cellFormat);
        }
    }
}

void writeWindow2(RecordStream& stream)
{
    ByteWriter window;
    // Grid, headers, zeros, automatic grid colour, outline symbols; selected and shown.
    window.u16(0x06B6);
    window.u16(0).u16(0);     // top row, left column
    window.u16(64).u16(0);    // automatic grid line colour
    window.u16(0).u16(0);     // default zoom in page break preview and normal view
    window.u16(0).u16(0);
    stream.record(RecordType::Window2, window);
}

// The sheet substream; its text cells are added to strings.
RecordStream sheetSubstream(const Worksheet& sheet, const NumberFormats& formats, SharedStrings& strings)
{
    RecordStream stream;
    writeBof(stream, WorksheetSubstream);
    ByteWriter calcMode;
    calcMode.u16(1); // automatic calculation
    stream.record(RecordType::CalcMode, calcMode);
    ByteWriter wsBool;
    wsBool.u16(0x04C1); // an ordinary worksheet (not a dialog sheet)
    stream.record(RecordType::WsBool, wsBool);
    writeColumnWidths(stream, sheet);
    writeDimensions(stream, sheet);
    writeCells(stream, sheet, formats, strings);
    writeWindow2(stream);
    writeEof(stream);
    return stream;
}

} // namespace

Bytes workbookStream(const Worksheet& sheet)
{
    const std::u16string sheetName = utf16FromUtf8(validText(sheet.name()));
    checkSheetName(sheetName);
    SharedStrings strings;
    const NumberFormats formats(sheet);
    const RecordStream sheetRecords = sheetSubstream(sheet, formats, strings);

    RecordStream globals;
    writeBof(globals, GlobalsSubstream);
    ByteWriter codePage;
    codePage.u16(UnicodeCodePage);
    globals.record(RecordType::CodePage, codePage);
    writeWindow1(globals);
    ByteWriter date1904;
    date1904.u16(0); // dates count from 1900
    globals.record(RecordType::Date1904, date1904);
    writeFonts(globals);
    writeFormats(globals, formats);
    const std::size_t sheetOffsetField = globals.position() + 4;
    ByteWriter boundSheet;
    boundSheet.u32(0).u8(0).u8(0); // offset filled in below; visible worksheet
    boundSheet.bytes(shortUnicodeString(sheetName));
    globals.record(RecordType::BoundSheet8, boundSheet);
    writeSharedStrings(globals, strings.strings, strings.references);
    writeEof(globals);
    globals.patchU32(sheetOffsetField, static_cast<std::uint32_t>(globals.position()));

    Bytes stream = globals.data();
    stream.insert(stream.end(), sheetRecords.data().begin(), sheetRecords.data().end());
    return stream;
}

Bytes workbookFile(const Worksheet& sheet) { return compoundFileWithStream("Workbook", workbookStream(sheet)); }

Failure saveWorkbook(const Worksheet& sheet, const std::string& path)
{
    Bytes file;
    try {
        file = workbookFile(sheet);
    } catch (const WorkbookError& error) {
        return std::string(error.what());
    }
    return writeWholeFile(path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

} // namespace calvero
