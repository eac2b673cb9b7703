#pragma once
// The quad precision (IEEE binary128) in which the solver sums its residuals
// and the statistics their fitted values: bit for bit what the compiler's
// __float128 gives, with round to nearest, but several times faster for the
// finite normal numbers these sums meet. The compiler's quad goes through
// libgcc's software arithmetic, which handles every case and rounding mode
// at each step; here products and sums of normal numbers are rounded once
// from exact 128-bit integer arithmetic, and anything else (a subnormal, an
// infinity, NaN, a result outside the normal range) is handed to __float128
// itself. No Debian library does binary128 faster (Boost's float128 wraps the
// same libgcc code), so it is written here.
#include <cstdint>

namespace calvero {

class Quad {
public:
    Quad() = default;
    // Exact.
    Quad(double value)
    {
        std::uint64_t bits;
        __builtin_memcpy(&bits, &value, sizeof bits);
        const int field = static_cast<int>((bits >> 52) & 0x7FF);
        negative_ = (bits >> 63) != 0;
        if (field == 0 || field == 0x7FF) {
            if ((bits << 1) != 0) *this = fromDouble(value); // a subnormal, an infinity or NaN
            return;
        }
        significand_ = U128{(bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52)} << 60;
        exponent_ = field - 1075 - 60;
    }
    Quad(long double value); // exact

    [[gnu::always_inline]] friend Quad operator*(const Quad& a, const Quad& b)
    {
        if (a.special_ || b.special_) return compilersProduct(a, b);
        const bool negative = a.negative_ != b.negative_;
        if (a.significand_ == 0 || b.significand_ == 0) return zero(negative);
        // A double or a long double has at most 64 significant bits: its
        // significand ends in 49 zeros, and fewer partial products make the
        // same exact product. Each branch rounds it once, to nearest even.
        const bool aShort = (a.significand_ & Low49) == 0, bShort = (b.significand_ & Low49) == 0;
        if (aShort && bShort) {
            // Two 64-bit significands: their product is in [2^126, 2^128).
            const U128 p = U128{static_cast<std::uint64_t>(a.significand_ >> 49)} *
                           static_cast<std::uint64_t>(b.significand_ >> 49);
            const int shift = p >> 127 ? 15 : 14;
            const U128 kept = p >> shift, rest = p & ((U128{1} << shift) - 1), half = U128{1} << (shift - 1);
            return normal(negative, kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0),
                          a.exponent_ + b.exponent_ + 98 + shift, a, b, Operation::Multiply);
        }
        if (aShort || bShort) {
            // 113 bits by 64: the product over 2^49 is in [2^175, 2^177), as
            // a high part (up to 2^114) and 64 low bits.
            const U128& longer = aShort ? b.significand_ : a.significand_;
            const auto shorter = static_cast<std::uint64_t>((aShort ? a.significand_ : b.significand_) >> 49);
            const U128 lowProduct = U128{static_cast<std::uint64_t>(longer)} * shorter;
            const U128 high = U128{static_cast<std::uint64_t>(longer >> 64)} * shorter + (lowProduct >> 64);
            const auto low = static_cast<std::uint64_t>(lowProduct);
            const bool top = (high >> 112) != 0;
            const U128 kept = top ? high : (high << 1) | (low >> 63);
            const std::uint64_t rest = top ? low : low & ((std::uint64_t{1} << 63) - 1);
            const std::uint64_t half = top ? std::uint64_t{1} << 63 : std::uint64_t{1} << 62;
            return normal(negative, kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0),
                          a.exponent_ + b.exponent_ + (top ? 113 : 112), a, b, Operation::Multiply);
        }
        // The exact product of two 113-bit significands in 256 bits (high, low).
        const auto ah = static_cast<std::uint64_t>(a.significand_ >> 64);
        const auto al = static_cast<std::uint64_t>(a.significand_);
        const auto bh = static_cast<std::uint64_t>(b.significand_ >> 64);
        const auto bl = static_cast<std::uint64_t>(b.significand_);
        U128 low = U128{al} * bl;
        const U128 middle = U128{al} * bh + U128{ah} * bl; // below 2^114: no carry out
        const U128 shiftedMiddle = middle << 64;
        low += shiftedMiddle;
        const U128 high = U128{ah} * bh + (middle >> 64) + (low < shiftedMiddle ? 1 : 0);
        // The product lies in [2^224, 2^226): 113 bits are kept, all of
        // `high` and the top of `low`; the rest is in `low`.
        const int shift = high >> 97 ? 113 : 112;
        const U128 kept = (high << (128 - shift)) | (low >> shift);
        const U128 rest = low & ((U128{1} << shift) - 1);
        const U128 half = U128{1} << (shift - 1);
        // No tie can come here: each significand has a bit set below 2^49,
        // so the product has one below 2^97, under the half. The even
        // neighbour is kept for the rule's sake, not because a test can see it.
        return normal(negative, kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0),
                      a.exponent_ + b.exponent_ + shift, a, b, Operation::Multiply);
    }

    friend Quad operator+(const Quad& a, const Quad& b) { return sum(a, b, false); }
    friend Quad operator-(const Quad& a, const Quad& b) { return sum(a, b, true); }
    Quad& operator+=(const Quad& b) { return *this = sum(*this, b, false); }
    Quad& operator-=(const Quad& b) { return *this = sum(*this, b, true); }

    // Rounded to nearest, ties to even, as a cast of __float128 rounds.
    explicit operator long double() const;
    explicit operator double() const;

    // The value as the compiler's type, and back (exact both ways).
    __float128 toFloat128() const;
    static Quad fromFloat128(__float128 value);

