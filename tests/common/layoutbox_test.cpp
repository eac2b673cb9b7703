#include "common/layoutbox.h"

#include <gtest/gtest.h>

using namespace calvero;

TEST(LayoutPart, FractionsOfAScreenAreExact)
{
    // 0.35 of 720 (a 1280 x 720 screen) and 0.82 of 600: the binary doubles give 251 and 491.
    EXPECT_EQ(part(0.35, 720), 252);
    EXPECT_EQ(part(0.82, 600), 492);
    // Every fraction in thousandths of every size up to 4000, against integer arithmetic.
    for (int thousandths = 1; thousandths < 1000; ++thousandths)
        for (int size = 0; size <= 4000; size += 7)
            ASSERT_EQ(part(thousandths / 1000.0, size), thousandths * size / 1000) << thousandths << " of " << size;
}
