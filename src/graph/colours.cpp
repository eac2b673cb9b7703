#include "graph/colours.h"

namespace calvero {

std::optional<CanvasColour> colourOf(std::uint16_t n)
{
    switch (n) {
    case 0: return CanvasColour{0, 0, 0};
    case 1: return CanvasColour{0, 0, 255};
    case 2: return CanvasColour{0, 128, 0};
    case 3: return CanvasColour{0, 255, 255};
    case 4: return CanvasColour{255, 0, 0};
    case 5: return CanvasColour{255, 0, 255};
    case 6: return CanvasColour{128, 0, 0};
    case 7: return CanvasColour{128, 128, 128};
    case 14: return CanvasColour{128, 128, 0};
    default: return std::nullopt;
    }
}

} // namespace calvero
