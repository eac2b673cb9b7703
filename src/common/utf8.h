#pragma once
// Decoding of UTF-8 text, shared by the writers of other encodings.
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

} // namespace calvero
