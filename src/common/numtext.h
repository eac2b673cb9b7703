#pragma once
// The number texts shared by the whole program: fixed-point with a full stop,
// right-aligned, never in exponent form (the figures of the statistics alone
// may use it); and the standard decimal conversion of text to number.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

// integer(w): the decimal digits right-aligned in at least w characters.
std::string formatInteger(long long value, int width);

// real(w:d): rounded to d decimals, a leading minus when negative,
// right-aligned in at least w characters. A value that rounds to zero at d
// decimals has no minus sign. A value that is not finite has no such text:
// it gives "inf", "-inf" or "nan", which no reader of the program takes for a
// number; whoever writes a file checks for it first.
std::string formatReal(double value, int width, int decimals);

// The value real(w:d) writes, read back: rounded to d decimals, halves away
// from zero and a zero without its sign, as a field that shows it holds it.
// A value that is not finite stays as it is.
double roundedToDecimals(double value, int decimals);

// The significant digits a coefficient shows wherever the user copies it.
constexpr int CoefficientDigits = 12;

// What one term of a fitted equation can add to the fitted value over the
// points: the largest |term| there (the change a unit of its coefficient
// makes) and the largest |fitted value|.
struct TermReach {
    double reach = 0.0;
    double scale = 0.0;
};

// A term whose whole contribution stays below this share of the largest
// fitted value is rounding noise: its coefficient prints as zero.
constexpr double NegligibleContribution = 1e-12;

// real(w:d) of a coefficient, with the decimals that mean something: the
// field's d or the CoefficientDigits significant digits, whichever is more,
// and with a term's reach as many more as keep the printed term within
// NegligibleContribution of the largest fitted value; never more than the
// text that reads back as the same double nor past maxLength characters. A
// value within its 13 trusted digits of a short decimal is that decimal with
// binary noise: it prints as the decimal, filled with zeros to d places
// ("430.510000000001" reads "430.510000000000"). A term that contributes
// nothing prints as zero. Never in exponent form.
std::string formatCoefficient(double value, int width, int decimals, int maxLength = 100000,
                              std::optional<TermReach> term = std::nullopt);

// The coefficient as the printed text holds it (the digits above, read back).
double printedCoefficient(double value, std::optional<TermReach> term = std::nullopt);

// A coefficient, its error or a bound of its interval as the statistics show
// it: the digits of formatCoefficient without trailing zeros, "0" for a term
// that contributes nothing, and in exponent form ("1.23456789012e-80") where
// fixed point would need more than FixedFigureLeadingZeros zeros after the
// point or FixedFigureDigits digits before it; so a value that is not zero
// never reads as 0. "non calcolabile" for a value that is not finite.
std::string formatCoefficientFigure(double value, std::optional<TermReach> term = std::nullopt);
constexpr int FixedFigureLeadingZeros = 5;
constexpr int FixedFigureDigits = 15;

// The value rounded to the given significant digits in exponent form,
// without trailing zeros: 1.5e+20, -3.25e-07.
std::string formatScientific(double value, int digits);

// Every digit the double needs to read back as itself, in the shortest form
// (exponent form where that is shorter: "0.1", "1e-07", "1.2345678901234567e+20").
// For files that other programs read, where a rounded figure would change
// their result.
std::string shortestText(double value);

// The text of a point in the point grid: fixed-point with at least 5 decimals
// and as many more as the value needs to read back as the same double,
// right-aligned in 12 characters (1 gives "     1.00000").
std::string formatGridValue(double value);

// Standard decimal conversion: leading blanks skipped, optional sign, digits,
// optional fraction after a full stop (".5" and "5." are accepted), optional
// exponent (E or e, optional sign, digits). The whole rest of the text must be
// used. Returns nothing when the text is not such a number (an empty text
// included). A value beyond the range of a double is not a number; one below
// it reads as 0.
std::optional<double> parseDecimal(std::string_view text);

// What a decimal text (as parseDecimal reads it) holds beyond the double
// value it reads as: text - value to quad precision, rounded to a double. 0
// for a text that is not such a number, or that the double holds exactly.
// With it, value + remainder carries the text's first 30 or so digits, for
// sums that must see the data as written.
double decimalRemainder(std::string_view text, double value);

// The conversion that gives 0 for an empty text and for a text that is not a
// number (where the program reads without checking).
double parseDecimalOrZero(std::string_view text);

// Replaces every comma with a full stop (the decimal comma of typed points).
// A text with both marks and its last comma after its last dot is written the
// Italian way with thousands separators: its dots are dropped ("1.234,5" gives
// "1234.5").
std::string commaToPoint(std::string_view text);

// A field of a few typed numbers separated by ';' (each with a decimal comma
// or point, blanks around it allowed), from fewest to most of them; nothing
// for any other text.
std::optional<std::vector<double>> parseNumberList(std::string_view text, std::size_t fewest, std::size_t most);

// The first count characters of a UTF-8 text, never splitting a character.
std::string firstCharacters(const std::string& text, std::size_t count);

// Removes trailing blanks.
std::string trimRight(std::string_view text);

} // namespace calvero
