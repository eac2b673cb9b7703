#include "spreadsheet/compoundfilecheck.h"

#include "common/openfile.h"
#include "spreadsheet/compoundfilereader.h"
#include "spreadsheet/littleendian.h"

#include <vector>

namespace calvero {

namespace {

bool entriesAreSound(const std::vector<unsigned char>& sector)
{
    constexpr std::size_t EntrySize = CompoundFileReader::DirectoryEntrySize;
    constexpr std::size_t NameFieldSize = CompoundFileReader::NameFieldSize;
    for (std::size_t offset = 0; offset + EntrySize <= sector.size(); offset += EntrySize)
        if (littleEndian16(&sector[offset + NameFieldSize]) > NameFieldSize) return false;
    return true;
}

} // namespace

CompoundFileCheck checkCompoundFile(const std::string& fileName)
{
    const FileHandle file = openForReading(fileName);
    if (!file) return CompoundFileCheck::NotCompound;
    CompoundFileReader compound(file.get());
    if (!compound.hasSignature()) return CompoundFileCheck::NotCompound;
    if (!compound.readHeader()) return CompoundFileCheck::Unsound;

    const auto directory = compound.directory();
    return directory && entriesAreSound(*directory) ? CompoundFileCheck::Sound : CompoundFileCheck::Unsound;
}

} // namespace calvero
