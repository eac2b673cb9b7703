#include "spreadsheet/zipreader.h"

#include <zip.h>

namespace calvero {

namespace {

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

void ZipReader::Closer::operator()(zip* archive) const { zip_discard(archive); }

std::optional<ZipReader> ZipReader::openFile(const std::string& fileName)
{
    int error = 0;
    zip_t* archive = zip_open(fileName.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) return std::nullopt;
    return ZipReader(archive);
}

std::optional<ZipReader> ZipReader::openBytes(const void* data, std::size_t size)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    zip_t* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (archive == nullptr && source != nullptr) zip_source_free(source);
    zip_error_fini(&error);
    if (archive == nullptr) return std::nullopt;
    return ZipReader(archive);
}

std::optional<std::string> ZipReader::entry(const std::string& name, std::size_t limit) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive_.get(), name.c_str(), 0, &stat) != 0) return std::nullopt;
    if ((stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > limit) return std::nullopt;

    std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index(archive_.get(), stat.index, 0));
    if (!file) return std::nullopt;
    // The declared size may lie: read one byte past it to see, and on to the
    // end, where libzip compares the checksum.
    std::string bytes(static_cast<std::size_t>(stat.size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        const zip_int64_t read = zip_fread(file.get(), bytes.data() + got, bytes.size() - got);
        if (read < 0) return std::nullopt;
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
        if (got > stat.size) return std::nullopt;
    }
    if (got != stat.size) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

} // namespace calvero
