// The checks the axis finder makes of the labels it took, without OCR: the
// labels as the reader gives them, at rows worked out by hand.
#include "capture/axisfinder.h"
#include "capture/axistitle.h"
#include "capture/marginlabels.h"

#include <gtest/gtest.h>

using namespace calvero::capture;

TEST(AxisFinder, LabelsThatAllLostTheirDecimalMarkAreTold)
{
    struct Case {
        const char* name;
        std::vector<TickLabel> labels; // rows 400 (bottom) to 100 (top), 100 a unit
        bool told;
    };
    const Case cases[] = {
        // 0.0 ... 3.0 with the marks lost on all but 3.0 and 0.5: 20 stands where 2.0 does.
        {"marks lost", {{400, "0", 90}, {300, "10", 90}, {250, "15", 90}, {200, "20", 90}, {100, "3.0", 90}}, true},
        {"read right", {{400, "0.0", 90}, {300, "1.0", 90}, {200, "2.0", 90}, {100, "3.0", 90}}, false},
        // A label misread without a decimal mark is only left out.
        {"one misread", {{400, "0", 90}, {300, "10", 90}, {200, "20", 90}, {100, "3", 90}}, false},
        {"decimal commas read right", {{400, "0,5", 90}, {300, "1,5", 90}, {200, "2,5", 90}, {150, "2,0", 90}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const calvero::Checked<AxisReading> reading = readAxis(c.labels, "y");
        ASSERT_TRUE(reading) << reading.failure();
        EXPECT_EQ(lostDecimalMark(*reading).has_value(), c.told);
    }
}

namespace {

// A reader that tells how the piece it was given lies: its size, and whether
// its darkest ink (a title's first letter, drawn darker) is in its left half.
class PieceReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect&, TextKind, const ReadHints&) const override
    {
        int darkest = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) == 0xff000000) darkest = x;
        const bool wide = picture.width() > picture.height();
        return {{std::string(wide ? "wide" : "tall") + (2 * darkest < picture.width() ? " first-left" : " first-right"), {}, 90, {}, {}}};
    }
};

} // namespace

// A y axis's title is written upwards: it is read turned a quarter, its
// first letter (at the bottom) on the left; an x axis's is read as it is.
TEST(AxisFinder, AnAxisTitleIsReadTheWayItIsWritten)
{
    struct Case {
        const char* name;
        bool upwards;
        const char* read;
    };
    const Case cases[] = {{"written upwards", true, "wide first-left"}, {"written across", false, "tall first-right"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A stroke 6 wide and 60 tall at columns 20-25, rows 20-79, grey with its bottom end black.
        PixelBuffer picture = *PixelBuffer::create(100, 100);
        PixelMask ink(100, 100);
        for (int y = 20; y < 80; ++y)
            for (int x = 20; x < 26; ++x) {
                picture.setPixel(x, y, y >= 74 && x >= 23 ? 0xff000000 : 0xff404040);
                ink.set(x, y, true);
            }
        EXPECT_EQ(axisTitleIn(picture, ink, {0, 0, 100, 100}, c.upwards, PieceReader()), c.read);
    }
    EXPECT_EQ(axisTitleIn(*PixelBuffer::create(100, 100), PixelMask(100, 100), {0, 0, 100, 100}, true, PieceReader()), "");
}

namespace {

class SevenReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        return {{"7", area, 90, {}, {}}};
    }
};

} // namespace

// A number whose ink goes on beyond the margin read (the other axis's number
// at the corner, "-25" cut to "-2") is left out whole; ink going on into the
// band of the axis's ticks is a label meeting its tick, and stays.
TEST(AxisFinder, ANumberCutByTheMarginIsLeftOutButOneMeetingItsTickStays)
{
    struct Case {
        const char* name;
        int left, top; // a block 7 wide and 12 tall
        bool kept;
    };
    const Case cases[] = {{"inside", 80, 40, true}, {"across the far edge", 46, 40, false},
                          {"into the ticks", 120, 15, true}, {"across the end", 60, 15, false}};
    const PixelRect strip{50, 20, 100, 60}, ticks{100, 0, 50, 20};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask ink(200, 100);
        for (int y = c.top; y < c.top + 12; ++y)
            for (int x = c.left; x < c.left + 7; ++x) ink.set(x, y, true);
        const std::vector<ReadWord> words = labelsIn(*PixelBuffer::create(200, 100), ink, strip, SevenReader(), ticks);
        ASSERT_EQ(words.size(), c.kept ? 1u : 0u);
    }
}
