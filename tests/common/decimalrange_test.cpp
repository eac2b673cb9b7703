// Texts beyond a double's range, as the fuzzer of the decimal conversion
// found them: whether such a number is too large (not a number) or too small
// (0) depends on where its first significant digit stands once the exponent
// is applied, not on the exponent's sign alone.
#include "common/numtext.h"

#include <gtest/gtest.h>

#include <string>

namespace calvero {
namespace {

TEST(ParseDecimalRange, ManyDigitsWithANegativeExponentAreStillTooLarge)
{
    // Found by the fuzzer: about 10^330 written as 10^350 * 10^-20 read as 0.
    const std::string found = "3486" + std::string(140, '0') + "2" + std::string(160, '0') + "9" +
                              std::string(47, '0') + "e-20";
    EXPECT_FALSE(parseDecimal(found).has_value());
    EXPECT_FALSE(parseDecimal("1" + std::string(500, '0') + "e-100").has_value());
    EXPECT_FALSE(parseDecimal("-1" + std::string(400, '0') + ".5e-1").has_value());
    EXPECT_EQ(parseDecimalOrZero("1" + std::string(500, '0') + "e-100"), 0.0);
    // Within range once the exponent is applied: the plain value.
    EXPECT_EQ(parseDecimal("1" + std::string(400, '0') + "e-398"), 100.0);
}

TEST(ParseDecimalRange, LeadingZerosWithAPositiveExponentAreStillTooSmall)
{
    EXPECT_EQ(parseDecimal("0." + std::string(400, '0') + "1e5"), 0.0);
    EXPECT_EQ(parseDecimal("-0." + std::string(400, '0') + "1e+20"), 0.0);
    EXPECT_EQ(parseDecimal("." + std::string(399, '0') + "1e398"), 0.01);
    EXPECT_EQ(parseDecimal("0." + std::string(400, '0') + "1e+0000000000000000000000"), 0.0);
}

TEST(ParseDecimalRange, HugeExponentsSaturate)
{
    EXPECT_FALSE(parseDecimal("1e99999999999999999999999999").has_value());
    EXPECT_EQ(parseDecimal("1e-99999999999999999999999999"), 0.0);
    EXPECT_EQ(parseDecimal("0000e99999999999999999999999999"), 0.0);
    EXPECT_FALSE(parseDecimal("0.001e99999999999999999999999999").has_value());
}

} // namespace
} // namespace calvero
