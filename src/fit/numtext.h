#pragma once
// The number texts shared by the whole program: fixed-point with a full stop,
// right-aligned, never in exponent form; and the standard decimal conversion
// of text to number.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace calvero {

// integer(w): the decimal digits right-aligned in at least w characters.
std::string formatInteger(long long value, int width);

// real(w:d): rounded to d decimals, a leading minus when negative,
// right-aligned in at least w characters. A value that rounds to zero at d
// decimals has no minus sign. A value that is not finite is an arithmetic
// fault (overflow for an infinity, invalid operation for NaN).
std::string formatReal(double value, int width, int decimals);

// The significant digits a coefficient shows wherever the user copies it.
constexpr int CoefficientDigits = 12;

// real(w:d) of a coefficient: unchanged when it shows at least
// CoefficientDigits significant digits, otherwise with more decimals, until it
// does or until the text reads back as the same double. Never in exponent form.
// The added decimals stop where the text would pass maxLength characters.
std::string formatCoefficient(double value, int width, int decimals, int maxLength = 100000);

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

// The conversion that gives 0 for an empty text and for a text that is not a
// number (where the program reads without checking).
double parseDecimalOrZero(std::string_view text);

// Replaces every comma with a full stop (the decimal comma of typed points).
std::string commaToPoint(std::string_view text);

// The first count characters of a UTF-8 text, never splitting a character.
std::string firstCharacters(const std::string& text, std::size_t count);

// Removes trailing blanks.
std::string trimRight(std::string_view text);

} // namespace calvero
