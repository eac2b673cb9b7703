#include "common/utf8.h"

namespace calvero {

namespace {

constexpr char32_t Replacement = 0xFFFD;

struct Decoded {
    char32_t code = 0;
    std::size_t length = 0; // 0: the byte at the start begins no well-formed character
};

// The well-formed character that starts at text[i], if any.
Decoded decodeAt(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
        length = 1;
        code = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    }
    if (length == 0 || i + length > text.size()) return {};
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) return {};
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are malformed.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return {};
    return {code, length};
}

// Windows-1252's bytes 0x80 to 0x9F; the rest of its upper half is Latin-1.
// 0 marks the five bytes the code page leaves undefined.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t fromWindows1252(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t code = Windows1252High[byte - 0x80];
    return code != 0 ? code : Replacement;
}

bool allowedInXml(char32_t c)
{
    if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
    return c != 0xFFFE && c != 0xFFFF;
}

} // namespace

std::u16string utf16FromUtf8(std::string_view text)
{
    std::u16string result;
    std::size_t i = 0;
    while (i < text.size()) {
        const Decoded d = decodeAt(text, i);
        if (d.length == 0) {
            result.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += d.length;
        if (d.code < 0x10000) {
            result.push_back(static_cast<char16_t>(d.code));
        } else {
            const char32_t code = d.code - 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        }
    }
    return result;
}

void appendUtf8(std::string& text, char32_t c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = Replacement;
    if (c < 0x80) {
        text.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (c >> 6)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | (c >> 12)));
        text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | (c >> 18)));
        text.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string validText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const Decoded d = decodeAt(bytes, i);
        const char32_t c = d.length != 0 ? d.code : fromWindows1252(static_cast<unsigned char>(bytes[i]));
        if (d.length > 1 && allowedInXml(c)) {
            text.append(bytes.substr(i, d.length)); // most of the text: copied as it is
        } else {
            appendUtf8(text, allowedInXml(c) ? c : Replacement);
        }
        i += d.length != 0 ? d.length : 1;
    }
    return text;
}

void Utf16Decoder::put(char16_t unit, std::string& text)
{
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (pendingHigh_ != 0) {
        const char16_t first = pendingHigh_;
        pendingHigh_ = 0;
        if (low) {
            appendUtf8(text, 0x10000 + ((char32_t(first) - 0xD800) << 10) + (char32_t(unit) - 0xDC00));
            return;
        }
        appendUtf8(text, Replacement);
    }
    if (high) {
        pendingHigh_ = unit;
        return;
    }
    appendUtf8(text, low ? Replacement : char32_t(unit));
}

void Utf16Decoder::finish(std::string& text)
{
    if (pendingHigh_ != 0) appendUtf8(text, Replacement);
    pendingHigh_ = 0;
}

} // namespace calvero
