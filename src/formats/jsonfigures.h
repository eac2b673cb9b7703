#pragma once
// Figures and texts as the JSON documents for scripts write them: a number
// that cannot be computed is null, never NaN; coefficients go by name; a
// text is valid UTF-8 whatever bytes it came from, so a document always
// parses and writing it never throws.
#include "fit/coefficientlist.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

nlohmann::json jsonNumber(std::optional<double> value);

// [{"name": ..., "value": ...}, ...] in the report's order.
nlohmann::json jsonCoefficients(const std::vector<NamedCoefficient>& coefficients);

// A text from outside (a file name, a message quoting a file): validText.
nlohmann::json jsonText(std::string_view text);

// The document with two-space indents. A text that missed jsonText is
// mended there (U+FFFD) instead of stopping the program.
std::string jsonDocument(const nlohmann::json& document);

} // namespace calvero
