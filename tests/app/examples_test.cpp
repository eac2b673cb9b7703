#include "app_test_support.h"

#include "app/datasetcommands.h"
#include "app/datasetfile.h"
#include "app/examples.h"
#include "common/numtext.h"
#include "fit/surface.h"

#include <cmath>
#include <filesystem>

using namespace calvero;
using namespace calvero::testing;

namespace {

const std::string SourceExamples = std::string(CALVERO_SOURCE_DIR) + "/data/examples/";

// What the document held while one report was on the screen.
struct ShownFit {
    std::string dataSet;
    FitType kind;
    int count;
    double largestDeviationPercent;
};

double largestDeviation(const Calculation& c)
{
    double largest = 0;
    for (int i = 1; i <= c.pointCount; ++i) {
        const bool surface = c.kind == FitType::SurfaceXY;
        const double measured = surface ? c.points.z[i] : c.points.y[i];
        const double fitted = surface ? evaluateSurface(c.surface, c.points.x[i], c.points.y[i], c.degree)
                                      : evaluate(*c.curve, c.points.x[i]);
        largest = std::fmax(largest, std::fabs(fitted - measured) / std::fabs(measured) * 100);
    }
    return largest;
}

class Examples : public AppTest {
protected:
    Examples()
    {
        shown.onShown = [this](const ShownEvent& e) {
            if (e.kind == Shown::Report)
                fits.push_back({doc.currentDataSetName, doc.kind, doc.lastCalculation->pointCount,
                                largestDeviation(*doc.lastCalculation)});
        };
    }
    void copyExamplesToScratch()
    {
        for (const ExampleFile& e : ExampleFiles)
            std::filesystem::copy_file(SourceExamples + std::string(e.name), pathOf(std::string(e.name)));
        doc.programFolder = pathOf("");
    }
    std::vector<ShownFit> fits;
};

} // namespace

TEST_F(Examples, SixReportsAndSixPicturesInOrder)
{
    doc.programFolder = SourceExamples;
    toldAsTheWindowDoes(runExamples(work));

    const std::vector<Shown> expected{Shown::Report, Shown::Graph, Shown::Report, Shown::Graph, Shown::Report,
                                      Shown::Graph,  Shown::Report, Shown::Graph, Shown::Report, Shown::Graph,
                                      Shown::Report, Shown::Graph};
    ASSERT_EQ(shown.kinds(), expected);
    for (std::size_t i = 0; i < ExampleFiles.size(); ++i) {
        const std::string path = SourceExamples + std::string(ExampleFiles[i].name);
        EXPECT_EQ(shown.events[2 * i].text, path);
        EXPECT_FALSE(shown.events[2 * i].reportLines.empty());
        EXPECT_EQ(shown.events[2 * i + 1].text, "file:" + path);
    }
}

TEST_F(Examples, TheSurfaceExampleStaysLoadedAndSorted)
{
    doc.programFolder = SourceExamples;
    toldAsTheWindowDoes(runExamples(work));
    const Document& s = doc;
    EXPECT_EQ(s.currentDataSetName, SourceExamples + "funzxy.txt");
    EXPECT_EQ(s.kind, FitType::SurfaceXY);
    EXPECT_EQ(inputs.kindItemIndex(), 6);
    ASSERT_GE(s.points.count, 30);
    for (int r = 2; r <= s.points.count; ++r)
        EXPECT_LE(parseDecimalOrZero(s.grid.cell(r - 1, 1)), parseDecimalOrZero(s.grid.cell(r, 1))) << "row " << r;
    for (int r = 1; r <= s.points.count; ++r) EXPECT_GT(parseDecimalOrZero(s.grid.cell(r, 3)), 0.0) << "row " << r;
}

TEST_F(Examples, EachExampleIsFittedByItsKindAndFitsWell)
{
    doc.programFolder = SourceExamples;
    toldAsTheWindowDoes(runExamples(work));
    const FitType kinds[] = {FitType::Power, FitType::Polynomial, FitType::RationalPolynomial,
                             FitType::Exponential, FitType::TemperatureTime, FitType::SurfaceXY};
    ASSERT_EQ(fits.size(), 6u);
    for (std::size_t i = 0; i < fits.size(); ++i) {
        SCOPED_TRACE(ExampleFiles[i].name);
        EXPECT_EQ(fits[i].kind, kinds[i]);
        EXPECT_LT(fits[i].largestDeviationPercent, 3.0);
        if (kinds[i] == FitType::SurfaceXY) {
            EXPECT_GE(fits[i].count, 30);
            EXPECT_LE(fits[i].count, 42);
        } else {
            EXPECT_GE(fits[i].count, 8);
            EXPECT_LE(fits[i].count, 12);
        }
    }
}

