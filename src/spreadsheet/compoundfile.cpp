#include "spreadsheet/compoundfile.h"

#include "common/utf8.h"

namespace calvero {

namespace {

constexpr std::size_t EntriesPerFatSector = CompoundSectorSize / 4;
constexpr std::size_t HeaderFatSlots = 109;
constexpr std::size_t DirectoryEntrySize = 128;

enum class ObjectType : std::uint8_t { Unused = 0, Stream = 2, Root = 5 };

Bytes directoryEntry(const std::u16string& name, ObjectType type, std::uint32_t child, std::uint32_t start,
                     std::uint32_t size)
{
    ByteWriter entry;
    if (type == ObjectType::Unused) {
        entry.zeros(64).u16(0).u8(0).u8(0);
    } else {
        for (char16_t c : name) entry.u16(c);
        entry.zeros(64 - 2 * name.size());
        entry.u16(static_cast<std::uint16_t>(2 * (name.size() + 1))); // with the terminating null
        entry.u8(static_cast<std::uint8_t>(type)).u8(1);               // black node
    }
    entry.u32(Sector::NoStream).u32(Sector::NoStream).u32(child); // left, right, child
    entry.zeros(16);                                              // class id
    entry.u32(0);                                                 // state bits
    entry.zeros(16);                                              // creation and modification times
    entry.u32(type == ObjectType::Unused ? 0 : start);
    entry.u32(size).u32(0); // 64-bit size; the high half stays 0 in version 3
    return entry.data();
}

} // namespace

Bytes compoundFileWithStream(const std::string& streamName, Bytes stream)
{
    const std::u16string name = utf16FromUtf8(streamName);
    if (name.empty() || name.size() > 31) throw WorkbookError("nome di flusso non valido");
    if (stream.size() < MiniStreamCutoff) stream.resize(MiniStreamCutoff, 0);
    if (stream.size() > 0xFFFFFFFFu) throw WorkbookError("file troppo grande");

    const std::size_t streamSectors = (stream.size() + CompoundSectorSize - 1) / CompoundSectorSize;
    std::size_t fatSectors = 1;
    while (fatSectors * EntriesPerFatSector < streamSectors + 1 + fatSectors) ++fatSectors;
    if (fatSectors > HeaderFatSlots) throw WorkbookError("file troppo grande");
    const auto directorySector = static_cast<std::uint32_t>(streamSectors);
    const auto firstFatSector = directorySector + 1;

    ByteWriter header;
    header.bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1});
    header.zeros(16);                    // class id
    header.u16(0x003E).u16(0x0003);      // minor and major version
    header.u16(0xFFFE);                  // little-endian
    header.u16(9).u16(6);                // 512-byte sectors, 64-byte mini sectors
    header.zeros(6);
    header.u32(0);                       // directory sectors: not counted in version 3
    header.u32(static_cast<std::uint32_t>(fatSectors));
    header.u32(directorySector);
    header.u32(0);                       // transaction signature
    header.u32(static_cast<std::uint32_t>(MiniStreamCutoff));
    header.u32(Sector::EndOfChain).u32(0); // no mini FAT
    header.u32(Sector::EndOfChain).u32(0); // no DIFAT sectors
    for (std::size_t k = 0; k < HeaderFatSlots; ++k)
        header.u32(k < fatSectors ? firstFatSector + static_cast<std::uint32_t>(k) : Sector::Free);

    Bytes file = header.data();
    file.insert(file.end(), stream.begin(), stream.end());
    file.resize(CompoundSectorSize * (1 + streamSectors), 0);

    ByteWriter directory;
    directory.bytes(directoryEntry(u"Root Entry", ObjectType::Root, 1, Sector::EndOfChain, 0));
    directory.bytes(directoryEntry(name, ObjectType::Stream, Sector::NoStream, 0, static_cast<std::uint32_t>(stream.size())));
    directory.bytes(directoryEntry(u"", ObjectType::Unused, Sector::NoStream, 0, 0));
    directory.bytes(directoryEntry(u"", ObjectType::Unused, Sector::NoStream, 0, 0));
    file.insert(file.end(), directory.data().begin(), directory.data().end());

    ByteWriter fat;
    for (std::size_t k = 0; k + 1 < streamSectors; ++k) fat.u32(static_cast<std::uint32_t>(k + 1));
    fat.u32(Sector::EndOfChain); // last stream sector
    fat.u32(Sector::EndOfChain); // the directory's one sector
    for (std::size_t k = 0; k < fatSectors; ++k) fat.u32(Sector::FatSector);
    while (fat.size() < fatSectors * CompoundSectorSize) fat.u32(Sector::Free);
    file.insert(file.end(), fat.data().begin(), fat.data().end());
    static_assert(4 * DirectoryEntrySize == CompoundSectorSize);
    return file;
}

} // namespace calvero
