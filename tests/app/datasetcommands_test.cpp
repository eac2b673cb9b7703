#include "app_test_support.h"

#include "app/datasetcommands.h"
#include "app/datasetfile.h"
#include "common/numtext.h"
#include "entry/importcommand.h"
#include "entry/pointordering.h"
#include "fit/workingset.h"

#include <filesystem>

using namespace calvero;
using namespace calvero::testing;

namespace {

class DataSetCommands : public AppTest {
protected:
    // Three points on y = 1 + 2x + 3x², given in descending x, in the data
    // set and in the grid (which a save reads).
    void parabola()
    {
        setPoint(1, 3, 34, 1);
        setPoint(2, 2, 17, 2);
        setPoint(3, 1, 6, 3);
        fillPointGrid(doc.grid, doc.points);
        inputs.setKindItemIndex(2);
        inputs.setDegreeValue(2);
    }
    std::string savedFile(const std::string& name)
    {
        const std::string path = pathOf(name);
        EXPECT_TRUE(writeDataSetFile(path));
        resetDocument();
        return path;
    }
};

bool startsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

} // namespace

TEST_F(DataSetCommands, ResetGivesTheStartUpDataSet)
{
    setPoint(1, 4, 5, 6);
    doc.grid.setCell(1, 1, "4");
    doc.kind = FitType::Power;
    doc.degree = 7;
    doc.points.count = 1;
    inputs.setKindItemIndex(1);
    inputs.setDegreeValue(7);
    inputs.setInitialTemperatureText("15");
    inputs.setFinalTemperatureText("60");

    resetDataSet(work);
    const Document& s = doc;
    EXPECT_EQ(s.kind, FitType::Polynomial);
    EXPECT_EQ(s.degree, 2);
    EXPECT_EQ(inputs.kindItemIndex(), 2);
    EXPECT_EQ(inputs.degreeValue(), 2);
    EXPECT_EQ(inputs.initialTemperatureText(), "");
    EXPECT_EQ(inputs.finalTemperatureText(), "");
    EXPECT_EQ(s.points.x[1], 0.0);
    EXPECT_EQ(s.points.z[1], 0.0);
    EXPECT_EQ(s.grid.cell(1, 1), "");
    EXPECT_TRUE(shown.events.empty());
}

TEST_F(DataSetCommands, ReadAndCalculateShowsTheReportThenTheGraph)
{
    parabola();
    const std::string path = savedFile("parabola.txt");
    ASSERT_TRUE(toldAsTheWindowDoes(readAndCalculate(work, path)));

    ASSERT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph}));
    EXPECT_EQ(shown.events[0].text, path);
    EXPECT_EQ(shown.events[1].text, "file:" + path);
    EXPECT_FALSE(shown.events[0].reportLines.empty());
    const Document& s = doc;
    EXPECT_EQ(s.points.count, 3);
    EXPECT_EQ(s.points.x[1], 1.0); // sorted on reading
    EXPECT_NEAR(s.coefficients.block[1], 1.0, 1e-9);
    EXPECT_NEAR(s.coefficients.block[2], 2.0, 1e-9);
    EXPECT_NEAR(s.coefficients.block[3], 3.0, 1e-9);
}

TEST_F(DataSetCommands, AFileNamedOnTheCommandLineIsReadOrImported)
{
    // A data set file: the same report as "Leggi i dati dal disco" shows.
    parabola();
    const std::string path = savedFile("parabola.txt");
    ASSERT_TRUE(toldAsTheWindowDoes(readAndCalculate(work, path)));
    const std::vector<ShownEvent> read = shown.events;
    resetDocument();
    shown.events.clear();
    ASSERT_TRUE(toldAsTheWindowDoes(openFile(work, path)));
    ASSERT_EQ(shown.events.size(), read.size());
    EXPECT_EQ(shown.events[0].reportLines, read[0].reportLines);
    EXPECT_EQ(shown.events[0].text, path);

    // A point file goes into the grid as the import puts it, and nothing is calculated yet.
    const std::string points = pathOf("punti.csv");
    writeText(points, "1;2,5\n2;4,5\n");
    resetDocument();
    shown.events.clear();
    ASSERT_TRUE(toldAsTheWindowDoes(openFile(work, points)));
    EXPECT_TRUE(shown.events.empty());
    EXPECT_EQ(doc.grid.cell(2, 2), "4.5");
    EXPECT_EQ(doc.points.y[1], 2.5);

    // Neither: the data set file's own refusal.
    const std::string other = pathOf("note.dat");
    writeText(other, "appunti");
    EXPECT_FALSE(toldAsTheWindowDoes(openFile(work, other)));
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"il file non contiene dati validi: " + other});
}

