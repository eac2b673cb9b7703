#include "capture/pixelbuffer.h"

namespace calvero::capture {

std::optional<std::string> pictureSizeProblem(long long width, long long height)
{
    if (width <= 0 || height <= 0) return "immagine vuota: nessun pixel da leggere";
    // Checked per side first, so the product below cannot overflow.
    if (width > MaxPicturePixels || height > MaxPicturePixels || width * height > MaxPicturePixels)
        return "immagine troppo grande: " + std::to_string(width) + " x " + std::to_string(height) +
               " pixel (al massimo 100 milioni di pixel)";
    return std::nullopt;
}

Checked<PixelBuffer> PixelBuffer::create(long long width, long long height)
{
    if (auto problem = pictureSizeProblem(width, height)) return failed<PixelBuffer>(*problem);
    PixelBuffer buffer;
    buffer.width_ = static_cast<int>(width);
    buffer.height_ = static_cast<int>(height);
    buffer.pixels_.assign(static_cast<std::size_t>(width * height), 0xffffffffu);
    return succeeded(std::move(buffer));
}

} // namespace calvero::capture
