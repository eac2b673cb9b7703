// The workbook file read back by a small reader of its own, written from the
// container and record layouts and sharing no code with the writer.
#include "spreadsheet/workbookwriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace calvero {
namespace {

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8)); }
std::uint32_t le32(const Bytes& b, std::size_t at) { return le16(b, at) | (static_cast<std::uint32_t>(le16(b, at + 2)) << 16); }
double leDouble(const Bytes& b, std::size_t at)
{
    std::uint64_t bits = 0;
    for (int k = 7; k >= 0; --k) bits = (bits << 8) | b.at(at + static_cast<std::size_t>(k));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE, FatMark = 0xFFFFFFFD, FreeMark = 0xFFFFFFFF;

// The width in characters that Excel shows for a stored column width, with
// the 7-pixel digit of Arial 10 and the 5 pixels of cell padding.
double shownWidth(std::uint16_t stored)
{
    const double pixels = std::trunc((stored + std::trunc(128.0 / 7)) / 256.0 * 7);
    return std::trunc((pixels - 5) / 7 * 100 + 0.5) / 100;
}

struct DirectoryEntry {
    std::u16string name;
    int type = 0;
    std::uint32_t left = 0, right = 0, child = 0, start = 0, size = 0;
};

// A compound file reader for version 3 files without a mini stream.
struct CompoundReader {
    Bytes file;
    std::vector<std::uint32_t> fat;
    std::vector<DirectoryEntry> entries;

    explicit CompoundReader(Bytes bytes) : file(std::move(bytes))
    {
        const Bytes signature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));
        EXPECT_EQ(le16(file, 0x18), 0x003E);
        EXPECT_EQ(le16(file, 0x1A), 3);
        EXPECT_EQ(le16(file, 0x1C), 0xFFFE);
        EXPECT_EQ(le16(file, 0x1E), 9);
        EXPECT_EQ(le16(file, 0x20), 6);
        EXPECT_EQ(le32(file, 0x28), 0u); // directory sectors are not counted in version 3
        EXPECT_EQ(le32(file, 0x38), 4096u);
        EXPECT_EQ(le32(file, 0x3C), EndOfChain); // no mini FAT
        EXPECT_EQ(le32(file, 0x44), EndOfChain); // no DIFAT sectors
        EXPECT_EQ(le32(file, 0x48), 0u);
        EXPECT_EQ(file.size() % 512, 0u);
        const std::uint32_t fatSectors = le32(file, 0x2C);
        std::vector<std::uint32_t> fatLocations;
        for (std::uint32_t k = 0; k < 109; ++k) {
            const std::uint32_t sector = le32(file, 0x4C + 4 * k);
            if (k >= fatSectors) {
                EXPECT_EQ(sector, FreeMark);
                continue;
            }
            fatLocations.push_back(sector);
            for (std::size_t e = 0; e < 128; ++e) fat.push_back(le32(file, offset(sector) + 4 * e));
        }
        for (std::uint32_t sector : fatLocations) EXPECT_EQ(fat.at(sector), FatMark);
        for (std::uint32_t sector : chain(le32(file, 0x30)))
            for (std::size_t e = 0; e < 4; ++e) entries.push_back(entryAt(offset(sector) + 128 * e));
    }

    std::size_t offset(std::uint32_t sector) const { return 512 * (static_cast<std::size_t>(sector) + 1); }

    std::vector<std::uint32_t> chain(std::uint32_t start) const
    {
        std::vector<std::uint32_t> sectors;
        std::set<std::uint32_t> seen;
        for (std::uint32_t s = start; s != EndOfChain; s = fat.at(s)) {
            if (!seen.insert(s).second || s >= fat.size() || offset(s) + 512 > file.size()) {
                ADD_FAILURE() << "broken chain at sector " << s;
                break;
            }
            sectors.push_back(s);
        }
        return sectors;
    }

    DirectoryEntry entryAt(std::size_t at) const
    {
        DirectoryEntry e;
        const std::uint16_t nameBytes = le16(file, at + 64);
        for (std::size_t k = 0; k + 2 < nameBytes; k += 2) e.name.push_back(static_cast<char16_t>(le16(file, at + k)));
        e.type = file.at(at + 66);
        e.left = le32(file, at + 68);
        e.right = le32(file, at + 72);
        e.child = le32(file, at + 76);
        e.start = le32(file, at + 116);
        e.size = le32(file, at + 120);
        EXPECT_EQ(le32(file, at + 124), 0u);
        return e;
    }

    Bytes stream(const std::u16string& name) const
    {
        for (const DirectoryEntry& e : entries) {
            if (e.type != 2 || e.name != name) continue;
            Bytes data;
            for (std::uint32_t s : chain(e.start)) data.insert(data.end(), file.begin() + offset(s), file.begin() + offset(s) + 512);
            EXPECT_EQ(data.size(), (e.size + 511) / 512 * 512);
            data.resize(e.size);
            return data;
        }
        ADD_FAILURE() << "no stream";
        return {};
    }
};

