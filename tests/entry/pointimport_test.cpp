#include "entry/pointimport.h"

#include "import_target.h"
#include "../tempfolder.h"

#include <gtest/gtest.h>


namespace calvero {
namespace {

calvero::testing::ImportTarget imported;

using testing::TempFolder;

class PointLinesTest : public ::testing::Test {
protected:
    void SetUp() override { imported.reset(); }
    PointSet& points() { return imported.points; }
    PointGrid& grid() { return imported.grid; }

    Checked<LinesRead> read(const std::string& content, int first = 1, int last = 200)
    {
        return readPointLines(folder.write("punti.csv", content), static_cast<std::uint16_t>(first),
                              static_cast<std::uint16_t>(last), imported.target());
    }

    TempFolder folder;
};

TEST(SplitPointFields, SeparatorsAndDecimalComma)
{
    using Fields = std::vector<std::string>;
    EXPECT_EQ(splitPointFields("1,5;2,5"), (Fields{"1.5", "2.5"}));
    EXPECT_EQ(splitPointFields("1,2"), (Fields{"1.2"})); // a comma never separates
    EXPECT_EQ(splitPointFields("1.234,5;2.5"), (Fields{"1234.5", "2.5"})); // thousands, field by field
    EXPECT_EQ(splitPointFields("1.5 2.5"), (Fields{"1.5", "2.5"}));
    EXPECT_EQ(splitPointFields("\t1 \t; ;2;;\t3  "), (Fields{"1", "2", "3"}));
    EXPECT_EQ(splitPointFields(";3;4"), (Fields{"3", "4"}));
    EXPECT_EQ(splitPointFields("3;;4"), (Fields{"3", "4"}));
    EXPECT_EQ(splitPointFields(""), Fields{});
    EXPECT_EQ(splitPointFields(" ;\t; "), Fields{});
    EXPECT_EQ(splitPointFields("abc;-1e3"), (Fields{"abc", "-1e3"}));
    // A NUL byte is no character: dropped, never a separator.
    EXPECT_EQ(splitPointFields(std::string_view("1\0" "2;\0;3\0", 8)), (Fields{"12", "3"}));
    EXPECT_EQ(splitPointFields(std::string_view("\0\0", 2)), Fields{});
}

TEST_F(PointLinesTest, FieldsGoToArraysAndGrid)
{
    points().y[2] = 9.0;
    const auto outcome = read("1,5;2,5\n1,2\n;3;4\n1;2;3;4\n");
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->moreLines);

    EXPECT_DOUBLE_EQ(points().x[1], 1.5);
    EXPECT_DOUBLE_EQ(points().y[1], 2.5);
    EXPECT_EQ(grid().cell(1, 1), "1.5");
    EXPECT_EQ(grid().cell(1, 2), "2.5");

    EXPECT_DOUBLE_EQ(points().x[2], 1.2);
    EXPECT_DOUBLE_EQ(points().y[2], 9.0); // a single field leaves y alone
    EXPECT_EQ(grid().cell(2, 2), "");

    EXPECT_DOUBLE_EQ(points().x[3], 3.0);
    EXPECT_DOUBLE_EQ(points().y[3], 4.0);

    // Fields after the third land in the third place.
    EXPECT_DOUBLE_EQ(points().z[4], 4.0);
    EXPECT_EQ(grid().cell(4, 3), "4");
}

TEST_F(PointLinesTest, BlanksAndTabsSeparateFields)
{
    read("1.5 2.5\n  7\t\t8   9\n");
    EXPECT_DOUBLE_EQ(points().x[1], 1.5);
    EXPECT_DOUBLE_EQ(points().y[1], 2.5);
    EXPECT_DOUBLE_EQ(points().x[2], 7.0);
    EXPECT_DOUBLE_EQ(points().y[2], 8.0);
    EXPECT_DOUBLE_EQ(points().z[2], 9.0);
    EXPECT_EQ(grid().cell(2, 3), "9");
}

TEST_F(PointLinesTest, EmptyLineIsCountedAndKeepsItsRow)
{
    grid().setCell(2, 1, "vecchio");
    points().x[2] = 42.0;
    read("1;10\n\n3;30\n");
    EXPECT_EQ(grid().cell(2, 1), "vecchio");
    EXPECT_DOUBLE_EQ(points().x[2], 42.0);
    EXPECT_EQ(grid().cell(3, 1), "3");
    EXPECT_DOUBLE_EQ(points().x[3], 3.0);
}

TEST_F(PointLinesTest, NothingBeyondTheFileIsCleared)
{
    grid().setCell(7, 2, "resta");
    points().y[7] = 5.0;
    read("1;1\n2;2\n");
    EXPECT_EQ(grid().cell(7, 2), "resta");
    EXPECT_DOUBLE_EQ(points().y[7], 5.0);
}

TEST_F(PointLinesTest, ArraysFollowTheLineNumberGridTheAcceptedCount)
{
    std::string content;
    for (int i = 1; i <= 20; ++i) content += std::to_string(i) + ";" + std::to_string(100 + i) + "\n";
    read(content, 11, 16);
    for (int line = 11; line <= 16; ++line) EXPECT_DOUBLE_EQ(points().x[line], line);
    EXPECT_DOUBLE_EQ(points().x[10], 0.0);
    EXPECT_DOUBLE_EQ(points().x[17], 0.0);
    EXPECT_EQ(grid().cell(1, 1), "11");
    EXPECT_EQ(grid().cell(6, 2), "116");
    EXPECT_EQ(grid().cell(7, 1), "");
}

TEST_F(PointLinesTest, ReadingStopsAfterTheTwoHundredthLine)
{
    std::string content;
    for (int i = 1; i <= 250; ++i) content += std::to_string(i) + ";" + std::to_string(i * 2) + "\n";
    const auto outcome = read(content);
    EXPECT_TRUE(outcome->moreLines);
    EXPECT_DOUBLE_EQ(points().x[200], 200.0); // not overwritten by the lines after it
    EXPECT_DOUBLE_EQ(points().y[200], 400.0);
    EXPECT_EQ(grid().cell(200, 1), "200");
    EXPECT_EQ(grid().cell(1, 1), "1");
}

TEST_F(PointLinesTest, MoreLinesOnlyWhenSomethingFollows)
{
    std::string content;
    for (int i = 1; i <= 200; ++i) content += std::to_string(i) + "\n";
    EXPECT_FALSE(read(content)->moreLines);
    EXPECT_FALSE(read(content + "\n ; \n\t\n")->moreLines);
    EXPECT_FALSE(read(content + std::string("\0\0\n", 3))->moreLines); // padding after a crash
    EXPECT_TRUE(read(content + "\n\n201\n")->moreLines);
    EXPECT_TRUE(read("1\n2\n3\n", 1, 2)->moreLines);
}

TEST_F(PointLinesTest, LineEndingsOfEverySystem)
{
    read("1;10\r\n2;20\r3;30\n4;40");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_DOUBLE_EQ(points().x[i], i);
        EXPECT_DOUBLE_EQ(points().y[i], 10.0 * i);
        EXPECT_EQ(grid().cell(i, 2), std::to_string(10 * i));
    }
}

