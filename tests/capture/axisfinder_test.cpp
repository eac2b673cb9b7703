// The checks the axis finder makes of the labels it took, without OCR: the
// labels as the reader gives them, at rows worked out by hand.
#include "capture/axisfinder.h"
#include "capture/axistitle.h"
#include "capture/extractcommand.h"
#include "capture/marginlabels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

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
        // Every mark lost, and 1.5 read "015": a whole number is never written so.
        {"a number with a zero before it", {{400, "0", 90}, {300, "10", 90}, {250, "015", 90}, {200, "20", 90}, {100, "30", 90}}, true},
        {"zero and whole numbers", {{400, "0", 90}, {300, "10", 90}, {200, "20", 90}, {100, "30", 90}}, false},
        {"a thousands group set apart", {{400, "0", 90}, {300, "10", 90}, {250, "000", 90}, {200, "20", 90}, {100, "30", 90}}, false},
        // 0.0 to 3.0 with every mark lost: "00" is no number either.
        {"0.0 read 00", {{400, "00", 90}, {300, "10", 90}, {200, "20", 90}, {100, "30", 90}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const calvero::Checked<AxisReading> reading = readAxis(c.labels, "y");
        ASSERT_TRUE(reading) << reading.failure();
        EXPECT_EQ(lostDecimalMark(*reading).has_value(), c.told);
    }
}

TEST(AxisFinder, DecimalsLeftOutBesideWholeNumbersAreTold)
{
    // Rows 400 (bottom) to 100 (top); each label (row, text, box height).
    struct Label {
        double row;
        const char* text;
        double height = 20;
    };
    struct Case {
        const char* name;
        std::vector<Label> labels;
        bool told;
    };
    const Case cases[] = {
        // 2.5, 5.0, 7.5 read "25", "50", "75" (a step of 25 every 50 rows);
        // 17.5 read with its mark as "11.5" is left out, and ten times 11.5
        // stands nowhere near it: only its decimals tell.
        {"decimals left out beside whole numbers", {{350, "25"}, {300, "50"}, {250, "75"}, {100, "11.5"}}, true},
        {"a point after a whole number is no decimals", {{400, "0"}, {300, "10"}, {200, "20"}, {100, "2."}}, false},
        // A neighbouring panel's "0.0" run into the top label: three times the numbers' height.
        {"a word far taller than the numbers says nothing", {{350, "25"}, {300, "50"}, {250, "75"}, {100, "11.5", 60}}, false},
        {"the agreeing numbers have their marks", {{400, "0.0"}, {300, "2.5"}, {200, "5.0"}, {100, "9.5"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TickLabel> labels;
        std::vector<ReadWord> words;
        for (const Label& l : c.labels) {
            labels.push_back({l.row, l.text, 90});
            words.push_back({l.text, {10, l.row - l.height / 2, 30, l.height}, 90, {}, {}});
        }
        const calvero::Checked<AxisReading> reading = readAxis(labels, "y");
        ASSERT_TRUE(reading) << reading.failure();
        EXPECT_EQ(decimalsLeftOut(*reading, words).has_value(), c.told);
    }
}

namespace {

PixelBuffer whitePage(int width, int height)
{
    PixelBuffer p = *PixelBuffer::create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.setPixel(x, y, 0xffffffff);
    return p;
}

} // namespace

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

// Reads a title line as "Q" (unless the factor stands alone), the factor's
// word (its sign a word of its own when given) and "W)"; a number boxed on
// its own (the base) as `base`, and the base with its exponent grown and set
// on its line (a picture read whole) as `joined`.
class TitleReader : public TextReader {
public:
    TitleReader(std::string sign, std::string line, std::string base, std::string joined, double quantityRight)
        : sign_(std::move(sign)), line_(std::move(line)), base_(std::move(base)), joined_(std::move(joined)), quantityRight_(quantityRight)
    {
    }
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind kind, const ReadHints&) const override
    {
        // The title's piece starts at the page's column 0: "Q" at 2-9, "(x" at 14-26, "10" and its exponent at 30-46, "W)" at 54-67.
        if (kind == TextKind::Line) {
            std::vector<ReadWord> words{{"W)", {54, 0, 14, area.height}, 90, {}, {}}};
            if (sign_.empty()) {
                words.insert(words.begin(), {line_, {14, 0, 33, area.height}, 90, {}, {}});
            } else {
                words.insert(words.begin(), {{sign_, {14, 0, 13, area.height}, 90, {}, {}}, {line_, {30, 0, 17, area.height}, 90, {}, {}}});
            }
            if (quantityRight_ > 0) words.insert(words.begin(), {"Q", {quantityRight_ - 8, 0, 8, area.height}, 90, {}, {}});
            return words;
        }
        const bool whole = area.left == 0 && area.top == 0 && area.width == picture.width();
        return {{whole ? joined_ : base_, area, 90, {}, {}}};
    }

private:
    std::string sign_, line_, base_, joined_;
    double quantityRight_;
};

} // namespace

// A factor's exponent in a title read as a mark ("Q (x10* W)", "H x 10-*, Pa")
// is read apart as a tick label's: the pieces up to the raised one, the
// exponent grown to the base's size. Only a single digit (signed or not) is
// taken; otherwise the title stays as read and is told as not understood. A
// factor with no title word just before it (its sign aside) is the axis
// end's factor read with the title ("Portata (m3/h)     x 10°"): it stays as read too.
TEST(AxisFinder, AFactorsExponentInATitleIsReadApart)
{
    struct Case {
        const char* name;
        bool raised; // the 4 set small and raised after the 10, or on the line
        const char *sign, *line, *base, *joined, *title;
        double quantityRight = 10; // where "Q" ends as read; 0: no word before the factor
    };
    const Case cases[] = {{"a raised exponent read as a star", true, "", "(x10*", "(x10", "(x104", "Q (x10^4 W)"},
                          {"its minus read, its digit a star", true, "", "(x10-*", "(x10", "(x10-4", "Q (x10^-4 W)"},
                          {"its minus read, lost read apart", true, "", "(x10-*", "(x10", "(x104", "Q (x10-* W)"},
                          {"a 10 with no times sign before it", true, "", "(10*", "(10", "(104", "Q (10* W)"},
                          {"the exponent not read apart either", true, "", "(x10*", "(x10", "(x10", "Q (x10* W)"},
                          {"two digits read for one", true, "", "(x10*", "(x10", "(x1045", "Q (x10* W)"},
                          {"no raised piece", false, "", "(x10*", "(x10", "(x104", "Q (x10* W)"},
                          {"no mark after the 10", true, "", "(x104", "(x10", "(x104", "Q (x104 W)"},
                          {"its sign read apart", true, "(x", "10*", "10", "104", "Q (x 10^4 W)"},
                          {"no word before the factor", true, "", "(x10*", "(x10", "(x104", "(x10* W)", 0},
                          {"its sign read apart, no word before it", true, "(x", "10*", "10", "104", "(x 10* W)", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer picture = whitePage(80, 60);
        PixelMask ink(80, 60);
        const auto block = [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) picture.setPixel(x, y, 0xff000000), ink.set(x, y, true);
        };
        // "Q", "x", "1", "0", "W" on the line at row 39; "(" and ")" 28 tall, below it; the 4 raised to rows 18-27.
        block(2, 22, 9, 39), block(14, 18, 16, 45), block(20, 28, 26, 37), block(30, 22, 31, 39), block(34, 22, 40, 39);
        c.raised ? block(43, 18, 46, 27) : block(43, 22, 46, 39);
        block(54, 22, 62, 39), block(65, 18, 67, 45);
        EXPECT_EQ(axisTitleIn(picture, ink, {0, 0, 80, 60}, false, TitleReader(c.sign, c.line, c.base, c.joined, c.quantityRight)), c.title);
    }
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

namespace {

// A number's ink, a block 7 wide and 12 tall from 80,40, and a mark from left,top to right,bottom.
PixelMask numberWithMark(int left, int top, int right, int bottom)
{
    PixelMask ink(200, 100);
    for (int y = 40; y < 52; ++y)
        for (int x = 80; x < 87; ++x) ink.set(x, y, true);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) ink.set(x, y, true);
    return ink;
}

} // namespace

// A minus sign that a font sets apart from its digits ("− 25") is read with
// them: a flat dash alone, level with the middle of the number just after
// it and nearer it than the number is tall. Other marks stay words of their own.
TEST(AxisFinder, AMinusSetApartFromItsDigitsIsReadWithThem)
{
    struct Case {
        const char* name;
        int left, top, right, bottom; // the mark before the digits (7 wide, 12 tall, from 80,40)
        bool joined;
    };
    const Case cases[] = {{"a minus 4 pixels before them, level with their middle", 66, 45, 75, 46, true},
                          {"a dash farther from them than they are tall", 60, 45, 66, 46, false},
                          {"a rule under their foot", 66, 51, 75, 52, false},
                          {"a dot", 72, 45, 73, 46, false}};
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelMask ink = numberWithMark(c.left, c.top, c.right, c.bottom);
        const std::vector<ReadWord> words = labelsIn(*PixelBuffer::create(200, 100), ink, strip, SevenReader());
        ASSERT_EQ(words.size(), c.joined ? 1u : 2u);
        // Boxes are padded by 3 pixels: the word begins at the mark when it took it in.
        EXPECT_EQ(words.front().box.left, c.left - 3);
    }
}