TEST_F(DataSetCommands, CalculationUsesTheValueAsTheGridHoldsIt)
{
    setPoint(1, 1, 1.123456789);
    setPoint(2, 2, 2);
    inputs.setKindItemIndex(2);
    inputs.setDegreeValue(1);
    const std::string path = savedFile("line.txt");
    ASSERT_TRUE(toldAsTheWindowDoes(readAndCalculate(work, path)));
    EXPECT_EQ(doc.points.y[1], parseDecimalOrZero(doc.grid.cell(1, 2)));
    EXPECT_NEAR(doc.points.y[1], 1.123456789, 1e-5);
    EXPECT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph}));
}

TEST_F(DataSetCommands, ReadAndCalculateOfASurfaceShowsTheReportThenItsPicture)
{
    int i = 0;
    for (double x : {3.0, 1.0, 2.0})
        for (double y : {1.0, 2.0, 3.0}) {
            ++i;
            setPoint(i, x, y, 1 + x + 2 * y + x * y);
        }
    inputs.setKindItemIndex(6);
    inputs.setDegreeValue(2);
    const std::string path = savedFile("surface.txt");
    ASSERT_TRUE(toldAsTheWindowDoes(readAndCalculate(work, path)));
    EXPECT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph}));
    EXPECT_EQ(doc.kind, FitType::SurfaceXY);
    EXPECT_EQ(doc.points.count, 9);
    for (int r = 2; r <= 9; ++r) EXPECT_LE(doc.points.x[r - 1], doc.points.x[r]);
}

TEST_F(DataSetCommands, ReadAndCalculateOfAFileWithoutKindIsRefusedByTheDriver)
{
    setPoint(1, 1, 1);
    setPoint(2, 2, 4);
    inputs.setKindItemIndex(-1);
    const std::string path = savedFile("nokind.txt");
    EXPECT_FALSE(toldAsTheWindowDoes(readAndCalculate(work, path))) << "read, then refused";
    EXPECT_EQ(inputs.kindItemIndex(), -1);
    EXPECT_EQ(shown.messages(), std::vector<std::string>{" tipo non scelto= 0"});
    EXPECT_EQ(shown.events.size(), 1u);
}

TEST_F(DataSetCommands, ReadAndCalculateOfABadFileCalculatesNothing)
{
    const std::string path = pathOf("lettera.txt");
    writeText(path, "Gentile cliente,\r\nin allegato i dati.\r\n");
    EXPECT_FALSE(toldAsTheWindowDoes(readAndCalculate(work, path)));
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"il file non contiene dati validi: " + path});
    EXPECT_EQ(shown.events.size(), 1u);
    EXPECT_EQ(doc.currentDataSetName, "");

    EXPECT_FALSE(toldAsTheWindowDoes(readAndCalculate(work, pathOf("manca.txt"))));
    EXPECT_EQ(shown.events.size(), 2u);
    EXPECT_TRUE(startsWith(shown.events[1].text, "errore di lettura del file "));
}

TEST_F(DataSetCommands, SaveWritesTheFileThenTheWorkbookNamedAfterIt)
{
    parabola();
    const std::string path = pathOf("pompa.dat");
    ASSERT_TRUE(toldAsTheWindowDoes(saveDataSet(work, path)));
    const std::string workbook = pathOf("pompa_OUTPUT.xls");
    EXPECT_EQ(doc.currentDataSetName, path);
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"salvato il file EXCEL :" + workbook});
    EXPECT_EQ(crlfLines(readBytes(path)).size(), 913u);
    // An OLE2 compound file.
    EXPECT_EQ(readBytes(workbook).substr(0, 4), "\xD0\xCF\x11\xE0");
}

TEST_F(DataSetCommands, WorkbookNameDropsTheWholeExtension)
{
    parabola();
    ASSERT_TRUE(toldAsTheWindowDoes(saveDataSet(work, pathOf("dati.x"))));
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"salvato il file EXCEL :" + pathOf("dati_OUTPUT.xls")});
    EXPECT_TRUE(std::filesystem::exists(pathOf("dati_OUTPUT.xls")));
}

