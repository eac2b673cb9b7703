#!/usr/bin/python3
"""Rounding ties for the quad arithmetic's test (tests/fit/quad_test.cpp).

Each case is a product, a sum, a difference or a conversion whose exact value,
computed here with exact rationals, lies exactly halfway between two numbers
of the result's format, with the even one below: round to nearest even keeps
the lower, round half up would take the upper, so a rounding step changed to
round half up gives other bits. The cases are built for each way the quad
product is formed (two significands of at most 64 bits; one of 113 bits and
one of 64), for sums that keep, gain or lose a binade, and for the
conversions to double and long double. Prints the table's C++ rows:

    /usr/bin/python3 tests/fit/quad_ties.py

Two significands of 113 bits (neither ending in 49 zeros) never make a tie:
each carries a factor 2^k with k < 49, their product one with k < 98, while
a tie at the 113th bit of a product of 2^224 or more needs 2^111 or more.
"""
import random
from fractions import Fraction

QUAD_BITS, QUAD_BIAS = 113, 16383


def rounded(value, bits, half_up=False):
    """|value| as significand · 2^exponent, the significand of `bits` bits, rounded to nearest."""
    magnitude = abs(value)
    exponent = magnitude.numerator.bit_length() - magnitude.denominator.bit_length() - bits
    while magnitude / Fraction(2) ** exponent >= 2 ** bits:
        exponent += 1
    while magnitude / Fraction(2) ** exponent < 2 ** (bits - 1):
        exponent -= 1
    scaled = magnitude / Fraction(2) ** exponent
    kept, rest = divmod(scaled.numerator, scaled.denominator)
    rest = Fraction(rest, scaled.denominator)
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and (half_up or kept % 2 == 1)):
        kept += 1
    if kept == 2 ** bits:
        kept //= 2
        exponent += 1
    return kept, exponent, rest == Fraction(1, 2)


def quad_bits(value, half_up=False):
    significand, exponent, _ = rounded(value, QUAD_BITS, half_up)
    field = exponent + QUAD_BIAS + QUAD_BITS - 1
    assert 0 < field < 0x7FFF
    return ((1 if value < 0 else 0) << 127) | (field << 112) | (significand - 2 ** 112)


def double_bits(value, half_up=False):
    significand, exponent, _ = rounded(value, 53, half_up)
    field = exponent + 1023 + 52
    assert 0 < field < 0x7FF
    return ((1 if value < 0 else 0) << 63) | (field << 52) | (significand - 2 ** 52)


def long_double_bits(value, half_up=False):
    """The x87 format: the 64-bit significand with its integer bit, and sign with exponent."""
    significand, exponent, _ = rounded(value, 64, half_up)
    field = exponent + QUAD_BIAS + 63
    assert 0 < field < 0x7FFF
    return significand, ((0x8000 if value < 0 else 0) | field)


def value_of(bits):
    field = (bits >> 112) & 0x7FFF
    significand = (bits & (2 ** 112 - 1)) | 2 ** 112
    value = Fraction(significand) * Fraction(2) ** (field - QUAD_BIAS - 112)
    return -value if bits >> 127 else value


def quad(significand, exponent, negative):
    """The quad significand · 2^exponent, the significand in [2^112, 2^113)."""
    assert 2 ** 112 <= significand < 2 ** 113
    return value_of(((1 if negative else 0) << 127) | ((exponent + QUAD_BIAS + 112) << 112) | (significand - 2 ** 112))


def ending_in(bits, zeros, rng):
    """A random significand of `bits` bits, its top bit set, ending in exactly `zeros` zeros."""
    odd = rng.getrandbits(bits - zeros) | 1 | (1 << (bits - zeros - 1))
    return odd << zeros


def is_even_tie(exact):
    _, _, tie = rounded(exact, QUAD_BITS)
    return tie and quad_bits(exact) != quad_bits(exact, half_up=True)


rng = random.Random(113)
rows = []


def row(kind, a, b, note):
    if kind == "double":
        expected = double_bits(a)
        assert expected != double_bits(a, half_up=True)
        rows.append('    {"%s", %s, {0, 0}, {0x%016xu, 0}, \'d\'},' % (note, hex128(a), expected))
        return
    if kind == "long double":
        mantissa, top = long_double_bits(a)
        assert (mantissa, top) != long_double_bits(a, half_up=True)
        rows.append('    {"%s", %s, {0, 0}, {0x%016xu, 0x%04xu}, \'l\'},' % (note, hex128(a), mantissa, top))
        return
    exact = a * b if kind == "*" else a + b if kind == "+" else a - b
    assert is_even_tie(exact), note
    rows.append('    {"%s", %s, %s, %s, \'%s\'},' % (note, hex128(a), hex128(b), bits128(quad_bits(exact)), kind))


