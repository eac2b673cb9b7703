#pragma once
// Reading a compound file (structured storage, versions 3 and 4) as it lies
// on disk, trusting none of its numbers: every sector number is checked
// against the file's size and every chain is cut off when it is longer than
// the file has sectors, so a loop or a number out of range ends the reading.
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace calvero {

class CompoundFileReader {
public:
    static constexpr std::size_t HeaderSize = 512;
    static constexpr std::size_t DirectoryEntrySize = 128;
    // A directory entry starts with its UTF-16 name in a field of this many
    // bytes, followed by the name's length in bytes.
    static constexpr std::size_t NameFieldSize = 64;

    // The file stays open and owned by the caller.
    explicit CompoundFileReader(std::FILE* file) : file_(file) {}

    // False when the file does not start with the signature.
    bool hasSignature();
    // False when the header is cut short or its sector size is not of the format.
    bool readHeader();

    // The directory's sectors joined: nothing when its chain leaves the file,
    // loops, or needs a FAT sector that is not there.
    std::optional<std::vector<unsigned char>> directory();

    // The bytes of a stream stored at the root (a name such as "Workbook",
    // compared without regard to case), from the ordinary sectors or the mini
    // stream as its size says. Nothing when there is no such stream, it is
    // larger than limit, or a chain it needs is broken.
    std::optional<std::string> rootStream(const std::string& name, std::size_t limit);

private:
    std::uint32_t firstDirectorySector() const;
    // The sector's bytes; a short last sector is padded with zeros.
    std::optional<std::vector<unsigned char>> sector(std::uint32_t index);
    // The sector after `index` in its chain, from the FAT.
    std::optional<std::uint32_t> next(std::uint32_t index);
    std::optional<std::uint32_t> fatSectorNumber(std::size_t k);
    // The chain from `first` joined, `size` bytes of it; the table gives each
    // unit's successor and the reader each unit's bytes.
    template <typename Next, typename Unit>
    std::optional<std::string> chain(std::uint32_t first, std::uint64_t size, std::size_t unitSize,
                                     std::uint64_t maxUnits, Next next, Unit unit);
    std::optional<std::string> sectorChain(std::uint32_t first, std::uint64_t size);

    std::FILE* file_;
    std::array<unsigned char, HeaderSize> header_{};
    std::size_t sectorSize_ = 0;
    std::uint64_t sectorCount_ = 0;
};

// The root stream `name` of the compound file on disk (see rootStream);
// nothing when the file cannot be read as a compound file.
std::optional<std::string> readCompoundRootStream(const std::string& fileName, const std::string& name, std::size_t limit);

} // namespace calvero