// Dashes lined up beside four numbers or more are an axis's outward tick
// marks, not minus signs; beside three, minus signs.
TEST(AxisFinder, DashesLinedUpBesideEveryNumberAreTickMarks)
{
    const std::pair<int, std::size_t> cases[] = {{3, 3}, {4, 8}}; // numbers, words read
    const PixelRect strip{50, 0, 100, 200};
    for (const auto& [numbers, words] : cases) {
        SCOPED_TRACE(numbers);
        PixelMask ink(200, 200);
        for (int k = 0; k < numbers; ++k) {
            const int top = 10 + 40 * k;
            for (int y = top; y < top + 12; ++y)
                for (int x = 80; x < 87; ++x) ink.set(x, y, true);
            for (int y = top + 5; y <= top + 6; ++y)
                for (int x = 66; x <= 75; ++x) ink.set(x, y, true);
        }
        const auto read = labelsIn(*PixelBuffer::create(200, 200), ink, strip, SevenReader());
        EXPECT_EQ(read.size(), words);
    }
}

// Numbers set so close under an x axis that they run into one word are
// parted where each part is one number centred on its tick; with no ticks
// given, or ticks that do not stand one under each part, the word stays whole.
TEST(AxisFinder, NumbersRunTogetherArePartedAtTheirTicks)
{
    struct Case {
        const char* name;
        std::vector<double> columns;
        std::size_t words;
    };
    // Three blocks 8 wide, 2 apart, centred on columns 64, 74 and 84.
    const Case cases[] = {{"a tick under each", {64, 74, 84}, 3},
                          {"no ticks given", {}, 1},
                          {"ticks between them", {69, 79}, 1},
                          {"a major and a minor tick under one", {64, 67}, 1},
                          {"ticks unevenly spaced", {64, 74, 86}, 1}};
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask ink(200, 100);
        for (int k = 0; k < 3; ++k)
            for (int y = 40; y < 52; ++y)
                for (int x = 60 + 10 * k; x < 68 + 10 * k; ++x) ink.set(x, y, true);
        EXPECT_EQ(labelsIn(*PixelBuffer::create(200, 100), ink, strip, SevenReader(), {}, c.columns).size(), c.words);
    }
}

// With minor ticks between the labels, numbers run together are parted at
// every few ticks where each part is one number centred on its tick, and
// they stand farther apart than the digits of one; a long number over a
// few minor ticks stays whole.
TEST(AxisFinder, NumbersRunTogetherOverMinorTicksArePartedAtTheLabelledOnes)
{
    struct Case {
        const char* name;
        std::vector<int> digits; // the first columns of digits 4 wide, 12 tall
        std::vector<double> columns;
        std::size_t words;
    };
    const Case cases[] = {
        // Three numbers of two digits (1 apart) 2 apart, centred on 64.5, 75.5 and 86.5; minor ticks halfway.
        {"labels at every other tick", {60, 65, 71, 76, 82, 87}, {64.5, 70, 75.5, 81, 86.5}, 3},
        {"labels at every tick", {60, 65, 71, 76, 82, 87}, {64.5, 75.5, 86.5}, 3},
        // Four digits evenly 1 apart over three ticks: one number, whatever two halves would centre on.
        {"one long number", {60, 65, 70, 75}, {64.5, 70, 75.5}, 1},
    };
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask ink(200, 100);
        for (int first : c.digits)
            for (int y = 40; y < 52; ++y)
                for (int x = first; x < first + 4; ++x) ink.set(x, y, true);
        EXPECT_EQ(labelsIn(*PixelBuffer::create(200, 100), ink, strip, SevenReader(), {}, c.columns).size(), c.words);
    }
}

namespace {

// Reads every word as one text, wherever it stands.
class FixedReader : public TextReader {
public:
    explicit FixedReader(std::string text) : text_(std::move(text)) {}
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        return {{text_, area, 90, {}, {}}};
    }

private:
    std::string text_;
};

} // namespace

// A word is judged by its ink as well as by its reading: a stroke a pixel
// wide is a tick mark whatever it is read as, and a word wider than the
// characters read could fill (no digit is wider than it is tall) was read
// short, so it is unread.
TEST(AxisFinder, AReadingTheInkCannotHoldIsNoNumber)
{
    struct Case {
        const char* name;
        int width, height; // one block of ink
        const char* read;
        const char* kept;
    };
    const Case cases[] = {{"two digits' width read as one", 14, 7, "3", "?"},
                          {"two digits' width read as two", 14, 7, "30", "30"},
                          {"three digits' width read as two", 24, 7, "30", "?"},
                          {"a digit read as one", 5, 7, "5", "5"},
                          {"a stroke a pixel wide read as a digit", 1, 6, "4", "|"},
                          {"a stroke a pixel wide read as a one", 1, 6, "1", "|"},
                          {"a stroke a pixel wide read as no number", 1, 6, "'", "'"},
                          {"a word that is no number stays as read", 30, 7, "ab", "ab"}};
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelMask ink(200, 100);
        for (int y = 40; y < 40 + c.height; ++y)
            for (int x = 80; x < 80 + c.width; ++x) ink.set(x, y, true);
        const auto words = labelsIn(*PixelBuffer::create(200, 100), ink, strip, FixedReader(c.read));
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words.front().text, c.kept);
    }
}

