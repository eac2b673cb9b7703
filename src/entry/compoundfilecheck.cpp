#include "entry/compoundfilecheck.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace calvero {

namespace {

constexpr std::array<unsigned char, 8> Signature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t HeaderSize = 512;
constexpr std::size_t HeaderFatEntries = 109;
constexpr std::size_t DirectoryEntrySize = 128;
constexpr std::size_t NameFieldSize = 64;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;

std::uint16_t read16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t read32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class CompoundFile {
public:
    explicit CompoundFile(std::FILE* file) : file_(file) {}

    // False when the file does not start with the signature.
    bool hasSignature()
    {
        const std::size_t got = std::fread(header_.data(), 1, HeaderSize, file_);
        return got >= Signature.size() && std::memcmp(header_.data(), Signature.data(), Signature.size()) == 0;
    }

    // False when the header is cut short or its sector size is not of the format.
    bool readHeader()
    {
        if (std::ferror(file_) || std::fseek(file_, 0, SEEK_SET) != 0) return false;
        if (std::fread(header_.data(), 1, HeaderSize, file_) != HeaderSize) return false;
        const std::uint16_t major = read16(&header_[26]);
        const std::uint16_t shift = read16(&header_[30]);
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

    std::uint32_t firstDirectorySector() const { return read32(&header_[48]); }
    std::uint64_t sectorCount() const { return sectorCount_; }
    std::size_t sectorSize() const { return sectorSize_; }

    // The sector's bytes; a short last sector is padded with zeros.
    std::optional<std::vector<unsigned char>> sector(std::uint32_t index)
    {
        if (index >= sectorCount_) return std::nullopt;
        std::vector<unsigned char> bytes(sectorSize_, 0);
        const std::uint64_t offset = (static_cast<std::uint64_t>(index) + 1) * sectorSize_;
        if (offset > static_cast<std::uint64_t>(LONG_MAX) || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
            return std::nullopt;
        if (std::fread(bytes.data(), 1, sectorSize_, file_) == 0) return std::nullopt;
        return bytes;
    }

    // The sector after `index` in its chain, from the FAT.
    std::optional<std::uint32_t> next(std::uint32_t index)
    {
        const std::size_t perSector = sectorSize_ / 4;
        const auto fatSector = fatSectorNumber(index / perSector);
        if (!fatSector) return std::nullopt;
        const auto bytes = sector(*fatSector);
        if (!bytes) return std::nullopt;
        return read32(&(*bytes)[(index % perSector) * 4]);
    }

private:
    // The place of the k-th FAT sector: in the header for the first 109,
    // then in the DIFAT sectors' chain (each ends with the next one's number).
    std::optional<std::uint32_t> fatSectorNumber(std::size_t k)
    {
        if (k < HeaderFatEntries) return read32(&header_[76 + 4 * k]);
        k -= HeaderFatEntries;
        const std::size_t perDifat = sectorSize_ / 4 - 1;
        std::uint32_t difat = read32(&header_[68]);
        for (std::uint64_t step = 0; step <= sectorCount_; ++step) {
            const auto bytes = sector(difat);
            if (!bytes) return std::nullopt;
            if (k < perDifat) return read32(&(*bytes)[4 * k]);
            k -= perDifat;
            difat = read32(&(*bytes)[4 * perDifat]);
        }
        return std::nullopt;
    }

    std::FILE* file_;
    std::array<unsigned char, HeaderSize> header_{};
    std::size_t sectorSize_ = 0;
    std::uint64_t sectorCount_ = 0;
};

bool entriesAreSound(const std::vector<unsigned char>& sector)
{
    for (std::size_t offset = 0; offset + DirectoryEntrySize <= sector.size(); offset += DirectoryEntrySize)
        if (read16(&sector[offset + NameFieldSize]) > NameFieldSize) return false;
    return true;
}

} // namespace

CompoundFileCheck checkCompoundFile(const std::string& fileName)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) return CompoundFileCheck::NotCompound;
    CompoundFile compound(file.get());
    if (!compound.hasSignature()) return CompoundFileCheck::NotCompound;
    if (!compound.readHeader()) return CompoundFileCheck::Unsound;

    std::uint32_t current = compound.firstDirectorySector();
    // A chain longer than the file has sectors loops.
    for (std::uint64_t step = 0; step <= compound.sectorCount(); ++step) {
        if (current > MaxRegularSector) return CompoundFileCheck::Unsound;
        const auto bytes = compound.sector(current);
        if (!bytes || !entriesAreSound(*bytes)) return CompoundFileCheck::Unsound;
        const auto following = compound.next(current);
        if (!following) return CompoundFileCheck::Unsound;
        if (*following == EndOfChain) return CompoundFileCheck::Sound;
        current = *following;
    }
    return CompoundFileCheck::Unsound;
}

} // namespace calvero
