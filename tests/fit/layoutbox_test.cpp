#include "fit/layoutbox.h"

#include <gtest/gtest.h>

using namespace calvero;

TEST(LayoutPart, FractionsOfAScreenAreExact)
{
    // Sizes of 1280 x 720 and 1920 x 1080 screens where the binary double of
    // the fraction lands just below a whole number.
    struct Case {
        double fraction;
        int size, expected;
    };
    for (const Case& c : {Case{0.35, 720, 252}, Case{0.82, 600, 492}, Case{0.35, 1080, 378}, Case{0.07, 1280, 89},
                          Case{0.975, 1920, 1872}, Case{0.825, 720, 594}, Case{0.06, 1080, 64}})
        EXPECT_EQ(part(c.fraction, c.size), c.expected) << c.fraction << " of " << c.size;
    // Every fraction in thousandths of every size up to 4000, against integer arithmetic.
    for (int thousandths = 1; thousandths < 1000; ++thousandths)
        for (int size = 0; size <= 4000; size += 7)
            ASSERT_EQ(part(thousandths / 1000.0, size), thousandths * size / 1000) << thousandths << " of " << size;
}