namespace {

// Reads a base alone (an area ending before column 71) as `base`, the whole
// word as `whole`, and any other picture (the base with its exponent grown
// and set on its line) as `joined`.
class PowerReader : public TextReader {
public:
    PowerReader(const PixelBuffer& page, std::string base, std::string whole, std::string joined)
        : page_(page), base_(std::move(base)), whole_(std::move(whole)), joined_(std::move(joined))
    {
    }
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        if (&picture != &page_) return {{joined_, area, 90, {}, {}}};
        return {{area.left + area.width <= 71 ? base_ : whole_, area, 90, {}, {}}};
    }

private:
    const PixelBuffer& page_;
    std::string base_, whole_, joined_;
};

// Reads every word one way as drawn and another with its edges sharpened,
// and counts the sharpened readings.
class BlurredReader : public TextReader {
public:
    BlurredReader(std::string asDrawn, std::string sharpened) : asDrawn_(std::move(asDrawn)), sharpened_(std::move(sharpened)) {}
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints& hints) const override
    {
        if (hints.sharpened) ++sharpenedReadings;
        return {{hints.sharpened ? sharpened_ : asDrawn_, area, 90, {}, {}}};
    }
    mutable int sharpenedReadings = 0;

private:
    std::string asDrawn_, sharpened_;
};

} // namespace

// A drawn page's small exponent touches its base's 0 through the
// anti-aliasing and stands a single pixel above the base's top: it is read
// as an exponent when the base reads "10" (a 7's bar is no exponent). A
// raised 0 read as a degree sign is a 0; a minus read with the base is the
// exponent's. The rise is the dark ink's: a 1's faint flag as high as the
// exponent's top (inked, a few levels off the paper) does not hide it.
TEST(AxisFinder, AnExponentJoinedToItsBaseIsReadApart)
{
    struct Case {
        const char* name;
        int rise; // rows the exponent's top stands above the base's
        const char *base, *whole, *joined, *read;
        bool faintFlag = false; // a pixel of grey 225 atop the 1, level with the exponent's top
    };
    const Case cases[] = {{"a pixel above a 10", 1, "10", "1O3", "103", "10^3"},
                          {"a pixel above a 17: no exponent", 1, "17", "177", "177", "177"},
                          {"level with the base: no exponent", 0, "10", "103", "103", "103"},
                          {"a raised 0 read as a degree sign", 1, "10", "10", "10\xc2\xb0", "10^0"},
                          {"the exponent's minus read with the base", 1, "10-", "10-1", "10-1", "10^-1"},
                          {"the exponent not read", 1, "10", "10", "10", "10^?"},
                          {"a 1's faint flag level with the exponent", 1, "10", "1O3", "103", "10^3", true},
                          {"a faint flag over a 10 level: no exponent", 0, "10", "103", "103", "103", true}};
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A 1 at columns 60-61 and a 0 at 64-70, rows 40-51; the exponent at 71-73, rows 40-rise to 45.
        PixelMask ink(200, 100);
        PixelBuffer page = whitePage(200, 100);
        const auto inked = [&](int x, int y, std::uint32_t grey) { ink.set(x, y, true), page.setPixel(x, y, grey); };
        for (int y = 40; y < 52; ++y)
            for (int x : {60, 61, 64, 65, 66, 67, 68, 69, 70}) inked(x, y, 0xff000000);
        for (int y = 40 - c.rise; y <= 45; ++y)
            for (int x = 71; x <= 73; ++x) inked(x, y, 0xff000000);
        if (c.faintFlag) inked(61, 40 - std::max(1, c.rise), 0xffe1e1e1);
        const auto words = labelsIn(page, ink, strip, PowerReader(page, c.base, c.whole, c.joined));
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words.front().text, c.read);
    }
}

// Only a tick's first pixels may stand in the labels' strip: a stub half
// again as long as thick, level with the number's middle, is left out of
// the number (as a longer dash is); a square mark there is not.
TEST(AxisFinder, ATicksStubAfterANumberIsLeftOut)
{
    struct Case {
        const char* name;
        int width; // a mark 2 rows thick at rows 45-46, from column 89
        int right; // where the word's box ends, padded by 3 pixels
    };
    const Case cases[] = {{"a stub 3 long", 3, 86 + 3}, {"a dash 4 long", 4, 86 + 3}, {"a square mark", 2, 90 + 3}};
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelMask ink = numberWithMark(89, 45, 88 + c.width, 46);
        const auto words = labelsIn(*PixelBuffer::create(200, 100), ink, strip, FixedReader("12"));
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words.front().box.left + words.front().box.width - 1, c.right);
    }
}

// A number on a blurred scan read as a mark ("90" as "®") is read again
// sharpened, and that reading taken when it is a number. A number, a lone
// stroke (a tick mark) and a power of ten whose exponent was lost are not
// read again; a reading again that is no number, or a number with a zero
// first (a digit or a decimal mark lost), leaves the first.
TEST(AxisFinder, ANumberReadAsAMarkIsReadAgainSharpened)
{
    struct Case {
        const char* name;
        const char* asDrawn;
        const char* sharpened;
        const char* kept;
        int readAgain;
        int inkWidth = 9; // the ink 7 rows tall
    };
    const Case cases[] = {{"a blot read again as a number", "\u00ae", "90", "90", 1},
                          {"a minus read as a quote", "\u201c15", "-15", "-15", 1},
                          {"a blot read again as no number", "p", "ab", "p", 1},
                          {"a blot read again with a zero first (500 as 00)", "p", "00", "p", 1},
                          // Two digits' width of ink read again as one digit ("20" as "0").
                          {"a blot read again as fewer digits than its ink holds", "p", "0", "p", 1},
                          {"a blot one digit wide read again as one digit", "p", "5", "5", 1, 4},
                          {"nothing read", "", "90", "90", 1},
                          {"a number", "30", "80", "30", 0},
                          {"a stroke", "!", "90", "!", 0},
                          {"a power of ten without its exponent", "10\u00b0", "100", "10^?", 0},
                          // At an axis's end a factor is no number by design; read again it would lose its mark.
                          {"a factor", "x1000", "1000", "x1000", 0},
                          {"a factor with its sign", "\u00d710\u2074", "104", "\u00d710\u2074", 0},
                          {"a factor written with an e", "1e4)", "104", "1e4)", 0}};
    const PixelRect strip{50, 20, 100, 60};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // One block of ink, two digits wide unless told.
        PixelMask ink(200, 100);
        for (int y = 40; y < 47; ++y)
            for (int x = 80; x < 80 + c.inkWidth; ++x) ink.set(x, y, true);
        const BlurredReader reader(c.asDrawn, c.sharpened);
        const auto words = labelsIn(*PixelBuffer::create(200, 100), ink, strip, reader);
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words.front().text, c.kept);
        EXPECT_EQ(reader.sharpenedReadings, c.readAgain);
    }
}

