#include "batch/batchoptions.h"

#include <gtest/gtest.h>

using namespace calvero;

namespace {

BatchOptions parsed(const std::vector<std::string>& arguments)
{
    const auto result = parseBatchOptions(arguments);
    if (!result) ADD_FAILURE() << result.failure();
    return result && std::holds_alternative<BatchOptions>(*result) ? std::get<BatchOptions>(*result) : BatchOptions{};
}

std::string problemOf(const std::vector<std::string>& arguments)
{
    return parseBatchOptions(arguments).failure();
}

} // namespace

TEST(BatchOptions, DataSetFileWithOutputs)
{
    const BatchOptions o = parsed({"pompa.txt", "--xls", "out.xls", "--rtf", "r.rtf", "--png", "g.png"});
    EXPECT_EQ(o.dataSetFile, "pompa.txt");
    EXPECT_EQ(o.workbookOut, "out.xls");
    EXPECT_EQ(o.reportOut, "r.rtf");
    EXPECT_EQ(o.graphOut, "g.png");
    EXPECT_TRUE(o.pointsFile.empty());
}

TEST(BatchOptions, PointFileWithKindDegreeAndTemperatures)
{
    const BatchOptions o = parsed({"--points", "p.csv", "--kind", "6", "--degree", "3", "--ti", "15", "--tf", "60,5"});
    EXPECT_EQ(o.pointsFile, "p.csv");
    EXPECT_EQ(o.kind, 6);
    EXPECT_EQ(o.degree, 3);
    EXPECT_EQ(o.initialTemperature, "15");
    EXPECT_EQ(o.finalTemperature, "60,5"); // as typed: read with its decimal comma later
}

TEST(BatchOptions, DoubleDashEndsTheOptions)
{
    EXPECT_EQ(parsed({"--", "--x"}).dataSetFile, "--x");
    EXPECT_EQ(parsed({"--xls", "o.xls", "--", "--help"}).dataSetFile, "--help");
}

TEST(BatchOptions, HelpAndVersionWinWhateverFollows)
{
    const std::vector<std::pair<std::vector<std::string>, BatchRequest>> lines = {
        {{"--help"}, BatchRequest::Help},
        {{"--help", "pompa.txt", "--kind"}, BatchRequest::Help},
        {{"--bogus", "-h"}, BatchRequest::Help},
        {{"--version"}, BatchRequest::Version},
        {{"pompa.txt", "--version", "--xls"}, BatchRequest::Version},
    };
    for (const auto& [arguments, request] : lines) {
        const auto result = parseBatchOptions(arguments);
        ASSERT_TRUE(result && std::holds_alternative<BatchRequest>(*result)) << arguments.front();
        EXPECT_EQ(std::get<BatchRequest>(*result), request) << arguments.front();
    }
}

TEST(BatchOptions, Refusals)
{
    EXPECT_NE(problemOf({}), "");
    // Several files make one run with a table; per-file outputs then do not apply.
    EXPECT_EQ(problemOf({"a.txt", "b.txt"}), "");
    EXPECT_EQ(problemOf({"a.txt", "b.txt", "--xls", "a.xls"}), "--xls, --rtf, --png, --stats e --compare valgono per un file solo");
    EXPECT_EQ(problemOf({"--each-parameter", "f.txt"}), "con --each-parameter serve --kind");
    EXPECT_EQ(problemOf({"--summary", "r.csv"}), "indicare i file o le cartelle da calcolare");
    EXPECT_NE(problemOf({"a.txt", "--points", "p.txt", "--kind", "3"}), "");
    EXPECT_NE(problemOf({"--points", "p.txt"}), "") << "a point file needs its kind";
    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        {{"--points", "p.txt", "--kind", "9"}, "tipo non valido (1..8): 9"},
        {{"--points", "p.txt", "--kind", "2.5"}, "tipo non valido (1..8): 2.5"},
        {{"--points", "p.txt", "--kind", "3", "--degree", "0"}, "grado non valido (1..9): 0"},
        {{"a.txt", "--xls"}, "manca il valore di --xls"},
        {{"a.txt", "--colour", "red"}, "opzione sconosciuta: --colour"},
        {{"a.txt", "--colour"}, "opzione sconosciuta: --colour"},
        {{"a.txt", "--kind", "3"}, "--kind, --degree, --ti e --tf valgono solo con --points"},
        {{"a.txt", "--degree", "4"}, "--kind, --degree, --ti e --tf valgono solo con --points"},
        {{"--ti", "15", "a.txt"}, "--kind, --degree, --ti e --tf valgono solo con --points"},
        // A temperature is read as the field reads it (a decimal comma too), or the line is wrong.
        {{"--points", "p.txt", "--kind", "6", "--ti", "1a", "--tf", "60"}, "temperatura non valida: 1a"},
        {{"--points", "p.txt", "--kind", "3", "--tf", "60 °C"}, "temperatura non valida: 60 °C"},
    };
    for (const auto& [arguments, problem] : lines) EXPECT_EQ(problemOf(arguments), problem) << arguments.back();
}

