#include "common/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

using namespace calvero;

TEST(FormatReal, FixedPointRightAligned)
{
    EXPECT_EQ(formatReal(1.5, 18, 11), "     1.50000000000");
    EXPECT_EQ(formatReal(-12.25, 10, 4), "  -12.2500");
    EXPECT_EQ(formatReal(20.0, 10, 3), "    20.000");
    EXPECT_EQ(formatReal(2.0 / 3.0, 8, 6), "0.666667");
    EXPECT_EQ(formatReal(0.0, 9, 4), "   0.0000");
    EXPECT_EQ(formatReal(-0.0, 9, 4), "   0.0000");
}

TEST(FormatReal, WiderThanTheFieldIsWrittenInFullNeverInExponentForm)
{
    EXPECT_EQ(formatReal(123456789.0, 5, 2), "123456789.00");
    const std::string huge = formatReal(1e22, 1, 0);
    EXPECT_EQ(huge, "10000000000000000000000");
    EXPECT_EQ(formatReal(1e-7, 1, 4), "0.0000");
}

TEST(FormatReal, NonFiniteValuesAreNoNumberAnyReaderTakes)
{
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatReal(infinity, 10, 4), "       inf");
    EXPECT_EQ(formatReal(-infinity, 1, 4), "-inf");
    EXPECT_EQ(formatReal(std::numeric_limits<double>::quiet_NaN(), 4, 2), " nan");
    for (double value : {infinity, -infinity, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(parseDecimal(formatReal(value, 0, 3)).has_value());
}

TEST(FormatInteger, RightAlignedAndWiderWhenNeeded)
{
    EXPECT_EQ(formatInteger(3, 2), " 3");
    EXPECT_EQ(formatInteger(200, 3), "200");
    EXPECT_EQ(formatInteger(1234, 2), "1234");
    EXPECT_EQ(formatInteger(-5, 4), "  -5");
}

TEST(FormatGridValue, KeepsEveryDigitNeededToReadBack)
{
    EXPECT_EQ(formatGridValue(1.0), "     1.00000");
    EXPECT_EQ(formatGridValue(0.0), "     0.00000");
    EXPECT_EQ(formatGridValue(1.123456789), " 1.123456789");
    EXPECT_EQ(formatGridValue(0.000001), "    0.000001");
    EXPECT_EQ(formatGridValue(-2.5), "    -2.50000");
    for (double v : {0.1, 1.0 / 3.0, 123456.789012345, -9.87654321e-8, 6.02e23}) {
        const std::string text = formatGridValue(v);
        EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        ASSERT_TRUE(parseDecimal(text).has_value()) << text;
        EXPECT_EQ(*parseDecimal(text), v) << text;
    }
}

TEST(ParseDecimal, AcceptsTheStandardForms)
{
    EXPECT_EQ(parseDecimal("2.5"), 2.5);
    EXPECT_EQ(parseDecimal("   -3"), -3.0);
    EXPECT_EQ(parseDecimal("+4"), 4.0);
    EXPECT_EQ(parseDecimal(".5"), 0.5);
    EXPECT_EQ(parseDecimal("5."), 5.0);
    EXPECT_EQ(parseDecimal("1E3"), 1000.0);
    EXPECT_EQ(parseDecimal("1.5e-2"), 0.015);
    EXPECT_EQ(parseDecimal("2e+2"), 200.0);
}

TEST(ParseDecimal, RefusesAnythingElse)
{
    for (const char* text : {"", " ", "abc", "2,5", "2.5 ", "1.5 2.5", ".", "-", "1e", "1e+", "x", "1..2", "0x10", "--1"})
        EXPECT_FALSE(parseDecimal(text).has_value()) << '"' << text << '"';
}

TEST(ParseDecimal, RangeLimits)
{
    EXPECT_FALSE(parseDecimal("1e999").has_value());
    EXPECT_EQ(parseDecimal("1e-999"), 0.0);
    EXPECT_EQ(parseDecimal("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_FALSE(parseDecimal("1" + std::string(400, '0')).has_value());
}

TEST(ParseDecimal, OrZeroAndHelpers)
{
    EXPECT_EQ(parseDecimalOrZero(""), 0.0);
    EXPECT_EQ(parseDecimalOrZero("x"), 0.0);
    EXPECT_EQ(parseDecimalOrZero("12.5"), 12.5);
    EXPECT_EQ(commaToPoint("1,5;2,5"), "1.5;2.5");
    // Italian thousands separators: both marks, the comma last.
    for (auto [typed, read] : {std::pair{"1.234,5", "1234.5"}, {"-1.234.567,25", "-1234567.25"}, {"1,234.5", "1.234.5"},
                               {"1.234", "1.234"}, {"1,234", "1.234"}})
        EXPECT_EQ(commaToPoint(typed), read) << typed;
    EXPECT_EQ(trimRight("ab  "), "ab");
    EXPECT_EQ(trimRight("   "), "");
}

TEST(FormatReal, ExactHalvesRoundAwayFromZero)
{
    EXPECT_EQ(formatReal(2.5, 1, 0), "3");
    EXPECT_EQ(formatReal(-7.5, 1, 0), "-8");
    EXPECT_EQ(formatReal(0.125, 1, 2), "0.13");
    EXPECT_EQ(formatReal(-0.375, 1, 2), "-0.38");
    // Not exact halves in binary: ordinary nearest rounding.
    EXPECT_EQ(formatReal(0.15, 1, 1), "0.1"); // 0.1499999999999999944...
    EXPECT_EQ(formatReal(2.675, 1, 2), "2.67");
    EXPECT_EQ(formatReal(1.5, 1, 3), "1.500");
}

TEST(FirstCharacters, CountsCharactersNotBytes)
{
    EXPECT_EQ(firstCharacters("abcdef", 3), "abc");
    EXPECT_EQ(firstCharacters("ab", 3), "ab");
    EXPECT_EQ(firstCharacters("\xC3\xA8\xC3\xA0z", 2), "\xC3\xA8\xC3\xA0") << "è à kept whole";
    EXPECT_EQ(firstCharacters("a\xE2\x82\xAC", 1), "a") << "the euro sign is not split";
    EXPECT_EQ(firstCharacters("", 0), "");
}

TEST(FormatReal, AValueThatRoundsToZeroHasNoSign)
{
    EXPECT_EQ(formatReal(-0.00004, 1, 4), "0.0000");
    EXPECT_EQ(formatReal(-0.4, 1, 0), "0");
    EXPECT_EQ(formatReal(-0.00006, 1, 4), "-0.0001");
}

TEST(FormatCoefficient, TwelveSignificantDigitsOrTheWholeDoubleWithinTheLength)
{
    auto enough = [](const std::string& text, double v) {
        const std::size_t first = text.find_first_of("123456789");
        const auto digits = first == std::string::npos ? 0 : std::count_if(text.begin() + first, text.end(), ::isdigit);
        // or the value with only binary noise past its 13th digit trimmed
        return digits >= CoefficientDigits || parseDecimal(text) == v ||
               std::fabs(*parseDecimal(text) - v) <= 5e-13 * std::fabs(v);
    };
    for (double v : {3.14159e-9, -2.718281828459045e-20, 1.0 / 3.0, 123.456789, 0.0, -9.99999999999999e-5, -1.5e-150}) {
        for (auto [width, decimals] : {std::pair{20, 12}, {18, 11}, {8, 6}}) {
            const std::string text = formatCoefficient(v, width, decimals, 60);
            SCOPED_TRACE(text);
            const int shown = static_cast<int>(text.size() - text.find('.') - 1);
            EXPECT_EQ(text, formatReal(v, width, shown)); // rounded, never cut, no exponent
            if (enough(formatReal(v, width, decimals), v)) {
                EXPECT_EQ(shown, decimals);
            } else if (text.size() < 60) {
                EXPECT_TRUE(enough(text, v));
                EXPECT_FALSE(enough(formatReal(v, 1, shown - 1), v)) << "one decimal fewer would do";
            }
        }
    }
}

TEST(FormatCoefficient, DigitsFollowWhatTheTermAddsOverThePoints)
{
    // Expected texts worked out by hand from each value, reach and scale.
    struct Case {
        const char* what;
        double value;
        int width, decimals;
        std::optional<TermReach> term;
        const char* expected;
    };
    const Case cases[] = {
        {"binary noise past the 13th digit", 430.510000000001, 20, 12, std::nullopt, "    430.510000000000"},
        {"a 13th digit the field holds stays", 2.1544346900318838, 16, 12, std::nullopt, "  2.154434690032"},
        {"a repeating decimal is not noise", 32.06127272727273, 20, 12, std::nullopt, "     32.061272727273"},
        {"a last binary digit off a short decimal", 0.12500000000000003, 16, 12, std::nullopt, "  0.125000000000"},
        {"noise of a term that adds 5.77e-12 to y of 100", 5.77e-15, 20, 12, TermReach{1e3, 100}, "      0.000000000000"},
        {"the sign of such noise goes too", -5.77e-15, 18, 11, TermReach{1e3, 100}, "     0.00000000000"},
        // x up to 1000 squared, y up to 1: half a unit of the 18th decimal moves the term by 5e-13.
        {"a term that reaches far gets more than 12 digits", 1.234567890123456e-3, 20, 12, TermReach{1e6, 1},
         "0.001234567890123456"},
        {"a constant beside y up to 2 needs 12 decimals", 1.523456789012345, 16, 11, TermReach{1, 1.97},
         "  1.523456789012"},
        {"a tiny coefficient of a high power still matters", 7.7e-31, 16, 12, TermReach{8e29, 1000},
         "0.00000000000000000000000000000077"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(formatCoefficient(c.value, c.width, c.decimals, 100000, c.term), c.expected);
    }
}

TEST(FormatCoefficientFigure, SameDigitsNeverZeroForAValueExponentWhereFixedPointWouldNotRead)
{
    // Expected texts worked out by hand: 12 significant digits (more where the
    // term reaches far), no trailing zeros, exponent form past five zeros after
    // the point or fifteen digits before it.
    struct Case {
        const char* what;
        double value;
        std::optional<TermReach> term;
        const char* expected;
    };
    const Case cases[] = {
        {"twelve digits, the zeros after them dropped", 0.0928082339820011, std::nullopt, "0.092808233982"},
        {"a short decimal as itself", 430.510000000001, std::nullopt, "430.51"},
        {"five zeros after the point still fixed", 1.234567890123e-6, std::nullopt, "0.00000123456789012"},
        {"six zeros: exponent form", 1.2345678901234e-7, std::nullopt, "1.23456789012e-07"},
        {"a real coefficient of 1e-80 is no zero", 1.2345678901234e-80, std::nullopt, "1.23456789012e-80"},
        {"beside y of 1e-78 over x up to 8", 1e-80, TermReach{64, 1e-78}, "1e-80"},
        {"noise of a term that adds 5.77e-12 to y of 100", -5.77e-15, TermReach{1e3, 100}, "0"},
        {"sixteen whole digits: exponent form", -1.5e20, std::nullopt, "-1.5e+20"},
        {"fifteen whole digits stay", 123456789012345.0, std::nullopt, "123456789012345"},
        {"a term that reaches far keeps its digits in exponent form too", 1.234567890123456e-9, TermReach{1e12, 1},
         "1.234567890123456e-09"},
        {"not a number", std::nan(""), std::nullopt, "non calcolabile"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatCoefficientFigure(c.value, c.term), c.expected) << c.what;
}
