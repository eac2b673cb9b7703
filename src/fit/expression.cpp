#include "fit/expression.h"

#include <quadmath.h>

#include <cmath>
#include <optional>
#include <utility>

namespace calvero {

namespace {

// The elementary functions in each precision: the C library's for double and
// long double, libquadmath's for quad.
template <typename T>
struct Maths {
    static T exp(T v) { return std::exp(v); }
    static T log(T v) { return std::log(v); }
    static T log10(T v) { return std::log10(v); }
    static T sqrt(T v) { return std::sqrt(v); }
    static T abs(T v) { return std::fabs(v); }
    static T sin(T v) { return std::sin(v); }
    static T cos(T v) { return std::cos(v); }
    static T tan(T v) { return std::tan(v); }
    static T atan(T v) { return std::atan(v); }
    static T sinh(T v) { return std::sinh(v); }
    static T cosh(T v) { return std::cosh(v); }
    static T tanh(T v) { return std::tanh(v); }
    static T erf(T v) { return std::erf(v); }
    static T erfc(T v) { return std::erfc(v); }
    static T pow(T a, T b) { return std::pow(a, b); }
    // sin and cos of one argument, for a sine's value and its derivative.
    static void sinCos(T v, T& sine, T& cosine)
    {
        sine = std::sin(v);
        cosine = std::cos(v);
    }
    static T pi() { return static_cast<T>(3.14159265358979323846264338327950288L); }
    static T ln10() { return static_cast<T>(2.30258509299404568401799145468436421L); }
};

// sin and cos of a long double: the C library reduces every argument beyond
// π/4 by its multiple-precision road, slow enough to be most of a periodic
// equation's refinement (ENSO's). Reduced here instead by π/2 split into
// three parts (Cody and Waite), the first two of 40 bits so that k times
// them is exact for k below 2^24, the library's functions then taking the
// remainder within π/4 directly; larger arguments keep the library's road.
struct QuarterTurns {
    long double remainder;
    long quadrant; // k mod 4
};

std::optional<QuarterTurns> reducedByQuarterTurns(long double v)
{
    constexpr long double P1 = 0xc90fdaa221000000p-63L;  // π/2 to 40 bits
    constexpr long double P2 = 0xd18469898d000000p-104L; // the next 40
    constexpr long double P3 = -0xeba3f91f1976b7eep-146L; // the rest, to 64
    constexpr long double TwoOverPi = 0.636619772367581343075535053490057448L;
    const long double turns = v * TwoOverPi;
    if (!(std::fabs(turns) < 0x1p24L)) return std::nullopt;
    // The nearest whole number of quarter turns, by truncation (the library's
    // rounding functions save and restore the floating-point state: slower
    // than the sine itself).
    const auto whole = static_cast<long long>(turns + (turns < 0 ? -0.5L : 0.5L));
    const auto k = static_cast<long double>(whole);
    const long double r = ((v - k * P1) - k * P2) - k * P3;
    return QuarterTurns{r, static_cast<long>(whole & 3)};
}

// sin of quadrant quarter turns and r more.
long double sineOfTurns(long quadrant, long double r)
{
    switch (quadrant & 3) {
    case 0: return std::sin(r);
    case 1: return std::cos(r);
    case 2: return -std::sin(r);
    default: return -std::cos(r);
    }
}

template <>
long double Maths<long double>::sin(long double v)
{
    const auto q = reducedByQuarterTurns(v);
    return q ? sineOfTurns(q->quadrant, q->remainder) : std::sin(v);
}

// cos x = sin(x + π/2): one quarter turn more.
template <>
long double Maths<long double>::cos(long double v)
{
    const auto q = reducedByQuarterTurns(v);
    return q ? sineOfTurns(q->quadrant + 1, q->remainder) : std::cos(v);
}

// Both from one reduction and one call (the x87 gives both at the cost of
// one): a periodic equation's Jacobian needs the cosine of every sine.
template <>
void Maths<long double>::sinCos(long double v, long double& sine, long double& cosine)
{
    const auto q = reducedByQuarterTurns(v);
    if (!q) {
        sine = std::sin(v);
        cosine = std::cos(v);
        return;
    }
    long double s, c;
    ::sincosl(q->remainder, &s, &c);
    const long double turns[4][2] = {{s, c}, {c, -s}, {-s, -c}, {-c, s}};
    sine = turns[q->quadrant & 3][0];
    cosine = turns[q->quadrant & 3][1];
}

template <>
struct Maths<__float128> {
    using Q = __float128;
    static Q exp(Q v) { return expq(v); }
    static Q log(Q v) { return logq(v); }
    static Q log10(Q v) { return log10q(v); }
    static Q sqrt(Q v) { return sqrtq(v); }
    static Q abs(Q v) { return fabsq(v); }
    static Q sin(Q v) { return sinq(v); }
    static Q cos(Q v) { return cosq(v); }
    static Q tan(Q v) { return tanq(v); }
    static Q atan(Q v) { return atanq(v); }
    static Q sinh(Q v) { return sinhq(v); }
    static Q cosh(Q v) { return coshq(v); }
    static Q tanh(Q v) { return tanhq(v); }
    static Q erf(Q v) { return erfq(v); }
    static Q erfc(Q v) { return erfcq(v); }
    static Q pow(Q a, Q b) { return powq(a, b); }
    // (libquadmath's M_PIq is written with a suffix that strict C++ does not read.)
    static Q pi()
    {
        static const Q value = strtoflt128("3.14159265358979323846264338327950288419716939937510582", nullptr);
        return value;
    }
    static Q ln10()
    {
        static const Q value = strtoflt128("2.30258509299404568401799145468436420760110148862877298", nullptr);
        return value;
    }
};

// a^b. A whole exponent of a few units is multiplied out (exact where the
// power is, and defined for a negative base); any other goes to pow.
template <typename T>
T raised(T a, T b)
{
    using M = Maths<T>;
    if (b == T(2)) return a * a;
    if (b == T(1)) return a;
    return M::pow(a, b);
}

template <typename T>
T stepValue(const ExpressionStep& s, const std::vector<T>& v, std::span<const T> parameters, T x, T y)
{
    using M = Maths<T>;
    const auto a = [&] { return v[static_cast<std::size_t>(s.first)]; };
    const auto b = [&] { return v[static_cast<std::size_t>(s.second)]; };
    switch (s.operation) {
    case Operation::Number: return static_cast<T>(s.number);
    case Operation::Pi: return M::pi();
    case Operation::X: return x;
    case Operation::Y: return y;
    case Operation::Parameter: return parameters[static_cast<std::size_t>(s.parameter)];
    case Operation::Negate: return -a();
    case Operation::Add: return a() + b();
    case Operation::Subtract: return a() - b();
    case Operation::Multiply: return a() * b();
    case Operation::Divide: return a() / b();
    case Operation::Power: return raised(a(), b());
    case Operation::Exp: return M::exp(a());
    case Operation::Log: return M::log(a());
    case Operation::Log10: return M::log10(a());
    case Operation::Sqrt: return M::sqrt(a());
    case Operation::Abs: return M::abs(a());
    case Operation::Sin: return M::sin(a());
    case Operation::Cos: return M::cos(a());
    case Operation::Tan: return M::tan(a());
    case Operation::Atan: return M::atan(a());
    case Operation::Sinh: return M::sinh(a());
    case Operation::Cosh: return M::cosh(a());
    case Operation::Tanh: return M::tanh(a());
    case Operation::Erf: return M::erf(a());
    case Operation::Erfc: return M::erfc(a());
    }
    return T(0);
}

} // namespace

Expression::Expression(std::vector<ExpressionStep> steps, int parameterCount)
    : steps_(std::move(steps)), parameterCount_(parameterCount)
{
}

template <typename T>
T Expression::value(std::span<const T> parameters, T x, T y, std::vector<T>& v, std::span<const T> known) const
{
    v.resize(steps_.size());
    if (known.empty())
        for (std::size_t k = 0; k < steps_.size(); ++k) v[k] = stepValue(steps_[k], v, parameters, x, y);
    else
        for (std::size_t k = 0; k < steps_.size(); ++k)
            v[k] = steps_[k].withParameters ? stepValue(steps_[k], v, parameters, x, y) : known[k];
    return v.empty() ? T(0) : v.back();
}

template <typename T>
void Expression::valuesWithoutParameters(T x, T y, std::vector<T>& known) const
{
    known.assign(steps_.size(), T(0));
    for (std::size_t k = 0; k < steps_.size(); ++k)
        if (!steps_[k].withParameters) known[k] = stepValue(steps_[k], known, std::span<const T>(), x, y);
}

template <typename T>
T Expression::valueAndGradient(std::span<const T> parameters, T x, T y, std::span<T> gradient, std::vector<T>& v,
                               std::vector<T>& adjoint, std::span<const T> known) const
{
    using M = Maths<T>;
    // The forward pass, keeping beside each sine its cosine and the reverse
    // (in v's second half) for the way back.
    const std::size_t n = steps_.size();
    v.resize(2 * n);
    for (std::size_t k = 0; k < n; ++k) {
        const ExpressionStep& s = steps_[k];
        if (!s.withParameters && !known.empty()) v[k] = known[k];
        else if (s.withParameters && (s.operation == Operation::Sin || s.operation == Operation::Cos)) {
            T sine, cosine;
            M::sinCos(v[static_cast<std::size_t>(s.first)], sine, cosine);
            v[k] = s.operation == Operation::Sin ? sine : cosine;
            v[n + k] = s.operation == Operation::Sin ? cosine : sine;
        } else v[k] = stepValue(s, v, parameters, x, y);
    }
    const T result = v.empty() ? T(0) : v[n - 1];
    for (T& g : gradient) g = T(0);
    if (steps_.empty()) return result;
    adjoint.assign(steps_.size(), T(0));
    adjoint.back() = T(1);
    // Back through the steps: each passes its adjoint to its operands, only
    // along the steps that depend on a parameter (a constant exponent of a
    // negative base never asks for its logarithm).
    for (std::size_t k = steps_.size(); k-- > 0;) {
        const ExpressionStep& s = steps_[k];
        const T w = adjoint[k];
        if (!s.withParameters || w == T(0)) continue;
        const auto first = static_cast<std::size_t>(s.first);
        const auto second = static_cast<std::size_t>(s.second);
        auto pass = [&](std::size_t to, T amount) {
            if (steps_[to].withParameters) adjoint[to] += amount;
        };
        const T a = s.first >= 0 ? v[first] : T(0);
        switch (s.operation) {
        case Operation::Parameter: gradient[static_cast<std::size_t>(s.parameter)] += w; break;
        case Operation::Negate: pass(first, -w); break;
        case Operation::Add:
            pass(first, w);
            pass(second, w);
            break;
        case Operation::Subtract:
            pass(first, w);
            pass(second, -w);
            break;
        case Operation::Multiply:
            pass(first, w * v[second]);
            pass(second, w * a);
            break;
        case Operation::Divide:
            pass(first, w / v[second]);
            pass(second, -w * v[k] / v[second]);
            break;
        case Operation::Power: {
            const T b = v[second];
            if (steps_[first].withParameters) pass(first, w * (b == T(2) ? T(2) * a : b * raised(a, b - T(1))));
            // d(a^b)/db = a^b ln a; where a^b is 0 it does not move.
            if (steps_[second].withParameters && v[k] != T(0)) pass(second, w * v[k] * M::log(a));
            break;
        }
        case Operation::Exp: pass(first, w * v[k]); break;
        case Operation::Log: pass(first, w / a); break;
        case Operation::Log10: pass(first, w / (a * M::ln10())); break;
        case Operation::Sqrt: pass(first, w / (T(2) * v[k])); break;
        case Operation::Abs: pass(first, a > T(0) ? w : a < T(0) ? -w : T(0)); break;
        case Operation::Sin: pass(first, w * v[steps_.size() + k]); break;
        case Operation::Cos: pass(first, -w * v[steps_.size() + k]); break;
        case Operation::Tan: {
            const T c = M::cos(a);
            pass(first, w / (c * c));
            break;
        }
        case Operation::Atan: pass(first, w / (T(1) + a * a)); break;
        case Operation::Sinh: pass(first, w * M::cosh(a)); break;
        case Operation::Cosh: pass(first, w * M::sinh(a)); break;
        case Operation::Tanh: pass(first, w * (T(1) - v[k] * v[k])); break;
        // d erf(a)/da = 2/sqrt(pi) exp(-a^2); erfc's is its opposite.
        case Operation::Erf: pass(first, w * T(2) / M::sqrt(M::pi()) * M::exp(-a * a)); break;
        case Operation::Erfc: pass(first, -w * T(2) / M::sqrt(M::pi()) * M::exp(-a * a)); break;
        case Operation::Number:
        case Operation::Pi:
        case Operation::X:
        case Operation::Y: break;
        }
    }
    return result;
}

template double Expression::value(std::span<const double>, double, double, std::vector<double>&,
                                  std::span<const double>) const;
template long double Expression::value(std::span<const long double>, long double, long double,
                                       std::vector<long double>&, std::span<const long double>) const;
template __float128 Expression::value(std::span<const __float128>, __float128, __float128,
                                      std::vector<__float128>&, std::span<const __float128>) const;
template double Expression::valueAndGradient(std::span<const double>, double, double, std::span<double>,
                                             std::vector<double>&, std::vector<double>&, std::span<const double>) const;
template long double Expression::valueAndGradient(std::span<const long double>, long double, long double,
                                                  std::span<long double>, std::vector<long double>&,
                                                  std::vector<long double>&, std::span<const long double>) const;
template void Expression::valuesWithoutParameters(double, double, std::vector<double>&) const;
template void Expression::valuesWithoutParameters(long double, long double, std::vector<long double>&) const;

Operation functionNamed(const std::string& name)
{
    static const std::pair<const char*, Operation> Functions[] = {
        {"exp", Operation::Exp},   {"log", Operation::Log},   {"log10", Operation::Log10}, {"sqrt", Operation::Sqrt},
        {"abs", Operation::Abs},   {"sin", Operation::Sin},   {"cos", Operation::Cos},     {"tan", Operation::Tan},
        {"atan", Operation::Atan}, {"sinh", Operation::Sinh}, {"cosh", Operation::Cosh},   {"tanh", Operation::Tanh},
        {"erf", Operation::Erf},   {"erfc", Operation::Erfc}, {"pow", Operation::Power},
    };
    for (const auto& [text, operation] : Functions)
        if (name == text) return operation;
    return Operation::Number;
}

bool isFunction(Operation operation) { return operation >= Operation::Exp; }

} // namespace calvero
