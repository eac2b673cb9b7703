#include "entry/importcommand.h"
#include "spreadsheet/spreadsheetimport.h"
#include "spreadsheet/spreadsheetxml.h"
#include "spreadsheet/spreadsheetdate.h"
#include "import_target.h"
#include "../tempfolder.h"
#include "zipfixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace calvero {
namespace {

calvero::testing::ImportTarget imported;

using testing::TempFolder;
using Messages = std::vector<std::string>;
struct Expected {
    int row;
    int column;
    const char* text;
};

class ZippedSpreadsheetTest : public ::testing::Test {
protected:
    void SetUp() override { imported.reset(); }

    std::optional<SpreadsheetBlock> read(const std::string& name, const testing::ZipEntries& entries)
    {
        const std::string path = (folder.path() / name).string();
        EXPECT_TRUE(testing::writeZip(path, entries));
        return readSpreadsheetBlock(path);
    }
    static void expectCells(const SpreadsheetBlock& block, std::initializer_list<Expected> cells)
    {
        for (const Expected& e : cells)
            EXPECT_EQ(block[e.row - 1][e.column - 1], e.text) << "row " << e.row << ", column " << e.column;
    }
    TempFolder folder;
};

TEST_F(ZippedSpreadsheetTest, XlsxCellsAsTheyShow)
{
    const auto block = read("punti.xlsx", testing::xlsxEntries(
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>Y</t></is></c><c r="D1"><v>4</v></c></row>
           <row r="2"><c r="A2"><v>1.5</v></c><c r="B2"><f>A2*2</f><v>3.0000000000000004</v></c><c r="C2" t="str"><f>"a"</f><v>a</v></c></row>
           <row r="3"><c r="A3" s="1"><v>45366</v></c><c r="B3" s="2"><v>0.75</v></c><c r="C3" t="b"><v>1</v></c></row>
           <row><c t="e"><v>#DIV/0!</v></c><c t="s"><v>1</v></c><c s="3"><v>-0.25</v></c></row>
           <row r="200"><c r="C200" s="4"><v>45366.5</v></c></row><row r="201"><c r="A201"><v>7</v></c></row>)",
        R"(<si><t>X</t></si><si><r><t>port</t></r><r><rPr><b/></rPr><t>ata</t></r><rPh><t>no</t></rPh></si>)",
        R"(<xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="22"/>)",
        R"(<numFmt numFmtId="164" formatCode="hh:mm"/><numFmt numFmtId="165" formatCode="[Red]0.00&quot;d&quot;"/>)"));
    ASSERT_TRUE(block);
    expectCells(*block, {{1, 1, "X"}, {1, 2, "Y"}, {1, 3, ""}, {2, 1, "1.5"}, {2, 2, "3.0000000000000004"},
                         {2, 3, "a"}, {3, 1, "2024-03-15"}, {3, 2, "18:00:00"}, {3, 3, "VERO"}, {4, 1, "#DIV/0!"},
                         {4, 2, "portata"}, {4, 3, "-0.25"}, {200, 3, "2024-03-15 12:00:00"}, {5, 1, ""}});
}