TEST_F(Examples, FilesAreDataSetFilesWithTheirOwnKindDegreeAndTemperatures)
{
    struct Expected {
        int kind;
        int degree;
    };
    const Expected expected[] = {{2, -1}, {3, 2}, {5, 2}, {4, -1}, {6, -1}, {7, 3}};
    for (std::size_t i = 0; i < ExampleFiles.size(); ++i) {
        const std::string path = SourceExamples + std::string(ExampleFiles[i].name);
        SCOPED_TRACE(path);
        const std::string text = readBytes(path);
        EXPECT_EQ(crlfLines(text).size(), 913u);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 913);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 913);
        const auto file = parseDataSetFile(text);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->kind, expected[i].kind);
        if (expected[i].degree > 0) {
            EXPECT_EQ(file->degree, expected[i].degree);
        }
    }

    // The tank heats from 15 to 60 °C; every time is after the start and
    // every temperature strictly between the two.
    const auto tank = parseDataSetFile(readBytes(SourceExamples + "temperatura_tempo.txt"));
    ASSERT_TRUE(tank);
    EXPECT_EQ(tank->curveBlock[9], 15.0);
    EXPECT_EQ(tank->curveBlock[10], 60.0);
    for (int i = 1; i <= tank->count; ++i) {
        EXPECT_GT(tank->x[i], 0.0);
        EXPECT_GT(tank->y[i], 15.0);
        EXPECT_LT(tank->y[i], 60.0);
    }
}

TEST_F(Examples, MissingSecondExampleStopsAfterTheFirst)
{
    copyExamplesToScratch();
    std::filesystem::remove(pathOf("nr150b6.txt"));
    toldAsTheWindowDoes(runExamples(work));
    ASSERT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph, Shown::Message}));
    EXPECT_EQ(shown.events[2].text,
              "errore di lettura del file " + pathOf("nr150b6.txt") + ": file o cartella inesistente");
    // The first example was reset after it was shown.
    EXPECT_EQ(doc.kind, FitType::Polynomial);
    EXPECT_EQ(doc.grid.cell(1, 1), "");
    EXPECT_EQ(doc.currentDataSetName, pathOf("potenzaold.txt"));
}

TEST_F(Examples, RefusedCalculationLetsTheSequenceGoOn)
{
    copyExamplesToScratch();
    // A single point: the driver refuses it, the next example still runs.
    std::vector<std::string> lines{"5", "2", " 1"};
    for (int n = 4; n <= 13; ++n) lines.push_back("0");
    lines.push_back("30");
    for (int n = 15; n <= 313; ++n) lines.push_back("x");
    lines.push_back("4.5");
    writeText(pathOf("polinomiofratto.txt"), joinCrlf(lines));
    toldAsTheWindowDoes(runExamples(work));
    const std::vector<Shown> expected{Shown::Report, Shown::Graph,  Shown::Report, Shown::Graph, Shown::Message,
                                      Shown::Report, Shown::Graph, Shown::Report, Shown::Graph, Shown::Report,
                                      Shown::Graph};
    ASSERT_EQ(shown.kinds(), expected);
    EXPECT_EQ(shown.events[4].text, " numero punti=  <2!");
    EXPECT_EQ(shown.events.back().text, "file:" + pathOf("funzxy.txt"));
}

TEST_F(Examples, InvalidExampleFileStopsTheSequence)
{
    copyExamplesToScratch();
    writeText(pathOf("esponenziale.txt"), "non sono dati\r\n");
    toldAsTheWindowDoes(runExamples(work));
    ASSERT_EQ(shown.events.size(), 7u);
    EXPECT_EQ(shown.events[6].text, "il file non contiene dati validi: " + pathOf("esponenziale.txt"));
}
