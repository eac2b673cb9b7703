#pragma once
// A compressor's ten coefficients in the order of AHRI 540 and EN 12900,
// from the surface of degree 3 with x the suction (evaporating) and y the
// discharge (condensing) dew-point temperature:
// X = C1 + C2·S + C3·D + C4·S² + C5·S·D + C6·D² + C7·S³ + C8·D·S² + C9·S·D² + C10·D³.
// A semicolon-separated table (decimal point), a row per curve, each followed
// by its envelope and a check at three of its points as comment lines. The
// temperatures are in the units of the points, unless the coefficients are
// asked for in AHRI 540's IP units: then temperatures typed in °C give
// coefficients for °F, and capacity (W or kW), power (W or kW) or mass flow
// (kg/s or kg/h) give coefficients for Btu/h, W or lb/h, the polynomial
// converted in exact rational arithmetic and rounded once.
#include "common/checked.h"
#include "fit/calculation.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace calvero {

enum class TemperatureUnit { Celsius, Fahrenheit };

enum class AhriQuantity { Capacity, Power, MassFlow };

// What the compressor's values are and the unit they were typed in: "W" or
// "kW" (capacity, power), "kg/s" or "kg/h" (mass flow).
struct AhriIp {
    AhriQuantity quantity = AhriQuantity::Capacity;
    std::string from = "W";
};

// "capacity:W", "capacity:kW", "power:W", "power:kW", "massflow:kg/s",
// "massflow:kg/h"; nothing for another text.
std::optional<AhriIp> ahriIpNamed(std::string_view text);

// What opens the file: the equation, the meaning of S and D, the units the
// user stated (and the conversion to IP units), and the table's header row.
std::string ahri540Head(TemperatureUnit unit, const std::optional<AhriIp>& ip = std::nullopt);

// The row of one curve and its comment lines; any kind or degree but the
// surface of degree 3 is refused.
Checked<std::string> ahri540Coefficients(const Calculation& calculation, const std::string& name, TemperatureUnit unit,
                                         const std::optional<AhriIp>& ip = std::nullopt);

// The coefficients C1..C10 of the points' units in IP units: for °F when
// the temperatures were °C, times the value's factor. Exact, rounded once.
std::array<double, 10> ipCoefficients(const std::array<double, 10>& coefficients, TemperatureUnit unit, const AhriIp& ip);

} // namespace calvero
