#include "app_test_support.h"

#include "app/calculatecommand.h"
#include "app/datasetcommands.h"
#include "app/datasetfile.h"
#include "app/equationcommand.h"
#include "common/numtext.h"
#include "entry/pointordering.h"
#include "entry/gridinput.h"
#include "fit/workingset.h"

#include <cmath>
#include <filesystem>


using namespace calvero;
using namespace calvero::testing;

namespace {

class DataSetFile : public AppTest {
protected:
    // A data set of three points of kind Polynomial, degree 2, as typed in the main window.
    void threePointPolynomial()
    {
        setPoint(1, 1.5, 2.0, 7.0);
        setPoint(2, 2.5, 4.25, 8.0);
        setPoint(3, 4.0, -1.0, 9.0);
        inputs.setKindItemIndex(2);
        inputs.setDegreeValue(2);
    }
    std::string savedText(const std::string& name)
    {
        const std::string path = pathOf(name);
        EXPECT_TRUE(writeDataSetFile(path));
        return readBytes(path);
    }
};

std::string numberLine(double value) { return formatReal(value, 18, 11); }

} // namespace

TEST_F(DataSetFile, ThreePointFileLayout)
{
    threePointPolynomial();
    const std::string text = savedText("tre.txt");
    const auto lines = crlfLines(text);
    ASSERT_EQ(lines.size(), 913u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 913);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 913);

    EXPECT_EQ(lines[0], "3");
    EXPECT_EQ(lines[1], "2");
    EXPECT_EQ(lines[2], " 3");
    for (int n = 4; n <= 13; ++n) EXPECT_EQ(lines[n - 1].size(), 18u) << "line " << n;

    const int blockStart[] = {14, 314, 614};
    const double firstValues[3][3] = {{1.5, 2.5, 4.0}, {2.0, 4.25, -1.0}, {7.0, 8.0, 9.0}};
    for (int c = 0; c < 3; ++c) {
        const int first = blockStart[c];
        for (int i = 1; i <= 3; ++i) EXPECT_EQ(lines[first + i - 2], numberLine(firstValues[c][i - 1]));
        // Points 4..200, the last of them on the line for point 200, hold the
        // values as they stand (0 here); points 201..300 hold the filler.
        for (int i = 4; i <= 200; ++i) EXPECT_EQ(lines[first + i - 2], "     0.00000000000") << "line " << first + i - 1;
        for (int i = 201; i <= 300; ++i) EXPECT_EQ(lines[first + i - 2], "x") << "line " << first + i - 1;
    }
    EXPECT_EQ(lines[212], "     0.00000000000"); // line 213: x of point 200
    EXPECT_EQ(lines[213], "x");                  // line 214: x of point 201
}

TEST_F(DataSetFile, NumbersAreFixedPointWithElevenDecimalsIn18Characters)
{
    threePointPolynomial();
    const auto lines = crlfLines(savedText("n.txt"));
    EXPECT_EQ(lines[13], "     1.50000000000");
    EXPECT_EQ(lines[615], "     9.00000000000");
    EXPECT_EQ(lines[315], "    -1.00000000000");
}

TEST_F(DataSetFile, SavingTakesTheMainWindowIntoTheFitState)
{
    setPoint(1, 10, 30);
    setPoint(2, 20, 40);
    doc.coefficients.block[1] = 0.25;
    inputs.setKindItemIndex(5);
    inputs.setDegreeValue(7);
    inputs.setInitialTemperatureText("15");
    inputs.setFinalTemperatureText(" 60.5");
    const auto lines = crlfLines(savedText("tt.txt"));

    const Document& s = doc;
    EXPECT_EQ(s.kind, FitType::TemperatureTime);
    EXPECT_EQ(s.degree, 7);
    EXPECT_EQ(s.points.count, 2);
    EXPECT_EQ(s.coefficients.block[9], 15.0);
    EXPECT_EQ(s.coefficients.block[10], 60.5);
    // The initial temperature takes the ninth curve number's place.
    EXPECT_EQ(s.coefficients.block[9], 15.0);
    EXPECT_EQ(s.coefficients.block[10], 60.5);
    EXPECT_EQ(s.points.x[2], 20.0);

    EXPECT_EQ(lines[0], "6");
    EXPECT_EQ(lines[1], "7");
    EXPECT_EQ(lines[2], " 2");
    EXPECT_EQ(lines[3], numberLine(0.25));
    EXPECT_EQ(lines[11], numberLine(15.0));
    EXPECT_EQ(lines[12], numberLine(60.5));
}

