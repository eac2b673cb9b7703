#pragma once
// A control's place in a window, in pixels: what the layouts of every window
// compute from the screen size.
#include <cmath>

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
// layout computes its sizes. The fraction is taken as the exact number of
// ten-thousandths it is written with: 0.35 of 720 is 252, where the binary
// double 0.35 would give 251.
inline int part(double fraction, int size)
{
    const long long tenThousandths = std::llround(fraction * 10000.0);
    return static_cast<int>(tenThousandths * size / 10000);
}

} // namespace calvero
