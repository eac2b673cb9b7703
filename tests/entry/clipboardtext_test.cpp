#include "entry/clipboardtext.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::size_t rows, columns;
    CellBlock cells;
    bool rowsCut, columnsCut;
};

TEST(SplitPastedText, SpreadsheetAndEditorBlocks)
{
    const SplitCase cases[] = {
        {"spreadsheet tabs, decimal comma kept", "1,5\t2,5\n3\t4\n", 200, 3, {{"1,5", "2,5"}, {"3", "4"}}, false, false},
        {"empty spreadsheet cells keep their place", "1\t\t7\r\n\t2\r\n", 200, 3, {{"1", "", "7"}, {"", "2"}}, false, false},
        {"semicolons, runs and blanks around", " 1.5 ; 2.5;;\n;3;4", 200, 3, {{"1.5", "2.5"}, {"3", "4"}}, false, false},
        {"blanks", "  10   20 30\n", 200, 3, {{"10", "20", "30"}}, false, false},
        {"quoted fields, old Mac line ends", "\"1,5\";\"2\"\r3 4", 200, 2, {{"1,5", "2"}, {"3", "4"}}, false, false},
        {"empty line in the middle", "1\n\n3\n", 200, 1, {{"1"}, {""}, {"3"}}, false, false},
        {"byte-order mark", "\xEF\xBB\xBF" "7;8", 200, 2, {{"7", "8"}}, false, false},
        {"rows past the grid", "1\n2\n3\n", 2, 3, {{"1"}, {"2"}}, true, false},
        {"only empty lines past the grid", "1\n2\n\n;\n", 2, 3, {{"1"}, {"2"}}, false, false},
        {"columns past the grid", "1\t2\t3\n", 200, 2, {{"1", "2"}}, false, true},
        {"empty cells past the grid are no loss", "1\t2\t\n", 200, 2, {{"1", "2"}}, false, false},
        {"nothing", "", 200, 3, {}, false, false},
        {"long cells cut as the import cuts them", std::string(200, '9'), 200, 3, {{std::string(130, '9')}}, false, false},
    };
    for (const auto& c : cases) {
        const PastedBlock block = splitPastedText(c.text, c.rows, c.columns);
        EXPECT_EQ(block.cells, c.cells) << c.name;
        EXPECT_EQ(block.rowsCut, c.rowsCut) << c.name;
        EXPECT_EQ(block.columnsCut, c.columnsCut) << c.name;
    }
}

TEST(PasteMessage, SaysWhatWasLeftOut)
{
    EXPECT_EQ(pasteMessage(splitPastedText("1\n2\n", 5, 1)), "");
    EXPECT_EQ(pasteMessage(splitPastedText("1\n2\n3\n", 2, 1)), "incollate le prime 2 righe: la griglia finisce alla riga 200");
    EXPECT_EQ(pasteMessage(splitPastedText("1 2 3\n4 5 6\n", 1, 2)),
              "incollata solo la prima riga: la griglia finisce alla riga 200\n"
              "incollate solo le colonne che entrano nella griglia");
}

TEST(JoinCopiedCells, ReadsBackAsTheSameBlock)
{
    const CellBlock blocks[] = {{{"1.5", "2,5"}, {"", "4"}}, {{"x"}}, {{"1", "", "3"}}};
    for (const CellBlock& block : blocks) {
        const std::string text = joinCopiedCells(block);
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(splitPastedText(text, 200, 3).cells, block) << text;
    }
}

} // namespace
} // namespace calvero