namespace {

// Reads each mark as the number its place on the test page stands for:
// under the chart 0, 10, 20, 30 at columns 100, 200, 300, 400; left of it
// 0 to 30 at rows 400 up to 100.
class PlaceReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        const double x = area.left + area.width / 2, y = area.top + area.height / 2;
        const double value = y > 400 ? (x - 100) / 10 : (400 - y) / 10;
        return {{std::to_string(static_cast<int>(std::lround(value / 10) * 10)), area, 95, {}, {}}};
    }
};

// A black rectangle, both corners included.
void fillBlack(PixelBuffer& p, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) p.setPixel(x, y, 0xff000000);
}

// A framed box, ticks every 100 pixels on its bottom and left sides, and an
// 8 x 12 mark under or beside each tick when it is numbered.
void chartBox(PixelBuffer& p, int left, int right, bool numbered)
{
    const auto fill = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) p.setPixel(x, y, 0xff000000);
    };
    fill(left, 100, right, 101), fill(left, 399, right, 400), fill(left, 100, left + 1, 400), fill(right - 1, 100, right, 400);
    for (int k = 0; k <= 3; ++k) {
        fill(left + 100 * k, 401, left + 100 * k + 1, 406), fill(left - 6, 100 + 100 * k, left - 1, 101 + 100 * k);
        if (numbered) fill(left + 100 * k - 4, 414, left + 100 * k + 3, 425), fill(left - 24, 94 + 100 * k, left - 17, 105 + 100 * k);
    }
}

} // namespace

// A box beside the charts read, its numbers not read, is dropped as no chart
// when empty (a table); holding curves, it is a chart whose axes are not read,
// numbered in its place among the charts (its box is found, so its place is
// sure however many such boxes the page holds).
TEST(AxisFinder, CurvesInABoxDroppedAsNoChartAreTold)
{
    struct Case {
        const char* name;
        int curvesInTheBox; // the second apart from the first, within its reach across and down
        std::size_t unread;
    };
    const Case cases[] = {{"an empty box", 0, 0}, {"a box with a coloured curve", 1, 1}, {"a box with two curves apart", 2, 1}};
    for (const bool twoCharts : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (twoCharts ? ", beside two charts" : ", beside one chart"));
            PixelBuffer p = whitePage(1400, 600);
            chartBox(p, 100, 400, true);
            if (twoCharts) chartBox(p, 560, 860, true);
            chartBox(p, 1000, 1300, false);
            if (c.curvesInTheBox > 0)
                for (int x = 1020; x <= 1280; ++x)
                    for (int t = 0; t < 3; ++t) p.setPixel(x, 380 - (x - 1020) + t, 0xff1f77b4);
            if (c.curvesInTheBox > 1)
                for (int x = 1020; x <= 1180; ++x)
                    for (int t = 0; t < 3; ++t) p.setPixel(x, 160 - (x - 1020) / 4 + t, 0xffff7f0e);
            const PageAxes page = findPageAxes(p, PlaceReader());
            ASSERT_EQ(page.axes.size(), twoCharts ? 2u : 1u) << page.failure;
            ASSERT_EQ(page.unread.size(), c.unread);
            if (!c.unread) continue;
            // The box right of the charts read takes the last number; that chart chosen is told
            // unread for want of numbers, with none chosen the page is told whole, the box as drawn.
            const std::string last = twoCharts ? "3" : "2";
            EXPECT_EQ(page.unread.front().number, std::stoul(last));
            for (const bool chosen : {false, true}) {
                std::vector<std::string> args = {"--extract", "page.png", "--auto-axes", "--colour", "#1f77b4"};
                if (chosen) args.insert(args.end(), {"--chart", last});
                const calvero::Checked<ExtractOptions> options = parseExtractOptions(args);
                ASSERT_TRUE(options) << options.failure();
                std::ostringstream out, errors;
                const PlaceReader reader;
                EXPECT_EQ(runExtract(*options, p, out, errors, &reader), 3);
                const std::string told = chosen ? "il grafico " + last + " ha assi che non si leggono (asse x: meno di due numeri concordi"
                                                : "; " + last + " (1001,101 - 1300,400), assi non letti; sceglierne uno con --chart N";
                EXPECT_NE(errors.str().find(told), std::string::npos) << errors.str();
            }
        }
    }
    // Two such boxes: each is numbered in its place, the one between the others second.
    PixelBuffer p = whitePage(1400, 600);
    chartBox(p, 100, 400, true);
    for (const int left : {560, 1000}) {
        chartBox(p, left, left + 300, false);
        for (int x = left + 20; x <= left + 280; ++x)
            for (int t = 0; t < 3; ++t) p.setPixel(x, 380 - (x - left - 20) + t, 0xff1f77b4);
    }
    const calvero::Checked<ExtractOptions> options =
        parseExtractOptions({"--extract", "page.png", "--auto-axes", "--colour", "#1f77b4", "--chart", "2"});
    ASSERT_TRUE(options) << options.failure();
    std::ostringstream out, errors;
    const PlaceReader reader;
    EXPECT_EQ(runExtract(*options, p, out, errors, &reader), 3);
    EXPECT_NE(errors.str().find("il grafico 2 ha assi che non si leggono"), std::string::npos) << errors.str();
}

namespace {

// The place reader, but the numbers under the chart right of column 900 all read 7: no axis.
class ThirdChartUnreadable : public PlaceReader {
public:
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind kind, const ReadHints& hints) const override
    {
        if (area.left > 900 && area.top > 400) return {{"7", area, 95, {}, {}}};
        return PlaceReader::read(picture, area, kind, hints);
    }
};

// Reads a mark by its place as PlaceReader does, but only when the area
// holds the whole mark (8 wide, padded): a number cut short reads as nothing.
class WholeMarkReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind kind, const ReadHints& hints) const override
    {
        if (area.width < 12) return {};
        return PlaceReader().read(picture, area, kind, hints);
    }
};

} // namespace

