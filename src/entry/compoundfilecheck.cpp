#include "entry/compoundfilecheck.h"

#include "entry/compoundfilereader.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace calvero {

namespace {

constexpr std::size_t NameFieldSize = 64;

std::uint16_t read16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool entriesAreSound(const std::vector<unsigned char>& sector)
{
    constexpr std::size_t EntrySize = CompoundFileReader::DirectoryEntrySize;
    for (std::size_t offset = 0; offset + EntrySize <= sector.size(); offset += EntrySize)
        if (read16(&sector[offset + NameFieldSize]) > NameFieldSize) return false;
    return true;
}

} // namespace

CompoundFileCheck checkCompoundFile(const std::string& fileName)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) return CompoundFileCheck::NotCompound;
    CompoundFileReader compound(file.get());
    if (!compound.hasSignature()) return CompoundFileCheck::NotCompound;
    if (!compound.readHeader()) return CompoundFileCheck::Unsound;

    const auto directory = compound.directory();
    return directory && entriesAreSound(*directory) ? CompoundFileCheck::Sound : CompoundFileCheck::Unsound;
}

} // namespace calvero
