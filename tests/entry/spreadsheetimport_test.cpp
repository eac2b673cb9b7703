#include "entry/spreadsheetrange.h"
#include "spreadsheet/spreadsheetimport.h"

#include "spreadsheet/workbookwriter.h"

#include "common/numtext.h"
#include "import_target.h"
#include "../tempfolder.h"
#include "xlsfixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace calvero {
namespace {

calvero::testing::ImportTarget imported;

using testing::TempFolder;

TEST(SpreadsheetNumberText, ShortestFixedFormThatReadsBack)
{
    EXPECT_EQ(spreadsheetNumberText(2.5), "2.5");
    EXPECT_EQ(spreadsheetNumberText(3.0), "3");
    EXPECT_EQ(spreadsheetNumberText(-0.0), "0");
    EXPECT_EQ(spreadsheetNumberText(0.1), "0.1");
    EXPECT_EQ(spreadsheetNumberText(-1234.5678), "-1234.5678");
    EXPECT_EQ(spreadsheetNumberText(1e20), "100000000000000000000");
    EXPECT_EQ(spreadsheetNumberText(1.5e-7), "0.00000015");

    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-60, 60);
    for (int i = 0; i < 2000; ++i) {
        const double value = std::ldexp(mantissa(random), exponent(random));
        const std::string text = spreadsheetNumberText(value);
        EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        ASSERT_LE(text.size(), 130u);
        EXPECT_EQ(parseDecimal(text), value) << text;
    }
}

TEST(SpreadsheetNumberText, ExtremeValuesStillReadBackWithinACell)
{
    for (double value : {1e300, -2.5e-200, 1.7976931348623157e308}) {
        const std::string text = spreadsheetNumberText(value);
        ASSERT_LE(text.size(), 130u) << text;
        EXPECT_EQ(parseDecimal(text), value) << text;
    }
}

SpreadsheetBlock numberedBlock()
{
    SpreadsheetBlock block;
    for (int r = 1; r <= SpreadsheetRows; ++r)
        for (int c = 1; c <= SpreadsheetColumns; ++c)
            block[r - 1][c - 1] = std::to_string(r) + "/" + std::to_string(c);
    return block;
}

TEST(PlaceSpreadsheetRows, FirstRowLandsInGridRowOne)
{
    PointGrid grid;
    grid.setCell(200, 1, "resta");
    grid.setCell(200, 3, "anche");
    placeSpreadsheetRows(numberedBlock(), 2, grid);
    EXPECT_EQ(grid.cell(1, 1), "2/1");
    EXPECT_EQ(grid.cell(1, 3), "2/3");
    EXPECT_EQ(grid.cell(199, 2), "200/2");
    EXPECT_EQ(grid.cell(200, 1), "resta");
    EXPECT_EQ(grid.cell(200, 3), "anche");

    placeSpreadsheetRows(numberedBlock(), 1, grid);
    EXPECT_EQ(grid.cell(1, 1), "1/1");
    EXPECT_EQ(grid.cell(200, 3), "200/3");

    PointGrid far;
    placeSpreadsheetRows(numberedBlock(), 100, far);
    EXPECT_EQ(far.cell(1, 1), "100/1");
    EXPECT_EQ(far.cell(101, 2), "200/2");
    EXPECT_EQ(far.cell(102, 1), "");
}

TEST(PlaceSpreadsheetRows, LongTextsAreCutToACellsLength)
{
    SpreadsheetBlock block;
    block[0][0] = std::string(200, '7');
    block[0][1] = std::string(129, 'a') + "\xC3\xA8\xC3\xA8"; // 131 characters, two of them two bytes long
    PointGrid grid;
    placeSpreadsheetRows(block, 1, grid);
    EXPECT_EQ(grid.cell(1, 1), std::string(130, '7'));
    EXPECT_EQ(grid.cell(1, 2), std::string(129, 'a') + "\xC3\xA8");
}

class SpreadsheetFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        imported.reset();
        if (testing::pythonWithXlwt().empty()) GTEST_SKIP() << "python3-xlwt is needed to build .xls files";
    }
    TempFolder folder;
};

