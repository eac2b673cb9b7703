#pragma once
// A factor or an offset written for a whole axis: the tick labels show the
// values divided by a power of ten, or less an offset, and the text at the
// axis's far end or in its title says by what. Every value read is then
//   value = shown × multiply + add.
// The notations and the way each goes:
//   at the axis's end   "1e4", "×10⁴", "x1000", "[×1000]"   multiply
//                       "+1000", "−5"                         add
//                       "1e4+1000"                            both
//   in the title        "Q [×1000 m³/h]", "Q [10³ m³/h]"      multiply (the unit is 1000 m³/h)
//                       "Q × 10⁻³ [m³/h]", "Q / 1000 [m³/h]"  divide (what is drawn is Q times the factor)
// A text that looks like a factor but is none of these is not guessed at:
// the caller tells it. Nothing here reads a picture; the texts come in as
// read ("10^4" for a raised exponent).
#include <optional>
#include <string>
#include <string_view>

namespace calvero::capture {

struct AxisFactor {
    double multiply = 1;
    double add = 0;
    // As written, for the user.
    std::string text;
    double applied(double shown) const { return shown * multiply + add; }
    friend bool operator==(const AxisFactor&, const AxisFactor&) = default;
};

// What a text at an axis's end says.
struct FactorReading {
    enum class Kind {
        None,     // no factor: words, nothing read
        Factor,   // understood
        Doubtful, // a number or a sign that is no notation known here: told, quoted
    };
    Kind kind = Kind::None;
    AxisFactor factor;
};

FactorReading factorAtAxisEnd(std::string_view text);

// What an axis title says of a factor (none in most titles).
FactorReading factorInTitle(std::string_view title);

} // namespace calvero::capture
