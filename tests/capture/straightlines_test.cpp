#include "capture/straightlines.h"

#include <gtest/gtest.h>

using namespace calvero::capture;

// A grid line drawn dashed or dotted is a straight line taken out like a
// solid one (a curve traced along it would leave the curve there); a row of
// letters standing on one line, or a dashed curve, is not.
TEST(StraightLines, DashedAndDottedGridLinesAreLinesAndRowsOfLettersAreNot)
{
    struct Case {
        const char* name;
        int dash, gap, rise; // the pattern along row 100; `rise` > 0: each dash rises that high above it (letters)
        double slope;        // rows per column: a curve, not a grid line
        bool line;
    };
    const Case cases[] = {
        {"solid", 600, 0, 0, 0, true},
        {"dashed 10 on, 8 off", 10, 8, 0, 0, true},
        {"dotted 2 on, 3 off", 2, 3, 0, 0, true},
        {"sparse dots 2 on, 10 off", 2, 10, 0, 0, false},
        {"letters 7 wide, 5 apart, 9 tall", 7, 5, 9, 0, false},
        {"a dashed curve", 10, 8, 0, 0.05, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask ink(800, 400);
        for (int x = 100; x < 700; ++x) {
            const int inPattern = (x - 100) % (c.dash + c.gap);
            if (inPattern >= c.dash) continue;
            const int y = 100 + static_cast<int>(c.slope * (x - 100));
            ink.set(x, y, true);
            for (int up = 1; up <= c.rise; ++up) ink.set(x, y - up, true);
        }
        LineDirections directions;
        directions.acrossLength = directions.downLength = 200;
        const StraightLines lines = findStraightLines(ink, directions);
        // Column 280 is inked in every pattern; the curve stands 9 rows lower there.
        EXPECT_EQ(lines.pixels.at(280, 100 + static_cast<int>(c.slope * 180)), c.line);
    }
}
