// Formula cells of .xls workbooks come in with the values stored with them.
#include "spreadsheet/biff8formularesults.h"
#include "spreadsheet/spreadsheetimport.h"
#include "spreadsheet/workbookwriter.h"
#include "../tempfolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace calvero {
namespace {

using testing::TempFolder;

TEST(FormulaResults, WorkbookThatTheProgramWritesReadsWithItsFormulaValues)
{
    TempFolder folder;
    Worksheet sheet("FOGLIO1");
    sheet.setText({1, 1}, "X");
    for (int r = 2; r <= 4; ++r) {
        sheet.setNumber({r, 1}, r * 1.5);
        sheet.setFormula({r, 2}, "=A" + std::to_string(r) + "*2+0.5");
    }
    sheet.setFormula({2, 3}, "=1/0");
    sheet.setFormula({200, 3}, "=-A2");
    const std::string path = (folder.path() / "formule.xls").string();
    ASSERT_FALSE(saveWorkbook(sheet, path));

    const auto block = readSpreadsheetBlock(path);
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0][0], "X");
    EXPECT_EQ((*block)[1][0], "3");
    EXPECT_EQ((*block)[1][1], "6.5");
    EXPECT_EQ((*block)[3][1], "12.5");
    EXPECT_EQ((*block)[1][2], "#DIV/0!");
    EXPECT_EQ((*block)[199][2], "-3");
    EXPECT_EQ((*block)[4][1], "");
}

// A record stream with the kinds of stored result the program never writes.
class FormulaStream {
public:
    FormulaStream()
    {
        bof(0x0005);
        for (std::uint16_t format : {0, 14, 164}) record(RecordType::Xf, ByteWriter().u16(0).u16(format).zeros(16));
        record(RecordType::Format, ByteWriter().u16(164).u16(5).u8(0).bytes({'h', 'h', ':', 'm', 'm'}));
        sheetOffset_ = stream_.position() + 4;
        record(RecordType::BoundSheet8, ByteWriter().u32(0).u8(0).u8(0).bytes(shortUnicodeString(u"Punti")));
        record(RecordType::Eof, ByteWriter());
        stream_.patchU32(sheetOffset_, static_cast<std::uint32_t>(stream_.position()));
        bof(0x0010);
    }
    void number(int row, int column, std::uint16_t xf, double value) { formula(row, column, xf, ByteWriter().f64(value)); }
    // A result that is no number: its kind, and a value for booleans and errors.
    void special(int row, int column, std::uint8_t kind, std::uint8_t value = 0)
    {
        formula(row, column, 0, ByteWriter().u8(kind).u8(0).u8(value).zeros(3).u16(0xFFFF));
    }
    void text(const std::u16string& characters)
    {
        ByteWriter data;
        data.u16(static_cast<std::uint16_t>(characters.size())).u8(1);
        for (char16_t c : characters) data.u16(c);
        record(RecordType::String, data);
    }
    void record(std::uint16_t type, const ByteWriter& data) { stream_.record(type, data); }
    std::string bytes() const { return std::string(stream_.data().begin(), stream_.data().end()); }

private:
    void bof(std::uint16_t kind) { record(RecordType::Bof, ByteWriter().u16(0x0600).u16(kind).zeros(12)); }
    void formula(int row, int column, std::uint16_t xf, const ByteWriter& result)
    {
        record(RecordType::Formula, ByteWriter()
                                        .u16(static_cast<std::uint16_t>(row - 1))
                                        .u16(static_cast<std::uint16_t>(column - 1))
                                        .u16(xf)
                                        .bytes(result.data())
                                        .u16(0)
                                        .u32(0)
                                        .u16(1)
                                        .u8(0x1E));
    }
    RecordStream stream_;
    std::size_t sheetOffset_ = 0;
};

TEST(FormulaResults, EveryKindOfStoredResult)
{
    FormulaStream s;
    s.special(1, 1, 0);
    s.record(0x04BC, ByteWriter().zeros(10)); // a shared formula between the cell and its text
    s.text(u"portata \u00E8 \U0001F600");
    s.special(1, 2, 1, 1);
    s.special(1, 3, 2, 0x2A);
    s.number(2, 1, 1, 45366.0);
    s.number(2, 2, 2, 0.75);
    s.number(2, 3, 0, -0.125);
    s.special(3, 1, 3);
    s.text(u"orfano"); // no formula waits for it
    s.special(3, 2, 1, 0);
    s.number(201, 1, 0, 7.0);
    s.number(1, 4, 0, 7.0);
    s.record(RecordType::Eof, ByteWriter());
    s.number(4, 1, 0, 9.0); // after the sheet's end
    const std::string stream = s.bytes();

    struct Cell {
        int row, column;
        std::string text;
        bool operator==(const Cell&) const = default;
    };
    std::vector<Cell> cells;
    for (const auto& c : firstSheetFormulaResults(stream, 200, 3)) cells.push_back({c.row, c.column, c.text});
    const std::vector<Cell> expected{{1, 1, "portata \xC3\xA8 \xF0\x9F\x98\x80"}, {1, 2, "VERO"}, {1, 3, "#N/A"},
                                     {2, 1, "2024-03-15"}, {2, 2, "18:00:00"}, {2, 3, "-0.125"},
                                     {3, 1, ""}, {3, 2, "FALSO"}};
    EXPECT_EQ(cells, expected);

    // Cut anywhere, the stream gives the cells before the cut and no more.
    for (std::size_t cut = 0; cut < stream.size(); ++cut)
        EXPECT_LE(firstSheetFormulaResults(std::string_view(stream).substr(0, cut), 200, 3).size(), expected.size());
    std::string older = stream;
    older[5] = 0x05; // a BIFF5 version in the first BOF
    EXPECT_TRUE(firstSheetFormulaResults(older, 200, 3).empty());
}

} // namespace
} // namespace calvero
