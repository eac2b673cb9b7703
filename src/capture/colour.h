#pragma once
// Colours of curves and the test of whether a pixel has a curve's colour.
// Distances are CIELAB ΔE (CIE76), as the eye tells colours apart: black to
// white is 100, a just noticeable difference about 2. Little CMS converts
// sRGB to CIELAB.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calvero::capture {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb rgbOf(std::uint32_t argb);
std::uint32_t argbOf(Rgb colour);
// A pixel's lightness as the eye weighs its channels (0-255).
double luminance(std::uint32_t argb);

// "#RRGGBB" (either case) to a colour; nothing for any other text.
std::optional<Rgb> parseColour(std::string_view text);
// The colour as "#rrggbb".
std::string colourText(Rgb colour);

struct Lab {
    double lightness = 0;
    double a = 0;
    double b = 0;
};

Lab labOf(Rgb colour);

// Tolerances are CIELAB distances: 0 takes only the colour itself, 100 the
// distance of black from white.
constexpr double DefaultTolerance = 25.0;
constexpr double MinTolerance = 0.0;
constexpr double MaxTolerance = 100.0;

// The CIELAB distance of two colours (ΔE, black to white 100).
double colourDistance(Rgb a, Rgb b);

// A line's colour paled toward the background, as blur and scanning leave
// it: shares 0 (the colour itself) up to `share` of the way to the background.
struct Fading {
    Rgb background{255, 255, 255};
    double share = 0;
};

// The way a colour pales toward the background, as anti-aliasing and blur
// mix them (in sRGB, as pictures are drawn): its CIELAB points at even
// shares from 0 to `share`.
class FadingPath {
public:
    FadingPath(Rgb colour, const Fading& fading);
    // The CIELAB distance of a colour from the nearest point of the way.
    double distance(const Lab& colour) const;
    // Whether a colour lies on beyond the way's paler end (toward the paper, or past it).
    bool beyondEnd(const Lab& colour) const;

private:
    std::vector<Lab> points_;
};

// Whether pixels are within a tolerance of a colour, or of that colour paled
// toward the background as far as the fading allows. Each of the 16.7
// million colours is judged once and remembered (4 MB), so a scan, whose
// every pixel differs a little, costs no more than a clean drawing.
class ColourMatcher {
public:
    ColourMatcher(Rgb target, double tolerance, Fading fading = {});
    bool matches(std::uint32_t argb) const;
    Rgb target() const { return target_; }

private:
    bool judge(Rgb colour) const;

    Rgb target_;
    double tolerance_;
    FadingPath path_;
    // Two bits a colour: judged, and matches.
    mutable std::vector<std::uint8_t> judged_;
};

} // namespace calvero::capture