TEST_F(SpreadsheetFileTest, ReadsTheBlockOfTheFirstSheet)
{
    const auto path = folder.path() / "punti.xls";
    ASSERT_TRUE(testing::writeWorkbook(path, R"(
ws.write(0, 0, 'X'); ws.write(0, 1, 'Y')
ws.write(1, 0, 1.5); ws.write(1, 1, -2); ws.write(1, 2, 0.1)
ws.write(2, 0, 'abc'); ws.write(2, 2, 1e20)
ws.write(199, 2, 77.25)
ws.write(200, 0, 999)
ws.write(1, 3, 'colonna D')
other = wb.add_sheet('altro'); other.write(0, 0, 'secondo foglio')
)"));
    const auto block = readSpreadsheetBlock(path.string());
    ASSERT_TRUE(block);
    const auto& b = *block;
    EXPECT_EQ(b[0][0], "X");
    EXPECT_EQ(b[0][1], "Y");
    EXPECT_EQ(b[0][2], "");
    EXPECT_EQ(b[1][0], "1.5");
    EXPECT_EQ(b[1][1], "-2");
    EXPECT_EQ(b[1][2], "0.1");
    EXPECT_EQ(b[2][0], "abc");
    EXPECT_EQ(b[2][1], "");
    EXPECT_EQ(b[2][2], "100000000000000000000");
    EXPECT_EQ(b[199][2], "77.25");
    EXPECT_EQ(b[199][0], "");
}

TEST_F(SpreadsheetFileTest, ShortSheetGivesEmptyCells)
{
    const auto path = folder.path() / "corto.xls";
    ASSERT_TRUE(testing::writeWorkbook(path, "ws.write(0, 0, 4)"));
    const auto block = readSpreadsheetBlock(path.string());
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0][0], "4");
    EXPECT_EQ((*block)[0][1], "");
    EXPECT_EQ((*block)[1][0], "");
}

TEST_F(SpreadsheetFileTest, RangeGoesIntoTheSessionGrid)
{
    const auto path = folder.path() / "punti.xls";
    ASSERT_TRUE(testing::writeWorkbook(path, R"(
ws.write(0, 0, 'X'); ws.write(0, 1, 'Y')
ws.write(1, 0, 3); ws.write(1, 1, 4.75)
)"));
    imported.grid.setCell(200, 1, "resta");
    ASSERT_FALSE(readSpreadsheetRange(path.string(), 2, imported.grid));
    EXPECT_EQ(imported.grid.cell(1, 1), "3");
    EXPECT_EQ(imported.grid.cell(1, 2), "4.75");
    EXPECT_EQ(imported.grid.cell(2, 1), "");
    EXPECT_EQ(imported.grid.cell(200, 1), "resta");
}

// The program's own workbooks (the results it saves) read back without Python.
TEST(SpreadsheetWorkbook, ReadsAWorkbookThatTheProgramWrites)
{
    TempFolder folder;
    Worksheet sheet("FOGLIO1");
    sheet.setText({1, 1}, "X");
    sheet.setNumber({2, 1}, 0.25);
    sheet.setNumber({2, 2}, -17.0);
    sheet.setText({2, 3}, "citt\xC3\xA0");
    sheet.setNumber({200, 3}, 123456.789);
    sheet.setNumber({201, 1}, 5.0);
    sheet.setNumber({2, 4}, 8.0);
    const std::string path = (folder.path() / "risultati.xls").string();
    ASSERT_FALSE(saveWorkbook(sheet, path));

    const auto block = readSpreadsheetBlock(path);
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0][0], "X");
    EXPECT_EQ((*block)[0][1], "");
    EXPECT_EQ((*block)[1][0], "0.25");
    EXPECT_EQ((*block)[1][1], "-17");
    EXPECT_EQ((*block)[1][2], "citt\xC3\xA0");
    EXPECT_EQ((*block)[199][2], "123456.789");
}

TEST(SpreadsheetFailure, UnreadableFileLeavesTheGridAlone)
{
    imported.reset();
    TempFolder folder;
    imported.grid.setCell(1, 1, "12");
    const std::string notAWorkbook = folder.write("finto.xls", "1;2\n3;4\n");
    EXPECT_FALSE(readSpreadsheetBlock(notAWorkbook));
    EXPECT_EQ(readSpreadsheetRange(notAWorkbook, 1, imported.grid), "impossibile leggere il file EXCEL: " + notAWorkbook);
    EXPECT_TRUE(readSpreadsheetRange((folder.path() / "assente.xls").string(), 1, imported.grid));
    EXPECT_EQ(imported.grid.cell(1, 1), "12");
    EXPECT_EQ(imported.grid.cell(2, 1), "");
}

} // namespace
} // namespace calvero
