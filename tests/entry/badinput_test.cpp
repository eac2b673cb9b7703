// The point import on files that are not what it expects: truncated,
// binary, oversized and malformed text files, and spreadsheet files that are
// no workbook. A text file keeps what it read line by line, in place of
// every point before it, and never reaches beyond the 200 places; a file that
// cannot be read says so and leaves the grid and the data set as they were.
#include "entry/importcommand.h"
#include "spreadsheet/spreadsheetimport.h"
#include "spreadsheet/workbookwriter.h"

#include "../session_snapshot.h"
#include "entry/gridinput.h"
#include "../plain_inputs.h"
#include "../tempfolder.h"
#include "xlsfixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <variant>

namespace calvero {
namespace {

using testing::SessionSnapshot;
using testing::TempFolder;
using Messages = std::vector<std::string>;

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}


class BadPointFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::loadDistinctiveDataSet(doc, inputs);
        before = SessionSnapshot::take(doc, inputs);
    }
    Failure importPointFile(const std::string& name, int firstRow)
    {
        return calvero::importPointFile(name, firstRow, {doc.grid, doc.points});
    }
    // What the next calculation of the grid says: its refusal, or nothing.
    Messages calculationRefusal()
    {
        const Checked<CalculationInput> in = readCalculationInput(doc.grid, doc.points, {doc.kind, 2, "", ""});
        if (!in) return {in.failure()};
        const Outcome outcome = calculate(*in);
        if (!outcome) return {outcome.failure()};
        return {};
    }

    Document doc;
    InputFields inputs;

    // Rows and entries from `row` to 200 are empty: nothing of the data set
    // before the import stays beside the file's points.
    void expectEmptyFrom(int row) const
    {
        const Document& s = doc;
        for (int r = row; r <= MaxPoints; ++r) {
            EXPECT_EQ(s.points.x[r], 0.0) << "x[" << r << "]";
            EXPECT_EQ(s.points.y[r], 0.0) << "y[" << r << "]";
            EXPECT_EQ(s.points.z[r], 0.0) << "z[" << r << "]";
            for (int c = 1; c <= PointGrid::Columns; ++c)
                EXPECT_EQ(s.grid.cell(r, c), "") << "row " << r << " column " << c;
        }
    }
    void expectUnchanged() const
    {
        const SessionSnapshot after = SessionSnapshot::take(doc, inputs);
        EXPECT_TRUE(after == before) << "changed: " << after.differencesFrom(before);
    }

    TempFolder folder;
    SessionSnapshot before;
};

// Text point files.

TEST_F(BadPointFileTest, FiftyMegabytesOfDigitsOnOneLine)
{
    const std::string name = folder.write("cifre.txt", std::string(50u << 20, '7') + "\n");
    EXPECT_EQ(importPointFile(name, 2), Failure{});
    // The number is read from the first 130 characters, as everywhere, and
    // the grid keeps those, not fifty megabytes.
    EXPECT_EQ(doc.grid.cell(1, 1), std::string(130, '7'));
    EXPECT_DOUBLE_EQ(doc.points.x[1], 7.777777777777778e129);
    EXPECT_EQ(doc.points.y[1], 0.0);
    expectEmptyFrom(2);
}

TEST_F(BadPointFileTest, HugeLineDoesNotSwallowTheLinesAfterIt)
{
    // Line 2 holds a field of three mebibytes; line 4 has its only field past
    // the first mebibyte, the part of a line that is read.
    const std::string name = folder.write("misto.csv", "1;2\n9;" + std::string(3u << 20, 'x') + "\n5;6;7\n" +
                                                           std::string(2u << 20, ' ') + "8\n");
    EXPECT_EQ(importPointFile(name, 2), Failure{});
    EXPECT_EQ(doc.grid.cell(2, 1), "9");
    EXPECT_EQ(doc.grid.cell(2, 2), std::string(130, 'x'));
    EXPECT_EQ(doc.points.y[2], 0.0);
    EXPECT_EQ(doc.grid.cell(3, 3), "7");
    EXPECT_EQ(doc.points.z[3], 7.0);
    EXPECT_EQ(doc.grid.cell(4, 1), "");
    expectEmptyFrom(4);
}

TEST_F(BadPointFileTest, HundredThousandLinesStopAtTheTwoHundredth)
{
    std::string content;
    for (int i = 1; i <= 100000; ++i) content += std::to_string(i) + ";" + std::to_string(2 * i) + "\r\n";
    EXPECT_EQ(importPointFile(folder.write("lungo.txt", content), 2),
              Failure{"lette le prime 200 righe del file"});
    EXPECT_EQ(doc.points.x[200], 200.0); // not the last line's value
    EXPECT_EQ(doc.points.y[200], 400.0);
    EXPECT_EQ(doc.grid.cell(200, 1), "200");
    EXPECT_EQ(doc.points.z[200], 0.0);
}

TEST_F(BadPointFileTest, BinaryFileNeverReachesBeyondItsPlaces)
{
    const std::string name = folder.write("binario.txt", randomBytes(1u << 20, 11));
    const Failure said = importPointFile(name, 2);
    EXPECT_TRUE(!said || said == Failure{"lette le prime 200 righe del file"});
    const Document& s = doc;
    for (int r = 1; r <= MaxPoints; ++r) {
        EXPECT_TRUE(std::isfinite(s.points.x[r]) && std::isfinite(s.points.y[r]) && std::isfinite(s.points.z[r]));
        for (int c = 1; c <= PointGrid::Columns; ++c) EXPECT_LE(characterCount(s.grid.cell(r, c)), 130u);
    }
    // The next calculation refuses the texts that are no numbers, with their place.
    const Messages refusal = calculationRefusal();
    ASSERT_EQ(refusal.size(), 1u);
    EXPECT_EQ(refusal[0].rfind("valore non numerico alla riga ", 0), 0u) << refusal[0];
}

