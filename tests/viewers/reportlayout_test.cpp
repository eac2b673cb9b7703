#include "viewers/reportlayout.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

using Box = ReportLayout::Box;

TEST(ReportLayout, At1024By768)
{
    const ReportLayout layout = reportLayout(1024, 768);
    EXPECT_EQ(layout.window, (Box{0, 0, 1024, 768}));
    EXPECT_EQ(layout.reportText, (Box{2, 2, 1003, 614}));
    EXPECT_EQ(layout.exitButton, (Box{341, 629, 256, 64}));
    EXPECT_EQ(layout.printButton, (Box{80, 629, 256, 64}));
    EXPECT_EQ(layout.saveRtfButton, (Box{602, 629, 256, 64}));
}

TEST(ReportLayout, At1920By1080)
{
    const ReportLayout layout = reportLayout(1920, 1080);
    EXPECT_EQ(layout.reportText, (Box{2, 2, 1881, 864}));
    EXPECT_EQ(layout.exitButton, (Box{640, 885, 480, 90}));
    EXPECT_EQ(layout.printButton, (Box{155, 885, 480, 90}));
    EXPECT_EQ(layout.saveRtfButton, (Box{1125, 885, 480, 90}));
}

} // namespace
} // namespace calvero
