// A curve label read several ways: the one text taken from the readings
// only where they bear it out, and the doubt kept, with the other number
// read, where they do not.
#include "capture/labelreading.h"

#include <gtest/gtest.h>

using namespace calvero::capture;

namespace {

using Picture = LabelReading::Picture;

LabelReading freely(const std::string& text, double confidence, Picture picture = Picture::AsDrawn)
{
    return {text, confidence, picture, false};
}

LabelReading held(const std::string& text, Picture picture)
{
    // Held to a few characters, the reader's confidence means little: often 0.
    return {text, 0, picture, true};
}

} // namespace

TEST(LabelReading, TheFormAFamilySharesAndTheCharactersItHolds)
{
    EXPECT_EQ(labelForm("D=200"), "D=#");
    EXPECT_EQ(labelForm("n = 1450 giri/min"), "n = # giri/min");
    EXPECT_EQ(labelForm("D=2d0"), std::nullopt);
    EXPECT_EQ(labelForm("curva"), std::nullopt);
    EXPECT_EQ(familyForm({"D=230", "D=2d0", "D=215", "'200"}), "D=#");
    // One label of a form is no family.
    EXPECT_EQ(familyForm({"D=230", "'215", "D=2C0"}), std::nullopt);
    EXPECT_EQ(familyAlphabet("n = #"), "0123456789.,n=");
}

TEST(LabelReading, ANumberIsTakenOnlyWhereTheReadingsBearItOut)
{
    struct Case {
        const char* name;
        std::vector<LabelReading> readings;
        std::string text;
        bool settled;
        std::string alsoRead;
    };
    const Case cases[] = {
        {"a sure reading, the others far less sure",
         {freely("D=230", 91), freely("D=240", 50), freely("D=2=0", 91, Picture::LinesFilled)}, "D=230", true, ""},
        {"a sure reading, another number read nearly as surely",
         {freely("D=215", 88), freely("D=255", 72, Picture::LinesFilled)}, "D=215", false, "D=255"},
        {"the surer of two free sizes",
         {freely("D=200", 34), freely("D=200", 86), freely("D=2C0", 51, Picture::LinesFilled)}, "D=200", true, ""},
        {"unsure alone, both pictures held to the family's characters agree",
         {freely("D=2d0", 57), freely("D=200", 43, Picture::LinesFilled), held("D=200", Picture::AsDrawn),
          held("D=200", Picture::LinesFilled)},
         "D=200", true, ""},
        {"unsure, held to the family's characters on one picture only",
         {freely("D=200", 43), held("D=200", Picture::AsDrawn), held("", Picture::LinesFilled)}, "D=200", false, ""},
        {"unsure, the held readings read another number",
         {freely("D=200", 43), held("D=200", Picture::AsDrawn), held("D=260", Picture::LinesFilled)}, "D=200", false,
         "D=260"},
        {"only held readings in the form: no number invented",
         {freely("D=2d0", 57), freely("D=2C0", 79, Picture::LinesFilled), held("D=200", Picture::AsDrawn),
          held("D=200", Picture::LinesFilled)},
         "D=2C0", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LabelVerdict verdict = judgeLabel(c.readings, "D=#");
        EXPECT_EQ(verdict.text, c.text);
        EXPECT_EQ(verdict.settled, c.settled);
        EXPECT_EQ(verdict.alsoRead, c.alsoRead);
        // A settled label is as sure as one sure reading; one in doubt keeps its own, lower, confidence.
        if (verdict.settled) {
            EXPECT_GE(verdict.confidence, SureReading);
        }
    }
}
