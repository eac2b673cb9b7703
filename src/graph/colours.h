#pragma once
// The colour numbers of the graph.
#include "graph/canvas.h"

#include <cstdint>
#include <optional>

namespace calvero {

constexpr std::uint16_t ColourBlack = 0;
constexpr std::uint16_t ColourBlue = 1;
constexpr std::uint16_t ColourGreen = 2;
constexpr std::uint16_t ColourRed = 4;

// The colour of number n: 0 black, 1 blue, 2 green, 3 aqua, 4 red,
// 5 fuchsia, 6 maroon, 7 grey, 14 olive; nothing for the other numbers.
std::optional<CanvasColour> colourOf(std::uint16_t n);

} // namespace calvero
