#include "spreadsheet/biff8records.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace calvero {

ByteWriter& ByteWriter::u8(std::uint8_t value)
{
    data_.push_back(value);
    return *this;
}

ByteWriter& ByteWriter::u16(std::uint16_t value)
{
    data_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    data_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

ByteWriter& ByteWriter::u32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) data_.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    return *this;
}

ByteWriter& ByteWriter::f64(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) data_.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
    return *this;
}

ByteWriter& ByteWriter::bytes(const Bytes& more)
{
    data_.insert(data_.end(), more.begin(), more.end());
    return *this;
}

ByteWriter& ByteWriter::zeros(std::size_t count)
{
    data_.insert(data_.end(), count, 0);
    return *this;
}

namespace {

bool fitsInBytes(const std::u16string& text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

void appendCharacters(Bytes& out, const std::u16string& text, std::size_t from, std::size_t count, bool compressed)
{
    for (std::size_t k = from; k < from + count; ++k) {
        out.push_back(static_cast<std::uint8_t>(text[k] & 0xFF));
        if (!compressed) out.push_back(static_cast<std::uint8_t>(text[k] >> 8));
    }
}

} // namespace

Bytes shortUnicodeString(const std::u16string& text)
{
    if (text.size() > 255) throw WorkbookError("testo troppo lungo");
    const bool compressed = fitsInBytes(text);
    Bytes out{static_cast<std::uint8_t>(text.size()), static_cast<std::uint8_t>(compressed ? 0 : 1)};
    appendCharacters(out, text, 0, text.size(), compressed);
    return out;
}

Bytes unicodeString(const std::u16string& text)
{
    if (text.size() > 255) throw WorkbookError("testo troppo lungo"); // far more than any format code needs
    const bool compressed = fitsInBytes(text);
    Bytes out{static_cast<std::uint8_t>(text.size()), 0, static_cast<std::uint8_t>(compressed ? 0 : 1)};
    appendCharacters(out, text, 0, text.size(), compressed);
    return out;
}

void RecordStream::record(std::uint16_t type, const Bytes& data)
{
    if (data.size() > MaxRecordData) throw WorkbookError("record troppo lungo");
    ByteWriter header;
    header.u16(type).u16(static_cast<std::uint16_t>(data.size()));
    data_.insert(data_.end(), header.data().begin(), header.data().end());
    data_.insert(data_.end(), data.begin(), data.end());
}

void RecordStream::patchU32(std::size_t position, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k) data_.at(position + static_cast<std::size_t>(k)) = static_cast<std::uint8_t>(value >> (8 * k));
}

void writeSharedStrings(RecordStream& stream, const std::vector<std::u16string>& strings, std::uint32_t totalReferences)
{
    struct StringStart {
        std::size_t record; // index among the SST and CONTINUE records
        std::size_t offset; // offset in that record's data
    };
    std::vector<Bytes> records(1);
    std::vector<StringStart> starts;
    ByteWriter counts;
    counts.u32(totalReferences).u32(static_cast<std::uint32_t>(strings.size()));
    records.back() = counts.data();

    for (const std::u16string& text : strings) {
        if (text.size() > 32767) throw WorkbookError("testo di cella troppo lungo");
        const bool compressed = fitsInBytes(text);
        const std::size_t charSize = compressed ? 1 : 2;
        // The character count and the flags never part; a new record starts
        // when they would not fit together with the first character.
        if (records.back().size() + 3 + charSize > MaxRecordData) records.emplace_back();
        starts.push_back({records.size() - 1, records.back().size()});
        Bytes& head = records.back();
        head.push_back(static_cast<std::uint8_t>(text.size() & 0xFF));
        head.push_back(static_cast<std::uint8_t>(text.size() >> 8));
        head.push_back(static_cast<std::uint8_t>(compressed ? 0 : 1));
        std::size_t written = 0;
        while (written < text.size()) {
            std::size_t room = (MaxRecordData - records.back().size()) / charSize;
            if (room == 0) {
                // The characters go on in a CONTINUE record that opens with their flags.
                records.emplace_back();
                records.back().push_back(static_cast<std::uint8_t>(compressed ? 0 : 1));
                room = (MaxRecordData - 1) / charSize;
            }
            const std::size_t count = std::min(room, text.size() - written);
            appendCharacters(records.back(), text, written, count, compressed);
            written += count;
        }
    }

    std::vector<std::size_t> recordPositions;
    for (std::size_t k = 0; k < records.size(); ++k) {
        recordPositions.push_back(stream.position());
        stream.record(k == 0 ? RecordType::Sst : RecordType::Continue, records[k]);
    }

    // One index entry for every bucket of strings.
    const std::size_t perBucket = std::max<std::size_t>(8, (strings.size() + 127) / 128);
    ByteWriter index;
    index.u16(static_cast<std::uint16_t>(perBucket));
    for (std::size_t first = 0; first < starts.size(); first += perBucket) {
        const StringStart& start = starts[first];
        const std::size_t inRecord = start.offset + 4; // counted from the record header
        index.u32(static_cast<std::uint32_t>(recordPositions[start.record] + inRecord));
        index.u16(static_cast<std::uint16_t>(inRecord));
        index.u16(0);
    }
    stream.record(RecordType::ExtSst, index);
}

} // namespace calvero
