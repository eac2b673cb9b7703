#pragma once
// A small RTF reader for the tests: checks that a document is well formed and
// gives back its paragraphs as UTF-8 lines and the name of font 0.
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace calvero::testing {

struct RtfContent {
    std::vector<std::string> paragraphs;
    std::string font0;       // the name of \f0 in the font table
    std::string font0Family; // \fmodern, \froman, ...
    // The last value of each control word with a number outside the font
    // table (\fs, \paperw, \margl, ...); a word without a number gives 1.
    std::map<std::string, long> controls;
};

namespace rtfdetail {

inline void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

inline char32_t fromCp1252(unsigned char b)
{
    static const char32_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    return b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b;
}

} // namespace rtfdetail

// Throws std::runtime_error when the document is not well formed.
inline RtfContent parseRtf(const std::string& rtf)
{
    using namespace rtfdetail;
    if (rtf.rfind("{\\rtf1", 0) != 0) throw std::runtime_error("no {\\rtf1 header");
    struct Group {
        bool skip;
        bool fontTable;
    };
    std::vector<Group> groups;
    RtfContent content;
    std::string text;
    std::string fontText;
    int currentFont = -1;
    int skipAfterUnicode = 0;
    char16_t highSurrogate = 0;
    bool closedTop = false;

    const auto put = [&](char32_t c) {
        if (skipAfterUnicode > 0) {
            --skipAfterUnicode;
            return;
        }
        if (groups.back().fontTable) {
            if (currentFont == 0) appendUtf8(fontText, c);
        } else if (!groups.back().skip) {
            appendUtf8(text, c);
        }
    };

    for (std::size_t i = 0; i < rtf.size();) {
        const char c = rtf[i];
        if (closedTop) {
            if (c != '\n' && c != '\r') throw std::runtime_error("text after the document");
            ++i;
            continue;
        }
        if (c == '{') {
            groups.push_back(groups.empty() ? Group{false, false} : groups.back());
            ++i;
        } else if (c == '}') {
            if (groups.empty()) throw std::runtime_error("unbalanced }");
            groups.pop_back();
            closedTop = groups.empty();
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c == '\\') {
            if (groups.empty()) throw std::runtime_error("control outside the document");
            ++i;
            if (i >= rtf.size()) throw std::runtime_error("dangling backslash");
            const char s = rtf[i];
            if ((s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z')) {
                std::string word;
                while (i < rtf.size() && ((rtf[i] >= 'a' && rtf[i] <= 'z') || (rtf[i] >= 'A' && rtf[i] <= 'Z')))
                    word += rtf[i++];
                std::string number;
                if (i < rtf.size() && rtf[i] == '-') number += rtf[i++];
                while (i < rtf.size() && rtf[i] >= '0' && rtf[i] <= '9') number += rtf[i++];
                if (i < rtf.size() && rtf[i] == ' ') ++i;
                const long value = number.empty() || number == "-" ? 0 : std::stol(number);
                if (!groups.back().fontTable && !groups.back().skip) content.controls[word] = number.empty() ? 1 : value;
                if (word == "par") {
                    if (!groups.back().skip && !groups.back().fontTable) {
                        content.paragraphs.push_back(text);
                        text.clear();
                    }
                } else if (word == "tab") {
                    put('\t');
                } else if (word == "u") {
                    const char16_t unit = static_cast<char16_t>(value < 0 ? value + 65536 : value);
                    if (unit >= 0xD800 && unit < 0xDC00) {
                        highSurrogate = unit;
                    } else if (unit >= 0xDC00 && unit < 0xE000) {
                        put(0x10000 + ((static_cast<char32_t>(highSurrogate) - 0xD800) << 10) + (unit - 0xDC00));
                    } else {
                        put(unit);
                    }
                    skipAfterUnicode = 1;
                } else if (word == "fonttbl") {
                    groups.back().fontTable = true;
                } else if (word == "f" && groups.back().fontTable) {
                    currentFont = static_cast<int>(value);
                } else if (groups.back().fontTable && currentFont == 0 && word.rfind("f", 0) == 0 &&
                           (word == "fmodern" || word == "froman" || word == "fswiss" || word == "fnil")) {
                    content.font0Family = word;
                } else if (word == "colortbl" || word == "stylesheet" || word == "info") {
                    groups.back().skip = true;
                }
            } else if (s == '\'') {
                if (i + 2 >= rtf.size()) throw std::runtime_error("short \\' escape");
                const unsigned char b = static_cast<unsigned char>(std::stoi(rtf.substr(i + 1, 2), nullptr, 16));
                i += 3;
                put(fromCp1252(b));
            } else if (s == '*') {
                groups.back().skip = true;
                ++i;
            } else if (s == '\\' || s == '{' || s == '}') {
                put(static_cast<unsigned char>(s));
                ++i;
            } else if (s == '~') {
                put(0xA0);
                ++i;
            } else {
                ++i; // other control symbols carry no text
            }
        } else {
            if (groups.empty()) throw std::runtime_error("text outside the document");
            if (groups.back().fontTable && c == ';') {
                currentFont = -1;
                ++i;
                continue;
            }
            put(static_cast<unsigned char>(c));
            ++i;
        }
    }
    if (!closedTop) throw std::runtime_error("document not closed");
    if (!text.empty()) content.paragraphs.push_back(text);
    const auto first = fontText.find_first_not_of(' ');
    content.font0 = first == std::string::npos ? std::string() : fontText.substr(first);
    return content;
}

} // namespace calvero::testing
