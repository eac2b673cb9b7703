#pragma once
// A control's place in a window, in pixels: what the layouts of every window
// compute from the screen size.

namespace calvero {

struct LayoutBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const LayoutBox&) const = default;
};

} // namespace calvero
