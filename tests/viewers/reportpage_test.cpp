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

} // namespace
} // namespace calvero
