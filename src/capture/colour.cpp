#include "capture/colour.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace calvero::capture {

namespace {

// Steps of the fading path: enough that its chords stay within a ΔE of the
// curve sRGB mixing draws through CIELAB.
constexpr int FadingSteps = 8;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// sRGB to CIELAB (D50, as ICC profiles are), one transform for the program.
// Without a cache it may serve several threads at once.
class LabTransform {
public:
    LabTransform()
    {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
        transform_ = cmsCreateTransform(srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
    }
    ~LabTransform()
    {
        if (transform_) cmsDeleteTransform(transform_);
    }
    LabTransform(const LabTransform&) = delete;
    LabTransform& operator=(const LabTransform&) = delete;

    Lab operator()(Rgb colour) const
    {
        const std::uint8_t in[3] = {colour.red, colour.green, colour.blue};
        cmsCIELab out{0, 0, 0};
        cmsDoTransform(transform_, in, &out, 1);
        return {out.L, out.a, out.b};
    }

private:
    cmsHTRANSFORM transform_ = nullptr;
};

const LabTransform& labTransform()
{
    static const LabTransform transform;
    return transform;
}

double distanceOf(const Lab& p, const Lab& q)
{
    return std::sqrt((p.lightness - q.lightness) * (p.lightness - q.lightness) + (p.a - q.a) * (p.a - q.a) +
                     (p.b - q.b) * (p.b - q.b));
}

std::uint8_t mixed(std::uint8_t from, std::uint8_t to, double share)
{
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * share));
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

double luminance(std::uint32_t p) { return 0.299 * ((p >> 16) & 255) + 0.587 * ((p >> 8) & 255) + 0.114 * (p & 255); }

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

Lab labOf(Rgb colour) { return labTransform()(colour); }

double colourDistance(Rgb a, Rgb b) { return distanceOf(labOf(a), labOf(b)); }

FadingPath::FadingPath(Rgb colour, const Fading& fading)
{
    const int steps = fading.share > 0 ? FadingSteps : 0;
    for (int i = 0; i <= steps; ++i) {
        const double share = steps ? fading.share * i / steps : 0;
        points_.push_back(labOf({mixed(colour.red, fading.background.red, share),
                                 mixed(colour.green, fading.background.green, share),
                                 mixed(colour.blue, fading.background.blue, share)}));
    }
}

double FadingPath::distance(const Lab& c) const
{
    double nearest = distanceOf(c, points_.front());
    for (std::size_t i = 1; i < points_.size(); ++i) {
        const Lab& p = points_[i - 1];
        const Lab& q = points_[i];
        const double d[3] = {q.lightness - p.lightness, q.a - p.a, q.b - p.b};
        const double o[3] = {c.lightness - p.lightness, c.a - p.a, c.b - p.b};
        const double length = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        const double t = length > 0 ? std::clamp((o[0] * d[0] + o[1] * d[1] + o[2] * d[2]) / length, 0.0, 1.0) : 0;
        nearest = std::min(nearest, distanceOf(c, {p.lightness + t * d[0], p.a + t * d[1], p.b + t * d[2]}));
    }
    return nearest;
}

bool FadingPath::beyondEnd(const Lab& c) const
{
    if (points_.size() < 2) return false;
    const Lab& p = points_[points_.size() - 2];
    const Lab& q = points_.back();
    const double d[3] = {q.lightness - p.lightness, q.a - p.a, q.b - p.b};
    const double o[3] = {c.lightness - q.lightness, c.a - q.a, c.b - q.b};
    return o[0] * d[0] + o[1] * d[1] + o[2] * d[2] > 0;
}

ColourMatcher::ColourMatcher(Rgb target, double tolerance, Fading fading)
    : target_(target), tolerance_(tolerance), path_(target, fading), judged_(std::size_t{1} << 22, 0)
{
}

// A fringe paler than the fading allows is not the colour, however near the
// way's end: it is the paper's as much as the line's.
bool ColourMatcher::judge(Rgb colour) const
{
    const Lab lab = labOf(colour);
    return path_.distance(lab) <= tolerance_ && !path_.beyondEnd(lab);
}

bool ColourMatcher::matches(std::uint32_t argb) const
{
    const std::uint32_t colour = argb & 0xffffffu;
    std::uint8_t& cell = judged_[colour >> 2];
    const int shift = 2 * static_cast<int>(colour & 3u);
    if (!((cell >> shift) & 1u)) cell = static_cast<std::uint8_t>(cell | (1u | (judge(rgbOf(argb)) ? 2u : 0u)) << shift);
    return (cell >> shift) & 2u;
}

} // namespace calvero::capture