// The numbers along an axis stand in a row; drifting across it by more
// than about half a degree they tell of a page turned and not turned
// straight, whose axes would be read askew.
TEST(AxisFinder, NumbersDriftingAcrossTheirAxisAreTold)
{
    struct Case {
        const char* name;
        int xDrift, yDrift; // rows the x numbers, columns the y numbers, move from one tick to the next (100 pixels)
        const char* told;   // nothing: read
    };
    const Case cases[] = {{"level and plumb", 0, 0, nullptr},
                          {"x numbers 1.7 degrees askew", 3, 0, "asse x: i numeri non stanno in fila (di sbieco di 1.7 gradi)"},
                          {"y numbers 1.1 degrees askew", 0, 2, "asse y: i numeri non stanno in fila (di sbieco di 1.1 gradi)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = whitePage(600, 500);
        chartBox(p, 100, 400, false);
        const auto fill = [&](int x0, int y0, int x1, int y1) {
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) p.setPixel(x, y, 0xff000000);
        };
        for (int k = 0; k <= 3; ++k) {
            fill(100 + 100 * k - 4, 414 + c.xDrift * k, 100 + 100 * k + 3, 425 + c.xDrift * k);
            fill(100 - 24 - c.yDrift * (3 - k), 94 + 100 * k, 100 - 17 - c.yDrift * (3 - k), 105 + 100 * k);
        }
        const calvero::Checked<FoundAxes> found = findAxes(p, PlaceReader());
        if (!c.told) {
            EXPECT_TRUE(found) << found.failure();
        } else {
            ASSERT_FALSE(found);
            EXPECT_NE(found.failure().find(c.told), std::string::npos) << found.failure();
        }
    }
}

// Charts are numbered left to right among all the page holds, those whose
// axes are not read too: --chart N reads the chart N the user sees.
TEST(AxisFinder, AChartWhoseAxesAreNotReadKeepsItsNumber)
{
    PixelBuffer p = whitePage(1400, 600);
    for (const int left : {100, 560, 1000}) {
        chartBox(p, left, left + 300, true);
        for (int x = left + 20; x <= left + 280; ++x)
            for (int t = 0; t < 3; ++t) p.setPixel(x, 380 - (x - left - 20) + t, 0xff1f77b4);
    }
    struct Case {
        const char* chart;
        int code;
        const char* told;
        double firstX; // the x of the first point read: chart 1's axis runs 0-30, chart 2's 50-80
    };
    const Case cases[] = {{nullptr, 3, "la pagina ha 3 grafici: 1 (", 0},
                          {"1", 0, nullptr, 2},
                          {"2", 0, nullptr, 52},
                          {"3", 3, "il grafico 3 ha assi che non si leggono", 0},
                          {"4", 3, "--chart 4: la pagina ha 3 grafici", 0}};
    const ThirdChartUnreadable reader;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chart ? c.chart : "no --chart");
        std::vector<std::string> args = {"--extract", "page.png", "--auto-axes", "--colour", "#1f77b4", "--points", "2"};
        if (c.chart) args.insert(args.end(), {"--chart", c.chart});
        const calvero::Checked<ExtractOptions> options = parseExtractOptions(args);
        ASSERT_TRUE(options) << options.failure();
        std::ostringstream out, errors;
        EXPECT_EQ(runExtract(*options, p, out, errors, &reader), c.code) << errors.str();
        if (c.told) {
            EXPECT_NE(errors.str().find(c.told), std::string::npos) << errors.str();
        }
        if (!c.chart || c.code != 0) continue;
        EXPECT_NEAR(std::stod(out.str()), c.firstX, 1.0) << out.str();
    }
    const PageAxes page = findPageAxes(p, reader);
    EXPECT_NE(pageChartsMessage(page).find("; 3 (1001,101 - 1300,400), assi non letti"), std::string::npos)
        << pageChartsMessage(page);
}

// A curve starting on the y axis with a square marker puts ink across the
// axis line far beyond its ticks: the numbers' strip still begins where the
// ticks end, so numbers set close to them are read whole; and a marker over
// a tick, its middle off the tick's, does not place the label beside it.
TEST(AxisFinder, AMarkerOnTheAxisDoesNotPushTheNumbersStripOut)
{
    struct Case {
        const char* name;
        int markers; // 12 tall squares across the axis line, from 18 pixels left of it into the plot
        int overTicks; // 13 tall squares centred on the axis line over the ticks of 20 and 10, their middles 3 rows above them
    };
    const Case cases[] = {{"no marker", 0, 0}, {"one marker", 1, 0}, {"three markers", 3, 0}, {"a marker over a tick", 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = whitePage(600, 500);
        chartBox(p, 100, 400, true);
        for (int k = 0; k < c.markers; ++k)
            for (int y = 144 + 100 * k; y < 156 + 100 * k; ++y)
                for (int x = 100 - 18; x < 100 + 6; ++x) p.setPixel(x, y, 0xff000000);
        for (int k = 0; k < c.overTicks; ++k)
            for (int y = 191 + 100 * k; y <= 203 + 100 * k; ++y)
                for (int x = 100 - 6; x <= 100 + 6; ++x) p.setPixel(x, y, 0xffd62728);
        const PageAxes page = findPageAxes(p, WholeMarkReader());
        ASSERT_EQ(page.axes.size(), 1u) << page.failure;
        // 0 to 30 from row 400 up to row 100 (the labels' middles, at the ticks).
        EXPECT_NEAR(page.axes[0].y.first.value, 0, 1e-9);
        EXPECT_NEAR(page.axes[0].y.first.position, 400.5, 1.5);
        EXPECT_NEAR(page.axes[0].y.second.value, 30, 1e-9);
        EXPECT_NEAR(page.axes[0].y.second.position, 100.5, 1.5);
        for (const ReadTick& t : page.axes[0].y.ticks)
            if (t.agrees) {
                EXPECT_NEAR(t.position, 400.5 - 10 * t.value, 1.5) << t.text;
            }
    }
}

// A chart whose y references stand 100 pixels apart leaves a pixel 1 % of
// the span: no curve read against it is within the targets, and it is told.
TEST(AxisFinder, ReferencesTooCloseToReadAreTold)
{
    PixelBuffer p = whitePage(600, 500);
    const auto fill = [&](int x0, int y0, int x1, int y1) { fillBlack(p, x0, y0, x1, y1); };
    // A frame from row 290 to 400, ticks and numbers at rows 400 and 300 (0 and 10) and under columns 100-400.
    fill(100, 290, 400, 291), fill(100, 399, 400, 400), fill(100, 290, 101, 400), fill(399, 290, 400, 400);
    for (int k = 0; k <= 3; ++k) fill(100 + 100 * k, 401, 101 + 100 * k, 406), fill(100 + 100 * k - 4, 414, 100 + 100 * k + 3, 425);
    for (const int row : {400, 300}) fill(94, row, 99, row + 1), fill(76, row - 6, 83, row + 5);
    const PageAxes page = findPageAxes(p, PlaceReader());
    EXPECT_TRUE(page.axes.empty());
    EXPECT_NE(page.failure.find("asse y: i riferimenti distano solo"), std::string::npos) << page.failure;
    EXPECT_NE(page.failure.find("(un pixel: 1 % del campo)"), std::string::npos)
        << page.failure;
}

namespace {

// Under the chart, the value a column stands for at 10 a hundred pixels
// from `zeroColumn`; beside the y axis, wherever it is, 10 a hundred pixels up from 0 at row 400.
class CrossingReader : public TextReader {
public:
    explicit CrossingReader(double zeroColumn) : zero_(zeroColumn) {}
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        const double x = area.left + area.width / 2, y = area.top + area.height / 2;
        const double value = y > 400 ? std::lround((x - zero_) / 10) : std::lround((400 - y) / 10);
        return {{std::to_string(static_cast<int>(value)), area, 95, {}, {}}};
    }

private:
    double zero_;
};

} // namespace

