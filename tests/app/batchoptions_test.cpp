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

TEST(BatchOptions, Refusals)
{
    EXPECT_NE(problemOf({}), "");
    EXPECT_NE(problemOf({"a.txt", "b.txt"}), "");
    EXPECT_NE(problemOf({"a.txt", "--points", "p.txt", "--kind", "3"}), "");
    EXPECT_NE(problemOf({"--points", "p.txt"}), "") << "a point file needs its kind";
    EXPECT_EQ(problemOf({"--points", "p.txt", "--kind", "9"}), "tipo non valido (1..8): 9");
    EXPECT_EQ(problemOf({"--points", "p.txt", "--kind", "2.5"}), "tipo non valido (1..8): 2.5");
    EXPECT_EQ(problemOf({"--points", "p.txt", "--kind", "3", "--degree", "0"}), "grado non valido (1..9): 0");
    EXPECT_EQ(problemOf({"a.txt", "--xls"}), "manca il valore di --xls");
    EXPECT_EQ(problemOf({"a.txt", "--colour", "red"}), "opzione sconosciuta: --colour");
}