TEST(BatchOptions, StatisticsComparisonAndJson)
{
    const BatchOptions o = parsed({"pompa.txt", "--stats", "--compare", "--tolerance", "0,5", "--json", "-"});
    EXPECT_TRUE(o.statistics);
    EXPECT_TRUE(o.compare);
    EXPECT_DOUBLE_EQ(o.tolerance, 0.5);
    EXPECT_EQ(o.toleranceText, "0,5"); // quoted by the rule as written
    EXPECT_EQ(o.jsonOut, "-");
    const BatchOptions plain = parsed({"pompa.txt"});
    EXPECT_FALSE(plain.statistics || plain.compare);
    EXPECT_DOUBLE_EQ(plain.tolerance, 1.0);
    for (const char* bad : {"-1", "uno", "nan"})
        EXPECT_NE(problemOf({"pompa.txt", "--tolerance", bad}).find("tolleranza non valida"), std::string::npos) << bad;
}

TEST(BatchOptions, ExportsAndTheirSettings)
{
    const BatchOptions o = parsed({"--points", "dati/pompa 1.txt", "--kind", "7", "--degree", "3", "--energyplus",
                                   "p.idf", "--rated", "-5,45.5", "--ahri540", "p.csv", "--units", "f", "--formula",
                                   "p.txt", "--cells", "c3,$D$3", "--python-function", "p.py"});
    ASSERT_EQ(o.exports.size(), 4u);
    EXPECT_EQ(o.exports[1].format, ExportFormat::Ahri540);
    EXPECT_EQ(o.exports[1].path, "p.csv");
    ASSERT_TRUE(o.exportChoices.rated && o.exportChoices.rated->y);
    EXPECT_EQ(o.exportChoices.rated->x, -5.0);
    EXPECT_EQ(*o.exportChoices.rated->y, 45.5);
    EXPECT_EQ(o.exportChoices.units, TemperatureUnit::Fahrenheit);
    EXPECT_EQ(o.exportChoices.cells.x, "C3");
    EXPECT_EQ(o.exportChoices.cells.y, "$D$3");
    EXPECT_EQ(o.exportChoices.name, "pompa 1") << "named after the point file";
    EXPECT_EQ(parsed({"a.txt", "--c-function", "a.c", "--curve-name", "ventilatore"}).exportChoices.name, "ventilatore");
    EXPECT_EQ(parsed({"a.txt", "b.txt", "--energyplus", "tutte.idf", "--rated", "1"}).exports.size(), 1u);

    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        {{"a.txt", "--energyplus", "a.idf", "--rated", "1;2"},
         "punto nominale non valido (X oppure X,Y con il punto decimale): 1;2"},
        {{"a.txt", "--energyplus", "a.idf", "--rated", "1,"},
         "punto nominale non valido (X oppure X,Y con il punto decimale): 1,"},
        {{"a.txt", "--rated", "1"}, "--rated vale con --energyplus"},
        {{"a.txt", "--ahri540", "a.csv"}, "con --ahri540 serve --units C oppure --units F (le unità delle temperature dei punti)"},
        {{"a.txt", "--ahri540", "a.csv", "--units", "K"}, "unità non valide (C oppure F): K"},
        {{"a.txt", "--formula", "a.txt", "--cells", "A0"}, "celle non valide (X oppure X,Y, come A2,B2): A0"},
        {{"a.txt", "--cells", "A2"}, "--cells vale con --formula"},
        {{"a.txt", "--curve-name", "x"}, "--curve-name vale con --energyplus, --ahri540, --formula, --c-function o --python-function"},
        {{"a.txt", "b.txt", "--energyplus", "e.idf", "--curve-name", "x"},
         "--curve-name vale per un file solo: con più file ogni curva prende il nome del suo file"},
        {{"a.txt", "--python-function"}, "manca il valore di --python-function"},
    };
    for (const auto& [arguments, problem] : lines) EXPECT_EQ(problemOf(arguments), problem) << arguments.back();
}

