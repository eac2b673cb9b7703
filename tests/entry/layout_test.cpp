#include "entry/entrylayout.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

using Box = EntryLayout::Box;

TEST(EntryLayout, At1024By768)
{
    const EntryLayout layout = entryLayout(1024, 768);
    EXPECT_EQ(layout.window, (Box{0, 0, 1024, 768}));
    EXPECT_EQ(layout.pointGrid, (Box{2, 2, 409, 652}));
    EXPECT_EQ(layout.ruleLabel, (Box{416, 2, 512, 652}));
    EXPECT_EQ(layout.exitButton, (Box{416, 601, 256, 53}));
    EXPECT_EQ(layout.importButton, (Box{416, 55, 563, 53}));
    EXPECT_EQ(layout.separatorHint, (Box{416, 113, 563, 53}));
    EXPECT_EQ(layout.firstRowLabel, (Box{416, 319, 358, 53}));
    EXPECT_EQ(layout.firstRowBox, (Box{416, 377, 51, 53}));
}

TEST(EntryLayout, FollowsTheScreen)
{
    const EntryLayout layout = entryLayout(1920, 1080);
    EXPECT_EQ(layout.pointGrid, (Box{2, 2, 768, 918}));
    EXPECT_EQ(layout.exitButton, (Box{775, 2 + 918 - 75, 480, 75}));
    // The spreadsheet row's caption drops by a fraction of the screen width.
    EXPECT_EQ(layout.firstRowLabel.top, layout.separatorHint.top + 75 + 288);
}

} // namespace
} // namespace calvero