TEST_F(ZippedSpreadsheetTest, OdsCellsAsTheyShowWithRepeatsCounted)
{
    const auto block = read("punti.ods", testing::odsEntries(
        R"(<table:table-header-rows><table:table-row><table:table-cell office:value-type="string"><text:p>X <text:span>(m)</text:span></text:p></table:table-cell>
             <table:covered-table-cell/><table:table-cell><text:p>a<text:s text:c="2"/>b</text:p><text:p>c</text:p></table:table-cell></table:table-row></table:table-header-rows>
           <table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="2" office:value-type="float" office:value="1.5"><text:p>1,5</text:p></table:table-cell>
             <table:table-cell office:value-type="percentage" office:value="0.05"><text:p>5%</text:p></table:table-cell></table:table-row>
           <table:table-row-group><table:table-row><table:table-cell office:value-type="date" office:date-value="2024-03-15"><text:p>15/03/24</text:p></table:table-cell>
             <table:table-cell table:number-columns-repeated="16384"/></table:table-row></table:table-row-group>
           <table:table-row table:number-rows-repeated="194"><table:table-cell/></table:table-row>
           <table:table-row><table:table-cell table:formula="of:=1/0" office:value-type="float" office:value="0" calcext:value-type="error"><text:p>#DIV/0!</text:p></table:table-cell>
             <table:table-cell/><table:table-cell office:value-type="currency" office:value="-1E-05"><text:p>-0,00 €</text:p></table:table-cell></table:table-row>
           <table:table-row table:number-rows-repeated="1048000"><table:table-cell/></table:table-row>
           <table:table-row><table:table-cell office:value-type="float" office:value="8"/></table:table-row>)"));
    ASSERT_TRUE(block);
    expectCells(*block, {{1, 1, "X (m)"}, {1, 2, ""}, {1, 3, "a  b c"}, {2, 1, "1.5"}, {3, 2, "1.5"}, {3, 3, "0.05"},
                         {4, 1, "15/03/24"}, {4, 2, ""}, {5, 1, ""}, {199, 1, "#DIV/0!"}, {199, 3, "-0.00001"}, {200, 1, ""}});
}

TEST(SerialDateText, DateAndTimeFormats)
{
    struct Case {
        double serial;
        int id;
        const char* code;
        bool from1904;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {45366, 14, "", false, "2024-03-15"},        {45366.75, 22, "", false, "2024-03-15 18:00:00"},
        {61, 14, "", false, "1900-03-01"},           {59, 14, "", false, "1900-02-28"},
        {1, 14, "", true, "1904-01-02"},             {0.999999999, 20, "", false, "00:00:00"},
        {45366, 164, "dd/mm/yyyy", false, "2024-03-15"}, {1.5, 164, "[h]:mm", false, "12:00:00"},
        {45366, 2, "", false, std::nullopt},         {45366, 164, "#,##0.00 \"m\"", false, std::nullopt},
        {45366, 164, "[Blue]0.0_m;\\d", false, std::nullopt}, {-1, 14, "", false, std::nullopt},
        {3e6, 14, "", false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serialDateText(c.serial, c.id, c.code, c.from1904), c.text) << c.serial << " " << c.id << " " << c.code;
}

TEST(XmlMemoryBudget, EmptyElementsByTheMillionRunOutOfIt)
{
    std::string many = "<r>";
    for (int i = 0; i < 100000; ++i) many += "<c/>";
    many += "</r>";
    pugi::xml_document document;
    {
        XmlMemoryBudget budget(std::size_t{1} << 20);
        EXPECT_FALSE(parseXml(document, many));
    }
    EXPECT_TRUE(parseXml(document, many)) << "out of the budget's life, no limit";
}

TEST_F(ZippedSpreadsheetTest, DamagedOrOversizedFilesChangeNothing)
{
    const std::string path = (folder.path() / "buona.xlsx").string();
    ASSERT_TRUE(testing::writeZip(path, testing::xlsxEntries(R"(<row r="2"><c r="A2"><v>5</v></c></row>)")));
    std::string whole;
    {
        std::ifstream in(path, std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string flipped = whole;
    flipped[whole.find("xl/worksheets/sheet2.xml") + 30] ^= 0x55; // inside the deflated sheet: its checksum fails

    auto withPart = [](const std::string& part, const std::string& bytes) {
        testing::ZipEntries entries = testing::xlsxEntries("");
        for (auto& [name, content] : entries)
            if (name == part) content = bytes;
        return entries;
    };
    const std::string zipOnly = (folder.path() / "zip.ods").string();
    ASSERT_TRUE(testing::writeZip(zipOnly, {{"leggimi.txt", "niente"}}));
    const std::string bomb = (folder.path() / "bomba.xlsx").string();
    ASSERT_TRUE(testing::writeZip(bomb, withPart("xl/worksheets/sheet2.xml", std::string(65u << 20, ' '))));
    const std::string badXml = (folder.path() / "rotto.xlsx").string();
    ASSERT_TRUE(testing::writeZip(badXml, withPart("xl/sharedStrings.xml", "<sst><si><t>a</si>")));
    const std::string odsBadXml = (folder.path() / "rotto.ods").string();
    testing::ZipEntries ods = testing::odsEntries("<table:table-row>");
    ASSERT_TRUE(testing::writeZip(odsBadXml, ods));

    const std::string names[] = {folder.write("troncato.xlsx", whole.substr(0, whole.size() / 2)),
                                 folder.write("alterato.xlsx", flipped), zipOnly, bomb, badXml, odsBadXml,
                                 folder.write("vuoto.ods", "PK")};
    for (const std::string& name : names) {
        imported.reset();
        imported.grid.setCell(1, 1, "12");
        const PointGrid before = imported.grid;
        EXPECT_EQ(importPointFile(name, 1, imported.target()), Failure{"impossibile leggere il file: " + name});
        EXPECT_EQ(imported.grid, before) << name;
    }
    EXPECT_EQ(importPointFile(path, 2, imported.target()), Failure{});
    EXPECT_EQ(imported.grid.cell(1, 1), "5");
}

} // namespace
} // namespace calvero