struct Record {
    std::uint16_t type;
    std::size_t position;
    Bytes data;
};

std::vector<Record> recordsFrom(const Bytes& stream, std::size_t at)
{
    std::vector<Record> records;
    while (at + 4 <= stream.size()) {
        const std::uint16_t type = le16(stream, at), size = le16(stream, at + 2);
        EXPECT_LE(size, 8224u);
        records.push_back({type, at, Bytes(stream.begin() + at + 4, stream.begin() + at + 4 + size)});
        at += 4 + size;
        if (type == 0x000A) break; // EOF ends a substream
    }
    return records;
}

// The shared strings, following characters into CONTINUE records.
std::vector<std::u16string> sharedStrings(const std::vector<Record>& globals)
{
    std::vector<const Bytes*> parts;
    for (std::size_t k = 0; k < globals.size(); ++k)
        if (globals[k].type == 0x00FC)
            for (std::size_t j = k; j < globals.size() && (j == k || globals[j].type == 0x003C); ++j) parts.push_back(&globals[j].data);
    std::vector<std::u16string> strings;
    if (parts.empty()) return strings;
    std::size_t part = 0, at = 8;
    const std::uint32_t unique = le32(*parts[0], 4);
    for (std::uint32_t n = 0; n < unique; ++n) {
        if (at >= parts[part]->size()) ++part, at = 0;
        const Bytes& head = *parts.at(part);
        std::size_t count = le16(head, at);
        bool wide = head.at(at + 2) & 1;
        at += 3;
        std::u16string text;
        while (count > 0) {
            if (at >= parts[part]->size()) {
                ++part;
                wide = parts.at(part)->at(0) & 1;
                at = 1;
            }
            const Bytes& p = *parts[part];
            text.push_back(wide ? static_cast<char16_t>(le16(p, at)) : static_cast<char16_t>(p.at(at)));
            at += wide ? 2 : 1;
            --count;
        }
        strings.push_back(text);
    }
    return strings;
}

struct ReadBack {
    std::vector<Record> globals, sheet;
    std::vector<std::u16string> strings;
    std::u16string sheetName;
    Bytes stream;

    explicit ReadBack(const Worksheet& source)
    {
        CompoundReader container(workbookFile(source));
        stream = container.stream(u"Workbook");
        globals = recordsFrom(stream, 0);
        strings = sharedStrings(globals);
        for (const Record& r : globals)
            if (r.type == 0x0085) {
                for (std::size_t k = 0; k < r.data.at(6); ++k)
                    sheetName.push_back(r.data.at(7) & 1 ? static_cast<char16_t>(le16(r.data, 8 + 2 * k)) : r.data.at(8 + k));
                sheet = recordsFrom(stream, le32(r.data, 0));
            }
    }

    const Record* cell(std::uint16_t type, int row, int column) const
    {
        for (const Record& r : sheet)
            if (r.type == type && le16(r.data, 0) == row - 1 && le16(r.data, 2) == column - 1) return &r;
        return nullptr;
    }
    int count(const std::vector<Record>& records, std::uint16_t type) const
    {
        return static_cast<int>(std::count_if(records.begin(), records.end(), [&](const Record& r) { return r.type == type; }));
    }
};

TEST(WorkbookFile, ContainerHoldsTheWorkbookStreamInOrdinarySectors)
{
    Worksheet sheet("FOGLIO1");
    sheet.setNumber({1, 1}, 1.0);
    CompoundReader container(workbookFile(sheet));
    ASSERT_GE(container.entries.size(), 4u);
    const DirectoryEntry& root = container.entries[0];
    EXPECT_EQ(root.name, u"Root Entry");
    EXPECT_EQ(root.type, 5);
    EXPECT_EQ(root.child, 1u);
    EXPECT_EQ(root.start, EndOfChain);
    const DirectoryEntry& book = container.entries[1];
    EXPECT_EQ(book.name, u"Workbook");
    EXPECT_EQ(book.type, 2);
    EXPECT_EQ(book.left, FreeMark);
    EXPECT_EQ(book.right, FreeMark);
    // A short stream is padded up to the mini stream cutoff, so no mini stream is needed.
    EXPECT_EQ(book.size, 4096u);
    EXPECT_EQ(container.chain(book.start).size(), 8u);
    EXPECT_EQ(container.entries[2].type, 0);

    const Bytes stream = container.stream(u"Workbook");
    const Bytes original = workbookStream(sheet);
    ASSERT_LT(original.size(), 4096u);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), stream.begin()));
    EXPECT_TRUE(std::all_of(stream.begin() + static_cast<long>(original.size()), stream.end(), [](auto b) { return b == 0; }));
}

