#pragma once
// Decoding of UTF-8 text, shared by the writers of other encodings.
#include <algorithm>
#include <string>
#include <string_view>

namespace calvero {

// What some editors (Excel's "CSV UTF-8" among them) write before the text.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// The UTF-16 code units of a UTF-8 text. Decoding is strict: a byte that does
// not begin a well-formed character (overlong forms, surrogates and values
// beyond U+10FFFF included) becomes U+FFFD, and decoding goes on at the next
// byte.
std::u16string utf16FromUtf8(std::string_view text);

// Whether a byte begins a character, that is, is no continuation byte.
inline bool startsUtf8Character(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The characters of a UTF-8 text, counted by the bytes that begin one.
inline std::size_t characterCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), startsUtf8Character));
}

} // namespace calvero
