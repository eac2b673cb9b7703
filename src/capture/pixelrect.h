#pragma once
// A rectangle of the picture in pixels (the areas left out of the colour
// search, a plot's frame): a plain value every part of the capture shares,
// in a header of its own so none of them reaches into the curve search for it.
namespace calvero::capture {

// Left, top, width, height, in pixels from the picture's top-left corner.
struct PixelRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

} // namespace calvero::capture