TEST_F(BadPointFileTest, TruncatedFileKeepsWhatItHolds)
{
    // Cut in the middle of the third line, after its separator.
    const std::string name = folder.write("troncato.csv", "1;2\n3;4\n5;");
    EXPECT_EQ(importPointFile(name, 2), Failure{});
    EXPECT_EQ(doc.points.x[3], 5.0);
    EXPECT_EQ(doc.points.y[3], 0.0);
    EXPECT_EQ(doc.grid.cell(3, 2), "");
    expectEmptyFrom(4);
}

TEST_F(BadPointFileTest, MalformedLinesShowTheirTextAndAreRefusedLater)
{
    const std::string name = folder.write("strano.csv", std::string("1;2\nportata;pressione\n\0\0;\x01\n", 27));
    EXPECT_EQ(importPointFile(name, 2), Failure{});
    EXPECT_EQ(doc.grid.cell(2, 1), "portata");
    EXPECT_EQ(doc.points.x[2], 0.0);
    expectEmptyFrom(4);
    EXPECT_EQ(calculationRefusal(), Messages{"valore non numerico alla riga 2, colonna X: portata"});
}

TEST_F(BadPointFileTest, FolderOrMissingFileSaysSoAndChangesNothing)
{
    const std::filesystem::path folderName = folder.path() / "cartella.txt";
    std::filesystem::create_directory(folderName);
    const Failure said = importPointFile(folderName.string(), 2);
    ASSERT_TRUE(said);
    EXPECT_EQ(said->rfind("errore di lettura del file " + folderName.string() + ": ", 0), 0u) << *said;
    expectUnchanged();

    const std::string missing = (folder.path() / "assente.csv").string();
    EXPECT_EQ(importPointFile(missing, 2), Failure{" IL FILE:" + missing + " NON ESISTE!"});
    expectUnchanged();
}

// Spreadsheet files.

class BadWorkbookTest : public BadPointFileTest {
protected:
    void expectRefused(const std::string& name)
    {
        EXPECT_EQ(importPointFile(name, 2), Failure{"impossibile leggere il file EXCEL: " + name});
        expectUnchanged();
    }
    // A real workbook of this program's own writer.
    std::string workbookBytes()
    {
        Worksheet sheet("FOGLIO1");
        for (int r = 1; r <= 150; ++r) {
            sheet.setNumber({r, 1}, r * 1.5);
            sheet.setNumber({r, 2}, r * r * 0.25);
            sheet.setText({r, 3}, "punto " + std::to_string(r));
        }
        const Bytes file = workbookFile(sheet);
        return std::string(reinterpret_cast<const char*>(file.data()), file.size());
    }
};

TEST_F(BadWorkbookTest, TwentyMegabytesOfGarbage)
{
    expectRefused(folder.write("spazzatura.xls", randomBytes(20u << 20, 5)));
}

TEST_F(BadWorkbookTest, CompoundFileHeaderFollowedByGarbage)
{
    const std::string real = workbookBytes();
    expectRefused(folder.write("intestazione.xls", real.substr(0, 512) + randomBytes(4u << 20, 9)));
}

TEST_F(BadWorkbookTest, EmptyTextAndFolderAreNoWorkbooks)
{
    expectRefused(folder.write("vuoto.xls", ""));
    expectRefused(folder.write("testo.xls", "1;2\n3;4\n"));
    const std::filesystem::path folderName = folder.path() / "cartella.xls";
    std::filesystem::create_directory(folderName);
    expectRefused(folderName.string());
    expectRefused((folder.path() / "assente.xls").string());
}

TEST_F(BadWorkbookTest, TruncatedWorkbookIsRefusedOrReadAsFarAsItGoes)
{
    const std::string real = workbookBytes();
    for (const std::size_t length : {std::size_t{512}, std::size_t{1536}, real.size() / 2, real.size() - 1}) {
        SetUp();
        const std::string name = folder.write("troncato" + std::to_string(length) + ".xls", real.substr(0, length));
        const Failure said = importPointFile(name, 1);
        if (said) {
            EXPECT_EQ(said, Failure{"impossibile leggere il file EXCEL: " + name}) << length;
            expectUnchanged();
            continue;
        }
        // Read: the grid holds the sheet's texts as far as they go; the points
        // before are gone, the sheet's reach the data set when the grid is counted.
        for (int r = 1; r <= 150; ++r) {
            const std::string& x = doc.grid.cell(r, 1);
            if (!x.empty()) {
                EXPECT_EQ(x, spreadsheetNumberText(r * 1.5)) << length << " row " << r;
            }
        }
        EXPECT_TRUE(doc.points.x == PointArray{}) << length;
    }
}

TEST_F(BadWorkbookTest, SheetLargerThanTheBlockFillsOnlyTheGrid)
{
    const std::string statements = "for r in range(5000):\n"
                                   "    for c in range(10):\n"
                                   "        if (r, c) != (0, 2):\n"
                                   "            ws.write(r, c, r * 10 + c)\n"
                                   "ws.write(0, 2, 'x' * 10000)\n";
    const std::filesystem::path name = folder.path() / "grande.xls";
    if (!testing::writeWorkbook(name, statements)) GTEST_SKIP() << "no workbook from xlwt";
    EXPECT_EQ(importPointFile(name.string(), 1), Failure{});
    EXPECT_EQ(doc.grid.cell(200, 2), "1991");
    EXPECT_EQ(doc.grid.cell(1, 3), std::string(130, 'x'));
    EXPECT_TRUE(doc.points.x == PointArray{});
}

} // namespace
} // namespace calvero
