#pragma once
// The picture as plain pixels: rows of 32-bit values 0xAARRGGBB, the layout
// of QImage::Format_RGB32 and Format_ARGB32, so a loader copies scan lines
// straight in. The alpha byte is ignored: a loader draws transparent pictures
// on white first.
#include "common/checked.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// The most pixels a picture may have (400 MB of memory at 4 bytes a pixel).
constexpr long long MaxPicturePixels = 100'000'000;

// The resolutions a PDF page may be rendered at, in dots per inch.
constexpr double DefaultDpi = 150;
constexpr double MinDpi = 30;
constexpr double MaxDpi = 1200;

// Why a picture of this size cannot be held (not positive, or too large),
// or nothing when it can. Loaders ask before decoding.
std::optional<std::string> pictureSizeProblem(long long width, long long height);

class PixelBuffer {
public:
    PixelBuffer() = default;

    // A white picture of width x height, or the message when the size is refused.
    static Checked<PixelBuffer> create(long long width, long long height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }

    std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }
    void setPixel(int x, int y, std::uint32_t argb) { pixels_[index(x, y)] = argb; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Row y, width() values, for filling from a scan line.
    std::uint32_t* row(int y) { return pixels_.data() + index(0, y); }
    const std::uint32_t* row(int y) const { return pixels_.data() + index(0, y); }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

} // namespace calvero::capture
