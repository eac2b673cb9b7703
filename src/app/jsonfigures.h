#pragma once
// Figures as the JSON documents for scripts write them: a number that cannot
// be computed is null, never NaN, and coefficients go by name.
#include "fit/coefficientlist.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <vector>

namespace calvero {

nlohmann::json jsonNumber(std::optional<double> value);

// [{"name": ..., "value": ...}, ...] in the report's order.
nlohmann::json jsonCoefficients(const std::vector<NamedCoefficient>& coefficients);

} // namespace calvero