// Axes crossing at zero: a y axis drawn inside the plot where the x axis
// puts 0, its numbers on its left, the margin empty. It is read there only
// where 0 falls inside the plot; grid lines fainter than the numbers, run
// on through them, are not theirs.
TEST(AxisFinder, AYAxisInsideThePlotAtXZeroIsRead)
{
    struct Case {
        const char* name;
        double zeroColumn; // where the x numbers put 0 (ticks at columns 100.5 to 400.5)
        int line;          // the inner y axis line's first column (2 wide), 0: none
        bool grid;         // grey grid lines across the plot through the numbers' middles
        bool read;
    };
    const Case cases[] = {
        {"-15 to 15, the y axis at 0", 250.5, 250, false, true},
        {"-15 to 15, no axis line drawn: numbers inside the plot may be anything's", 250.5, 0, false, false},
        {"-15 to 15, grid lines through the numbers", 250.5, 250, true, true},
        {"5 to 35: 0 left of the plot", 50.5, 250, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = whitePage(600, 500);
        const auto fill = [&](int x0, int y0, int x1, int y1) { fillBlack(p, x0, y0, x1, y1); };
        // The frame, ticks and numbers under it at columns 100, 200, 300, 400.
        fill(100, 100, 400, 101), fill(100, 399, 400, 400), fill(100, 100, 101, 400), fill(399, 100, 400, 400);
        for (int k = 0; k <= 3; ++k) fill(100 + 100 * k, 401, 101 + 100 * k, 406), fill(100 + 100 * k - 4, 414, 100 + 100 * k + 3, 425);
        // The inner axis's line, its ticks on the left and its numbers beside them, at rows 150, 250 and 350.
        if (c.grid)
            for (int k = 0; k <= 2; ++k)
                for (int x = 102; x < 399; ++x) p.setPixel(x, 150 + 100 * k, 0xffb0b0b0);
        if (c.line) fill(c.line, 100, c.line + 1, 400);
        for (int k = 0; k <= 2; ++k) fill(244, 150 + 100 * k, 249, 151 + 100 * k), fill(226, 144 + 100 * k, 233, 155 + 100 * k);
        const PageAxes page = findPageAxes(p, CrossingReader(c.zeroColumn));
        if (!c.read) {
            EXPECT_TRUE(page.axes.empty());
            EXPECT_NE(page.failure.find("asse y: meno di due numeri concordi"), std::string::npos) << page.failure;
            continue;
        }
        ASSERT_EQ(page.axes.size(), 1u) << page.failure;
        // 5 at row 350.5 and 25 at row 150.5 (the ticks' middles), the references on the inner line.
        EXPECT_NEAR(page.axes[0].y.first.value, 5, 1e-9);
        EXPECT_NEAR(page.axes[0].y.first.position, 350.5, 1.5);
        EXPECT_NEAR(page.axes[0].y.second.value, 25, 1e-9);
        EXPECT_NEAR(page.axes[0].y.second.position, 150.5, 1.5);
        EXPECT_NEAR(page.axes[0].references.y.first.x, 251, 1.5);
    }
}

namespace {

// Under the chart, decades 150 pixels apart from 10 at column 100 (a label's
// middle to the nearest decade); beside the y axis, 10 a hundred pixels up from 0 at row 400.
class DecadeReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        const double x = area.left + area.width / 2, y = area.top + area.height / 2;
        if (y > 400) return {{"1" + std::string(static_cast<std::size_t>(std::lround((x - 100) / 150)) + 1, '0'), area, 95, {}, {}}};
        return {{std::to_string(10 * std::lround((400 - y) / 100)), area, 95, {}, {}}};
    }
};

} // namespace

// A log axis's minor ticks crowd toward the next decade: the one at 9 x 10^k
// stands within reach of a label of 10^(k+1) set off its tick (as a raised
// exponent sets it). The label takes the longer, major, tick; with the
// minor ticks as long as the major ones there is no telling, and it stands
// by its own middle.
TEST(AxisFinder, ALogLabelTakesItsMajorTickNotTheMinorBeside)
{
    struct Case {
        const char* name;
        int minorLength; // the major ticks are 8 long
        double offset; // where the labels stand from their decades' columns
    };
    // Major ticks at columns 100-101, 250-251, 400-401 (middles 101, 251, 401);
    // labels 28 wide at columns t-18 to t+9, their middles at t-4; the 9 x 10^k
    // minor tick at columns t-7 to t-6 (middle t-6), 2 from the label's middle.
    const Case cases[] = {{"minor ticks half as long", 4, 1}, {"minor ticks as long as the major ones", 8, -4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = whitePage(600, 500);
        fillBlack(p, 40, 100, 401, 101), fillBlack(p, 40, 399, 401, 400), fillBlack(p, 40, 100, 41, 400), fillBlack(p, 400, 100, 401, 400);
        for (const int row : {100, 200, 300, 400}) fillBlack(p, 34, row, 39, row + 1), fillBlack(p, 16, row - 6, 23, row + 5);
        for (const int t : {100, 250, 400}) {
            fillBlack(p, t, 401, t + 1, 408);
            fillBlack(p, t - 18, 414, t + 9, 427);
            // The minor ticks of the decade before, those inside the frame (log10 k of 150 pixels, rounded).
            for (const int k : {2, 3, 4, 5, 6, 7, 8, 9}) {
                const int m = t - 150 + static_cast<int>(std::lround(150 * std::log10(k)));
                if (m > 42) fillBlack(p, m, 401, m + 1, 400 + c.minorLength);
            }
        }
        const PageAxes page = findPageAxes(p, DecadeReader());
        ASSERT_EQ(page.axes.size(), 1u) << page.failure;
        const AxisReading& x = page.axes[0].x;
        EXPECT_EQ(x.scale, AxisScale::Logarithmic);
        EXPECT_NEAR(x.first.value, 10, 1e-9);
        EXPECT_NEAR(x.first.position, 100 + c.offset, 0.6);
        EXPECT_NEAR(x.second.value, 1000, 1e-9);
        EXPECT_NEAR(x.second.position, 400 + c.offset, 0.6);
    }
}

namespace {

// Two stacked panels, columns 100-400, the upper rows 100-400, the lower
// 440-740, ticks every 100 pixels, numbers on the left of each and under the
// lower only. Each mark reads as its place's number, but the upper panel's
// lowest, reaching into the gap between the panels, reads "0-" (as read
// with its tick mark on a drawn stacked page).
class StackedPlaceReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        const double x = area.left + area.width / 2, y = area.top + area.height / 2;
        if (y > 395 && y < 440) return {{"0-", area, 95, {}, {}}};
        const double value = y > 745 ? (x - 100) / 10 : y > 420 ? (740 - y) / 10 : (400 - y) / 10;
        return {{std::to_string(static_cast<int>(std::lround(value / 10) * 10)), area, 95, {}, {}}};
    }
};