def bits128(bits):
    return "{0x%016xu, 0x%016xu}" % (bits >> 64, bits & (2 ** 64 - 1))


def hex128(value):
    """An operand, exactly a quad."""
    bits = quad_bits(value)
    assert value_of(bits) == value
    return bits128(bits)


def find(make, wanted, note):
    found = 0
    while found < wanted:
        made = make()
        if made is None:
            continue
        kind, a, b = made
        exact = a * b if kind == "*" else a + b if kind == "+" else a - b
        if is_even_tie(exact):
            row(kind, a, b, note)
            found += 1


def short_by_short(product_top):
    # Two significands ending in 49 zeros: a 64-bit by 64-bit product, rounded at
    # its 15th bit (a product of 2^127 or more) or its 14th.
    def make():
        shift = 15 if product_top else 14
        i = rng.randrange(0, shift)
        a64 = ending_in(64, i, rng)
        b64 = ending_in(64, shift - 1 - i, rng)
        if ((a64 * b64) >> 127) != (1 if product_top else 0):
            return None
        return "*", quad(a64 << 49, rng.randrange(-8, 8), rng.random() < 0.5), \
            quad(b64 << 49, rng.randrange(-8, 8), rng.random() < 0.5)
    return make


def long_by_short(product_top, short_first):
    # A 113-bit significand by one ending in 49 zeros, rounded at the 64th bit
    # of the product over 2^49 (a product of 2^176 or more) or its 63rd.
    def make():
        shift = 64 if product_top else 63
        i = rng.randrange(0, 49)
        longer = ending_in(113, i, rng)
        shorter = ending_in(64, shift - 1 - i, rng)
        if ((longer * shorter) >> 176) != (1 if product_top else 0):
            return None
        x = quad(longer, rng.randrange(-8, 8), rng.random() < 0.5)
        y = quad(shorter << 49, rng.randrange(-8, 8), rng.random() < 0.5)
        return ("*", y, x) if short_first else ("*", x, y)
    return make


def sum_towards(target_exponent_gap, subtract):
    # a + b (or a - b) = (K + 1/2) · 2^E with K even: b is what the tie needs,
    # exactly a quad whenever a lies in a nearby binade.
    def make():
        e = rng.randrange(-20, 20)
        k = rng.randrange(2 ** 112, 2 ** 113) & ~1
        target = (Fraction(k) + Fraction(1, 2)) * Fraction(2) ** e
        a = quad(rng.randrange(2 ** 112, 2 ** 113), e + target_exponent_gap, False)
        b = target - a
        if b == 0:
            return None
        b_significand, b_exponent, _ = rounded(b, QUAD_BITS)
        if quad(b_significand, b_exponent, b < 0) != b:
            return None
        return ("-", a, -b) if subtract else ("+", a, b)
    return make


def far_smaller():
    # b below a by g binades, its last g bits 1 and zeros: the tie is b's to drop.
    def make():
        g = rng.randrange(2, 113)
        b = ((rng.getrandbits(113 - g) | (1 << (112 - g))) << g) | (1 << (g - 1))
        return rng.choice("+-"), quad(rng.randrange(2 ** 112, 2 ** 113), rng.randrange(-8, 8), False), \
            quad(b, rng.randrange(-8, 8) - g, rng.random() < 0.5)
    return make


find(short_by_short(True), 3, "64 by 64 bits, product of 2^127 or more")
find(short_by_short(False), 3, "64 by 64 bits, product below 2^127")
for short_first in (False, True):
    find(long_by_short(True, short_first), 3, "113 by 64 bits, product of 2^176 or more")
    find(long_by_short(False, short_first), 3, "113 by 64 bits, product below 2^176")
find(sum_towards(0, False), 2, "sum in the same binade")
find(sum_towards(0, True), 2, "difference in the same binade")
find(sum_towards(1, True), 2, "difference that loses a binade")
find(sum_towards(-1, False), 2, "sum above its first term's binade")
find(far_smaller(), 3, "sum with a far smaller term")
for _ in range(3):
    # A quad ending in 1 and 59 zeros, the bit above even: to double.
    significand = (rng.getrandbits(52) << 61) | (1 << 59) | (1 << 112)
    row("double", quad(significand, rng.randrange(-30, 30), rng.random() < 0.5), None, "to double")
for _ in range(3):
    # Ending in 1 and 48 zeros: to long double.
    significand = (rng.getrandbits(63) << 50) | (1 << 48) | (1 << 112)
    row("long double", quad(significand, rng.randrange(-30, 30), rng.random() < 0.5), None, "to long double")

print("\n".join(rows))
