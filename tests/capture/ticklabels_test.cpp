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
        {"1.234,5", {1234.5}},
        {"10^3", {1000}},
        {"10^-2", {0.01}},
        {"2x10^3", {2000}},
        {"1e+06", {1e6}},
        {"102", {102, 100}},          // 10² with its exponent read on the line
        {"Q [m3/h]", {}},
        {"", {}},
        {"3O", {}},                   // a letter O misread for a zero
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
        bool read;
        AxisScale scale;
        double firstValue, secondValue; // the references: the agreeing labels farthest apart
        std::vector<bool> agrees;
    };
    const Case cases[] = {
        {"linear x, the 30 misread as 38", "x", {{100, "0"}, {200, "10"}, {300, "20"}, {400, "38"}, {500, "40"}}, true,
         AxisScale::Linear, 0, 40, {true, true, true, false, true}},
        {"linear y, values grow upward, a number of the x axis among them", "y",
         {{600, "0"}, {450, "0,5"}, {300, "1"}, {150, "1,5"}, {590, "150"}}, true, AxisScale::Linear, 0, 1.5,
         {true, true, true, true, false}},
        {"thousands marks", "x", {{100, "0"}, {300, "1,000"}, {500, "2,000"}}, true, AxisScale::Linear, 0, 2000,
         {true, true, true}},
        {"decades, 10^3 read as 107", "x", {{100, "1"}, {300, "10"}, {500, "102"}, {700, "107"}}, true,
         AxisScale::Logarithmic, 1, 100, {true, true, true, false}},
        {"two decades alone", "x", {{100, "10"}, {400, "100"}}, true, AxisScale::Logarithmic, 10, 100, {true, true}},
        {"a y axis read upside down is no axis", "y", {{100, "0"}, {300, "10"}}, false, AxisScale::Linear, 0, 0, {}},
        {"one number only", "x", {{100, "5"}, {300, "abc"}}, false, AxisScale::Linear, 0, 0, {}},
        {"two of five agreeing by chance (exponents lost: 10 10 10 10)", "x",
         {{100, "10"}, {200, "10"}, {300, "10"}, {400, "10"}, {500, "100"}}, false, AxisScale::Linear, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const calvero::Checked<AxisReading> reading = readAxis(c.labels, c.axis);
        ASSERT_EQ(bool(reading), c.read) << reading.failure;
        if (!c.read) {
            const bool told = reading.failure.rfind("asse " + c.axis + ": meno di due numeri concordi", 0) == 0 ||
                              reading.failure.rfind("asse " + c.axis + ": solo 2 dei 5 numeri letti concordano", 0) == 0;
            EXPECT_TRUE(told) << reading.failure;
            continue;
        }
        EXPECT_EQ(reading->scale, c.scale);
        EXPECT_DOUBLE_EQ(reading->first.value, c.firstValue);
        EXPECT_DOUBLE_EQ(reading->second.value, c.secondValue);
        for (std::size_t i = 0; i < c.agrees.size(); ++i) EXPECT_EQ(reading->ticks[i].agrees, c.agrees[i]) << i;
    }
}