TEST_F(PointLinesTest, ByteOrderMarkOnlyAtTheStartIsSkipped)
{
    const std::string mark = "\xEF\xBB\xBF";
    read(mark + "1,5;2\n" + mark + "3;4\n");
    EXPECT_EQ(grid().cell(1, 1), "1.5");
    EXPECT_DOUBLE_EQ(points().x[1], 1.5);
    EXPECT_EQ(grid().cell(2, 1), mark + "3"); // inside the file it is text like any other
}

// The same points saved by spreadsheet programs on Windows: a header in the
// code page, "Unicode text" with its mark, tabs and decimal commas.
TEST_F(PointLinesTest, EveryEncodingOfTheSameFileReadsTheSame)
{
    const std::u16string text = u"T(\u00B0C)\tp\r\n1,5\t2\r\n3\t4,25\r\n";
    const auto utf16 = [&](bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    const std::string utf8 = "T(\xC2\xB0" "C)\tp\r\n1,5\t2\r\n3\t4,25\r\n";
    const struct {
        const char* what;
        std::string bytes;
    } files[] = {
        {"UTF-8", utf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8},
        {"Windows-1252", "T(\xB0" "C)\tp\r\n1,5\t2\r\n3\t4,25\r\n"},
        {"UTF-16 little-endian", utf16(false)},
        {"UTF-16 big-endian", utf16(true)},
        {"UTF-16 cut after an odd byte", utf16(false) + "4"},
    };
    for (const auto& file : files) {
        imported.reset();
        ASSERT_TRUE(read(file.bytes)) << file.what;
        EXPECT_EQ(grid().cell(1, 1), "T(\xC2\xB0" "C)") << file.what;
        EXPECT_EQ(grid().cell(2, 1), "1.5") << file.what;
        EXPECT_EQ(points().x[2], 1.5) << file.what;
        EXPECT_EQ(points().y[3], 4.25) << file.what;
        EXPECT_EQ(grid().cell(4, 1), "") << file.what;
    }
}

TEST_F(PointLinesTest, TextThatIsNotANumberIsShownAsItIs)
{
    points().x[1] = 3.0;
    read("abc;2,5x\n");
    EXPECT_EQ(grid().cell(1, 1), "abc");
    EXPECT_EQ(grid().cell(1, 2), "2.5x");
    EXPECT_DOUBLE_EQ(points().x[1], 0.0);
}

TEST_F(PointLinesTest, MissingFile)
{
    const std::string name = (folder.path() / "assente.txt").string();
    grid().setCell(1, 1, "7");
    const auto outcome = readPointLines(name, 1, 200, imported.target());
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.failure(), " IL FILE:" + name + " NON ESISTE!");
    EXPECT_EQ(grid().cell(1, 1), "7");
}

TEST_F(PointLinesTest, ReadErrorGivesTheSystemsReason)
{
    const std::string name = folder.path().string(); // a folder exists but cannot be read as text
    const auto outcome = readPointLines(name, 1, 200, imported.target());
    ASSERT_FALSE(outcome);
    EXPECT_EQ(outcome.failure(), "errore di lettura del file " + name + ": è una cartella");
}

} // namespace
} // namespace calvero