TEST_F(DataSetCommands, FailedWorkbookIsNotReportedAsSaved)
{
    parabola();
    const std::string workbook = pathOf("b_OUTPUT.xls");
    std::filesystem::create_directory(workbook); // a folder stands where the workbook would go
    ASSERT_TRUE(toldAsTheWindowDoes(saveDataSet(work, pathOf("b.txt"))));
    ASSERT_EQ(shown.messages().size(), 1u);
    EXPECT_TRUE(startsWith(shown.messages()[0], "impossibile salvare il file EXCEL: " + workbook));
    // The data set file itself was saved and is the current one.
    EXPECT_EQ(doc.currentDataSetName, pathOf("b.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file(pathOf("b.txt")));
}

TEST_F(DataSetCommands, FailedSaveLeavesTheNameAndExportsNothing)
{
    parabola();
    doc.currentDataSetName = "prima.txt";
    const std::string path = pathOf("manca/dati.txt");
    EXPECT_FALSE(toldAsTheWindowDoes(saveDataSet(work, path)));
    EXPECT_EQ(shown.messages(),
              std::vector<std::string>{"errore di scrittura del file " + path + ": file o cartella inesistente"});
    EXPECT_EQ(doc.currentDataSetName, "prima.txt");
}

TEST_F(DataSetCommands, SaveAfterReadingKeepsTheTemperatures)
{
    setPoint(1, 10, 25);
    setPoint(2, 20, 33);
    inputs.setKindItemIndex(5);
    inputs.setInitialTemperatureText("15");
    inputs.setFinalTemperatureText("60");
    const std::string path = savedFile("tt.txt");
    ASSERT_TRUE(toldAsTheWindowDoes(readAndCalculate(work, path)));
    ASSERT_TRUE(toldAsTheWindowDoes(saveDataSet(work, pathOf("tt2.txt"))));
    const auto lines = crlfLines(readBytes(pathOf("tt2.txt")));
    EXPECT_EQ(lines[11], formatReal(15, 18, 11));
    EXPECT_EQ(lines[12], formatReal(60, 18, 11));
    EXPECT_EQ(doc.coefficients.block[9], 15.0);
}

TEST_F(DataSetCommands, LeavingAsksOnlyWhenTypedDataIsNotOnDisk)
{
    auto type = [this](int row, const char* x, const char* y) {
        doc.grid.setCell(row, 1, x);
        doc.grid.setCell(row, 2, y);
    };
    EXPECT_FALSE(hasUnsavedData(work)) << "nothing typed yet";

    type(1, "1,5", "2");
    type(2, "3", "4");
    EXPECT_TRUE(hasUnsavedData(work)) << "typed";
    ASSERT_EQ(saveDataSet(work, pathOf("a.txt")), std::nullopt);
    EXPECT_FALSE(hasUnsavedData(work)) << "saved as a calculation reads the grid, decimal comma included";
    EXPECT_EQ(doc.points.x[1], 1.5);

    inputs.setInitialTemperatureText("20");
    EXPECT_TRUE(hasUnsavedData(work)) << "a temperature typed";
    ASSERT_EQ(saveDataSet(work, pathOf("a.txt")), std::nullopt);
    EXPECT_FALSE(hasUnsavedData(work)) << "saved with the temperature";

    clearDataSet(work);
    EXPECT_FALSE(hasUnsavedData(work)) << "cleared: nothing to lose";

    // Two points: the file is read, its degree-2 fit refused.
    EXPECT_EQ(readAndCalculate(work, pathOf("a.txt")), "numero punti insufficiente per il grado scelto");
    EXPECT_FALSE(hasUnsavedData(work)) << "as read";
    type(2, "3", "4.5");
    EXPECT_TRUE(hasUnsavedData(work)) << "a value changed after reading";

    clearDataSet(work);
    writeText(pathOf("punti.csv"), "1;2\n2;3\n");
    ASSERT_EQ(openFile(work, pathOf("punti.csv")), std::nullopt);
    EXPECT_TRUE(hasUnsavedData(work)) << "imported";
}

TEST_F(DataSetCommands, PointFilesAreToldFromDataSetFiles)
{
    parabola();
    const std::string dataSet = savedFile("parabola.txt");
    writeText(pathOf("ventilatore.txt"), "0,5;420\n1,0;395\n");
    writeText(pathOf("note.dat"), "appunti");
    EXPECT_FALSE(holdsPointsOnly(dataSet));
    EXPECT_TRUE(holdsPointsOnly(pathOf("ventilatore.txt")));
    EXPECT_FALSE(holdsPointsOnly(pathOf("note.dat")));
}
