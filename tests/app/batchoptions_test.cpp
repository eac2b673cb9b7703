#include "app/batchoptions.h"

#include <gtest/gtest.h>

using namespace calvero;

namespace {

BatchOptions parsed(const std::vector<std::string>& arguments)
{
    const auto result = parseBatchOptions(arguments);
    if (const auto* problem = std::get_if<std::string>(&result)) ADD_FAILURE() << *problem;
    return std::holds_alternative<BatchOptions>(result) ? std::get<BatchOptions>(result) : BatchOptions{};
}

std::string problemOf(const std::vector<std::string>& arguments)
{
    const auto result = parseBatchOptions(arguments);
    return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : "";
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
    const BatchOptions o = parsed({"--points", "p.csv", "--kind", "6", "--degree", "3", "--ti", "15", "--tf", "60"});
    EXPECT_EQ(o.pointsFile, "p.csv");
    EXPECT_EQ(o.kind, 6);
    EXPECT_EQ(o.degree, 3);
    EXPECT_EQ(o.initialTemperature, "15");
    EXPECT_EQ(o.finalTemperature, "60");
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
        ASSERT_TRUE(std::holds_alternative<BatchRequest>(result)) << arguments.front();
        EXPECT_EQ(std::get<BatchRequest>(result), request) << arguments.front();
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

TEST(BatchOptions, PointsComparedWithoutAKindButNothingElse)
{
    const BatchOptions o = parsed({"--points", "p.csv", "--compare", "--tolerance", "1e300"});
    EXPECT_EQ(o.kind, 0);
    EXPECT_TRUE(o.compare);
    EXPECT_EQ(o.toleranceText, "1e300");
    EXPECT_EQ(parsed({"--points", "p.csv", "--compare", "--ti", "90", "--tf", "20", "--json", "-"}).kind, 0);
    for (const char* output : {"--stats", "--xls", "--rtf", "--png"}) {
        std::vector<std::string> line = {"--points", "p.csv", "--compare", output};
        if (std::string(output) != "--stats") line.push_back("out");
        EXPECT_EQ(problemOf(line),
                  "con --points senza --kind si può solo confrontare: --xls, --rtf, --png e --stats chiedono --kind")
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
