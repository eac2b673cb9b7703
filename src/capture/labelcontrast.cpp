#include "capture/labelcontrast.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

namespace {

// The ink's share of a label's box that sets its level: a digit's strokes
// fill a tenth or more of it, so the darkest 2 % are inside strokes.
constexpr double InkShare = 0.02;
// Less than this between paper and ink is grain, no letter: a scan's grain
// (at most 8 levels either way, smoothed by its JPEG) stays within it.
constexpr double LeastContrast = 16;

} // namespace

std::optional<InkLevels> inkLevels(std::vector<unsigned char> samples)
{
    if (samples.empty()) return std::nullopt;
    const auto nth = [&](double share) {
        const auto at = samples.begin() + static_cast<std::ptrdiff_t>(share * double(samples.size() - 1));
        std::nth_element(samples.begin(), at, samples.end());
        return double(*at);
    };
    const InkLevels levels{nth(0.5), nth(InkShare)};
    if (levels.paper - levels.ink < LeastContrast) return std::nullopt;
    return levels;
}

void stretchLevels(std::vector<unsigned char>& samples, const InkLevels& levels)
{
    const double span = levels.paper - levels.ink;
    for (unsigned char& s : samples)
        s = static_cast<unsigned char>(std::lround(std::clamp((s - levels.ink) / span * 255.0, 0.0, 255.0)));
}

} // namespace calvero::capture