TEST(BatchOptions, FitOptionsAndWhatTheyCarry)
{
    const BatchOptions o = parsed({"--points", "p.txt", "--kind", "3", "--through", "0,620", "--through", "5500,-1.5e2",
                                   "--fix", "3=-1.5e-5", "--weights", "relative", "--minimax", "--monotone",
                                   "decreasing", "--compare-with-options"});
    ASSERT_EQ(o.steering.throughPoints.size(), 2u);
    EXPECT_EQ(o.steering.throughPoints[1], (ThroughPoint{5500.0, -150.0, 0.0}));
    EXPECT_EQ(o.throughFields, (std::vector<int>{2, 2}));
    EXPECT_EQ(o.steering.fixedTerms, (std::vector<FixedTerm>{{3, -1.5e-5}}));
    EXPECT_EQ(o.steering.weighting, Weighting::Relative);
    EXPECT_TRUE(o.steering.minimax);
    EXPECT_EQ(o.steering.monotone, Monotone::Decreasing);
    EXPECT_TRUE(o.compare && o.compareWithOptions);
    EXPECT_EQ(parsed({"f.dat", "--through", "1,2,3"}).throughFields, (std::vector<int>{3}));
    EXPECT_FALSE(parsed({"f.dat"}).steeringGiven());
}

TEST(BatchOptions, FitOptionsThatDoNotRead)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        {{"f.dat", "--through", "0;620"}, "punto di passaggio non valido"},
        {{"f.dat", "--through", "0,620,1,2"}, "punto di passaggio non valido"},
        {{"f.dat", "--through", "0,nan"}, "punto di passaggio non valido"},
        {{"f.dat", "--fix", "1:0"}, "termine fisso non valido"},
        {{"f.dat", "--fix", "0=1"}, "termine fisso non valido"},
        {{"f.dat", "--weights", "1/y2"}, "pesi non validi (relative o column): 1/y2"},
        {{"f.dat", "--monotone", "up"}, "monotonia non valida (decreasing o increasing): up"},
        {{"a.dat", "b.dat", "--minimax"}, "valgono per un file solo"},
        {{"f.dat", "--concave", "--convex"}, "--concave e --convex si escludono: la curva è concava oppure convessa"},
        {{"a.dat", "b.dat", "--concave"}, "valgono per un file solo"},
    };
    for (const auto& [arguments, words] : lines)
        EXPECT_NE(problemOf(arguments).find(words), std::string::npos) << problemOf(arguments);
}

TEST(BatchOptions, PointsComparedWithoutAKindButNothingElse)
{
    const BatchOptions o = parsed({"--points", "p.csv", "--compare", "--tolerance", "1e300"});
    EXPECT_EQ(o.kind, 0);
    EXPECT_TRUE(o.compare);
    EXPECT_EQ(o.toleranceText, "1e300");
    EXPECT_EQ(parsed({"--points", "p.csv", "--compare", "--ti", "90", "--tf", "20", "--json", "-"}).kind, 0);
    for (const char* output : {"--stats", "--xls", "--rtf", "--png", "--formula"}) {
        std::vector<std::string> line = {"--points", "p.csv", "--compare", output};
        if (std::string(output) != "--stats") line.push_back("out");
        EXPECT_EQ(problemOf(line), "con --points senza --kind si può solo confrontare: --xls, --rtf, --png, --stats e "
                                   "le esportazioni chiedono --kind")
            << output;
    }
}

TEST(BatchOptions, UsageNamesEveryKindByItsNumber)
{
    const std::string usage = batchUsage();
    for (const char* kind : {"  1  PUNTEGGIATA\n", "  3  POLINOMIO\n", "  5  POLINOMIO FRATTO\n",
                             "  6  CURVA temperatura-tempo\n", "  7  polinomio Z=F(x,y)\n", "  8  curva saturazione\n"})
        EXPECT_NE(usage.find(kind), std::string::npos) << kind;
}
