#pragma once
// UTF-8 text: decoding it, shared by the writers of other encodings; making
// any bytes into the text every file the programs write can hold; and
// reading UTF-16, as spreadsheet programs on Windows save "Unicode text".
// Hand-written: iconv stops at the first byte it cannot convert, while a
// message mixes the program's own UTF-8 with whatever bytes a file carried,
// and each stray byte must be mended where it stands.
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

// Appends the UTF-8 bytes of one character; a surrogate or a value beyond
// U+10FFFF is appended as U+FFFD.
void appendUtf8(std::string& text, char32_t character);

// The text as every format the programs write takes it (JSON, the workbooks'
// XML and BIFF8 records, CSV): well-formed UTF-8 stays as it is; a byte that
// begins no well-formed character is read as Windows-1252, the code page of
// files saved on Windows; the five bytes that code page leaves undefined and
// the characters XML 1.0 forbids (the control characters other than tab,
// line feed and carriage return, U+FFFE and U+FFFF) become U+FFFD.
std::string validText(std::string_view bytes);

// UTF-16 code units, given one at a time, as UTF-8. A surrogate without its
// partner becomes U+FFFD.
class Utf16Decoder {
public:
    // Appends to text what the unit completes.
    void put(char16_t unit, std::string& text);
    // Appends a high surrogate still waiting for its partner, as U+FFFD.
    void finish(std::string& text);

private:
    char16_t pendingHigh_ = 0;
};

// Whether a byte begins a character, that is, is no continuation byte.
inline bool startsUtf8Character(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The characters of a UTF-8 text, counted by the bytes that begin one.
inline std::size_t characterCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), startsUtf8Character));
}

} // namespace calvero
