// The look at a compound file before FreeXL reads it: workbooks of real
// writers pass, the malformed directories and sector chains that FreeXL
// cannot be trusted with do not, and files without the signature are left
// to FreeXL as before.
#include "spreadsheet/compoundfilecheck.h"
#include "entry/importcommand.h"
#include "spreadsheet/workbookwriter.h"

#include "import_target.h"
#include "../tempfolder.h"
#include "xlsfixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace calvero {
namespace {

calvero::testing::ImportTarget imported;

using testing::TempFolder;
using Messages = std::vector<std::string>;
using Bytes8 = std::vector<unsigned char>;

constexpr std::size_t SectorBytes = 512;

void put16(Bytes8& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}
void put32(Bytes8& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}
std::string text(const Bytes8& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes8 ownWorkbook()
{
    Worksheet sheet("FOGLIO1");
    sheet.setNumber({1, 1}, 2.5);
    sheet.setNumber({1, 2}, 7.0);
    const Bytes file = workbookFile(sheet);
    return Bytes8(file.begin(), file.end());
}

// The directory of a version 3 file: the header's first directory sector.
std::size_t directoryOffset(const Bytes8& file)
{
    const std::uint32_t sector = file[48] | file[49] << 8 | file[50] << 16 | static_cast<std::uint32_t>(file[51]) << 24;
    return (sector + 1) * SectorBytes;
}

// A version 3 file large enough that the FAT sector of its directory is
// listed in a DIFAT sector, not in the header: sector 1 is the DIFAT sector,
// sector 2 the FAT sector covering the directory, sector 13990 the directory.
struct LargeCompoundFile {
    static constexpr std::uint32_t Directory = 13990; // FAT sector number 109
    Bytes8 bytes = Bytes8((14000 + 1) * SectorBytes, 0);

    LargeCompoundFile()
    {
        const unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        std::memcpy(bytes.data(), signature, sizeof signature);
        put16(bytes, 24, 0x3E);
        put16(bytes, 26, 3);
        put16(bytes, 28, 0xFFFE);
        put16(bytes, 30, 9);
        put16(bytes, 32, 6);
        put32(bytes, 48, Directory);
        put32(bytes, 68, 1); // first DIFAT sector
        put32(bytes, 72, 1);
        for (std::size_t k = 0; k < 109; ++k) put32(bytes, 76 + 4 * k, 0xFFFFFFFF);
        put32(bytes, sectorAt(1), 2);                            // FAT sector 109 is sector 2
        put32(bytes, sectorAt(1) + SectorBytes - 4, 0xFFFFFFFE); // no further DIFAT sector
        setNext(Directory, 0xFFFFFFFE);
        const char16_t name[] = u"Root Entry";
        for (std::size_t i = 0; i < 10; ++i) put16(bytes, sectorAt(Directory) + 2 * i, name[i]);
        put16(bytes, sectorAt(Directory) + 64, 22);
        bytes[sectorAt(Directory) + 66] = 5;
    }
    static std::size_t sectorAt(std::uint32_t sector) { return (sector + 1) * SectorBytes; }
    void setNext(std::uint32_t sector, std::uint32_t next) { put32(bytes, sectorAt(2) + (sector % 128) * 4, next); }
};

class CompoundFileCheckTest : public ::testing::Test {
protected:
    void SetUp() override { imported.reset(); }
    void TearDown() override { imported.reset(); }
    CompoundFileCheck check(const Bytes8& bytes) { return checkCompoundFile(folder.write("prova.xls", text(bytes))); }
    TempFolder folder;
};

TEST_F(CompoundFileCheckTest, WorkbooksOfRealWritersAreSound)
{
    EXPECT_EQ(check(ownWorkbook()), CompoundFileCheck::Sound);
    const std::filesystem::path xlwt = folder.path() / "xlwt.xls";
    if (testing::writeWorkbook(xlwt, "for r in range(300):\n    ws.write(r, 0, r)\nwb.add_sheet('due')\n")) {
        EXPECT_EQ(checkCompoundFile(xlwt.string()), CompoundFileCheck::Sound);
    }
}

TEST_F(CompoundFileCheckTest, DirectoryFoundThroughTheDifat)
{
    LargeCompoundFile file;
    EXPECT_EQ(check(file.bytes), CompoundFileCheck::Sound);
    put16(file.bytes, LargeCompoundFile::sectorAt(LargeCompoundFile::Directory) + 128 + 64, 66);
    EXPECT_EQ(check(file.bytes), CompoundFileCheck::Unsound);
}

TEST_F(CompoundFileCheckTest, BrokenChainsAreUnsound)
{
    LargeCompoundFile loop;
    loop.setNext(LargeCompoundFile::Directory, LargeCompoundFile::Directory);
    EXPECT_EQ(check(loop.bytes), CompoundFileCheck::Unsound);

    LargeCompoundFile outside;
    outside.setNext(LargeCompoundFile::Directory, 99999);
    EXPECT_EQ(check(outside.bytes), CompoundFileCheck::Unsound);

    LargeCompoundFile lostDifat;
    put32(lostDifat.bytes, 68, 123456);
    EXPECT_EQ(check(lostDifat.bytes), CompoundFileCheck::Unsound);

    Bytes8 shortFile = ownWorkbook();
    shortFile.resize(directoryOffset(shortFile)); // cut before its directory
    EXPECT_EQ(check(shortFile), CompoundFileCheck::Unsound);

    Bytes8 oddSectors = ownWorkbook();
    put16(oddSectors, 30, 16);
    EXPECT_EQ(check(oddSectors), CompoundFileCheck::Unsound);

    Bytes8 headerOnly = ownWorkbook();
    headerOnly.resize(100);
    EXPECT_EQ(check(headerOnly), CompoundFileCheck::Unsound);
}

TEST_F(CompoundFileCheckTest, NameLengthBeyondItsFieldAsTheFuzzerFoundIt)
{
    // A directory entry claiming a 65535-byte name: FreeXL read far beyond
    // the entry's 64-byte name field and ran over memory.
    const std::string found = std::string(CALVERO_SOURCE_DIR) + "/tests/data/fuzz/freexl_directory_name.xls";
    EXPECT_EQ(checkCompoundFile(found), CompoundFileCheck::Unsound);

    Bytes8 file = ownWorkbook();
    put16(file, directoryOffset(file) + 128 + 64, 0xFFFF);
    EXPECT_EQ(check(file), CompoundFileCheck::Unsound);

    imported.grid.setCell(1, 1, "12.5");
    EXPECT_EQ(importPointFile(found, 1, imported.target()), Failure{"impossibile leggere il file EXCEL: " + found});
    EXPECT_EQ(imported.grid.cell(1, 1), "12.5");
}

TEST_F(CompoundFileCheckTest, FilesWithoutTheSignatureAreLeftToFreeXl)
{
    EXPECT_EQ(check(Bytes8{}), CompoundFileCheck::NotCompound);
    EXPECT_EQ(checkCompoundFile((folder.path() / "assente.xls").string()), CompoundFileCheck::NotCompound);
    // An Excel 2.1 worksheet (plain BIFF2 records: BOF, NUMBER 2.5 at A1, EOF), which FreeXL reads.
    const Bytes8 biff2 = {0x09, 0x00, 0x04, 0x00, 0x02, 0x00, 0x10, 0x00, 0x03, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40, 0x0A, 0x00, 0x00, 0x00};
    const std::string name = folder.write("excel2.xls", text(biff2));
    EXPECT_EQ(checkCompoundFile(name), CompoundFileCheck::NotCompound);
    EXPECT_EQ(importPointFile(name, 1, imported.target()), Failure{});
    EXPECT_EQ(imported.grid.cell(1, 1), "2.5");
}

} // namespace
} // namespace calvero
