#include "app/clocktext.h"
#include "app/mainlayout.h"

#include <gtest/gtest.h>

using namespace calvero;

TEST(MainWindowLayout, At1024By768)
{
    const MainWindowLayout l = mainWindowLayout(1024, 768);
    EXPECT_EQ(l.panel1, (ControlRect{2, 192, 460, 38}));
    EXPECT_EQ(l.bitBtn4, (ControlRect{2, 235, 225, 38}));
    EXPECT_EQ(l.bitBtn3, (ControlRect{2, 278, 225, 38}));
    EXPECT_EQ(l.speedButton4, (ControlRect{2, 321, 225, 53}));
    EXPECT_EQ(l.speedButton3, (ControlRect{2, 379, 225, 53}));
    EXPECT_EQ(l.bitBtn5, (ControlRect{2, 437, 225, 53}));
    EXPECT_EQ(l.bitBtn2, (ControlRect{2, 490, 225, 69})) << "no gap above the calculate button";
    EXPECT_EQ(l.bitBtn1, (ControlRect{232, 490, 225, 69}));
    EXPECT_EQ(l.radioGroup1, (ControlRect{564, 192, 358, 268}));
    EXPECT_EQ(l.label1, (ControlRect{564, 465, 153, 38}));
    EXPECT_EQ(l.label3, (ControlRect{564, 508, 153, 38}));
    EXPECT_EQ(l.label2, (ControlRect{564, 551, 153, 38}));
    EXPECT_EQ(l.spinEdit1, (ControlRect{722, 551, 153, 38}));
    EXPECT_EQ(l.edit1, (ControlRect{722, 465, 153, 38}));
    EXPECT_EQ(l.edit2, (ControlRect{722, 508, 153, 38}));
    EXPECT_EQ(l.bitBtn10, (ControlRect{232, 235, 225, 38}));
    EXPECT_EQ(l.bitBtn11, (ControlRect{232, 278, 225, 38}));
    EXPECT_EQ(l.bitBtn12, (ControlRect{232, 321, 225, 38}));
}

TEST(MainWindowLayout, TruncatesAtEveryStep)
{
    // 0.05 * 999 = 49.95 and 0.25 * 999 = 249.75: both truncated.
    const MainWindowLayout l = mainWindowLayout(1001, 999);
    EXPECT_EQ(l.panel1.top, 249);
    EXPECT_EQ(l.panel1.height, 49);
    EXPECT_EQ(l.panel1.width, 450);
    EXPECT_EQ(l.bitBtn4.top, 249 + 49 + 5);
    EXPECT_EQ(l.radioGroup1.left, 100 + 452);
}

TEST(MainWindowLayout, FractionsAreExactOnWideScreens)
{
    // 0.35 * 720 is 252, not the 251 of the binary double 0.35.
    struct Case {
        int w, h;
        ControlRect radioGroup1;
    };
    for (const Case& c : {Case{1280, 720, {706, 180, 448, 252}}, Case{1920, 1080, {1058, 270, 672, 378}}})
        EXPECT_EQ(mainWindowLayout(c.w, c.h).radioGroup1, c.radioGroup1) << c.w << " x " << c.h;
}

TEST(ClockText, DayNamesAndComposition)
{
    EXPECT_EQ(dayName(1), "Domenica ");
    EXPECT_EQ(dayName(4), "Mercoledi");
    EXPECT_EQ(dayName(7), "Sabato   ");
    for (int d = 1; d <= 7; ++d) EXPECT_EQ(dayName(d).size(), 9u);
    EXPECT_EQ(clockText(2, "07/12/26", "22:50:40"), "Lunedi     07/12/26  Ore:22:50:40");
}
