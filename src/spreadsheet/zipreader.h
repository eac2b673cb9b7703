#pragma once
// Reading whole entries of a zip archive (the container of .xlsx and .ods
// files) through libzip, with a limit on each entry's size so that a small
// damaged or hostile file cannot unpack into gigabytes.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

struct zip;

namespace calvero {

// Far above the parts of any workbook of 200 points, far below the memory.
constexpr std::size_t MaxZipEntrySize = std::size_t{64} << 20;

class ZipReader {
public:
    // Nothing when the file is no zip archive or its directory is damaged.
    static std::optional<ZipReader> openFile(const std::string& fileName);
    // The same over bytes in memory (which must outlive the reader).
    static std::optional<ZipReader> openBytes(const void* data, std::size_t size);

    // The entry's bytes; nothing when it is missing, larger than the limit
    // (as declared or as it unpacks), or damaged (its checksum included).
    std::optional<std::string> entry(const std::string& name, std::size_t limit = MaxZipEntrySize) const;

private:
    struct Closer {
        void operator()(zip* archive) const;
    };
    explicit ZipReader(zip* archive) : archive_(archive) {}
    std::unique_ptr<zip, Closer> archive_;
};

} // namespace calvero
