#include "common/utf8.h"

#include <gtest/gtest.h>

using namespace calvero;

// Every byte that does not begin a well-formed character becomes one U+FFFD.
TEST(Utf16FromUtf8, WellFormedCharactersAndStrictRefusals)
{
    const struct {
        const char* what;
        std::string_view utf8;
        std::u16string utf16;
    } cases[] = {
        {"ASCII", "a/", u"a/"},
        {"two bytes", "\xC3\xA8", u"\u00E8"},
        {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
        {"four bytes: a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte slash", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut short", "a\xC3", u"a\uFFFD"},
        {"lead without continuation", "\xC3" "A", u"\uFFFD" "A"},
    };
    for (const auto& c : cases) EXPECT_EQ(utf16FromUtf8(c.utf8), c.utf16) << c.what;
}

// Whatever the bytes, the text is UTF-8 that JSON and XML 1.0 take; what was
// already such text is kept byte for byte.
TEST(ValidText, KeepsGoodTextAndMendsTheRest)
{
    const struct {
        const char* what;
        std::string_view bytes;
        std::string_view text;
    } cases[] = {
        {"UTF-8 stays", "T(\xC2\xB0" "C) \xE2\x82\xAC \xF0\x9F\x98\x80", "T(\xC2\xB0" "C) \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"tab, line feed, carriage return stay", "a\tb\r\nc", "a\tb\r\nc"},
        {"Windows-1252 degree sign", "T(\xB0" "C)", "T(\xC2\xB0" "C)"},
        {"Windows-1252 euro and quotes", "\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
        {"Windows-1252 e grave beside UTF-8 e grave", "\xE8 \xC3\xA8", "\xC3\xA8 \xC3\xA8"},
        {"the five undefined bytes", "\x81\x8D\x8F\x90\x9D",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"control characters", std::string_view("a\0b\x04" "c\x1F", 6), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c\xEF\xBF\xBD"},
        {"U+FFFE and U+FFFF", "\xEF\xBF\xBE\xEF\xBF\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a cut UTF-8 character: its lead byte as Windows-1252", "a\xC3", "a\xC3\x83"},
        {"an encoded surrogate, byte by byte", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(validText(c.bytes), c.text) << c.what;
        EXPECT_EQ(validText(c.text), c.text) << c.what << ": mended text is mended once";
    }
}

TEST(Utf16Decoder, PairsAndLoneSurrogates)
{
    const struct {
        const char* what;
        std::u16string units;
        std::string_view text;
    } cases[] = {
        {"ASCII and Latin", u"1,5\t\u00B0", "1,5\t\xC2\xB0"},
        {"a pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"a low surrogate alone", u"a\xDC00" "b", "a\xEF\xBF\xBD" "b"},
        {"a high surrogate before a letter", u"\xD83D" "b", "\xEF\xBF\xBD" "b"},
        {"a high surrogate at the end", u"a\xD83D", "a\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        Utf16Decoder decoder;
        std::string text;
        for (char16_t unit : c.units) decoder.put(unit, text);
        decoder.finish(text);
        EXPECT_EQ(text, c.text) << c.what;
    }
}