TEST(WorkbookFile, LargeSheetsSpreadTheirFatOverSeveralSectors)
{
    Worksheet sheet("FOGLIO1");
    for (int row = 1; row <= 2000; ++row)
        for (int column = 1; column <= 3; ++column) sheet.setNumber({row, column}, row * 10.0 + column);
    const Bytes original = workbookStream(sheet);
    CompoundReader container(workbookFile(sheet));
    EXPECT_GE(le32(container.file, 0x2C), 2u);
    EXPECT_EQ(container.stream(u"Workbook"), original);
    const std::size_t used = std::count_if(container.fat.begin(), container.fat.end(), [](auto e) { return e != FreeMark; });
    EXPECT_EQ(container.file.size(), 512 * (1 + used));
}

TEST(WorkbookFile, GlobalsDescribeOneVisibleWorksheet)
{
    Worksheet sheet("FOGLIO1");
    sheet.setColumnWidth(1, 16.0);
    ReadBack book(sheet);
    ASSERT_FALSE(book.globals.empty());
    EXPECT_EQ(book.globals.front().type, 0x0809);
    EXPECT_EQ(le16(book.globals.front().data, 0), 0x0600);
    EXPECT_EQ(le16(book.globals.front().data, 2), 0x0005);
    EXPECT_EQ(book.globals.back().type, 0x000A);
    EXPECT_EQ(book.sheetName, u"FOGLIO1");

    std::vector<const Record*> formats;
    for (const Record& r : book.globals) {
        if (r.type == 0x0042) {
            EXPECT_EQ(le16(r.data, 0), 1200);
        }
        if (r.type == 0x00E0) formats.push_back(&r);
    }
    ASSERT_GE(formats.size(), 16u);
    for (int k = 0; k < 15; ++k) EXPECT_EQ(le16(formats[k]->data, 4) & 0xFFF4, 0xFFF4) << "style format " << k;
    EXPECT_EQ(le16(formats[15]->data, 4) & 0x0004, 0);
    EXPECT_GE(book.count(book.globals, 0x0031), 4);
    EXPECT_EQ(book.count(book.globals, 0x0293), 1);
    EXPECT_EQ(book.count(book.globals, 0x003D), 1);

    ASSERT_FALSE(book.sheet.empty());
    EXPECT_EQ(le16(book.sheet.front().data, 2), 0x0010);
    EXPECT_EQ(book.sheet.back().type, 0x000A);
    EXPECT_EQ(book.count(book.sheet, 0x0081), 1);
    EXPECT_EQ(book.count(book.sheet, 0x023E), 1);
    for (const Record& r : book.sheet)
        if (r.type == 0x007D) {
            EXPECT_EQ(le16(r.data, 0), 0);
            EXPECT_EQ(le16(r.data, 2), 0);
            EXPECT_EQ(shownWidth(le16(r.data, 4)), 16.0);
        }
    EXPECT_EQ(book.count(book.sheet, 0x007D), 1);
}

