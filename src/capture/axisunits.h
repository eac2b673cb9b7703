#pragma once
// Two y axes (or two x axes) of one chart: one quantity in two units (head
// in m on the left, in ft on the right) or two quantities (head and power).
// Without reading the titles this is told by the numbers: where one axis is
// the other's values in another unit, each of its values is the other's
// times the conversion factor (plus an offset for temperatures) all along
// it. Only the conversions between units HVAC catalogues use are known;
// any other relation is two quantities.
#include "capture/ticklabels.h"

#include <optional>
#include <string>

namespace calvero::capture {

// The two units ("m e ft") when the second axis is the first's quantity in
// another unit, between the places from and to along them; none otherwise.
std::optional<std::string> sameQuantityInTwoUnits(const AxisReading& first, const AxisReading& second, double from, double to);

} // namespace calvero::capture