PixelBuffer stackedPanels()
{
    PixelBuffer p = whitePage(600, 800);
    const auto fill = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) p.setPixel(x, y, 0xff000000);
    };
    for (const int top : {100, 440}) {
        const int bottom = top + 300;
        fill(100, top, 400, top + 1), fill(100, bottom - 1, 400, bottom), fill(100, top, 101, bottom), fill(399, top, 400, bottom);
        for (int k = 0; k <= 3; ++k) {
            fill(100 + 100 * k, bottom + 1, 101 + 100 * k, bottom + 6), fill(94, top + 100 * k, 99, top + 1 + 100 * k);
            fill(76, top - 6 + 100 * k, 83, top + 5 + 100 * k);
            if (top == 440) fill(96 + 100 * k, bottom + 14, 103 + 100 * k, bottom + 25);
        }
    }
    return p;
}

} // namespace

// Above a panel's top, where a factor ("1e4") is looked for, the panel
// above's lowest number and its ticks reach down into the gap: the look
// stops halfway to that panel, so they are not read as a factor not
// understood, and both panels are read (the upper with the lower's x axis).
TEST(AxisFinder, AFactorIsNotLookedForInThePanelAbove)
{
    const PageAxes page = findPageAxes(stackedPanels(), StackedPlaceReader());
    ASSERT_EQ(page.axes.size(), 2u) << page.failure;
    EXPECT_TRUE(page.unread.empty());
    for (const FoundAxes& a : page.axes) {
        SCOPED_TRACE(a.chart.top);
        // y 0 to 30 from the bottom row up, 10 pixels a unit (the upper panel's 0 unread: 10 to 30);
        // x 0 to 30 at columns 100 to 400 for both.
        for (const ReadTick& t : {a.y.first, a.y.second}) EXPECT_NEAR(t.position, a.chart.top + 300 - 10 * t.value, 1.5);
        EXPECT_EQ(a.y.second.value, 30);
        EXPECT_EQ(a.x.first.value, 0);
        EXPECT_EQ(a.x.second.value, 30);
        EXPECT_NEAR(a.x.second.position, 400, 1.5);
        EXPECT_FALSE(a.yFactor);
    }
}

// Inward ticks on a plot drawn as a light area with no frame: at the
// bottom-left corner the x axis's first tick, drawn inside the area, runs
// up along the left edge into the y axis's lowest tick, and the two make
// one run of ink there; the y tick is placed where it reaches its length,
// not at the run's middle.
TEST(AxisFinder, AnInwardTickAtTheCornerIsPlacedApartFromTheOtherAxisTick)
{
    PixelBuffer p = whitePage(600, 500);
    const auto fill = [&](int x0, int y0, int x1, int y1, std::uint32_t argb) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) p.setPixel(x, y, argb);
    };
    constexpr std::uint32_t LightGrey = 0xffe0e0e0, Black = 0xff000000;
    fill(100, 90, 400, 410, LightGrey);
    for (int k = 0; k <= 3; ++k) {
        // y ticks 4 rows thick at rows 100k + 98..101 (middle 100k + 100), 10 long into the plot;
        // x ticks 4 columns wide at 100k + 100..103, 10 long up from the bottom.
        fill(100, 98 + 100 * k, 110, 101 + 100 * k, Black), fill(100 + 100 * k, 400, 103 + 100 * k, 410, Black);
        // Numbers 8 x 12: beside the y ticks, their middles 2 rows below them (snapped to them); under the x ticks.
        fill(76, 96 + 100 * k, 83, 107 + 100 * k, Black), fill(98 + 100 * k, 424, 105 + 100 * k, 435, Black);
    }
    const PageAxes page = findPageAxes(p, WholeMarkReader());
    ASSERT_EQ(page.axes.size(), 1u) << page.failure;
    // 0 to 30 from row 400 up to row 100.
    EXPECT_NEAR(page.axes[0].y.first.position, 400 - 10 * page.axes[0].y.first.value, 0.5);
    for (const ReadTick& t : page.axes[0].y.ticks)
        if (t.agrees) {
            EXPECT_NEAR(t.position, 400 - 10 * t.value, 0.5) << t.text;
        }
}

namespace {

// The numbers by their places; the y axis's title, read turned, "Q [x1000 m3/h]"
// when the piece holds it whole; and a blot between the numbers read "25",
// its box reaching left over the title (as a scan's "×10⁴" read with the
// margin beside it).
class TitledReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer& picture, const PixelRect& area, TextKind kind, const ReadHints& hints) const override
    {
        if (kind == TextKind::Line) return picture.height() >= 12 ? std::vector<ReadWord>{{"Q [x1000 m3/h]", area, 90, {}, {}}} : std::vector<ReadWord>{};
        if (area.top > 240 && area.top + area.height < 260 && area.left + area.width < 100)
            return {{"25", {38, area.top, area.left + area.width - 38, area.height}, 60, {}, {}}};
        return WholeMarkReader().read(picture, area, kind, hints);
    }
};

} // namespace

// A word between the numbers that does not agree with them (a piece of the
// title read as a number) does not move where the y axis's title is looked
// for: the title is read and its factor applied.
TEST(AxisFinder, AWordNotAgreeingDoesNotHideTheTitleBesideTheNumbers)
{
    PixelBuffer p = whitePage(600, 500);
    chartBox(p, 100, 400, true);
    fillBlack(p, 40, 260, 49, 390); // the title, written upwards (too narrow a mark to read as a number)
    fillBlack(p, 66, 245, 83, 254); // the blot read "25"
    const PageAxes page = findPageAxes(p, TitledReader());
    ASSERT_EQ(page.axes.size(), 1u) << page.failure;
    ASSERT_TRUE(page.axes[0].yFactor);
    EXPECT_EQ(page.axes[0].yFactor->multiply, 1000);
    EXPECT_NEAR(page.axes[0].y.second.value, 30000, 1e-6);
}

namespace {

// Powers of ten as a raised exponent reads them: "10^1" under the column
// 100, "10^2" under 250, "10^3" under 400; the y axis's numbers by their rows.
class RaisedDecadeReader : public TextReader {
public:
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        const double x = area.left + area.width / 2, y = area.top + area.height / 2;
        if (y > 400) return {{"10^" + std::to_string(std::lround((x - 100) / 150) + 1), area, 95, {}, {}}};
        return {{std::to_string(10 * std::lround((400 - y) / 100)), area, 95, {}, {}}};
    }
};

} // namespace

