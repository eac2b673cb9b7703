#include "viewers/rtf.h"

#include "common/filewrite.h"
#include "common/utf8.h"
#include "viewers/reportpage.h"

#include <cmath>
#include <cstdint>

namespace calvero {

namespace {

// Windows-1252 bytes 0x80..0x9F and the Unicode characters they stand for (0: unused).
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

// The Windows-1252 byte of a character, or -1 when the code page has none.
int cp1252Byte(char32_t c)
{
    if (c < 0x80) return static_cast<int>(c);
    if (c >= 0xA0 && c <= 0xFF) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == c) return 0x80 + i;
    return -1;
}

// A length in points as RTF's twentieths of a point.
std::string twips(double points) { return std::to_string(std::lround(points * 20)); }

void appendUnicode(std::string& out, std::uint16_t unit)
{
    // RTF writes a 16-bit unit as a signed number, followed by its fallback character.
    out += "\\u" + std::to_string(static_cast<int>(static_cast<std::int16_t>(unit))) + "?";
}

void appendEscaped(std::string& out, const std::string& line)
{
    static const char* hex = "0123456789abcdef";
    // A character beyond 16 bits is written as its two surrogate units.
    for (const char16_t c : utf16FromUtf8(line)) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            continue; // other control characters have no place in a paragraph
        } else if (const int b = cp1252Byte(c); b >= 0) {
            out += "\\'";
            out += hex[b >> 4];
            out += hex[b & 0xF];
        } else {
            appendUnicode(out, static_cast<std::uint16_t>(c));
        }
    }
}

} // namespace

std::string rtfDocument(const std::vector<std::string>& lines)
{
    const ReportPage page = reportPage(widestLine(lines));
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                      "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\n";
    out += "\\paperw" + twips(page.widthPoints) + "\\paperh" + twips(page.heightPoints) + "\\margl" +
           twips(page.sideMarginPoints) + "\\margr" + twips(page.sideMarginPoints) + "\\margt" +
           twips(page.endMarginPoints) + "\\margb" + twips(page.endMarginPoints) + (page.landscape ? "\\landscape" : "") +
           "\n";
    // Font sizes in RTF are in half-points.
    out += "\\pard\\plain\\f0\\fs" + std::to_string(static_cast<int>(2 * ReportFontPoints)) + " ";
    for (const std::string& line : lines) {
        appendEscaped(out, line);
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

Failure writeRtfFile(const std::string& path, const std::vector<std::string>& lines)
{
    return writeWholeFile(path, rtfDocument(lines));
}

} // namespace calvero
