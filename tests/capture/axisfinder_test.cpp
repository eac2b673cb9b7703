// The checks the axis finder makes of the labels it took, without OCR: the
// labels as the reader gives them, at rows worked out by hand.
#include "capture/axisfinder.h"

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
