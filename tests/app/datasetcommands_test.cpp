#include "app_test_support.h"

#include "app/datasetcommands.h"
#include "app/datasetfile.h"
#include "fit/frontend.h"
#include "fit/numtext.h"
#include "fit/workingset.h"

#include <cstring>
#include <filesystem>

using namespace calvero;
using namespace calvero::testing;

namespace {

class DataSetCommands : public AppTest {
protected:
    // Three points on y = 1 + 2x + 3x², given in descending x.
    void parabola()
    {
        setPoint(1, 3, 34, 1);
        setPoint(2, 2, 17, 2);
        setPoint(3, 1, 6, 3);
        mainInputs().setKindItemIndex(2);
        mainInputs().setDegreeValue(2);
    }
    std::string savedFile(const std::string& name)
    {
        const std::string path = pathOf(name);
        EXPECT_TRUE(writeDataSetFile(path));
        resetSession();
        setPresenter(&shown);
        return path;
    }
};

bool startsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

} // namespace

TEST_F(DataSetCommands, ResetGivesTheStartUpDataSet)
{
    setPoint(1, 4, 5, 6);
    session().grid.setCell(1, 1, "4");
    session().result.coefficients[1] = 9;
    session().fit = {FitType::Power, 7, 7};
    session().points.count = 1;
    mainInputs().setKindItemIndex(1);
    mainInputs().setDegreeValue(7);
    mainInputs().setInitialTemperatureText("15");
    mainInputs().setFinalTemperatureText("60");

    resetDataSet();
    const Session& s = session();
    EXPECT_EQ(s.fit.kind, FitType::Polynomial);
    EXPECT_EQ(s.fit.degree, 2);
    EXPECT_EQ(s.fit.curveDegree, 2);
    EXPECT_EQ(mainInputs().kindItemIndex(), 2);
    EXPECT_EQ(mainInputs().degreeValue(), 2);
    EXPECT_EQ(mainInputs().initialTemperatureText(), "");
    EXPECT_EQ(mainInputs().finalTemperatureText(), "");
    EXPECT_EQ(s.points.x[1], 0.0);
    EXPECT_EQ(s.points.z[1], 0.0);
    EXPECT_EQ(s.grid.cell(1, 1), "");
    EXPECT_EQ(s.result.coefficients[1], 0.0);
    EXPECT_TRUE(shown.events.empty());
}

TEST_F(DataSetCommands, ReadAndCalculateShowsTheReportThenTheGraph)
{
    parabola();
    const std::string path = savedFile("parabola.txt");
    ASSERT_TRUE(readAndCalculate(path));

    ASSERT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph}));
    EXPECT_EQ(shown.events[0].text, path);
    EXPECT_EQ(shown.events[1].text, "file:" + path);
    EXPECT_FALSE(shown.events[0].reportLines.empty());
    const Session& s = session();
    EXPECT_EQ(s.points.count, 3);
    EXPECT_EQ(s.points.x[1], 1.0); // sorted on reading
    EXPECT_NEAR(s.result.curve[0], 1.0, 1e-9);
    EXPECT_NEAR(s.result.curve[1], 2.0, 1e-9);
    EXPECT_NEAR(s.result.curve[2], 3.0, 1e-9);
}

TEST_F(DataSetCommands, CalculationUsesTheValueAsTheGridHoldsIt)
{
    setPoint(1, 1, 1.123456789);
    setPoint(2, 2, 2);
    mainInputs().setKindItemIndex(2);
    mainInputs().setDegreeValue(1);
    const std::string path = savedFile("line.txt");
    ASSERT_TRUE(readAndCalculate(path));
    EXPECT_EQ(session().points.y[1], parseDecimalOrZero(session().grid.cell(1, 2)));
    EXPECT_NEAR(session().points.y[1], 1.123456789, 1e-5);
    EXPECT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph}));
}

TEST_F(DataSetCommands, ReadAndCalculateOfASurfaceShowsOnlyTheReport)
{
    int i = 0;
    for (double x : {3.0, 1.0, 2.0})
        for (double y : {1.0, 2.0, 3.0}) {
            ++i;
            setPoint(i, x, y, 1 + x + 2 * y + x * y);
        }
    mainInputs().setKindItemIndex(6);
    mainInputs().setDegreeValue(2);
    const std::string path = savedFile("surface.txt");
    ASSERT_TRUE(readAndCalculate(path));
    EXPECT_EQ(shown.kinds(), std::vector<Shown>{Shown::Report});
    EXPECT_EQ(session().fit.kind, FitType::SurfaceXY);
    EXPECT_EQ(session().points.count, 9);
    for (int r = 2; r <= 9; ++r) EXPECT_LE(session().points.x[r - 1], session().points.x[r]);
}

