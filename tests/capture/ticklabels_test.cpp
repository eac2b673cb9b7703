// The tick-label checks without OCR: the readings a label allows, and the
// axis the labels agree on, a misread label left out.
#include "capture/ticklabels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace calvero::capture;

TEST(TickLabels, EachTextGivesTheValuesItMayStandFor)
{
    const std::pair<const char*, std::vector<double>> cases[] = {
        {"25", {25}},
        {"0,5", {0.5}},
        {"-2.5", {-2.5}},
        {"\xe2\x88\x92" "10", {-10}},  // the typographic minus of matplotlib
        {"1,000", {1000, 1}},         // thousands mark or decimal comma: the axis decides
        {"12.500.000", {12500000}},
        {"0,250", {0.25}},            // no thousands group begins with 0
        {"1.234,5", {1234.5}},
        {"10^3", {1000}},
        {"10^-2", {0.01}},
        {"2x10^3", {2000}},
        {"1e+06", {1e6}},
        {"102", {102, 100}},          // 10² with its exponent read on the line
        {"Q [m3/h]", {}},
        {"", {}},
        {"3O", {30}},                 // letters taken for digits, mended in a number
        {"l5", {15}},
        {"Portata", {}},
    };
    for (const auto& [text, values] : cases) {
        const std::vector<double> read = labelValues(text);
        ASSERT_EQ(read.size(), values.size()) << text;
        for (std::size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(read[i], values[i], 1e-9 * std::abs(values[i])) << text;
    }
}

TEST(TickLabels, TheAxisIsWhatMostLabelsAgreeOnAndAMisreadLabelIsLeftOut)
{
    struct Case {
        const char* name;
        std::string axis;
        std::vector<TickLabel> labels;
        const char* refused; // a part of the reason the axis is not read, or none
        AxisScale scale;
        double firstValue, secondValue; // the references: the agreeing labels farthest apart
        std::vector<bool> agrees;
        double secondPosition = 0; // where the second reference is placed, when it matters
    };
    const Case cases[] = {
        {"linear x, the 30 misread as 38", "x", {{100, "0"}, {200, "10"}, {300, "20"}, {400, "38"}, {500, "40"}}, nullptr,
         AxisScale::Linear, 0, 40, {true, true, true, false, true}},
        {"linear y, values grow upward, a number of the x axis among them", "y",
         {{600, "0"}, {450, "0,5"}, {300, "1"}, {150, "1,5"}, {590, "150"}}, nullptr, AxisScale::Linear, 0, 1.5,
         {true, true, true, true, false}},
        {"thousands marks", "x", {{100, "0"}, {300, "1,000"}, {500, "2,000"}}, nullptr, AxisScale::Linear, 0, 2000,
         {true, true, true}},
        {"decades, 10^3 read as 107", "x", {{100, "1"}, {300, "10"}, {500, "102"}, {700, "107"}}, nullptr,
         AxisScale::Logarithmic, 1, 100, {true, true, true, false}},
        {"four-digit numbers from 10: linear, not decades 10^0 to 10^30", "y",
         {{900, "1000"}, {750, "1005"}, {600, "1010"}, {450, "1015"}, {300, "1020"}, {150, "1025"}, {0, "1030"}}, nullptr,
         AxisScale::Linear, 1000, 1030, {true, true, true, true, true, true, true}},
        {"two decades alone", "x", {{100, "10"}, {400, "100"}}, nullptr, AxisScale::Logarithmic, 10, 100, {true, true}},
        {"two decades with two unread labels between, one decade a step", "x",
         {{100, "100"}, {300, "?"}, {500, "?"}, {700, "100000"}}, nullptr, AxisScale::Logarithmic, 100, 100000,
         {true, false, false, true}},
        {"two decades read, 1000 read as 100: a decade and a half a step", "x",
         {{100, "?"}, {300, "100"}, {500, "?"}, {700, "100000"}}, "non vanno d'accordo con le tacche",
         AxisScale::Linear, 0, 0, {}},
        {"the last label read 6 pixels off its tick: the axis placed by all", "x",
         {{100, "0"}, {200, "10"}, {300, "20"}, {400, "30"}, {506, "40"}}, nullptr, AxisScale::Linear, 0, 40,
         {true, true, true, true, true}, 500},
        {"two exponents agree, a third read does not: perhaps two misread alike", "x",
         {{100, "10^1"}, {300, "10^2"}, {500, "10^2"}, {700, "?"}}, "forse esponenti letti male", AxisScale::Linear, 0, 0, {}},
        {"three exponents agree, a fourth read does not: left out", "x",
         {{100, "10^1"}, {300, "10^2"}, {500, "10^3"}, {700, "10^7"}}, nullptr, AxisScale::Logarithmic, 10, 1000,
         {true, true, true, false}},
        {"exponents lost, the powers placed by three read", "y",
         {{600, "10^0"}, {500, "10^?"}, {400, "10^2"}, {300, "10^?"}, {200, "10^4"}}, nullptr, AxisScale::Logarithmic, 1,
         1e4, {true, true, true, true, true}},
        {"two labels in step, one unread", "x", {{100, "20"}, {200, "?"}, {300, "60"}}, nullptr, AxisScale::Linear, 20, 60,
         {true, false, true}},
        // Ticks every 165 pixels, half their labels lost to the reader: the
        // places' common spacing, not the median gap (330), is the step.
        {"two labels side by side, the others' places whole steps apart", "x",
         {{77.5, "?"}, {407.5, "?"}, {737.5, "0"}, {902.5, "5"}}, nullptr, AxisScale::Linear, 0, 5, {false, false, true, true}},
        {"two labels side by side, the others' places 2.5 of their gap apart", "x",
         {{100, "?"}, {350, "?"}, {600, "0"}, {700, "5"}}, "non vanno di un passo regolare", AxisScale::Linear, 0, 0, {}},
        {"a y axis read upside down is no axis", "y", {{100, "0"}, {300, "10"}}, "meno di due numeri concordi",
         AxisScale::Linear, 0, 0, {}},
        {"one number only", "x", {{100, "5"}, {300, "abc"}}, "meno di due numeri concordi", AxisScale::Linear, 0, 0, {}},
        {"two of five agreeing by chance (exponents lost: 10 10 10 10)", "x",
         {{100, "10"}, {200, "10"}, {300, "10"}, {400, "10"}, {500, "100"}}, "solo 2 dei 5 numeri letti concordano",
         AxisScale::Linear, 0, 0, {}},
        {"two exponents read, one of them wrong (10^6 as 10^8): the lost ones cannot be placed", "y",
         {{675, "10^?"}, {569, "10^?"}, {462, "10^?"}, {356, "10^?"}, {250, "104"}, {144, "10^?"}, {37, "10^8"}},
         "esponenti letti troppo pochi", AxisScale::Linear, 0, 0, {}},
        {"a misread 20 (23) lands near a place beside 0 and 5 by chance, two more unread: no axis", "y",
         {{964, "0"}, {901, "5"}, {670, "23"}, {597, "E^?"}, {780, "I^?"}}, "non vanno di un passo regolare",
         AxisScale::Linear, 0, 0, {}},
        {"three values off any grid agree on no axis", "x", {{100, "0"}, {200, "10"}, {370, "37"}},
         "non vanno di un passo regolare", AxisScale::Linear, 0, 0, {}},
        {"decades whose 1 reads as 7 in half the labels: two axes agree equally", "y",
         {{503, "1"}, {406, "10"}, {308, "100"}, {210, "7000"}, {112, "70000"}, {15, "700000"}},
         "due letture dei numeri concordano ugualmente (1 10 100 oppure 7000 70000 700000)", AxisScale::Linear, 0, 0, {}},
        {"a scan's 0 read as 8 beside 10 and 60: within a decade, no logarithmic axis", "y",
         {{1395.5, "8"}, {1245, "10"}, {900, "?"}, {700, "E^?"}, {347, "60"}}, "solo 2 dei 5 numeri letti concordano", AxisScale::Linear, 0, 0, {}},
        {"the same two taken as a linear axis: no round step", "y", {{675, "?"}, {462, "?"}, {250, "104"}, {37, "100000000"}},
         "non vanno di un passo regolare", AxisScale::Linear, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const calvero::Checked<AxisReading> reading = readAxis(c.labels, c.axis);
        ASSERT_EQ(bool(reading), c.refused == nullptr) << reading.failure();
        if (c.refused) {
            EXPECT_EQ(reading.failure().rfind("asse " + c.axis + ": ", 0), 0u) << reading.failure();
            EXPECT_NE(reading.failure().find(c.refused), std::string::npos) << reading.failure();
            continue;
        }
        EXPECT_EQ(reading->scale, c.scale);
        EXPECT_DOUBLE_EQ(reading->first.value, c.firstValue);
        EXPECT_DOUBLE_EQ(reading->second.value, c.secondValue);
        if (c.secondPosition) {
            EXPECT_NEAR(reading->second.position, c.secondPosition, 0.5);
        }
        for (std::size_t i = 0; i < c.agrees.size(); ++i) EXPECT_EQ(reading->ticks[i].agrees, c.agrees[i]) << i;
    }
}

TEST(TickLabels, TheLabelsAreTheNumbersInOneLineBesideTheAxis)
{
    // Words left of a y axis, flush right with the numbers: each (text, right edge, height).
    struct Word {
        const char* text;
        double right;
        double height = 20;
    };
    struct Case {
        const char* name;
        std::vector<Word> words;
        std::vector<std::string> kept;
        std::size_t numbers; // words more than a lone stroke
    };
    const Case cases[] = {
        {"a turned title's letters read one by one do not outvote long numbers",
         {{"|", 30}, {"1", 31}, {"|", 30}, {"l", 29}, {"|", 30}, {"1", 31}, {"100000", 130}, {"10000", 130}, {"1000", 131},
          {"100", 130}, {"10", 129}},
         {"100000", "10000", "1000", "100", "10"},
         5},
        {"a number read in part stays, a word that is no number goes",
         {{"0", 130}, {"10^?", 130}, {"Portata", 130}, {"20", 131}, {"30", 130}},
         {"0", "10^?", "20", "30"},
         4},
        {"tick marks read as strokes by the dozen do not place the numbers' line",
         {{"|", 150}, {"|", 150}, {"|", 150}, {"|", 150}, {"|", 150}, {"|", 150}, {"|", 150}, {"|", 150}, {"0", 130},
          {"10", 130}, {"20", 131}},
         {"0", "10", "20"},
         3},
        {"minor tick marks read as strokes are no numbers", {{"|", 60}, {"I", 60}, {"l", 61}, {"|", 60}}, {"|", "I", "l", "|"}, 0},
        {"a mark read '?' among minor tick marks is no number either",
         {{"I", 60}, {"I", 60}, {"?", 60}, {"I", 61}, {"20", 62}, {"I", 60}, {"?", 60}},
         {"I", "I", "?", "I", "20", "I", "?"},
         1},
        // A label run into a turned axis title is read as one tall word; a
        // power of ten whose exponent was lost is as tall as its raised exponent.
        {"an unread word three times the numbers' height is no label",
         {{"0", 130}, {":^?", 130, 60}, {"10", 131}, {"?", 130, 29}, {"20", 130}},
         {"0", "10", "?", "20"},
         4},
        {"a power of ten with its exponent lost stays, however tall",
         {{"10^?", 130, 40}, {"10", 130}, {"100", 130}, {"1000", 131}},
         {"10^?", "10", "100", "1000"},
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ReadWord> words;
        for (const auto& [text, right, height] : c.words)
            words.push_back({text, {right - 12.0 * std::string(text).size(), 100, 12.0 * std::string(text).size(), height}, 90, {}, {}});
        const std::vector<ReadWord> kept = labelsInLine(words, [](const ReadWord& w) { return w.box.left + w.box.width; }, 0.6);
        std::vector<std::string> texts;
        for (const ReadWord& w : kept) texts.push_back(w.text);
        EXPECT_EQ(texts, c.kept);
        EXPECT_EQ(numbersAmong(kept), c.numbers);
    }
}

// The ticks found along an axis, and whether the labels are then read.
struct TicksCase {
    const char* name;
    std::vector<double> ticks;
    bool read;
};

TEST(TickLabels, TwoLabelsAloneAreInStepByTheTicksBetweenThem)
{
    // "6" and "2" read on a y axis, 269 rows apart, the "4" between lost
    // outright: one place apart the step would be 4, two places 2.
    const TicksCase cases[] = {
        {"no ticks known", {}, false},
        {"a tick halfway between", {2035, 2170, 2304.5, 2439, 2574}, true},
        {"a tick and the grid line it prolongs are one", {2170, 2171, 2304.5, 2439, 2440}, true},
        {"ticks unevenly between", {2170, 2250, 2439}, false},
        // Minor ticks at fifths: ten places, a step of 0.4, no round step.
        {"minor ticks between", {2170, 2196.9, 2223.8, 2250.7, 2277.6, 2304.5, 2331.4, 2358.3, 2385.2, 2412.1, 2439}, false},
        // Minor ticks at quarters: eight places, a step of 0.5, round, yet no labels' step.
        {"minor ticks at quarters", {2170, 2203.6, 2237.3, 2270.9, 2304.5, 2338.1, 2371.8, 2405.4, 2439}, false},
    };
    for (const TicksCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto axis = readAxis({{2170, "6", 90}, {2439, "2", 90}}, "y", c.ticks);
        ASSERT_EQ(bool(axis), c.read) << (axis ? "" : axis.failure());
        if (c.read) {
            EXPECT_DOUBLE_EQ(axis->first.value, 2);
            EXPECT_DOUBLE_EQ(axis->second.value, 6);
            EXPECT_NEAR(axis->first.position, 2439, 1e-6);
        }
    }
}

TEST(TickLabels, APowerOfTenUnreadBetweenTwoDecadesRefusesTheAxis)
{
    // 10⁻¹ 10⁰ 10¹ 10² every 250 pixels, the exponents of two lost and 10⁰,
    // 10² read "10" and "100": taken alone they make one decade of 500 pixels.
    struct Case {
        const char* name;
        std::vector<TickLabel> labels;
        bool read;
    };
    const Case cases[] = {
        {"lost exponents between the decades read", {{84, "10-^?", 90}, {334, "10", 90}, {584, "10^?", 90}, {834, "100", 90}}, false},
        {"lost exponents on decades of the axis", {{84, "10^?", 90}, {334, "1", 90}, {584, "10", 90}, {834, "100", 90}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto axis = readAxis(c.labels, "x");
        EXPECT_EQ(bool(axis), c.read) << (axis ? "" : axis.failure());
        if (axis && c.read) {
            EXPECT_EQ(axis->scale, AxisScale::Logarithmic);
        }
    }
}

TEST(TickLabels, NumbersStepByAPartOfTheirLeastGapOnlyWhereTheTicksDo)
{
    // A y axis 0..90, a tick every 10 at row 1000 - 10.6 v (106 rows apart);
    // a scan's numbers read "90 40 70 10", the others lost: gaps 30, 30 and
    // 20, a step of 10 only by the ticks.
    const auto row = [](double v) { return 1000 - 10.6 * v; };
    std::vector<double> everyTen, everyFive, everyEight, offTheLabels;
    for (int v = 0; v <= 90; v += 10) everyTen.push_back(row(v)), offTheLabels.push_back(row(v) - 20);
    for (int v = 0; v <= 90; v += 5) everyFive.push_back(row(v));
    for (int v = 0; v <= 96; v += 8) everyEight.push_back(row(v));
    const std::vector<TickLabel> read = {{row(90), "90", 80}, {row(40), "40", 80}, {row(70), "70", 80}, {row(10), "10", 80}};
    const TicksCase cases[] = {
        {"no ticks known", {}, false},
        {"ticks at the step", everyTen, true},
        // A scan's faint ticks: three found, between 40 and 20.
        {"three ticks found at the step", {row(40), row(30), row(20)}, true},
        {"two ticks found", {row(40), row(30)}, false},
        // Ticks every 5, 53 rows apart: a step of 5, the numbers on every other tick.
        {"ticks at half the step", everyFive, true},
        // Ticks every 8, 84.8 rows apart: no round part of 20 is that far.
        {"ticks at no round part of the gaps", everyEight, false},
        {"ticks at the step's spacing but off the labels", offTheLabels, false},
    };
    for (const TicksCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto axis = readAxis(read, "y", c.ticks);
        ASSERT_EQ(bool(axis), c.read) << (axis ? "" : axis.failure());
        if (c.read) {
            EXPECT_DOUBLE_EQ(axis->first.value, 10);
            EXPECT_DOUBLE_EQ(axis->second.value, 90);
            EXPECT_NEAR(axis->first.position, row(10), 1e-6);
        }
    }
    // "10 70 90" under ticks 48 rows apart (a step of 10), "10" read "0":
    // with 0, 70 and 90 the step of 10 is 42.7 rows, off the ticks by 11 %;
    // 0 is left out and the axis stands on 70 and 90 alone.
    std::vector<double> ticks;
    for (int v = 0; v <= 100; v += 10) ticks.push_back(1000 - 4.8 * v);
    const auto axis = readAxis({{1000 - 4.8 * 10, "0", 80}, {1000 - 4.8 * 70, "70", 80}, {1000 - 4.8 * 90, "90", 80}}, "y", ticks);
    ASSERT_TRUE(axis) << axis.failure();
    EXPECT_FALSE(axis->ticks[0].agrees);
    EXPECT_DOUBLE_EQ(axis->first.value, 70);
    EXPECT_NEAR(axis->first.position, 1000 - 4.8 * 70, 1e-6);
}

// Numbers crowding into a short stretch beside the plot (labels written
// beyond a family's curve ends, "a 2", "a 1,6", "a 1,2" set closer than their
// height) are no axis; tick numbers stand apart by more than their size.
TEST(TickLabels, NumbersCrowdedInAShortStretchAreNoAxis)
{
    struct Case {
        const char* name;
        bool alongX;
        double size;                 // each word's height (y) or width (x, 12 tall)
        std::vector<double> middles; // along the axis
        double axisLength;
        bool crowded;
    };
    const Case cases[] = {{"curve labels 24 tall, 18 apart", false, 24, {553, 571, 589, 606}, 700, true},
                          {"tick numbers 12 tall, 100 apart", false, 12, {0, 100, 200, 300, 400}, 400, false},
                          {"two neighbouring tick numbers of a short axis", false, 12, {100, 160}, 200, false},
                          {"crowded, but over more than a quarter", false, 24, {0, 30, 60, 90, 120, 150, 180}, 700, false},
                          {"a short stretch with a gap of two heights", false, 24, {500, 518, 566}, 700, false},
                          {"single digits across, 8 wide (12 tall) and 15 apart", true, 8, {300, 315, 330}, 800, true},
                          {"numbers across, 30 wide (12 tall) and 40 apart", true, 30, {300, 340, 380}, 800, false},
                          {"one word", false, 24, {500}, 700, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ReadWord> words;
        for (double m : c.middles)
            words.push_back({"2", c.alongX ? PixelRect{m - c.size / 2, 40, c.size, 12} : PixelRect{40, m - c.size / 2, 20, c.size}, 90, {}, {}});
        EXPECT_EQ(crowdedInAShortStretch(words, c.alongX, c.axisLength), c.crowded);
    }
}
