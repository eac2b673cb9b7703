#include "spreadsheet/compoundfilereader.h"

#include "common/openfile.h"
#include "spreadsheet/littleendian.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace calvero {

namespace {

constexpr std::array<unsigned char, 8> Signature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t HeaderFatEntries = 109;
constexpr std::size_t NameFieldSize = CompoundFileReader::NameFieldSize;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;
constexpr std::uint8_t StreamObject = 2;
constexpr std::uint16_t MiniSectorShift = 6;

// A directory entry's name, UTF-16 in its 64-byte field, against an ASCII name.
bool entryNamed(const unsigned char* entry, const std::string& name)
{
    const std::uint16_t length = littleEndian16(entry + NameFieldSize); // bytes, with the terminating null
    if (length > NameFieldSize || length != 2 * (name.size() + 1)) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::uint16_t unit = littleEndian16(entry + 2 * i);
        if (unit > 0x7F || std::tolower(unit) != std::tolower(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

} // namespace

std::optional<std::string> readCompoundRootStream(const std::string& fileName, const std::string& name, std::size_t limit)
{
    const FileHandle file = openForReading(fileName);
    if (!file) return std::nullopt;
    CompoundFileReader compound(file.get());
    if (!compound.hasSignature() || !compound.readHeader()) return std::nullopt;
    return compound.rootStream(name, limit);
}

bool CompoundFileReader::hasSignature()
{
    const std::size_t got = std::fread(header_.data(), 1, HeaderSize, file_);
    return got >= Signature.size() && std::memcmp(header_.data(), Signature.data(), Signature.size()) == 0;
}

bool CompoundFileReader::readHeader()
{
    if (std::ferror(file_) || std::fseek(file_, 0, SEEK_SET) != 0) return false;
    if (std::fread(header_.data(), 1, HeaderSize, file_) != HeaderSize) return false;
    const std::uint16_t major = littleEndian16(&header_[26]);
    const std::uint16_t shift = littleEndian16(&header_[30]);
    if (!((major == 3 && shift == 9) || (major == 4 && shift == 12))) return false;
    sectorSize_ = std::size_t{1} << shift;
    if (std::fseek(file_, 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file_);
    if (size < 0) return false;
    // Sector n starts at (n + 1) sector sizes; a last sector may be cut short.
    const std::uint64_t bytes = static_cast<std::uint64_t>(size);
    sectorCount_ = bytes <= sectorSize_ ? 0 : (bytes - sectorSize_ + sectorSize_ - 1) / sectorSize_;
    return true;
}

std::uint32_t CompoundFileReader::firstDirectorySector() const { return littleEndian32(&header_[48]); }

std::optional<std::vector<unsigned char>> CompoundFileReader::sector(std::uint32_t index)
{
    if (index >= sectorCount_) return std::nullopt;
    std::vector<unsigned char> bytes(sectorSize_, 0);
    const std::uint64_t offset = (static_cast<std::uint64_t>(index) + 1) * sectorSize_;
    if (offset > static_cast<std::uint64_t>(LONG_MAX) || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
        return std::nullopt;
    if (std::fread(bytes.data(), 1, sectorSize_, file_) == 0) return std::nullopt;
    return bytes;
}

std::optional<std::uint32_t> CompoundFileReader::next(std::uint32_t index)
{
    const std::size_t perSector = sectorSize_ / 4;
    const auto fatSector = fatSectorNumber(index / perSector);
    if (!fatSector) return std::nullopt;
    const auto bytes = sector(*fatSector);
    if (!bytes) return std::nullopt;
    return littleEndian32(&(*bytes)[(index % perSector) * 4]);
}

// The place of the k-th FAT sector: in the header for the first 109, then in
// the DIFAT sectors' chain (each ends with the next one's number).
std::optional<std::uint32_t> CompoundFileReader::fatSectorNumber(std::size_t k)
{
    if (k < HeaderFatEntries) return littleEndian32(&header_[76 + 4 * k]);
    k -= HeaderFatEntries;
    const std::size_t perDifat = sectorSize_ / 4 - 1;
    std::uint32_t difat = littleEndian32(&header_[68]);
    for (std::uint64_t step = 0; step <= sectorCount_; ++step) {
        const auto bytes = sector(difat);
        if (!bytes) return std::nullopt;
        if (k < perDifat) return littleEndian32(&(*bytes)[4 * k]);
        k -= perDifat;
        difat = littleEndian32(&(*bytes)[4 * perDifat]);
    }
    return std::nullopt;
}

template <typename Next, typename Unit>
std::optional<std::string> CompoundFileReader::chain(std::uint32_t first, std::uint64_t size, std::size_t unitSize,
                                                     std::uint64_t maxUnits, Next next, Unit unit)
{
    if (size > maxUnits * unitSize) return std::nullopt; // more than the chain can hold
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    std::uint32_t current = first;
    for (std::uint64_t step = 0; bytes.size() < size; ++step) {
        if (step >= maxUnits || current > MaxRegularSector) return std::nullopt;
        const std::optional<std::vector<unsigned char>> data = unit(current);
        if (!data) return std::nullopt;
        bytes.append(data->begin(), data->end());
        if (bytes.size() >= size) break;
        const std::optional<std::uint32_t> following = next(current);
        if (!following) return std::nullopt;
        current = *following;
    }
    bytes.resize(static_cast<std::size_t>(size));
    return bytes;
}

std::optional<std::string> CompoundFileReader::sectorChain(std::uint32_t first, std::uint64_t size)
{
    return chain(first, size, sectorSize_, sectorCount_, [this](std::uint32_t i) { return next(i); },
                 [this](std::uint32_t i) { return sector(i); });
}

std::optional<std::vector<unsigned char>> CompoundFileReader::directory()
{
    std::vector<unsigned char> bytes;
    std::uint32_t current = firstDirectorySector();
    for (std::uint64_t step = 0; step <= sectorCount_; ++step) {
        if (current > MaxRegularSector) return std::nullopt;
        const auto data = sector(current);
        const auto following = next(current);
        if (!data || !following) return std::nullopt;
        bytes.insert(bytes.end(), data->begin(), data->end());
        if (*following == EndOfChain) return bytes;
        current = *following;
    }
    return std::nullopt;
}

std::optional<std::string> CompoundFileReader::rootStream(const std::string& name, std::size_t limit)
{
    const auto entries = directory();
    if (!entries || entries->size() < DirectoryEntrySize) return std::nullopt;
    const std::size_t count = entries->size() / DirectoryEntrySize;
    auto entry = [&entries](std::uint32_t id) { return entries->data() + id * DirectoryEntrySize; };
    const bool version4 = sectorSize_ == 4096;
    auto streamSize = [version4](const unsigned char* e) {
        return littleEndian32(e + 120) | (version4 ? static_cast<std::uint64_t>(littleEndian32(e + 124)) << 32 : 0);
    };

    // The root's children form a tree through their left and right siblings.
    const unsigned char* found = nullptr;
    std::vector<std::uint32_t> pending{littleEndian32(entry(0) + 76)};
    for (std::size_t visited = 0; !pending.empty() && visited <= count && !found; ++visited) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= count) continue;
        const unsigned char* e = entry(id);
        if (e[66] == StreamObject && entryNamed(e, name)) found = e;
        pending.push_back(littleEndian32(e + 68));
        pending.push_back(littleEndian32(e + 72));
    }
    if (found == nullptr || streamSize(found) > limit) return std::nullopt;
    const std::uint64_t size = streamSize(found);
    if (size >= littleEndian32(&header_[56])) return sectorChain(littleEndian32(found + 116), size);

    // A small stream lives in the mini stream, the root entry's own chain,
    // in 64-byte mini sectors chained by the mini FAT.
    if (littleEndian16(&header_[32]) != MiniSectorShift || streamSize(entry(0)) > limit) return std::nullopt;
    const auto mini = sectorChain(littleEndian32(entry(0) + 116), streamSize(entry(0)));
    const std::uint64_t miniFatSectors = littleEndian32(&header_[64]);
    if (!mini || miniFatSectors > sectorCount_) return std::nullopt;
    const auto miniFat = sectorChain(littleEndian32(&header_[60]), miniFatSectors * sectorSize_);
    if (!miniFat) return std::nullopt;
    const std::size_t miniSize = std::size_t{1} << MiniSectorShift;
    return chain(
        littleEndian32(found + 116), size, miniSize, miniFat->size() / 4,
        [&miniFat](std::uint32_t i) -> std::optional<std::uint32_t> {
            if (i >= miniFat->size() / 4) return std::nullopt;
            return littleEndian32(reinterpret_cast<const unsigned char*>(miniFat->data()) + 4 * static_cast<std::size_t>(i));
        },
        [&mini, miniSize](std::uint32_t i) -> std::optional<std::vector<unsigned char>> {
            const std::size_t at = static_cast<std::size_t>(i) * miniSize;
            if (at >= mini->size()) return std::nullopt;
            const std::size_t end = std::min(at + miniSize, mini->size());
            return std::vector<unsigned char>(mini->begin() + static_cast<std::ptrdiff_t>(at),
                                              mini->begin() + static_cast<std::ptrdiff_t>(end));
        });
}

} // namespace calvero