TEST_F(DataSetFile, EmptyTemperatureFieldsSaveAsZero)
{
    threePointPolynomial();
    doc.coefficients.block[9] = 3.0;
    const auto lines = crlfLines(savedText("z.txt"));
    EXPECT_EQ(lines[11], numberLine(0.0));
    EXPECT_EQ(lines[12], numberLine(0.0));
    EXPECT_EQ(doc.coefficients.block[9], 0.0);
}

TEST_F(DataSetFile, TemperaturesWithADecimalCommaAreSaved)
{
    threePointPolynomial();
    inputs.setInitialTemperatureText("15,5");
    inputs.setFinalTemperatureText(" 60,25 ");
    const auto lines = crlfLines(savedText("virgola.txt"));
    EXPECT_EQ(lines[11], numberLine(15.5));
    EXPECT_EQ(lines[12], numberLine(60.25));
}

TEST_F(DataSetFile, RoundTripIsByteForByte)
{
    setPoint(1, -2.0, 1.123456789, 0.5);
    setPoint(2, 0.0, 3.0, 1e-3);
    setPoint(3, 7.25, 123456.789012345678, -4.0);
    for (int k = 0; k < 8; ++k) doc.coefficients.block[k + 1] = (k + 1) * 1.0009765625 - 3.0;
    inputs.setKindItemIndex(6);
    inputs.setDegreeValue(3);
    inputs.setInitialTemperatureText("12.5");
    inputs.setFinalTemperatureText("-7.125");
    const std::string first = savedText("a.txt");

    ASSERT_TRUE(readDataSetFile(pathOf("a.txt")));
    EXPECT_EQ(savedText("b.txt"), first);

    // And the same from a new run.
    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("a.txt")));
    EXPECT_EQ(savedText("c.txt"), first);
    EXPECT_TRUE(shown.events.empty());
}

TEST_F(DataSetFile, ReadingRestoresTheMainWindowAndTheFitState)
{
    setPoint(1, 1, 20);
    setPoint(2, 2, 30);
    doc.coefficients.block[1] = 0.03;
    inputs.setKindItemIndex(5);
    inputs.setDegreeValue(4);
    inputs.setInitialTemperatureText("20");
    inputs.setFinalTemperatureText("80");
    ASSERT_TRUE(writeDataSetFile(pathOf("d.txt")));

    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("d.txt")));
    const Document& s = doc;
    EXPECT_EQ(s.currentDataSetName, pathOf("d.txt"));
    EXPECT_EQ(s.kind, FitType::TemperatureTime);
    EXPECT_EQ(s.degree, 4);
    EXPECT_EQ(inputs.kindItemIndex(), 5);
    EXPECT_EQ(inputs.degreeValue(), 4);
    EXPECT_EQ(inputs.initialTemperatureText(), "    20.000");
    EXPECT_EQ(inputs.finalTemperatureText(), "    80.000");
    EXPECT_EQ(s.coefficients.block[9], 20.0);
    EXPECT_EQ(s.coefficients.block[10], 80.0);
    EXPECT_EQ(s.coefficients.block[1], 0.03);
    EXPECT_EQ(s.points.count, 2);
    EXPECT_EQ(s.points.foundCount, 2);
    EXPECT_EQ(s.grid.cell(2, 2), "    30.00000");
    EXPECT_EQ(s.grid.cell(3, 1), "     0.00000");
}

