// The standard decimal conversion on arbitrary text. parseDecimal must accept
// exactly the texts of its grammar (leading blanks, sign, digits with an
// optional fraction, optional exponent), give the correctly rounded value
// that strtod gives in the C locale, refuse only the values beyond a double,
// and an accepted value must read back equal through its grid text.
#include "common/numtext.h"
#include "fuzz_support.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The grammar, checked on its own.
bool inGrammar(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = parseDecimal(text);
    const bool grammar = inGrammar(text);
    if (!grammar) {
        require(!value, "a text outside the grammar accepted: " + text);
        return 0;
    }

    // The fuzzer never sets a locale: strtod reads a full stop, as the grammar does.
    errno = 0;
    char* end = nullptr;
    const double reference = std::strtod(text.c_str(), &end);
    require(end == text.c_str() + text.size(), "strtod stops early on a text of the grammar");
    const bool overflow = errno == ERANGE && std::isinf(reference);
    if (!value) {
        require(overflow, "a number within a double's range refused: " + text);
        return 0;
    }
    require(!overflow, "a number beyond a double's range accepted: " + text);
    require(std::isfinite(*value), "an accepted text gave a value that is not finite");
    require(*value == reference && std::signbit(*value) == std::signbit(reference),
            "the value is not the correctly rounded one: " + text);

    const std::string gridText = formatGridValue(*value);
    const auto back = parseDecimal(gridText);
    require(back.has_value() && *back == *value, "the grid text does not read back: " + gridText);
    require(parseDecimalOrZero(text) == *value, "parseDecimalOrZero differs from parseDecimal");
    return 0;
}