TEST(WorkbookFile, CellsKeepTheirKindValueAndPlace)
{
    Worksheet sheet("FOGLIO1");
    sheet.setText({1, 1}, "X");
    sheet.setText({2, 1}, "X");
    sheet.setText({1, 2}, "Z int");
    sheet.setNumber({3, 1}, 2.5);
    sheet.setNumber({3, 2}, 0.75);
    sheet.setNumber({3, 4}, 16.0);
    sheet.setFormula({3, 5}, "=$A$3*d3^$B$3");
    sheet.setFormula({40, 7}, "=1/0");
    ReadBack book(sheet);

    EXPECT_EQ(book.strings, (std::vector<std::u16string>{u"X", u"Z int"}));
    const Record* a2 = book.cell(0x00FD, 2, 1);
    ASSERT_NE(a2, nullptr);
    EXPECT_EQ(le32(a2->data, 6), 0u);
    ASSERT_NE(book.cell(0x00FD, 1, 2), nullptr);
    EXPECT_EQ(le32(book.cell(0x00FD, 1, 2)->data, 6), 1u);
    for (const Record& r : book.globals)
        if (r.type == 0x00FC) {
            EXPECT_EQ(le32(r.data, 0), 3u); // three cells use the two strings
        }

    const Record* d3 = book.cell(0x0203, 3, 4);
    ASSERT_NE(d3, nullptr);
    EXPECT_EQ(leDouble(d3->data, 6), 16.0);

    const Record* e3 = book.cell(0x0006, 3, 5);
    ASSERT_NE(e3, nullptr);
    EXPECT_DOUBLE_EQ(leDouble(e3->data, 6), 2.5 * 8.0);
    EXPECT_EQ(le16(e3->data, 14) & 1, 1); // calculated again on opening
    const Bytes rgce(e3->data.begin() + 22, e3->data.end());
    EXPECT_EQ(le16(e3->data, 20), rgce.size());
    EXPECT_EQ(rgce, (Bytes{0x44, 2, 0, 0, 0, 0x44, 2, 0, 3, 0xC0, 0x44, 2, 0, 1, 0, 0x07, 0x05}));

    const Record* error = book.cell(0x0006, 40, 7);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->data.at(6), 0x02);
    EXPECT_EQ(error->data.at(8), 0x07);
    EXPECT_EQ(le16(error->data, 12), 0xFFFF);

    for (const Record& r : book.sheet)
        if (r.type == 0x0200) {
            EXPECT_EQ(le32(r.data, 0), 0u);
            EXPECT_EQ(le32(r.data, 4), 40u);
            EXPECT_EQ(le16(r.data, 8), 0);
            EXPECT_EQ(le16(r.data, 10), 7);
        }
}

TEST(WorkbookFile, ManyStringsGoOnInContinueRecordsAndStayIndexed)
{
    Worksheet sheet("FOGLIO1");
    std::vector<std::u16string> expected;
    for (int k = 0; k < 700; ++k) {
        // Every third text needs two bytes a character; one is long enough to cross a record.
        std::string text = "riga " + std::to_string(k) + (k % 3 == 0 ? " \xCE\xA9 " : " e ") + std::string(30, 'a' + k % 26);
        if (k == 350) text += std::string(9000, 'z');
        sheet.setText({k + 1, 1}, text);
        expected.push_back(utf16FromUtf8(text));
    }
    ReadBack book(sheet);
    EXPECT_GE(book.count(book.globals, 0x003C), 3);
    EXPECT_EQ(book.strings, expected);
    for (const Record& r : book.globals) {
        if (r.type != 0x00FF) continue;
        const std::uint16_t perBucket = le16(r.data, 0);
        EXPECT_GE(perBucket, 8);
        const std::size_t buckets = (r.data.size() - 2) / 8;
        EXPECT_EQ(buckets, (expected.size() + perBucket - 1) / perBucket);
        for (std::size_t b = 0; b < buckets; ++b) {
            // Each entry points at the character count of the bucket's first string.
            const std::uint32_t at = le32(r.data, 2 + 8 * b);
            EXPECT_EQ(le16(book.stream, at), expected[b * perBucket].size()) << "bucket " << b;
        }
    }
}

TEST(WorkbookFile, UnwritableContentsAreRefusedBeforeTheFileIsTouched)
{
    const std::string path = std::string(CALVERO_BINARY_DIR) + "/workbookfile_refused.xls";
    std::filesystem::remove(path);
    Worksheet sheet("FOGLIO1");
    sheet.setFormula({1, 1}, "=SUM(A2)");
    EXPECT_THROW(workbookStream(sheet), WorkbookError);
    const auto reason = saveWorkbook(sheet, path);
    ASSERT_TRUE(reason.has_value());
    EXPECT_NE(reason->find("SUM"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_THROW(workbookStream(Worksheet("un nome di foglio davvero troppo lungo")), WorkbookError);
    EXPECT_THROW(workbookStream(Worksheet("a/b")), WorkbookError);
    const auto noFolder = saveWorkbook(Worksheet("FOGLIO1"), std::string(CALVERO_BINARY_DIR) + "/no/such/folder/x.xls");
    ASSERT_TRUE(noFolder.has_value());
    EXPECT_EQ(*noFolder, "file o cartella inesistente");
}

} // namespace
} // namespace calvero