TEST_F(DataSetFile, ReadingSortsThePointsByXIntoTheGrid)
{
    setPoint(1, 5, 50, 500);
    setPoint(2, 1, 10, 100);
    setPoint(3, 3, 30, 300);
    ASSERT_TRUE(writeDataSetFile(pathOf("s.txt")));
    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("s.txt")));
    const double expected[3][3] = {{1, 10, 100}, {3, 30, 300}, {5, 50, 500}};
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(doc.grid.cell(r, c), formatGridValue(expected[r - 1][c - 1])) << r << "," << c;
        EXPECT_EQ(doc.points.x[r], expected[r - 1][0]);
        EXPECT_EQ(doc.points.z[r], expected[r - 1][2]);
    }
}

TEST_F(DataSetFile, ValueReachesTheCalculationThroughTheGrid)
{
    setPoint(1, 1, 1.123456789);
    setPoint(2, 2, 2);
    ASSERT_TRUE(writeDataSetFile(pathOf("g.txt")));
    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("g.txt")));
    fillPointGrid(doc.grid, doc.points);
    ASSERT_EQ(countPoints(doc.grid, doc.points, doc.kind).points, 2);
    EXPECT_EQ(doc.points.y[1], 1.123456789);
}

TEST_F(DataSetFile, TheBatchCalculatesWhatTheWindowCalculatesAfterReading)
{
    // Each file is read by the main window (its grid and fields, then
    // "&Calcola") and by calvero1-batch (the file's numbers): same report.
    const std::string examples = std::string(CALVERO_SOURCE_DIR) + "/data/examples/";
    std::vector<std::string> files;
    for (const char* name : {"potenzaold.txt", "nr150b6.txt", "polinomiofratto.txt", "esponenziale.txt",
                             "temperatura_tempo.txt", "funzxy.txt"})
        files.push_back(examples + name);
    // Points far from 1, whose grid text passes 130 characters, a zero with
    // its sign, unsorted x and a temperature with more than 3 decimals; the
    // scatter kind lists them all in its report.
    std::vector<std::string> lines = crlfLines(readBytes(examples + "nr150b6.txt"));
    lines[0] = "1";
    lines[FirstXLine - 1] = numberLine(3e200);
    lines[FirstYLine - 1] = "1e-150";
    lines[FirstYLine] = "-0";
    lines[CurveBlockFirstLine + 7] = "12.34567";
    writeText(pathOf("estremi.txt"), joinCrlf(lines));
    files.push_back(pathOf("estremi.txt"));
    for (const std::string& file : files) {
        resetDocument();
        ASSERT_TRUE(readDataSetFile(file)) << file;
        const TypedChoices typed{doc.kind, inputs.degreeValue(), inputs.initialTemperatureText(),
                                 inputs.finalTemperatureText()};
        const Checked<CalculationInput> window = readCalculationInput(doc.grid, doc.points, typed);
        ASSERT_TRUE(window) << file;
        const Checked<DataSetFileContents> read = calvero::readDataSetFile(file);
        ASSERT_TRUE(read) << file;
        const CalculationInput batch = dataSetInput(*read);
        ASSERT_EQ(window->pointCount, batch.pointCount) << file;
        for (int i = 1; i <= batch.pointCount; ++i) {
            EXPECT_EQ(std::signbit(window->points.y[i]), std::signbit(batch.points.y[i])) << file << " " << i;
            EXPECT_EQ(window->points.x[i], batch.points.x[i]) << file << " " << i;
        }
        EXPECT_EQ(window->initialTemperature, batch.initialTemperature) << file;
        const Outcome windowDone = calculate(*window), batchDone = calculate(batch);
        ASSERT_TRUE(windowDone && batchDone) << file;
        EXPECT_EQ(windowDone->report, batchDone->report) << file;
    }
    EXPECT_EQ(dataSetInput(*calvero::readDataSetFile(pathOf("estremi.txt"))).initialTemperature, 12.346);
}

