// The fit options saved beside a data set: written with it, read back with
// it in a new run and steering its first calculation, removed when no option
// is on, and a broken options file refusing the data set without changing
// anything.
#include "app_test_support.h"

#include "app/calculatecommand.h"
#include "formats/fitoptionsfile.h"
#include "entry/pointordering.h"

#include <variant>

using namespace calvero;
using calvero::testing::AppTest;

namespace {

class FitOptionsFile : public AppTest {
protected:
    void fanPoints()
    {
        const double q[] = {0, 1000, 2000, 3000, 4000, 5000};
        const double p[] = {620, 600, 585, 560, 455, 260};
        for (int i = 0; i < 6; ++i) setPoint(i + 1, q[i], p[i]);
        inputs.setKindItemIndex(2);
        inputs.setDegreeValue(3);
    }
    static FitOptions steered()
    {
        FitOptions o;
        o.throughPoints = {{0.0, 620.0, 0.0}};
        o.fixedTerms = {{3, -1.5e-5}};
        o.weighting = Weighting::Relative;
        o.monotone = Monotone::Decreasing;
        return o;
    }
};

} // namespace

TEST_F(FitOptionsFile, NamedAfterTheDataSet)
{
    EXPECT_EQ(optionsFileFor("/a/pompa.dat"), "/a/pompa.vincoli.json");
    EXPECT_EQ(optionsFileFor("pompa.txt"), "pompa.vincoli.json");
    EXPECT_EQ(optionsFileFor("pompa"), "pompa.vincoli.json");
}

TEST_F(FitOptionsFile, SavedWithTheDataSetAndSteeringItsFirstCalculationInANewRun)
{
    fanPoints();
    doc.options = steered();
    ASSERT_TRUE(writeDataSetFile(pathOf("ventilatore.dat")));
    ASSERT_TRUE(std::filesystem::exists(pathOf("ventilatore.vincoli.json")));

    resetDocument();
    ASSERT_TRUE(readDataSetFile(pathOf("ventilatore.dat")));
    EXPECT_EQ(doc.options, steered());
    fillPointGrid(doc.grid, doc.points);
    const Outcome outcome = calculateDocument(work);
    ASSERT_TRUE(bool(outcome)) << outcome.failure();
    const Calculation& done = *outcome;
    EXPECT_EQ(done.report[1], "vincoli: passa per (0; 620); termine 3 = -0.000015; pesi relativi 1/y^2; monotona decrescente");
    EXPECT_EQ(std::get<PolynomialCurve>(*done.curve).coefficients[1], 620.0);
    EXPECT_EQ(std::get<PolynomialCurve>(*done.curve).coefficients[3], -1.5e-5);
}

TEST_F(FitOptionsFile, NoOptionRemovesAnEarlierFileAndReadsAsNone)
{
    fanPoints();
    doc.options = steered();
    ASSERT_TRUE(writeDataSetFile(pathOf("v.dat")));
    doc.options = {};
    ASSERT_TRUE(writeDataSetFile(pathOf("v.dat")));
    EXPECT_FALSE(std::filesystem::exists(pathOf("v.vincoli.json")));

    doc.options = steered(); // what the window held before reading
    ASSERT_TRUE(readDataSetFile(pathOf("v.dat")));
    EXPECT_FALSE(doc.options.any());
}

TEST_F(FitOptionsFile, ABrokenFileRefusesTheDataSetAndChangesNothing)
{
    fanPoints();
    ASSERT_TRUE(writeDataSetFile(pathOf("v.dat")));
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"{\"monotone\": \"sideways\"}", "\"monotone\" vale uno tra none, decreasing, increasing"},
        {"{\"throughPoints\": [{\"x\": 1}]}", "manca \"y\""},
        {"{\"fixedTerms\": [{\"term\": 1.5, \"value\": 0}]}", "\"term\" non è un numero di termine"},
        {"{\"minimax\": \"yes\"}", "\"minimax\" vale true o false"},
        {"{\"curvature\": \"both\"}", "\"curvature\" vale uno tra none, concave, convex"},
        {"[1, 2]", "non è un oggetto JSON"},
        {"{\"weights\": ", "non è un testo JSON valido"},
    };
    for (const auto& [text, why] : broken) {
        writeText(pathOf("v.vincoli.json"), text);
        resetDocument();
        doc.kind = FitType::Power;
        shown.events.clear();
        EXPECT_FALSE(readDataSetFile(pathOf("v.dat"))) << text;
        EXPECT_EQ(doc.kind, FitType::Power) << text;
        EXPECT_EQ(doc.points.x[2], 0.0) << text;
        ASSERT_EQ(shown.messages().size(), 1u);
        EXPECT_NE(shown.messages()[0].find("il file dei vincoli " + pathOf("v.vincoli.json") + " non è valido: " + why),
                  std::string::npos)
            << shown.messages()[0];
    }
}

TEST_F(FitOptionsFile, JsonRoundTripKeepsEveryOption)
{
    FitOptions o = steered();
    o.throughPoints.push_back({1.0 / 3.0, 2e-300, -7.25});
    o.minimax = true;
    o.weighting = Weighting::Column;
    // Without a curvature the document is as before it existed; with one, it reads back.
    EXPECT_FALSE(optionsJson(o).contains("curvature"));
    for (Curvature c : {Curvature::None, Curvature::Concave, Curvature::Convex}) {
        o.curvature = c;
        const Checked<FitOptions> back = parseOptionsJson(optionsJson(o).dump());
        ASSERT_TRUE(back) << back.failure();
        EXPECT_EQ(*back, o);
    }
}
