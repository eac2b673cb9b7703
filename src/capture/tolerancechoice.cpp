#include "capture/tolerancechoice.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// Larger pictures are looked at on every other row and column.
constexpr long long FullLookPixels = 4'000'000;
// How far toward the background the colour may fade at the default
// tolerance (in proportion at others), and never further.
constexpr double DefaultFading = 0.6;
constexpr double MostFading = 0.8;

// The most common colour, by the mean of the fullest box of 16 x 16 x 16 colours.
class ColourCount {
public:
    void add(std::uint32_t pixel, long long n)
    {
        const Rgb c = rgbOf(pixel);
        long long* box = &boxes_[4 * static_cast<std::size_t>((c.red >> 4) << 8 | (c.green >> 4) << 4 | (c.blue >> 4))];
        box[0] += n;
        box[1] += n * c.red;
        box[2] += n * c.green;
        box[3] += n * c.blue;
    }
    Rgb commonest() const
    {
        std::size_t fullest = 0;
        for (std::size_t box = 0; box < boxes_.size(); box += 4)
            if (boxes_[box] > boxes_[fullest]) fullest = box;
        if (boxes_[fullest] == 0) return {255, 255, 255};
        const auto mean = [&](int channel) { return static_cast<std::uint8_t>(boxes_[fullest + channel] / boxes_[fullest]); };
        return {mean(1), mean(2), mean(3)};
    }

private:
    std::vector<long long> boxes_ = std::vector<long long>(4096 * 4, 0);
};

// Calls visit(pixel, count) for each stretch of one colour on the rows and columns looked at.
template <typename Visit>
void eachStretch(const PixelBuffer& picture, int stride, Visit visit)
{
    for (int y = 0; y < picture.height(); y += stride) {
        const std::uint32_t* row = picture.row(y);
        std::uint32_t last = row[0] & 0xffffffu;
        long long stretch = 0;
        for (int x = 0; x < picture.width(); x += stride) {
            const std::uint32_t pixel = row[x] & 0xffffffu;
            if (pixel != last) {
                visit(last, stretch);
                stretch = 0;
                last = pixel;
            }
            ++stretch;
        }
        visit(last, stretch);
    }
}

} // namespace

ToleranceChoice chooseTolerance(const PixelBuffer& picture, Rgb colour, double tolerance)
{
    ToleranceChoice choice;
    if (picture.empty()) return choice;
    const int stride = static_cast<long long>(picture.width()) * picture.height() > FullLookPixels ? 2 : 1;

    ColourCount colours;
    eachStretch(picture, stride, [&](std::uint32_t pixel, long long n) { colours.add(pixel, n); });
    choice.fading.background = colours.commonest();
    choice.backgroundMatches = ColourMatcher(colour, tolerance).matches(argbOf(choice.fading.background));
    if (choice.backgroundMatches) return choice;

    choice.fading.share = std::min(MostFading, DefaultFading * tolerance / DefaultTolerance);
    return choice;
}

} // namespace calvero::capture
