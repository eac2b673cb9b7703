#include "common/numtext.h"

#include "common/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <quadmath.h>
#include <system_error>
#include <vector>

namespace calvero {

namespace {

std::string padLeft(std::string text, int width)
{
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

// The shortest fixed-point text that reads back as the same double.
// Room for the 309 integer digits of the largest double and the 1074
// decimals of the smallest, with sign and point.
constexpr std::size_t FixedTextRoom = 1400;

std::string toFixed(double value)
{
    std::array<char, FixedTextRoom> buffer;
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::string toFixed(double value, int decimals)
{
    if (static_cast<std::size_t>(decimals) + 340 > FixedTextRoom) {
        std::vector<char> buffer(static_cast<std::size_t>(decimals) + 340);
        auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
        return std::string(buffer.data(), result.ptr);
    }
    std::array<char, FixedTextRoom> buffer;
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                                decimals);
    return std::string(buffer.data(), result.ptr);
}

// True when the value lies exactly halfway between two numbers of the given
// decimals (its exact decimal expansion is ...5000...).
bool exactlyHalfway(double value, int decimals)
{
    // A cheap look first: where the value times 10^decimals is small enough to
    // be known within 10^-3, its fraction must be near one half.
    if (decimals >= 0 && decimals <= 22) {
        const double scaled = std::fabs(value) * std::pow(10.0, decimals);
        if (scaled < 1e12 && std::fabs(scaled - std::floor(scaled) - 0.5) > 1e-3) return false;
    }
    const std::string probe = toFixed(value, decimals + 20);
    const std::size_t digit = probe.size() - 20;
    if (probe[digit] != '5' || probe.find_first_not_of('0', digit + 1) != std::string::npos) return false;
    // A double has at most 1074 decimals: the full expansion settles it.
    const std::string exact = toFixed(value, 1100);
    return exact.find_first_not_of('0', exact.size() - 1100 + static_cast<std::size_t>(decimals) + 1) == std::string::npos;
}

// Rounded to the given decimals, halves away from zero.
std::string fixed(double value, int decimals)
{
    if (exactlyHalfway(value, decimals)) {
        const double step = std::pow(10.0, -decimals);
        const double away = value + (value < 0 ? -step / 4 : step / 4);
        return toFixed(away, decimals);
    }
    return toFixed(value, decimals);
}

// For a number out of a double's range (unsigned, as parseDecimal checked
// it): true when it is too small rather than too large. The sign of the power
// of ten of its first significant digit tells, whatever the number of digits
// before the exponent ("1000...e-20" is large, "0.000...1e5" small).
bool belowDoubleRange(std::string_view number)
{
    const std::size_t exponentMark = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentMark);
    long long exponent = 0;
    if (exponentMark != std::string_view::npos) {
        std::size_t i = exponentMark + 1;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        for (; i < number.size(); ++i)
            exponent = std::min<long long>(exponent * 10 + (number[i] - '0'), 1'000'000'000'000LL);
        if (negative) exponent = -exponent;
    }
    const std::size_t firstSignificant = mantissa.find_first_not_of("0.");
    if (firstSignificant == std::string_view::npos) return true; // zero
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const long long magnitude = firstSignificant < point
                                    ? static_cast<long long>(point - firstSignificant) - 1
                                    : -static_cast<long long>(firstSignificant - point);
    return magnitude + exponent < 0;
}

} // namespace

std::string formatInteger(long long value, int width) { return padLeft(std::to_string(value), width); }

std::string formatReal(double value, int width, int decimals)
{
    if (!std::isfinite(value)) return padLeft(toFixed(value), width);
    std::string text = fixed(value, decimals < 0 ? 0 : decimals);
    // No "-0.0000": a value that rounds to zero is written without its sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return padLeft(std::move(text), width);
}

double roundedToDecimals(double value, int decimals)
{
    if (!std::isfinite(value)) return value;
    // The exact decimal rounding of the binary value is what the text holds;
    // reading the text back is the exact way to the nearest double.
    return parseDecimal(formatReal(value, 0, decimals)).value_or(value);
}

namespace {

// The power of ten of the value's first digit once rounded to CoefficientDigits digits.
int leadingExponent(double value)
{
    char scientific[64];
    const auto end = std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific,
                                   CoefficientDigits - 1).ptr;
    const std::string_view exponentText(std::find(scientific, end, 'e') + 1, end);
    int exponent = 0;
    std::from_chars(exponentText.data() + (exponentText.front() == '+'), exponentText.data() + exponentText.size(),
                    exponent);
    return exponent;
}

// Digits past the 13th of a fitted coefficient may be rounding noise of the fit.
constexpr int TrustedDigits = 13;

bool negligible(double value, const std::optional<TermReach>& term)
{
    return term && term->scale > 0 && std::fabs(value) * term->reach < NegligibleContribution * term->scale;
}

// The decimals of a short decimal (at most TrustedDigits - 3 significant
// digits) that the value is within its trusted digits of, if any:
// 430.510000000001 is 430.51 (2) with binary noise after it.
std::optional<int> shortDecimalPlaces(double value, int exponent)
{
    const int trusted = TrustedDigits - 1 - exponent;
    if (trusted < 0) return std::nullopt;
    std::string text = formatReal(value, 0, trusted);
    if (text.find('.') == std::string::npos) return std::nullopt;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    const std::size_t first = text.find_first_of("123456789");
    if (first == std::string::npos) return std::nullopt;
    const auto significant = std::count_if(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(),
                                           [](char c) { return c >= '0' && c <= '9'; });
    if (significant > TrustedDigits - 3) return std::nullopt;
    const std::size_t dot = text.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
}

// The decimals of a coefficient that mean something (see formatCoefficient).
int meaningfulDecimals(double value, int decimals, const std::optional<TermReach>& term, int maxLength)
{
    const int exponent = leadingExponent(value);
    int wanted = std::max(CoefficientDigits - 1 - exponent, decimals);
    if (term && term->reach > 0 && term->scale > 0) {
        // A rounding of half a unit of the last decimal moves the term by
        // reach / 2 of it: keep that below the negligible share.
        const double needed = std::ceil(std::log10(term->reach / (2 * NegligibleContribution * term->scale)));
        if (needed > wanted) wanted = static_cast<int>(std::min(needed, 1000.0));
    }
    // The decimals of the shortest text that reads back as the same double.
    const std::string shortest = toFixed(value);
    const std::size_t dot = shortest.find('.');
    const int readingBack = dot == std::string::npos ? 0 : static_cast<int>(shortest.size() - dot - 1);
    const int wholePart = static_cast<int>(formatReal(value, 0, 0).size()) + 1; // sign, digits and point
    wanted = std::min({wanted, readingBack, maxLength - wholePart});
    if (const auto shortPlaces = shortDecimalPlaces(value, exponent)) wanted = std::min(wanted, *shortPlaces);
    return wanted;
}

} // namespace

