// The report buffer: 200 lines of at most 130 characters, wrapping.
#include "fit/report.h"

#include <gtest/gtest.h>

#include <string>

using namespace calvero;

TEST(ReportBuffer, ClearMakesEveryLineBlank)
{
    ReportBuffer report;
    appendLine(report, "qualcosa");
    clearReport(report);
    EXPECT_EQ(report.lineCount, 0);
    EXPECT_TRUE(reportLines(report).empty());
    EXPECT_EQ(report.lines[1], std::string(130, ' '));
    EXPECT_EQ(report.lines[200], std::string(130, ' '));
}

TEST(ReportBuffer, LongTextIsCutToOneHundredThirtyCharacters)
{
    ReportBuffer report;
    clearReport(report);
    appendLine(report, std::string(129, 'a') + "bc");
    EXPECT_EQ(report.lines[1], std::string(129, 'a') + "b");
}

TEST(ReportBuffer, TheTwoHundredFirstLineWrapsToTheFirst)
{
    ReportBuffer report;
    clearReport(report);
    for (int i = 1; i <= 200; ++i) appendLine(report, "riga " + std::to_string(i));
    EXPECT_EQ(report.lineCount, 200);
    EXPECT_EQ(report.lines[200], "riga 200");

    appendLine(report, "riga 201");
    EXPECT_EQ(report.lineCount, 1);
    EXPECT_EQ(report.lines[1], "riga 201");
    EXPECT_EQ(report.lines[2], "riga 2"); // the old lines stay, unseen
    EXPECT_EQ(reportLines(report), std::vector<std::string>{"riga 201"});
}
