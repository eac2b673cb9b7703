#include "entry/importcommand.h"

#include "import_target.h"
#include "../tempfolder.h"
#include "xlsfixture.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

calvero::testing::ImportTarget imported;

using testing::TempFolder;
using Messages = std::vector<std::string>;

TEST(PointFileKind, ExtensionWithoutRegardToCase)
{
    EXPECT_EQ(pointFileKind("/dati/punti.csv"), PointFileKind::Text);
    EXPECT_EQ(pointFileKind("/dati/DATI.CSV"), PointFileKind::Text);
    EXPECT_EQ(pointFileKind("misure.Txt"), PointFileKind::Text);
    EXPECT_EQ(pointFileKind("/dati/DATI.XLS"), PointFileKind::Spreadsheet);
    EXPECT_EQ(pointFileKind("punti.xls"), PointFileKind::Spreadsheet);
    EXPECT_EQ(pointFileKind("punti.xlsx"), PointFileKind::Spreadsheet);
    EXPECT_EQ(pointFileKind("/dati/Punti.ODS"), PointFileKind::Spreadsheet);
    EXPECT_EQ(pointFileKind("punti.xlsm"), PointFileKind::Unknown);
    EXPECT_EQ(pointFileKind("punti.dat"), PointFileKind::Unknown);
    EXPECT_EQ(pointFileKind("datitxt"), PointFileKind::Unknown);
    EXPECT_EQ(pointFileKind("/cartella.csv/punti"), PointFileKind::Unknown);
}

class ImportCommandTest : public ::testing::Test {
protected:
    void SetUp() override { imported.reset(); }
    PointGrid& grid() { return imported.grid; }
    TempFolder folder;
};

TEST_F(ImportCommandTest, TextFileWithCapitalExtension)
{
    const std::string name = folder.write("DATI.CSV", "1;2\n3;4\n");
    EXPECT_EQ(importPointFile(name, 2, imported.target()), Failure{});
    EXPECT_EQ(grid().cell(2, 1), "3");
    EXPECT_DOUBLE_EQ(imported.points.y[2], 4.0);
}

TEST_F(ImportCommandTest, TextFileReadsAllTwoHundredLines)
{
    std::string content;
    for (int i = 1; i <= 10; ++i) content += std::to_string(i) + ";" + std::to_string(i) + "\n";
    EXPECT_EQ(importPointFile(folder.write("punti.txt", content), 2, imported.target()), Failure{});
    EXPECT_EQ(grid().cell(10, 1), "10");
    EXPECT_DOUBLE_EQ(imported.points.x[10], 10.0);
}

TEST_F(ImportCommandTest, LongTextFileIsReportedAfterTheImport)
{
    std::string content;
    for (int i = 1; i <= 201; ++i) content += std::to_string(i) + "\n";
    EXPECT_EQ(importPointFile(folder.write("lungo.csv", content), 2, imported.target()),
              Failure{"lette le prime 200 righe del file"});
    EXPECT_EQ(grid().cell(200, 1), "200");
}

TEST_F(ImportCommandTest, FailuresGiveTheirMessages)
{
    const std::string missing = (folder.path() / "assente.txt").string();
    EXPECT_EQ(importPointFile(missing, 2, imported.target()), Failure{" IL FILE:" + missing + " NON ESISTE!"});

    const std::string other = folder.write("punti.dat", "1;2\n");
    EXPECT_EQ(importPointFile(other, 2, imported.target()), Failure{"tipo di file non riconosciuto: " + other});

    grid().setCell(1, 1, "5");
    const std::string fake = folder.write("finto.XLS", "non sono un foglio di calcolo");
    EXPECT_EQ(importPointFile(fake, 2, imported.target()), Failure{"impossibile leggere il file EXCEL: " + fake});
    EXPECT_EQ(grid().cell(1, 1), "5");
    EXPECT_EQ(grid().cell(1, 2), "");
}

TEST_F(ImportCommandTest, SpreadsheetFromTheChosenRow)
{
    if (testing::pythonWithXlwt().empty()) GTEST_SKIP() << "python3-xlwt is needed to build .xls files";
    const auto path = folder.path() / "PUNTI.XLS";
    ASSERT_TRUE(testing::writeWorkbook(path, R"(
ws.write(0, 0, 'titolo')
ws.write(2, 0, 'X'); ws.write(2, 1, 'Y')
ws.write(3, 0, 1.25); ws.write(3, 1, 8)
)"));
    EXPECT_EQ(importPointFile(path.string(), 4, imported.target()), Failure{});
    EXPECT_EQ(grid().cell(1, 1), "1.25");
    EXPECT_EQ(grid().cell(1, 2), "8");
    EXPECT_DOUBLE_EQ(imported.points.x[1], 0.0); // a spreadsheet fills the grid only
}

TEST(CopyGridToPoints, RowsWithAFirstCellSetTheirPoint)
{
    PointGrid grid;
    PointSet points;
    points.x[2] = 11.0;
    points.y[2] = 12.0;
    points.y[5] = 3.0;
    grid.setCell(1, 1, "1.5");
    grid.setCell(1, 2, "-2e1");
    grid.setCell(1, 3, "7");
    grid.setCell(2, 2, "99"); // column 1 empty: the row is skipped
    grid.setCell(5, 1, "7");  // y empty gives 0
    grid.setCell(6, 1, "abc");
    grid.setCell(6, 2, "  4");
    grid.setCell(200, 1, "200");
    copyGridToPoints(grid, points);

    EXPECT_DOUBLE_EQ(points.x[1], 1.5);
    EXPECT_DOUBLE_EQ(points.y[1], -20.0);
    EXPECT_DOUBLE_EQ(points.z[1], 7.0);
    EXPECT_DOUBLE_EQ(points.x[2], 11.0);
    EXPECT_DOUBLE_EQ(points.y[2], 12.0);
    EXPECT_DOUBLE_EQ(points.x[5], 7.0);
    EXPECT_DOUBLE_EQ(points.y[5], 0.0);
    EXPECT_DOUBLE_EQ(points.x[6], 0.0);
    EXPECT_DOUBLE_EQ(points.y[6], 4.0);
    EXPECT_DOUBLE_EQ(points.x[200], 200.0);
}

} // namespace
} // namespace calvero
