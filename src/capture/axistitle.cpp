#include "capture/axistitle.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

constexpr int InkMargin = 3;

std::string axisTitleIn(const PixelBuffer& picture, const PixelMask& ink, const PixelRect& area, bool upwards, const TextReader& reader)
{
    int left = std::max(0, static_cast<int>(std::floor(area.left)));
    int top = std::max(0, static_cast<int>(std::floor(area.top)));
    int right = std::min(picture.width(), static_cast<int>(std::ceil(area.left + area.width)));
    int bottom = std::min(picture.height(), static_cast<int>(std::ceil(area.top + area.height)));
    // The reader takes a line's letters to fill its area: the area is narrowed to the ink's box, with a margin.
    int inkLeft = right, inkTop = bottom, inkRight = left - 1, inkBottom = top - 1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (ink.at(x, y)) inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x), inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
    if (inkRight < inkLeft) return {};
    left = std::max(left, inkLeft - InkMargin), right = std::min(right, inkRight + 1 + InkMargin);
    top = std::max(top, inkTop - InkMargin), bottom = std::min(bottom, inkBottom + 1 + InkMargin);
    if (right - left < 4 || bottom - top < 4) return {};
    const int w = right - left, h = bottom - top;
    // Written upwards, the title is turned a quarter clockwise: its first letter, at the bottom, comes left.
    Checked<PixelBuffer> piece = upwards ? PixelBuffer::create(h, w) : PixelBuffer::create(w, h);
    if (!piece) return {};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = picture.pixel(left + x, top + y);
            if (upwards)
                piece->setPixel(h - 1 - y, x, p);
            else
                piece->setPixel(x, y, p);
        }
    std::vector<ReadWord> words =
        reader.read(*piece, {0, 0, double(piece->width()), double(piece->height())}, TextKind::Line);
    std::sort(words.begin(), words.end(), [](const ReadWord& a, const ReadWord& b) { return a.box.left < b.box.left; });
    std::string text;
    for (const ReadWord& word : words) text += (text.empty() ? "" : " ") + word.text;
    return text;
}

} // namespace calvero::capture
