#include "formats/jsonfigures.h"

#include "common/utf8.h"

#include <cmath>

namespace calvero {

nlohmann::json jsonNumber(std::optional<double> value)
{
    return value && std::isfinite(*value) ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

nlohmann::json jsonCoefficients(const std::vector<NamedCoefficient>& coefficients)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [name, value] : coefficients) list.push_back({{"name", name}, {"value", jsonNumber(value)}});
    return list;
}

nlohmann::json jsonText(std::string_view text) { return validText(text); }

std::string jsonDocument(const nlohmann::json& document)
{
    return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace calvero
