#include "fit/quad.h"

#include <cmath>
#include <cstring>

namespace calvero {

namespace {

using U128 = unsigned __int128;
constexpr U128 Hidden = U128{1} << 112;
constexpr U128 FractionMask = Hidden - 1;

// Rounds value / 2^shift to nearest, ties to even (shift from 1 to 127).
U128 roundedShift(U128 value, int shift)
{
    const U128 result = value >> shift;
    const U128 rest = value & ((U128{1} << shift) - 1);
    const U128 half = U128{1} << (shift - 1);
    return result + ((rest > half || (rest == half && (result & 1))) ? 1 : 0);
}

} // namespace

Quad Quad::fromDouble(double value)
{
    if (!std::isfinite(value)) return fromFloat128(value);
    Quad q;
    q.negative_ = std::signbit(value);
    if (value == 0.0) return q;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int field = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = field - 1075;
    if (field == 0)
        exponent = -1074; // a subnormal double is a normal quad
    else
        mantissa |= std::uint64_t{1} << 52;
    const int shift = 112 - (63 - __builtin_clzll(mantissa));
    q.significand_ = U128{mantissa} << shift;
    q.exponent_ = exponent - shift;
    return q;
}

Quad::Quad(long double value)
{
    // The x87 format: 64 bits of significand with its integer bit, then the
    // sign and 15 bits of exponent.
    std::uint64_t mantissa;
    std::uint16_t signAndField;
    std::memcpy(&mantissa, &value, sizeof mantissa);
    std::memcpy(&signAndField, reinterpret_cast<const char*>(&value) + 8, sizeof signAndField);
    const int field = signAndField & 0x7FFF;
    negative_ = (signAndField & 0x8000) != 0;
    if (field == 0 && mantissa == 0) return;
    if (field == 0 || field == 0x7FFF || (mantissa >> 63) == 0) {
        *this = fromFloat128(value); // a denormal, an infinity or NaN: seldom, and exact that way
        return;
    }
    significand_ = U128{mantissa} << 49;
    exponent_ = field - ExponentBias;
}

__float128 Quad::toFloat128() const
{
    U128 bits = special_ ? significand_ : U128{negative_} << 127;
    if (!special_ && significand_ != 0) bits |= (U128(exponent_ + ExponentBias) << 112) | (significand_ & FractionMask);
    __float128 value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Quad Quad::fromFloat128(__float128 value)
{
    U128 bits;
    std::memcpy(&bits, &value, sizeof bits);
    Quad q;
    q.negative_ = (bits >> 127) != 0;
    const int field = static_cast<int>((bits >> 112) & 0x7FFF);
    const U128 fraction = bits & FractionMask;
    if (field == 0 && fraction == 0) return q;
    if (field == 0 || field == 0x7FFF) {
        q.special_ = true;
        q.significand_ = bits;
        return q;
    }
    q.significand_ = Hidden | fraction;
    q.exponent_ = field - ExponentBias;
    return q;
}

Quad Quad::compilersProduct(const Quad& a, const Quad& b) { return fromFloat128(a.toFloat128() * b.toFloat128()); }

Quad Quad::compilersSum(const Quad& a, const Quad& b, bool subtract)
{
    return fromFloat128(subtract ? a.toFloat128() - b.toFloat128() : a.toFloat128() + b.toFloat128());
}

Quad::operator double() const
{
    if (special_ || significand_ == 0) return static_cast<double>(toFloat128());
    U128 kept = roundedShift(significand_, 60);
    int exponent = exponent_ + 60;
    if (kept >> 53) {
        kept >>= 1;
        ++exponent;
    }
    const int field = exponent + 1075;
    if (field < 1 || field > 2046) return static_cast<double>(toFloat128());
    const std::uint64_t bits = (std::uint64_t{negative_} << 63) | (std::uint64_t(field) << 52) |
                               (static_cast<std::uint64_t>(kept) & ((std::uint64_t{1} << 52) - 1));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Quad::operator long double() const
{
    if (special_ || significand_ == 0) return static_cast<long double>(toFloat128());
    U128 kept = roundedShift(significand_, 49);
    int exponent = exponent_ + 49;
    if (kept >> 64) {
        kept >>= 1;
        ++exponent;
    }
    const int field = exponent + 16383 + 63;
    if (field < 1 || field > 32766) return static_cast<long double>(toFloat128());
    long double value = 0.0L;
    const auto mantissa = static_cast<std::uint64_t>(kept);
    const auto signAndField = static_cast<std::uint16_t>((negative_ ? 0x8000 : 0) | field);
    std::memcpy(&value, &mantissa, sizeof mantissa);
    std::memcpy(reinterpret_cast<char*>(&value) + 8, &signAndField, sizeof signAndField);
    return value;
}

} // namespace calvero
