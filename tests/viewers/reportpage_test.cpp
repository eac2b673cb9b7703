#include "viewers/reportpage.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

TEST(WidestLine, CharactersNotBytesAndNoTrailingBlanks)
{
    const struct {
        std::vector<std::string> lines;
        std::size_t widest;
    } cases[] = {
        {{}, 0},
        {{"abc", "abcdef   ", ""}, 6},
        {{"citt\xC3\xA0 25\xC2\xB0" "C"}, 10}, // città 25°C
        {{std::string(130, 'x'), "y"}, 130},
    };
    for (const auto& c : cases) EXPECT_EQ(widestLine(c.lines), c.widest) << c.lines.size();
}

TEST(ReportPage, WidestLineFitsBetweenTheMargins)
{
    const double letter[2] = {612, 792}; // 8.5 x 11 inches
    for (const std::size_t width : {0, 70, 80, 81, 130})
        for (const bool onLetter : {false, true}) {
            const ReportPage page = onLetter ? reportPage(width, letter[0], letter[1]) : reportPage(width);
            const double sheetWidth = onLetter ? letter[0] : A4WidthPoints;
            EXPECT_EQ(page.landscape, width * ReportCharacterPoints > sheetWidth - 2 * 72 / 2.54 * 2) << width;
            EXPECT_EQ(page.widthPoints > page.heightPoints, page.landscape);
            if (width <= 130 && !onLetter) {
                EXPECT_GE(page.widthPoints - 2 * page.sideMarginPoints, width * ReportCharacterPoints) << width;
            }
            EXPECT_GE(page.sideMarginPoints, 0.5 * 72 / 2.54) << width;
        }
}

} // namespace
} // namespace calvero
