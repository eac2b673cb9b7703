#include "app/clocktext.h"
#include "app/mainlayout.h"

#include <gtest/gtest.h>

using namespace calvero;

TEST(MainWindowLayout, At1024By768)
{
    const MainWindowLayout l = mainWindowLayout(1024, 768);
    EXPECT_EQ(l.clockPanel, (ControlRect{2, 192, 460, 38}));
    EXPECT_EQ(l.saveButton, (ControlRect{2, 235, 225, 38}));
    EXPECT_EQ(l.readButton, (ControlRect{2, 278, 225, 38}));
    EXPECT_EQ(l.pointEntryButton, (ControlRect{2, 321, 225, 53}));
    EXPECT_EQ(l.examplesButton, (ControlRect{2, 379, 225, 53}));
    EXPECT_EQ(l.clearButton, (ControlRect{2, 437, 225, 53}));
    EXPECT_EQ(l.calculateButton, (ControlRect{2, 490, 225, 69})) << "no gap above the calculate button";
    EXPECT_EQ(l.exitButton, (ControlRect{232, 490, 225, 69}));
    EXPECT_EQ(l.kindGroup, (ControlRect{564, 192, 358, 268}));
    EXPECT_EQ(l.initialTemperatureLabel, (ControlRect{564, 465, 153, 38}));
    EXPECT_EQ(l.finalTemperatureLabel, (ControlRect{564, 508, 153, 38}));
    EXPECT_EQ(l.degreeLabel, (ControlRect{564, 551, 153, 38}));
    EXPECT_EQ(l.degreeBox, (ControlRect{722, 551, 153, 38}));
    EXPECT_EQ(l.initialTemperatureField, (ControlRect{722, 465, 153, 38}));
    EXPECT_EQ(l.finalTemperatureField, (ControlRect{722, 508, 153, 38}));
    EXPECT_EQ(l.documentationButton, (ControlRect{232, 235, 225, 38}));
    EXPECT_EQ(l.captureButton, (ControlRect{232, 278, 225, 38}));
    EXPECT_EQ(l.webSiteButton, (ControlRect{232, 321, 225, 38}));
}

TEST(MainWindowLayout, TruncatesAtEveryStep)
{
    // 0.05 * 999 = 49.95 and 0.25 * 999 = 249.75: both truncated.
    const MainWindowLayout l = mainWindowLayout(1001, 999);
    EXPECT_EQ(l.clockPanel.top, 249);
    EXPECT_EQ(l.clockPanel.height, 49);
    EXPECT_EQ(l.clockPanel.width, 450);
    EXPECT_EQ(l.saveButton.top, 249 + 49 + 5);
    EXPECT_EQ(l.kindGroup.left, 100 + 452);
}

TEST(MainWindowLayout, FractionsAreExactOnWideScreens)
{
    // 0.35 * 720 is 252, not the 251 of the binary double 0.35.
    struct Case {
        int w, h;
        ControlRect kindGroup;
    };
    for (const Case& c : {Case{1280, 720, {706, 180, 448, 252}}, Case{1920, 1080, {1058, 270, 672, 378}}})
        EXPECT_EQ(mainWindowLayout(c.w, c.h).kindGroup, c.kindGroup) << c.w << " x " << c.h;
}

TEST(ClockText, DayNamesAndComposition)
{
    EXPECT_EQ(dayName(1), "Domenica ");
    EXPECT_EQ(dayName(4), "Mercoledi");
    EXPECT_EQ(dayName(7), "Sabato   ");
    for (int d = 1; d <= 7; ++d) EXPECT_EQ(dayName(d).size(), 9u);
    EXPECT_EQ(clockText(2, "07/12/26", "22:50:40"), "Lunedi     07/12/26  Ore:22:50:40");
}
