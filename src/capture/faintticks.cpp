#include "capture/faintticks.h"

#include "capture/colour.h"
#include "capture/median.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

namespace {

// A tick stands out of the band's grain by this much (levels of 255) and
// this many times the grain's own spread.
constexpr double FaintestTick = 6;
constexpr double AboveGrain = 4;
// A tick drawn a pixel wide is blurred over a few; wider darkness is no tick.
constexpr int WidestTick = 5;
// The offsets of the ticks from their labels' middles agree within this (pixels), over at least three labels.
constexpr double OffsetsAgree = 2;
// The band must be this thick across the axis to average the grain out.
constexpr int ThinnestBand = 2;

// The band's mean darkness along the axis over [first, last], by row (x axes: by column).
std::vector<double> darknessAlong(const PixelBuffer& picture, double paper, const PixelRect& band, bool alongX, int first, int last)
{
    const int acrossFrom = static_cast<int>(std::ceil(alongX ? band.top : band.left));
    const int acrossTo = static_cast<int>(std::floor(alongX ? band.top + band.height : band.left + band.width)) - 1;
    std::vector<double> profile;
    for (int a = first; a <= last; ++a) {
        double sum = 0;
        int n = 0;
        for (int b = acrossFrom; b <= acrossTo; ++b) {
            const int x = alongX ? a : b, y = alongX ? b : a;
            if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) continue;
            sum += paper - luminance(picture.pixel(x, y)), ++n;
        }
        profile.push_back(n > 0 ? sum / n : 0);
    }
    return profile;
}

std::optional<double> faintTickOf(const PixelBuffer& picture, double paper, const FaintTickSearch& s, bool alongX, double reach)
{
    if ((alongX ? s.band.height : s.band.width) < ThinnestBand) return std::nullopt;
    const int first = static_cast<int>(std::floor(s.middle - reach)), last = static_cast<int>(std::ceil(s.middle + reach));
    const std::vector<double> profile = darknessAlong(picture, paper, s.band, alongX, first, last);
    const double ground = median(profile);
    std::vector<double> deviations;
    for (double d : profile) deviations.push_back(std::abs(d - ground));
    const double grain = 1.4826 * median(deviations);
    const auto peak = std::max_element(profile.begin(), profile.end());
    const double height = *peak - ground;
    if (height < std::max(FaintestTick, AboveGrain * grain)) return std::nullopt;
    // Its width at half its height, and the centre of its darkness there.
    const std::ptrdiff_t top = peak - profile.begin();
    std::ptrdiff_t from = top, to = top;
    while (from > 0 && profile[from - 1] - ground >= height / 2) --from;
    while (to + 1 < static_cast<std::ptrdiff_t>(profile.size()) && profile[to + 1] - ground >= height / 2) ++to;
    if (to - from + 1 > WidestTick || from == 0 || to + 1 == static_cast<std::ptrdiff_t>(profile.size())) return std::nullopt;
    double sum = 0, weighted = 0;
    for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(0, from - 1); i <= std::min<std::ptrdiff_t>(profile.size() - 1, to + 1); ++i) {
        const double d = std::max(0.0, profile[i] - ground);
        sum += d, weighted += d * (first + i + 0.5);
    }
    return weighted / sum;
}

} // namespace

std::vector<std::optional<double>> faintTicks(const PixelBuffer& picture, double paper, const std::vector<FaintTickSearch>& labels,
                                              bool alongX, double reach, double centred)
{
    std::vector<std::optional<double>> ticks;
    std::vector<double> offsets;
    for (const FaintTickSearch& s : labels) {
        ticks.push_back(faintTickOf(picture, paper, s, alongX, reach));
        if (ticks.back()) offsets.push_back(*ticks.back() - s.middle);
    }
    // Noise peaks lie anywhere; a font's ticks all lie alike off the numbers' middles.
    const auto [low, high] = std::minmax_element(offsets.begin(), offsets.end());
    if (offsets.size() < 3 || 2 * offsets.size() < labels.size() || *high - *low > OffsetsAgree)
        return std::vector<std::optional<double>>(labels.size());
    // Labels this near their ticks stand as well by their own middles.
    const double offset = median(offsets);
    if (std::abs(offset) <= centred) return std::vector<std::optional<double>>(labels.size());
    // A label whose tick the grain hid stands as the others do: its middle
    // is as far off its tick as theirs are (a stray word among the labels
    // moves too, but it agrees with no tick spacing and is left out there).
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (!ticks[i]) ticks[i] = labels[i].middle + offset;
    return ticks;
}

} // namespace calvero::capture
