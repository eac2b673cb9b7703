#pragma once
// A compressor's ten coefficients in the order of AHRI 540 and EN 12900,
// from the surface of degree 3 with x the suction (evaporating) and y the
// discharge (condensing) dew-point temperature:
// X = C1 + C2·S + C3·D + C4·S² + C5·S·D + C6·D² + C7·S³ + C8·D·S² + C9·S·D² + C10·D³.
// A semicolon-separated table (decimal point), a row per curve, each followed
// by its envelope and a check at three of its points as comment lines. The
// temperatures are in the units of the points: nothing is converted.
#include "common/checked.h"
#include "fit/calculation.h"

#include <string>

namespace calvero {

enum class TemperatureUnit { Celsius, Fahrenheit };

// What opens the file: the equation, the meaning of S and D, the units the
// user stated, and the table's header row.
std::string ahri540Head(TemperatureUnit unit);

// The row of one curve and its comment lines; any kind or degree but the
// surface of degree 3 is refused.
Checked<std::string> ahri540Coefficients(const Calculation& calculation, const std::string& name, TemperatureUnit unit);

} // namespace calvero
