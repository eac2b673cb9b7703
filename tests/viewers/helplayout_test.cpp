#include "viewers/helpdocument.h"
#include "viewers/helplayout.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

void expectBox(const HelpBrowserLayout::Box& box, int left, int top, int width, int height)
{
    EXPECT_EQ(box.left, left);
    EXPECT_EQ(box.top, top);
    EXPECT_EQ(box.width, width);
    EXPECT_EQ(box.height, height);
}

TEST(HelpBrowserLayout, FillsA1024By768Screen)
{
    const HelpBrowserLayout layout = layoutHelpBrowser(1024, 768);
    expectBox(layout.browser, 0, 0, 998, 633);
    expectBox(layout.exitButton, 2, 638, 307, 46);
    expectBox(layout.backButton, 314, 638, 307, 46);
    expectBox(layout.printButton, 626, 638, 307, 46);
}

TEST(HelpBrowserLayout, TruncatesEveryFractionTowardZero)
{
    // 0.975 * 1366 = 1331.85, 0.825 * 766 = 631.95, 0.3 * 1366 = 409.8,
    // 0.06 * 766 = 45.96: each one is cut, never rounded up.
    const HelpBrowserLayout layout = layoutHelpBrowser(1366, 766);
    expectBox(layout.browser, 0, 0, 1331, 631);
    expectBox(layout.exitButton, 2, 636, 409, 45);
    expectBox(layout.backButton, 416, 636, 409, 45);
    expectBox(layout.printButton, 830, 636, 409, 45);
}

TEST(HelpBrowserLayout, ButtonsFollowTheScreenWidthAndTheRestTheWindow)
{
    // A window the desktop made smaller than the 1280 x 1024 screen.
    const HelpBrowserLayout layout = layoutHelpBrowser(1280, 1270, 990);
    expectBox(layout.browser, 0, 0, 1238, 816);
    expectBox(layout.exitButton, 2, 821, 384, 59);
    expectBox(layout.backButton, 391, 821, 384, 59);
    expectBox(layout.printButton, 780, 821, 384, 59);
}

TEST(HelpDocument, FirstPageLiesInTheProgramFolder)
{
    EXPECT_EQ(helpDocumentPath("/opt/calvero1/"), "/opt/calvero1/calvero1.htm");
    EXPECT_EQ(helpDocumentPath("/opt/calvero1"), "/opt/calvero1/calvero1.htm");
    EXPECT_EQ(helpDocumentPath(""), "calvero1.htm");
}

} // namespace
} // namespace calvero