TEST_F(DataSetFile, TwoHundredPointsSurviveInTheSameRunAndInANewOne)
{
    for (int i = 1; i <= 200; ++i) setPoint(i, i, 2.0 * i, -i);
    const auto lines = crlfLines(savedText("p200.txt"));
    EXPECT_EQ(lines[2], "200");
    EXPECT_EQ(lines[212], numberLine(200));  // x of point 200
    EXPECT_EQ(lines[512], numberLine(400));  // y
    EXPECT_EQ(lines[812], numberLine(-200)); // z
    EXPECT_EQ(lines[213], "x");

    ASSERT_TRUE(readDataSetFile(pathOf("p200.txt")));
    EXPECT_EQ(doc.points.count, 200);
    EXPECT_EQ(doc.points.y[200], 400.0);

    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("p200.txt")));
    EXPECT_EQ(doc.points.count, 200);
    EXPECT_EQ(doc.points.x[200], 200.0);
    EXPECT_EQ(doc.points.z[200], -200.0);
    EXPECT_EQ(doc.grid.cell(200, 1), formatGridValue(200));
}

TEST_F(DataSetFile, OlderFileWithFillerAtPoint200TakesNothingLeftOver)
{
    for (int i = 1; i <= 200; ++i) setPoint(i, i, 1.0);
    ASSERT_TRUE(writeDataSetFile(pathOf("full.txt")));
    ASSERT_TRUE(readDataSetFile(pathOf("full.txt")));
    ASSERT_EQ(doc.points.x[200], 200.0);

    // An older writer put "x" on the lines for point 200.
    auto lines = crlfLines(readBytes(pathOf("full.txt")));
    lines[212] = lines[512] = lines[812] = "x";
    writeText(pathOf("old.txt"), joinCrlf(lines));
    ASSERT_TRUE(readDataSetFile(pathOf("old.txt")));
    EXPECT_EQ(doc.points.count, 199);
    EXPECT_EQ(doc.points.x[200], 0.0);
    EXPECT_EQ(doc.points.x[200], 0.0);
}

TEST_F(DataSetFile, TruncatedFileReadsMissingLinesAsZero)
{
    threePointPolynomial();
    inputs.setInitialTemperatureText("5");
    const auto lines = crlfLines(savedText("full.txt"));
    // Lines 1..15: the header, the curve block and the x of points 1 and 2, no newline at the end.
    std::string text = joinCrlf(std::vector<std::string>(lines.begin(), lines.begin() + 15));
    text.resize(text.size() - 2);
    writeText(pathOf("cut.txt"), text);

    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("cut.txt")));
    const Document& s = doc;
    EXPECT_EQ(s.kind, FitType::Polynomial);
    EXPECT_EQ(s.coefficients.block[9], 5.0);
    EXPECT_EQ(s.coefficients.block[10], 0.0);
    EXPECT_EQ(s.points.count, 2);
    EXPECT_EQ(s.points.x[2], 2.5);
    EXPECT_EQ(s.points.y[1], 0.0);
    EXPECT_EQ(s.points.z[2], 0.0);
    EXPECT_EQ(s.points.x[3], 0.0);
}

TEST_F(DataSetFile, KindZeroLeavesNoRadioItemSelected)
{
    std::vector<std::string> lines{"0", "2", " 2"};
    for (int n = 4; n <= 13; ++n) lines.push_back(numberLine(0));
    lines.push_back(numberLine(1));
    lines.push_back(numberLine(2));
    writeText(pathOf("k0.txt"), joinCrlf(lines));
    ASSERT_TRUE(readDataSetFile(pathOf("k0.txt")));
    EXPECT_EQ(inputs.kindItemIndex(), -1);
    EXPECT_EQ(kindNumber(doc.kind), 0);
    EXPECT_EQ(doc.points.count, 2);
}

