#include "capture/axisfactor.h"

#include "capture/ticklabels.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace calvero::capture {

namespace {

// Blanks out; the multiplication sign and the typographic minus as x and -.
std::string plain(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0xc3 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x97) {
            out += 'x', ++i;
        } else if (c == 0xe2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x88 &&
                   static_cast<unsigned char>(text[i + 2]) == 0x92) {
            out += '-', i += 2;
        } else if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xb7) {
            out += 'x', ++i; // a raised dot as the multiplication
        } else if (c != ' ') {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool hasDigit(std::string_view t)
{
    for (char c : t)
        if (std::isdigit(static_cast<unsigned char>(c))) return true;
    return false;
}

// Words: three letters in a row (the "e" of 1e4 and the "x" of x10 are single).
bool hasWord(std::string_view t)
{
    int run = 0;
    for (char c : t) {
        run = std::isalpha(static_cast<unsigned char>(c)) ? run + 1 : 0;
        if (run >= 3) return true;
    }
    return false;
}

bool powerOfTen(double v)
{
    if (!(v > 0) || !std::isfinite(v)) return false;
    const double exponent = std::log10(v);
    return std::abs(exponent - std::round(exponent)) < 1e-9 && std::abs(exponent) <= 15;
}

// A power of ten written as a factor: "1e4", "10^4", "1000", with or
// without x in front. "104" may be 10⁴ with its exponent read on the line,
// or 104, and "10" may be 10⁵ with its exponent lost: no factor is guessed;
// "1000" read as 10 to the 00 is none.
std::optional<double> factorValue(std::string t)
{
    if (!t.empty() && (t[0] == 'x' || t[0] == 'X' || t[0] == '*')) t.erase(0, 1);
    // A bare 10 is the base of a power whose raised exponent was not read (10⁵ read "10"): no factor is guessed.
    if (t == "10") return std::nullopt;
    std::vector<double> values = labelValues(t);
    if (values.size() > 1) values.erase(std::remove(values.begin(), values.end(), 1.0), values.end());
    if (values.size() != 1 || !powerOfTen(values.front())) return std::nullopt;
    return values.front();
}

FactorReading doubtful(std::string_view text) { return {FactorReading::Kind::Doubtful, {1, 0, std::string(text)}}; }

std::string withoutBrackets(std::string t)
{
    while (t.size() >= 2 && ((t.front() == '[' && t.back() == ']') || (t.front() == '(' && t.back() == ')')))
        t = t.substr(1, t.size() - 2);
    return t;
}

} // namespace

FactorReading factorAtAxisEnd(std::string_view text)
{
    const std::string whole = plain(text);
    const std::string t = withoutBrackets(whole);
    if (t.empty() || hasWord(t) || !hasDigit(t)) return {};
    // A plain number beyond the axis's end is some other label's: a factor
    // is marked (x, a sign, an exponent, brackets).
    const bool marked = t.find_first_of("xX*+-eE^") != std::string::npos || whole.size() != t.size();
    if (!marked) return {};
    // The offset's sign: the first + or - that is no exponent's.
    std::size_t sign = std::string::npos;
    for (std::size_t i = 0; i < t.size(); ++i)
        if ((t[i] == '+' || t[i] == '-') && (i == 0 || (t[i - 1] != 'e' && t[i - 1] != 'E' && t[i - 1] != '^'))) {
            sign = i;
            break;
        }
    const std::string times = t.substr(0, sign == std::string::npos ? t.size() : sign);
    const std::string plus = sign == std::string::npos ? "" : t.substr(sign);
    AxisFactor factor{1, 0, std::string(text)};
    if (!times.empty()) {
        const std::optional<double> m = factorValue(times);
        if (!m) return doubtful(text);
        factor.multiply = *m;
    }
    if (!plus.empty()) {
        // An offset is a plain number: its first reading ("+1000" is no power of ten).
        const std::vector<double> a = labelValues(plus);
        if (a.empty() || !std::isfinite(a.front())) return doubtful(text);
        factor.add = a.front();
    }
    return {FactorReading::Kind::Factor, factor};
}

FactorReading factorInTitle(std::string_view title)
{
    const std::string t = plain(title);
    const std::size_t open = t.find_first_of("[("), close = t.find_last_of("])");
    const bool unit = open != std::string::npos && close != std::string::npos && close > open;
    const std::string inside = unit ? t.substr(open + 1, close - open - 1) : "";
    const std::string outside = unit ? t.substr(0, open) + t.substr(close + 1) : t;
    // Inside the unit's brackets, a factor before the unit: the unit is that many of it.
    if (!inside.empty()) {
        std::size_t end = 0;
        const bool marked = inside[0] == 'x' || inside[0] == 'X' || inside[0] == '*';
        end = marked ? 1 : 0;
        while (end < inside.size() && (std::isdigit(static_cast<unsigned char>(inside[end])) || inside[end] == '^' ||
                                       inside[end] == '-' || inside[end] == '.' || inside[end] == ','))
            ++end;
        const std::string number = inside.substr(0, end);
        if (hasDigit(number)) {
            // A digit that is the unit's own (m3/h's 3) follows letters, never leads.
            if (const std::optional<double> m = factorValue(number); m && *m != 1)
                return {FactorReading::Kind::Factor, {*m, 0, std::string(title)}};
            if (marked || number.size() > 1) return doubtful(title);
        }
    }
    // Outside, a factor multiplying the quantity: what is drawn is the quantity times it.
    for (std::size_t i = 0; i < outside.size(); ++i) {
        const char c = outside[i];
        if (c != 'x' && c != 'X' && c != '/' && c != '*') continue;
        std::size_t end = i + 1;
        while (end < outside.size() && (std::isdigit(static_cast<unsigned char>(outside[end])) || outside[end] == '^' ||
                                        outside[end] == '-' || outside[end] == 'e'))
            ++end;
        const std::string number = outside.substr(i + 1, end - i - 1);
        if (!hasDigit(number)) continue;
        const std::optional<double> f = factorValue(number);
        if (!f) return doubtful(title);
        const double multiply = c == '/' ? *f : 1 / *f;
        return {FactorReading::Kind::Factor, {multiply, 0, std::string(title)}};
    }
    return {};
}

} // namespace calvero::capture