// A log axis's last decade at the plot's corner, its tick and label just past
// where the axis line ends (a plot area drawn a few pixels short of its last
// tick): the label is the next decade the others step to, no factor for the
// whole axis.
TEST(AxisFinder, ALastLabelJustPastTheLineEndIsNoFactor)
{
    // The plot a light grey area, columns 40-396 and rows 100-400, with no frame.
    PixelBuffer p = whitePage(600, 500);
    for (int y = 100; y <= 400; ++y)
        for (int x = 40; x <= 396; ++x) p.setPixel(x, y, 0xffe0e0e0);
    for (const int row : {100, 200, 300, 400}) fillBlack(p, 34, row, 39, row + 1), fillBlack(p, 16, row - 6, 23, row + 5);
    // Ticks at columns 100, 250 and 400 (the last past the area's end), labels centred on them.
    for (const int t : {100, 250, 400}) fillBlack(p, t, 401, t + 1, 408), fillBlack(p, t - 13, 414, t + 14, 427);
    const PageAxes page = findPageAxes(p, RaisedDecadeReader());
    ASSERT_EQ(page.axes.size(), 1u) << page.failure;
    const FoundAxes& a = page.axes[0];
    EXPECT_FALSE(a.xFactor);
    EXPECT_EQ(a.x.scale, AxisScale::Logarithmic);
    // 10 at column 100.5, 100 at 250.5: a decade every 150 columns.
    for (const ReadTick& t : {a.x.first, a.x.second}) EXPECT_NEAR(t.position, 100.5 + 150 * (std::log10(t.value) - 1), 1.0);
}

// Marks along the x axis that do not stand evenly by the numbers (a scan's
// grain read as ticks, each within a label's reach) while the numbers' own
// middles do: the labels stand by their middles, not by the marks.
TEST(AxisFinder, LabelsStandByTheirMiddlesWhenTheMarksBesideAreUneven)
{
    PixelBuffer p = whitePage(600, 500);
    fillBlack(p, 60, 100, 440, 101), fillBlack(p, 60, 399, 440, 400), fillBlack(p, 60, 100, 61, 400), fillBlack(p, 439, 100, 440, 400);
    for (const int row : {100, 200, 300, 400}) fillBlack(p, 54, row, 59, row + 1), fillBlack(p, 36, row - 6, 43, row + 5);
    // Numbers 16 wide centred on columns 100..400 (0 to 30); marks 2 or 3 columns off them, both ways.
    const int marks[] = {102, 197, 303, 398};
    for (int k = 0; k < 4; ++k) fillBlack(p, 100 * k + 92, 414, 100 * k + 107, 425), fillBlack(p, marks[k], 401, marks[k], 406);
    const PageAxes page = findPageAxes(p, PlaceReader());
    ASSERT_EQ(page.axes.size(), 1u) << page.failure;
    for (const ReadTick& t : page.axes[0].x.ticks)
        if (t.agrees) {
            EXPECT_NEAR(t.position, 100 + 10 * t.value, 0.6) << t.text;
        }
}

namespace {

// Under the chart 0 to 30 at columns 100 to 400; left of it 10 to 40 at rows
// 400 up to 100, read whole only when the area reaches the number's last
// digit (column 94), or with a mark after it instead; cut before it, the
// first digit alone.
class CutNumberReader : public TextReader {
public:
    explicit CutNumberReader(bool readsWhole) : readsWhole_(readsWhole) {}
    std::vector<ReadWord> read(const PixelBuffer&, const PixelRect& area, TextKind, const ReadHints&) const override
    {
        const double x = area.left + area.width / 2, y = area.top + area.height / 2;
        if (y > 400) return {{std::to_string(10 * std::lround((x - 100) / 100)), area, 95, {}, {}}};
        const std::string whole = std::to_string(10 * std::lround((400 - y) / 100) + 10);
        if (area.left + area.width < 94) return {{whole.substr(0, 1), area, 95, {}, {}}};
        return {{readsWhole_ ? whole : whole.substr(0, 1) + "-", area, 95, {}, {}}};
    }

private:
    bool readsWhole_;
};

} // namespace

// A scan's blur joins the y numbers' last digits to the axis line, and the
// joined strokes pass for ticks reaching out 11 pixels: the strip the
// numbers are read in, set beyond those ticks, would cut every last digit
// (40 30 20 10 read 4 3 2 1, evenly, a wrong axis). A number reaching the
// strip's edge has the strip read again up to the line, taken where it goes
// on the cut numbers; read there with a mark instead (a tick met), the
// first reading stays.
TEST(AxisFinder, NumbersRunIntoTheAxisLineAreReadWhole)
{
    struct Case {
        const char* name;
        bool readsWhole;
        double firstValue; // the value the labels at row 400.5 are read as, ten rows a unit
        double unitRows;
    };
    const Case cases[] = {{"read whole up to the line", true, 10, 10}, {"a mark read up to the line", false, 1, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = whitePage(600, 500);
        fillBlack(p, 100, 100, 400, 101), fillBlack(p, 100, 399, 400, 400), fillBlack(p, 100, 100, 101, 400), fillBlack(p, 399, 100, 400, 400);
        for (int k = 0; k <= 3; ++k) {
            const int row = 100 + 100 * k;
            fillBlack(p, 100 + 100 * k, 401, 101 + 100 * k, 406), fillBlack(p, 96 + 100 * k, 414, 103 + 100 * k, 425);
            // The first digit at columns 76-86, the last at 89-95 bridged to the line (columns 96-99) on two rows.
            fillBlack(p, 76, row - 6, 86, row + 5), fillBlack(p, 89, row - 6, 95, row + 5);
            fillBlack(p, 96, row - 4, 99, row - 4), fillBlack(p, 96, row + 3, 99, row + 3);
        }
        const PageAxes page = findPageAxes(p, CutNumberReader(c.readsWhole));
        ASSERT_EQ(page.axes.size(), 1u) << page.failure;
        EXPECT_EQ(page.axes[0].y.first.value, c.firstValue);
        for (const ReadTick& t : {page.axes[0].y.first, page.axes[0].y.second})
            EXPECT_NEAR(t.position, 400.5 - c.unitRows * (t.value - c.firstValue), 1.0) << t.text;
    }
}

// The bottom line drawn on beyond the plot's left side (a grid line run
// into the corner) crosses the y axis's bottom number there, whose strokes
// reach farther down than the ticks: they are no ticks, and the x numbers'
// strip starts after the ticks, not after those strokes. Started beyond the
// strokes, it cut the last x number's top beyond the line's end, and the
// number was left out.
TEST(AxisFinder, TheOtherAxisNumberAtTheCornerIsNoTick)
{
    struct Case {
        const char* name;
        int reach; // rows the corner number's stroke reaches below the bottom line
    };
    const Case cases[] = {{"no stroke", 0}, {"a stroke as long as a tick", 6}, {"a stroke reaching past the numbers' top", 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelBuffer p = whitePage(600, 500);
        chartBox(p, 100, 400, true);
        fillBlack(p, 40, 399, 99, 400);
        if (c.reach > 0) fillBlack(p, 60, 392, 61, 400 + c.reach);
        const PageAxes page = findPageAxes(p, WholeMarkReader());
        ASSERT_EQ(page.axes.size(), 1u) << page.failure;
        // 0 to 30 from column 100 to column 400, the last number read.
        EXPECT_NEAR(page.axes[0].x.second.value, 30, 1e-9);
        EXPECT_NEAR(page.axes[0].x.second.position, 400.5, 1.5);
    }
}