TEST_F(DataSetFile, LenientAboutLineEndsBlanksAndFillers)
{
    // LF alone, blanks around numbers, "x" and empty lines as 0, a tab, a short number form.
    const std::string text = " 3 \n2\n\n" + std::string("x\n") + "1e-1\n" + std::string(8, '\n') +
                             "\t4 \r\n.5\r\nx\n";
    writeText(pathOf("loose.txt"), text);
    ASSERT_TRUE(readDataSetFile(pathOf("loose.txt")));
    const Document& s = doc;
    EXPECT_EQ(s.kind, FitType::Polynomial);
    EXPECT_EQ(s.coefficients.block[1], 0.0);
    EXPECT_EQ(s.coefficients.block[2], 0.1);
    EXPECT_EQ(s.points.count, 2); // (4, 0) and (0.5, 0); point 3 is (0, 0)
    EXPECT_EQ(s.points.x[1], 0.5); // sorted by x
    EXPECT_EQ(s.points.x[2], 4.0);
}

TEST_F(DataSetFile, DegreeAndCountKeepTheLowByteOfTheTruncatedValue)
{
    const auto parsed = parseDataSetFile("3\n258.9\n-1\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->degree, 2);
    EXPECT_EQ(parsed->count, 255);
    const auto huge = parseDataSetFile("3\n1e300\n");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->degree, 0); // a multiple of 256
}

TEST_F(DataSetFile, UnwritablePlaceIsAWriteError)
{
    const std::string path = pathOf("nessuna/cartella.txt");
    EXPECT_FALSE(writeDataSetFile(path));
    EXPECT_EQ(shown.messages(),
              std::vector<std::string>{"errore di scrittura del file " + path + ": file o cartella inesistente"});
}

// The typed equation fitted last goes beside the data set, as calvero1-batch
// NAME.dat reads it, and comes back with it; one that gives z is not saved
// with a kind of one variable (nothing is written), and a kind's calculation
// since means the data set has no equation to keep.
TEST_F(DataSetFile, TheEquationFittedLastIsSavedBesideTheDataAndReadBack)
{
    const double x[] = {1, 2, 3, 4, 5}, y[] = {2.1, 3.9, 5.2, 6.3, 7.1};
    for (int i = 1; i <= 5; ++i) {
        setPoint(i, x[i - 1], y[i - 1]);
        doc.grid.setCell(i, 1, formatGridValue(x[i - 1]));
        doc.grid.setCell(i, 2, formatGridValue(y[i - 1]));
    }
    inputs.setKindItemIndex(2);
    const std::vector<ParameterCells> cells{{"b1", "10", "", "", ""}, {"b2", "", "", "0", "1"}};
    ASSERT_TRUE(fitDocumentEquation(doc, "y = b1*(1-exp(-b2*x))", cells));

    inputs.setKindItemIndex(static_cast<int>(FitType::SurfaceXY) - 1);
    EXPECT_FALSE(writeDataSetFile(pathOf("z.dat")));
    EXPECT_FALSE(std::filesystem::exists(pathOf("z.dat")));

    // The save as the main window runs it, which recalculates the kind for its coefficients.
    inputs.setKindItemIndex(2);
    ASSERT_TRUE(toldAsTheWindowDoes(saveDataSet(work, pathOf("e.dat"))));
    EXPECT_TRUE(std::filesystem::exists(pathOf("e.equazione.json")));
    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("e.dat")));
    ASSERT_TRUE(doc.lastEquation);
    EXPECT_EQ(doc.lastEquation->equation.text, "y = b1*(1-exp(-b2*x))");
    const ParameterSettings& read = doc.lastEquation->settings;
    EXPECT_EQ(read.start[0], 10.0);
    EXPECT_FALSE(read.start[1]);
    EXPECT_EQ(read.lower[1], 0.0);
    EXPECT_EQ(read.upper[1], 1.0);

    fillPointGrid(doc.grid, doc.points);
    ASSERT_TRUE(toldAsTheWindowDoes(calculate(work)));
    EXPECT_FALSE(doc.lastEquation);
    ASSERT_TRUE(writeDataSetFile(pathOf("k.dat")));
    EXPECT_FALSE(std::filesystem::exists(pathOf("k.equazione.json")));
}
