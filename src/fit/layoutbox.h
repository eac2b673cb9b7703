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

// A fraction of a screen or window size, truncated toward zero as every
// layout computes its sizes.
inline int part(double fraction, int size) { return static_cast<int>(fraction * size); }

} // namespace calvero
