#pragma once
// Colours of curves and the test of whether a pixel has a curve's colour.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calvero::capture {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb rgbOf(std::uint32_t argb);
std::uint32_t argbOf(Rgb colour);

// "#RRGGBB" (either case) to a colour; nothing for any other text.
std::optional<Rgb> parseColour(std::string_view text);
// The colour as "#rrggbb".
std::string colourText(Rgb colour);

// Tolerances are percentages of the largest distance between two colours
// (black to white): 0 takes only the colour itself, 100 every colour.
constexpr double DefaultTolerance = 25.0;
constexpr double MinTolerance = 0.0;
constexpr double MaxTolerance = 100.0;

// The distance of two colours weighted as the eye sees them (red-mean
// weighting of the RGB differences), as a percentage of black to white.
double colourDistance(Rgb a, Rgb b);

// A line's colour paled toward the background, as blur and scanning leave
// it: shares 0 (the colour itself) up to `share` of the way to the background.
struct Fading {
    Rgb background{255, 255, 255};
    double share = 0;
};

// Whether pixels are within a tolerance of a colour, or of that colour paled
// toward the background as far as the fading allows; cheap enough for every
// pixel of a large picture.
class ColourMatcher {
public:
    ColourMatcher(Rgb target, double tolerance, Fading fading = {});
    bool matches(std::uint32_t argb) const;
    Rgb target() const { return target_; }

private:
    Rgb target_;
    Fading fading_;
    long long limit_ = 0;
    // The way from the target to the background, and its squared length.
    double towards_[3] = {0, 0, 0};
    double lengthSquared_ = 0;
};

} // namespace calvero::capture
