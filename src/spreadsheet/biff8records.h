#pragma once
// Building blocks of a BIFF8 record stream: little-endian fields, records of
// at most 8224 data bytes, the two Unicode string layouts, and the shared
// string table that goes on in CONTINUE records when it grows large.
#include "common/utf8.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

using Bytes = std::vector<std::uint8_t>;

// A workbook that cannot be written as asked (a name or text too long, a
// formula outside the language, a file too large for the container).
class WorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr std::size_t MaxRecordData = 8224;

namespace RecordType {
constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t CalcMode = 0x000D;
constexpr std::uint16_t Date1904 = 0x0022;
constexpr std::uint16_t Font = 0x0031;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t Window1 = 0x003D;
constexpr std::uint16_t CodePage = 0x0042;
constexpr std::uint16_t ColInfo = 0x007D;
constexpr std::uint16_t WsBool = 0x0081;
constexpr std::uint16_t BoundSheet8 = 0x0085;
constexpr std::uint16_t Xf = 0x00E0;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t ExtSst = 0x00FF;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t String = 0x0207; // the text result of the formula before it
constexpr std::uint16_t Window2 = 0x023E;
constexpr std::uint16_t Style = 0x0293;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t Bof = 0x0809;
} // namespace RecordType

// Little-endian field writer.
class ByteWriter {
public:
    ByteWriter& u8(std::uint8_t value);
    ByteWriter& u16(std::uint16_t value);
    ByteWriter& u32(std::uint32_t value);
    ByteWriter& f64(double value);
    ByteWriter& bytes(const Bytes& more);
    ByteWriter& zeros(std::size_t count);
    const Bytes& data() const { return data_; }
    std::size_t size() const { return data_.size(); }

private:
    Bytes data_;
};

// ShortXLUnicodeString: 8-bit character count, then the characters, stored
// in one byte each when they all fit (compressed) or two otherwise.
Bytes shortUnicodeString(const std::u16string& text);
// XLUnicodeString: the same with a 16-bit character count (here at most 255).
Bytes unicodeString(const std::u16string& text);

// The record stream of a workbook, with the stream position of each record.
class RecordStream {
public:
    // Appends one record; throws WorkbookError when the data exceed 8224 bytes.
    void record(std::uint16_t type, const Bytes& data);
    void record(std::uint16_t type, const ByteWriter& data) { record(type, data.data()); }
    std::size_t position() const { return data_.size(); }
    // Overwrites 4 bytes at a stream position (offsets known only later).
    void patchU32(std::size_t position, std::uint32_t value);
    const Bytes& data() const { return data_; }

private:
    Bytes data_;
};

// Writes the shared string table (SST, CONTINUE as needed) and its index
// (EXTSST). totalReferences is the number of cells that use the strings.
void writeSharedStrings(RecordStream& stream, const std::vector<std::u16string>& strings, std::uint32_t totalReferences);

} // namespace calvero