TEST_F(DataSetCommands, ReadAndCalculateOfAFileWithoutKindIsRefusedByTheDriver)
{
    setPoint(1, 1, 1);
    setPoint(2, 2, 4);
    mainInputs().setKindItemIndex(-1);
    const std::string path = savedFile("nokind.txt");
    ASSERT_TRUE(readAndCalculate(path));
    EXPECT_EQ(mainInputs().kindItemIndex(), -1);
    EXPECT_EQ(shown.messages(), std::vector<std::string>{" tipo non scelto= 0"});
    EXPECT_EQ(shown.events.size(), 1u);
}

TEST_F(DataSetCommands, ReadAndCalculateOfABadFileCalculatesNothing)
{
    const std::string path = pathOf("lettera.txt");
    writeText(path, "Gentile cliente,\r\nin allegato i dati.\r\n");
    EXPECT_FALSE(readAndCalculate(path));
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"il file non contiene dati validi: " + path});
    EXPECT_EQ(shown.events.size(), 1u);
    EXPECT_EQ(session().currentDataSetName, "");

    EXPECT_FALSE(readAndCalculate(pathOf("manca.txt")));
    EXPECT_EQ(shown.events.size(), 2u);
    EXPECT_TRUE(startsWith(shown.events[1].text, "errore di lettura del file "));
}

TEST_F(DataSetCommands, SaveWritesTheFileThenTheWorkbookNamedAfterIt)
{
    parabola();
    const std::string path = pathOf("pompa.dat");
    ASSERT_TRUE(saveDataSet(path));
    const std::string workbook = pathOf("pompa_OUTPUT.xls");
    EXPECT_EQ(session().currentDataSetName, path);
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"salvato il file EXCEL :" + workbook});
    EXPECT_EQ(crlfLines(readBytes(path)).size(), 913u);
    // An OLE2 compound file.
    EXPECT_EQ(readBytes(workbook).substr(0, 4), "\xD0\xCF\x11\xE0");
}

TEST_F(DataSetCommands, WorkbookNameDropsTheWholeExtension)
{
    parabola();
    ASSERT_TRUE(saveDataSet(pathOf("dati.x")));
    EXPECT_EQ(shown.messages(), std::vector<std::string>{"salvato il file EXCEL :" + pathOf("dati_OUTPUT.xls")});
    EXPECT_TRUE(std::filesystem::exists(pathOf("dati_OUTPUT.xls")));
}

TEST_F(DataSetCommands, FailedWorkbookIsNotReportedAsSaved)
{
    parabola();
    const std::string workbook = pathOf("b_OUTPUT.xls");
    std::filesystem::create_directory(workbook); // a folder stands where the workbook would go
    ASSERT_TRUE(saveDataSet(pathOf("b.txt")));
    ASSERT_EQ(shown.messages().size(), 1u);
    EXPECT_TRUE(startsWith(shown.messages()[0], "impossibile salvare il file EXCEL: " + workbook));
    // The data set file itself was saved and is the current one.
    EXPECT_EQ(session().currentDataSetName, pathOf("b.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file(pathOf("b.txt")));
}

TEST_F(DataSetCommands, FailedSaveLeavesTheNameAndExportsNothing)
{
    parabola();
    session().currentDataSetName = "prima.txt";
    const std::string path = pathOf("manca/dati.txt");
    EXPECT_FALSE(saveDataSet(path));
    EXPECT_EQ(shown.messages(),
              std::vector<std::string>{"errore di scrittura del file " + path + ": " + std::strerror(ENOENT)});
    EXPECT_EQ(session().currentDataSetName, "prima.txt");
}

TEST_F(DataSetCommands, SaveAfterReadingKeepsTheTemperatures)
{
    setPoint(1, 10, 25);
    setPoint(2, 20, 33);
    mainInputs().setKindItemIndex(5);
    mainInputs().setInitialTemperatureText("15");
    mainInputs().setFinalTemperatureText("60");
    const std::string path = savedFile("tt.txt");
    ASSERT_TRUE(readAndCalculate(path));
    ASSERT_TRUE(saveDataSet(pathOf("tt2.txt")));
    const auto lines = crlfLines(readBytes(pathOf("tt2.txt")));
    EXPECT_EQ(lines[11], formatReal(15, 18, 11));
    EXPECT_EQ(lines[12], formatReal(60, 18, 11));
    EXPECT_EQ(session().result.curve[8], 15.0);
}