std::string formatCoefficient(double value, int width, int decimals, int maxLength, std::optional<TermReach> term)
{
    if (!std::isfinite(value) || value == 0.0) return formatReal(value, width, decimals);
    if (negligible(value, term)) return formatReal(0.0, width, decimals);
    const int meaningful = meaningfulDecimals(value, decimals, term, maxLength);
    if (meaningful >= decimals) return formatReal(value, width, meaningful);
    std::string text = formatReal(value, 0, std::max(meaningful, 0));
    if (meaningful <= 0) text += '.';
    text.append(static_cast<std::size_t>(decimals - std::max(meaningful, 0)), '0');
    if (decimals == 0) text.pop_back();
    return padLeft(std::move(text), width);
}

std::string formatScientific(double value, int digits)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                   std::clamp(digits, 1, 17) - 1).ptr;
    std::string result(text, end);
    const std::size_t mark = result.find('e');
    std::string mantissa = result.substr(0, mark);
    if (mantissa.find('.') != std::string::npos) {
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    return mantissa + result.substr(mark);
}

std::string formatCoefficientFigure(double value, std::optional<TermReach> term)
{
    if (!std::isfinite(value)) return "non calcolabile";
    if (value == 0.0 || negligible(value, term)) return "0";
    // No floor of decimals: a large value keeps its significant digits alone.
    const int meaningful = meaningfulDecimals(value, -100000, term, 100000);
    const int exponent = leadingExponent(value);
    if (-exponent - 1 > FixedFigureLeadingZeros || exponent + 1 > FixedFigureDigits)
        return formatScientific(value, meaningful + exponent + 1);
    std::string text = formatReal(value, 0, std::max(meaningful, 0));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

double printedCoefficient(double value, std::optional<TermReach> term)
{
    if (!std::isfinite(value)) return value;
    return parseDecimalOrZero(formatCoefficient(value, 0, 0, 100000, term));
}

std::string shortestText(double value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string formatGridValue(double value)
{
    if (!std::isfinite(value)) return formatReal(value, 12, 5);
    if (value == 0.0) value = 0.0;
    std::string text = toFixed(value);
    const auto dot = text.find('.');
    const std::size_t decimals = dot == std::string::npos ? 0 : text.size() - dot - 1;
    if (dot == std::string::npos) text += '.';
    if (decimals < 5) text.append(5 - decimals, '0');
    return padLeft(text, 12);
}

std::optional<double> parseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponentDigits;
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    // from_chars takes neither a leading '+' nor a bare trailing '.': hand it the
    // unsigned mantissa and apply the sign ourselves.
    std::string number(text.substr(mantissaStart));
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                  std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large is not a number we can hold.
        if (!belowDoubleRange(number)) return std::nullopt;
        value = 0.0;
    } else if (result.ec != std::errc() || result.ptr != number.data() + number.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

double decimalRemainder(std::string_view text, double value)
{
    const auto read = parseDecimal(text);
    if (!read || *read != value || !std::isfinite(value)) return 0.0;
    const std::string whole(text);
    const __float128 exact = strtoflt128(whole.c_str(), nullptr);
    const double rest = static_cast<double>(exact - static_cast<__float128>(value));
    return std::isfinite(rest) ? rest : 0.0;
}

double parseDecimalOrZero(std::string_view text) { return parseDecimal(text).value_or(0.0); }

std::optional<std::vector<double>> parseNumberList(std::string_view text, std::size_t fewest, std::size_t most)
{
    std::vector<double> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t semicolon = text.find(';', start);
        std::string_view piece = text.substr(start, semicolon == std::string_view::npos ? std::string_view::npos
                                                                                          : semicolon - start);
        while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
        while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
        const auto number = parseDecimal(commaToPoint(piece));
        if (!number || !std::isfinite(*number)) return std::nullopt;
        numbers.push_back(*number);
        if (semicolon == std::string_view::npos) break;
        start = semicolon + 1;
    }
    if (numbers.size() < fewest || numbers.size() > most) return std::nullopt;
    return numbers;
}

std::string commaToPoint(std::string_view text)
{
    // "1.234,5": with both marks and the comma last, the dots group thousands.
    const std::size_t lastComma = text.rfind(',');
    const std::size_t lastDot = text.rfind('.');
    const bool thousands = lastComma != std::string_view::npos && lastDot != std::string_view::npos && lastComma > lastDot;
    std::string result;
    for (char c : text) {
        if (thousands && c == '.') continue;
        result.push_back(c == ',' ? '.' : c);
    }
    return result;
}

std::string firstCharacters(const std::string& text, std::size_t count)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (startsUtf8Character(text[i]) && characters++ == count) return text.substr(0, i);
    }
    return text;
}

std::string trimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return std::string(text.substr(0, end));
}

} // namespace calvero
