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
