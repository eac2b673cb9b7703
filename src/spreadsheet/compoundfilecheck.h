#pragma once
// A look at a compound file's structure before FreeXL reads it. FreeXL 1.0.6
// (Debian 12) trusts the name length of a directory entry, up to 65535 bytes
// read from a 64-byte field, and overruns its own memory on such a file; it
// may also follow a sector chain that loops or leaves the file. A compound
// file that fails this check is not handed to it.
#include <string>

namespace calvero {

enum class CompoundFileCheck {
    NotCompound, // no compound file signature (FreeXL reads old plain BIFF files, or refuses them)
    Sound,
    Unsound,
};

// Sound when the compound file header is of version 3 or 4 (512- or
// 4096-byte sectors), and the directory's sector chain stays within the
// file, ends, and holds only entries whose name length fits the 64 bytes of
// the name field; the FAT sectors the chain needs must lie within the file
// too. An unreadable file is NotCompound (FreeXL then fails on its own).
CompoundFileCheck checkCompoundFile(const std::string& fileName);

} // namespace calvero