private:
    using U128 = unsigned __int128;
    static constexpr int SignificandBits = 113;
    static constexpr int ExponentBias = 16383 + 112; // value = significand · 2^(field - bias)
    static constexpr int LowestExponent = 1 - ExponentBias;
    static constexpr int HighestExponent = 32766 - ExponentBias;
    static constexpr U128 Low49 = (U128{1} << 49) - 1;

    // Finite and normal: (-1)^negative · significand · 2^exponent, the
    // significand in [2^112, 2^113); zero: a significand of 0. Anything else
    // is special, its __float128 bits in significand_.
    U128 significand_ = 0;
    int exponent_ = 0;
    bool negative_ = false;
    bool special_ = false;

    static Quad fromDouble(double value);
    static Quad zero(bool negative)
    {
        Quad q;
        q.negative_ = negative;
        return q;
    }
    static Quad compilersProduct(const Quad& a, const Quad& b);
    static Quad compilersSum(const Quad& a, const Quad& b, bool subtract);

    enum class Operation { Add, Subtract, Multiply };

    // A rounded significand (at most 2^113) and its exponent, or the
    // compiler's result of a op b when it is outside the normal range.
    [[gnu::always_inline]] static Quad normal(bool negative, U128 significand, int exponent, const Quad& a, const Quad& b,
                                              Operation op)
    {
        if (significand >> SignificandBits) {
            significand >>= 1; // only 2^113 itself: exact
            ++exponent;
        }
        if (exponent < LowestExponent || exponent > HighestExponent)
            return op == Operation::Multiply ? compilersProduct(a, b) : compilersSum(a, b, op == Operation::Subtract);
        Quad q;
        q.negative_ = negative;
        q.significand_ = significand;
        q.exponent_ = exponent;
        return q;
    }

    static int topBit(U128 value)
    {
        const auto high = static_cast<std::uint64_t>(value >> 64);
        return high != 0 ? 127 - __builtin_clzll(high) : 63 - __builtin_clzll(static_cast<std::uint64_t>(value));
    }

    [[gnu::always_inline]] static Quad sum(const Quad& a, const Quad& b, bool subtract)
    {
        if (a.special_ || b.special_) return compilersSum(a, b, subtract);
        const bool bNegative = b.negative_ != subtract;
        if (a.significand_ == 0) {
            if (b.significand_ != 0) return normalOf(b, bNegative);
            return zero(a.negative_ && bNegative); // round to nearest: -0 only for -0 + -0
        }
        if (b.significand_ == 0) return a;
        const bool aLarger =
            a.exponent_ > b.exponent_ || (a.exponent_ == b.exponent_ && a.significand_ >= b.significand_);
        const bool bigNegative = aLarger ? a.negative_ : bNegative;
        const bool smallNegative = aLarger ? bNegative : a.negative_;
        // Three more bits (guard, round, sticky) make the sum round correctly.
        U128 m = (aLarger ? a.significand_ : b.significand_) << 3;
        U128 s = (aLarger ? b.significand_ : a.significand_) << 3;
        const int bigExponent = aLarger ? a.exponent_ : b.exponent_;
        const int gap = bigExponent - (aLarger ? b.exponent_ : a.exponent_);
        if (gap >= 116)
            s = 1;
        else if (gap > 0)
            s = (s >> gap) | ((s & ((U128{1} << gap) - 1)) != 0 ? 1 : 0);
        int exponent = bigExponent;
        if (bigNegative == smallNegative) {
            m += s;
            if (m >> 116) {
                m = (m >> 1) | (m & 1);
                ++exponent;
            }
        } else {
            m -= s;
            if (m == 0) return Quad(); // an exact zero is +0
            const int shift = 115 - topBit(m);
            m <<= shift;
            exponent -= shift;
        }
        const U128 kept = m >> 3;
        const unsigned rest = static_cast<unsigned>(m & 7);
        return normal(bigNegative, kept + ((rest > 4 || (rest == 4 && (kept & 1))) ? 1 : 0), exponent, a, b,
                      subtract ? Operation::Subtract : Operation::Add);
    }

    static Quad normalOf(const Quad& b, bool negative)
    {
        Quad q = b;
        q.negative_ = negative;
        return q;
    }
};

} // namespace calvero
