#include "capture/colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace calvero::capture {

namespace {

// Red-mean weighted squared distance, scaled by 256 to stay in integers.
long long weightedSquare(Rgb a, Rgb b)
{
    const long long meanRed = (a.red + b.red) / 2;
    const long long dr = a.red - b.red;
    const long long dg = a.green - b.green;
    const long long db = a.blue - b.blue;
    return (512 + meanRed) * dr * dr + 4 * 256 * dg * dg + (767 - meanRed) * db * db;
}

const double LargestDistance = std::sqrt(static_cast<double>(weightedSquare({0, 0, 0}, {255, 255, 255})));

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

Rgb rgbOf(std::uint32_t argb)
{
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8), static_cast<std::uint8_t>(argb)};
}

std::uint32_t argbOf(Rgb colour)
{
    return 0xff000000u | (std::uint32_t{colour.red} << 16) | (std::uint32_t{colour.green} << 8) | colour.blue;
}

std::optional<Rgb> parseColour(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text.substr(1)) {
        const int digit = hexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return rgbOf(value);
}

std::string colourText(Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

double colourDistance(Rgb a, Rgb b) { return 100.0 * std::sqrt(static_cast<double>(weightedSquare(a, b))) / LargestDistance; }

ColourMatcher::ColourMatcher(Rgb target, double tolerance, Fading fading) : target_(target), fading_(fading)
{
    const double limit = tolerance / 100.0 * LargestDistance;
    limit_ = static_cast<long long>(std::floor(limit * limit));
    towards_[0] = fading.background.red - target.red;
    towards_[1] = fading.background.green - target.green;
    towards_[2] = fading.background.blue - target.blue;
    lengthSquared_ = towards_[0] * towards_[0] + towards_[1] * towards_[1] + towards_[2] * towards_[2];
}

bool ColourMatcher::matches(std::uint32_t argb) const
{
    const Rgb colour = rgbOf(argb);
    if (weightedSquare(colour, target_) <= limit_) return true;
    if (!(fading_.share > 0) || !(lengthSquared_ > 0)) return false;
    // How far along the way to the background the colour lies, and how far
    // from that mixture, as colourDistance measures but without its root:
    // every pixel of a scan may be a colour of its own.
    const double offset[3] = {double(colour.red - target_.red), double(colour.green - target_.green),
                              double(colour.blue - target_.blue)};
    const double share =
        std::max(0.0, (offset[0] * towards_[0] + offset[1] * towards_[1] + offset[2] * towards_[2]) / lengthSquared_);
    if (share > fading_.share) return false;
    const double dr = offset[0] - share * towards_[0], dg = offset[1] - share * towards_[1], db = offset[2] - share * towards_[2];
    const double meanRed = target_.red + share * towards_[0] / 2 + colour.red / 2.0 - target_.red / 2.0;
    return (512 + meanRed) * dr * dr + 1024 * dg * dg + (767 - meanRed) * db * db <= double(limit_);
}

} // namespace calvero::capture
