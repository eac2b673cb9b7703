#pragma once
// Double-double numbers: a value as the unevaluated sum hi + lo of two
// doubles, about 106 bits, for the sums the engine wants beyond a double's
// precision but not at quad's price. Products use the exact error of a
// double product (fma), sums the exact error of a double sum; each operation
// below errs by at most 2^-103 of its operands' magnitude (the bounds are
// the callers' to add up). Only for finite values well inside the normal
// range: the callers check that and otherwise take quad.
#include <cmath>

// A function that spends its time in these products gets a second copy
// built for processors with a fused multiply-add, picked when the program
// loads; elsewhere fma is the C library's, exact but slower.
#if defined(__x86_64__) && defined(__GNUC__)
#define CALVERO_FMA_CLONES [[gnu::target_clones("fma", "default")]]
#else
#define CALVERO_FMA_CLONES
#endif

namespace calvero {

struct DoubleDouble {
    double hi = 0.0;
    double lo = 0.0;

    DoubleDouble() = default;
    constexpr explicit DoubleDouble(double value) : hi(value) {}
    constexpr DoubleDouble(double hi, double lo) : hi(hi), lo(lo) {}
};

// a + b exactly, as the rounded sum and its error.
inline DoubleDouble exactSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a · b exactly, as the rounded product and its error.
inline DoubleDouble exactProduct(double a, double b)
{
    const double p = a * b;
    return {p, std::fma(a, b, -p)};
}

inline DoubleDouble operator*(const DoubleDouble& a, double b)
{
    DoubleDouble p = exactProduct(a.hi, b);
    return exactSum(p.hi, p.lo + a.lo * b);
}

inline DoubleDouble operator*(const DoubleDouble& a, const DoubleDouble& b)
{
    DoubleDouble p = exactProduct(a.hi, b.hi);
    return exactSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b)
{
    const DoubleDouble s = exactSum(a.hi, b.hi);
    return exactSum(s.hi, s.lo + (a.lo + b.lo));
}

inline DoubleDouble operator-(const DoubleDouble& a) { return {-a.hi, -a.lo}; }
inline DoubleDouble operator-(const DoubleDouble& a, const DoubleDouble& b) { return a + (-b); }

// A long double (64 bits) as two doubles, exactly.
inline DoubleDouble toDoubleDouble(long double value)
{
    const double hi = static_cast<double>(value);
    return {hi, static_cast<double>(value - hi)};
}

inline long double toLongDouble(const DoubleDouble& a) { return static_cast<long double>(a.hi) + a.lo; }

} // namespace calvero
