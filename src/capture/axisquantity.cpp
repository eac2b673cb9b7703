#include "capture/axisquantity.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace calvero::capture {

namespace {

// The quantities of pump and fan catalogues: their symbol and the Italian words for them.
struct Quantity {
    std::string_view symbol;
    std::string_view word;
};
constexpr Quantity Quantities[] = {
    {"H", "prevalenza"}, {"P", "potenza"}, {"η", "rendimento"}, {"Q", "portata"}, {"NPSH", "npsh"},
};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The first word: letters up to a blank, a comma, a bracket or an '='.
std::string firstWord(const std::string& text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    const std::size_t end = text.find_first_of(" \t,([=_", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

std::optional<std::string> quantityNamed(const std::string& word)
{
    if (word.empty() || std::isdigit(static_cast<unsigned char>(word[0]))) return std::nullopt;
    const std::string low = lower(word);
    for (const Quantity& q : Quantities)
        if (low == lower(std::string(q.symbol)) || low == q.word) return std::string(q.symbol);
    return word;
}

std::optional<NamedAxis> axisNamedBy(const std::string& label, const std::string& leftTitle, const std::string& rightTitle)
{
    const std::optional<std::string> named = quantityNamed(firstWord(label));
    const std::optional<std::string> left = quantityNamed(firstWord(leftTitle));
    const std::optional<std::string> right = quantityNamed(firstWord(rightTitle));
    if (!named || !left || !right || lower(*left) == lower(*right)) return std::nullopt;
    const bool onLeft = lower(*named) == lower(*left), onRight = lower(*named) == lower(*right);
    if (onLeft == onRight) return std::nullopt;
    return onLeft ? NamedAxis::Left : NamedAxis::Right;
}

} // namespace calvero::capture
