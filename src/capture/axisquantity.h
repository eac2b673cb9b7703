#pragma once
// Which of two y axes a curve's label names: the quantity its first word
// stands for (H, P, η, or the word itself) against the quantity each axis's
// title begins with ("Prevalenza [kPa]", "Potenza assorbita, kW"), as pump
// catalogues write them.
#include <optional>
#include <string>

namespace calvero::capture {

// The quantity a word names, as a symbol ("Prevalenza" and "H" are "H");
// the word itself when it is no quantity known here; none for an empty one
// or a number.
std::optional<std::string> quantityNamed(const std::string& word);

enum class NamedAxis { Left, Right };

// The axis whose title's quantity the label's first word names, when it
// names exactly one of the two.
std::optional<NamedAxis> axisNamedBy(const std::string& label, const std::string& leftTitle, const std::string& rightTitle);

} // namespace calvero::capture
