#include "capture/labelcontrast.h"

#include <algorithm>

namespace calvero::capture {

namespace {

// The ink's share of a label's box that sets its level: a digit's strokes
// fill a tenth or more of it, so the darkest 2 % are inside strokes.
constexpr double InkShare = 0.02;
// Less than this between paper and ink is grain or a faint line, no letter.
constexpr double LeastContrast = 40;

} // namespace

double inkThreshold(std::vector<unsigned char> samples)
{
    if (samples.empty()) return -1;
    const auto nth = [&](double share) {
        const auto at = samples.begin() + static_cast<std::ptrdiff_t>(share * double(samples.size() - 1));
        std::nth_element(samples.begin(), at, samples.end());
        return double(*at);
    };
    const double paper = nth(0.5), ink = nth(InkShare);
    if (paper - ink < LeastContrast) return -1;
    return (paper + ink) / 2;
}

void cutAt(std::vector<unsigned char>& samples, double threshold)
{
    for (unsigned char& s : samples) s = s <= threshold ? 0 : 255;
}

} // namespace calvero::capture
