#pragma once
// Which pixels of a picture take part in a search: one byte a pixel, so the
// straight lines of the plot can be taken out before the curve is looked for.
#include <vector>

namespace calvero::capture {

class PixelMask {
public:
    PixelMask() = default;
    PixelMask(int width, int height)
        : width_(width), height_(height), set_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0)
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool at(int x, int y) const { return set_[index(x, y)] != 0; }
    void set(int x, int y, bool value) { set_[index(x, y)] = value ? 1 : 0; }
    unsigned char* row(int y) { return set_.data() + index(0, y); }
    const unsigned char* row(int y) const { return set_.data() + index(0, y); }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> set_;
};

} // namespace calvero::capture
