#include "capture/axisunits.h"

#include <cmath>

namespace calvero::capture {

namespace {

// A conversion: second = first × factor + offset.
struct Conversion {
    const char* units;
    double factor;
    double offset;
};

// Both ways round: m and ft, kPa and psi, bar and psi, m of water and kPa
// or bar, m³/h and l/s or US gpm, l/s and gpm, °C and °F, kW and hp.
constexpr Conversion Conversions[] = {
    {"m e ft", 3.280839895, 0},     {"kPa e psi", 0.1450377377, 0}, {"bar e psi", 14.50377377, 0},
    {"m e kPa", 9.80665, 0},        {"m e bar", 0.0980665, 0},      {"bar e kPa", 100, 0},
    {"m3/h e l/s", 1 / 3.6, 0},     {"m3/h e gpm", 4.402867539, 0}, {"l/s e gpm", 15.85032314, 0},
    {"°C e °F", 1.8, 32},           {"kW e hp", 1.341022090, 0},    {"m e mbar", 98.0665, 0},
};
// The readings meet a conversion within this share of the second axis's span.
constexpr double Within = 0.005;

double valueAt(const AxisReading& r, double position)
{
    return r.first.value + (position - r.first.position) * (r.second.value - r.first.value) / (r.second.position - r.first.position);
}

} // namespace

std::optional<std::string> sameQuantityInTwoUnits(const AxisReading& first, const AxisReading& second, double from, double to)
{
    if (first.scale != AxisScale::Linear || second.scale != AxisScale::Linear) return std::nullopt;
    const double a0 = valueAt(first, from), a1 = valueAt(first, to), b0 = valueAt(second, from), b1 = valueAt(second, to);
    const double span = std::abs(b1 - b0);
    if (!(span > 0) || !std::isfinite(span)) return std::nullopt;
    for (const Conversion& c : Conversions)
        for (bool reversed : {false, true}) {
            // Reversed: first = second × factor + offset.
            const auto expected = [&](double a) { return reversed ? (a - c.offset) / c.factor : a * c.factor + c.offset; };
            if (std::abs(expected(a0) - b0) <= Within * span && std::abs(expected(a1) - b1) <= Within * span) {
                if (!reversed) return std::string(c.units);
                const std::string u = c.units;
                const std::size_t and_ = u.find(" e ");
                return u.substr(and_ + 3) + " e " + u.substr(0, and_);
            }
        }
    return std::nullopt;
}

} // namespace calvero::capture
