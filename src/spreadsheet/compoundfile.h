#pragma once
// The compound file container (structured storage, version 3: 512-byte
// sectors) around one stream stored at the root, as a workbook file holds
// its "Workbook" stream.
#include "spreadsheet/biff8records.h"

#include <string>

namespace calvero {

constexpr std::size_t CompoundSectorSize = 512;
constexpr std::size_t MiniStreamCutoff = 4096;

namespace Sector {
constexpr std::uint32_t FatSector = 0xFFFFFFFD;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t Free = 0xFFFFFFFF;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;
} // namespace Sector

// The file: header, the stream's sectors, one directory sector (Root Entry
// and the stream), the FAT sectors. A stream shorter than the mini-stream
// cutoff is padded with zero bytes up to it, so that it lives in ordinary
// sectors and the file needs no mini stream. Throws WorkbookError for a name
// longer than 31 characters or a stream too large for a header-only FAT.
Bytes compoundFileWithStream(const std::string& streamName, Bytes stream);

} // namespace calvero
