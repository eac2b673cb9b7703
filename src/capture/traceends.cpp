#include "capture/traceends.h"

#include "capture/median.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace calvero::capture {

namespace {

// Specks are shorter than this share of the line's longest piece (along x:
// a dash-dot line's dashes, not its dots).
constexpr double SpeckShare = 0.5;
// A gap wider than this many of the line's middle gaps, and this many pixels
// more, is no gap of its pattern (a solid line has none: a gap of a few
// pixels where a line crossing it was taken out).
constexpr double WideGapTimes = 2.0;
constexpr double WideGapPixels = 6.0;
// An end cut off is at most this many letters high long, and this share of the trace.
constexpr double LongestLabelLetters = 6.0;
constexpr double LongestCutShare = 0.25;

// Consecutive points of the trace on the colour: indices [first, last].
struct Stretch {
    std::size_t first;
    std::size_t last;
};

bool onInk(const ColumnRuns& columns, const PixelPoint& p)
{
    const auto runs = columns.column(static_cast<int>(std::floor(p.x)));
    return std::any_of(runs.begin(), runs.end(), [&](const ColumnRun& r) { return p.y >= r.top && p.y <= r.bottom + 1; });
}

} // namespace

TrimmedTrace trimmedAtLabels(const ColumnRuns& columns, std::vector<PixelPoint> trace, int tallest)
{
    TrimmedTrace result;
    std::vector<Stretch> inked;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        if (!onInk(columns, trace[i])) continue;
        if (!inked.empty() && inked.back().last + 1 == i && trace[i].x - trace[i - 1].x <= 1.5) inked.back().last = i;
        else inked.push_back({i, i});
    }
    const auto length = [&](const Stretch& s) { return trace[s.last].x - trace[s.first].x + 1; };
    double longest = 0;
    for (const Stretch& s : inked) longest = std::max(longest, length(s));
    // A speck is much shorter than the line's longest piece, and no longer than a letter is high.
    const auto isSpeck = [&](const Stretch& s) { return length(s) < SpeckShare * longest && length(s) <= tallest; };
    const double longestCut =
        trace.empty() ? 0 : std::min(LongestLabelLetters * tallest, LongestCutShare * (trace.back().x - trace.front().x));
    // The line's own gaps: those away from its ends, where a label may be (a
    // dash-dot line's gaps lie between a dash and a dot).
    std::vector<double> gaps;
    for (std::size_t k = 1; k < inked.size(); ++k) {
        const double from = trace[inked[k - 1].last].x, to = trace[inked[k].first].x;
        if (from - trace.front().x > longestCut && trace.back().x - to > longestCut) gaps.push_back(to - from - 1);
    }
    const double wideGap = WideGapTimes * median(gaps) + WideGapPixels;
    // From one end inwards, the line's last piece before a tail of specks
    // with a wide gap in it, or none when the end is the line's own.
    const auto lastPiece = [&](int step) -> std::optional<std::size_t> {
        bool wide = false;
        for (std::size_t j = 0; j < inked.size(); ++j) {
            const std::size_t k = step > 0 ? inked.size() - 1 - j : j;
            const std::size_t neighbour = step > 0 ? k - 1 : k + 1;
            if (!isSpeck(inked[k])) return wide && j > 0 ? std::optional(k) : std::nullopt;
            if (j + 1 == inked.size()) return std::nullopt;
            const Stretch& inner = step > 0 ? inked[neighbour] : inked[k];
            const Stretch& outer = step > 0 ? inked[k] : inked[neighbour];
            if (std::abs(trace[step > 0 ? inked[k].first : inked[k].last].x - (step > 0 ? trace.back() : trace.front()).x) > longestCut)
                return std::nullopt;
            wide = wide || trace[outer.first].x - trace[inner.last].x - 1 > wideGap;
        }
        return std::nullopt;
    };
    std::size_t first = 0, last = trace.size();
    const auto boxOf = [&](std::size_t from, std::size_t to) {
        double top = trace[from].y, bottom = trace[from].y;
        for (std::size_t i = from; i < to; ++i) top = std::min(top, trace[i].y), bottom = std::max(bottom, trace[i].y);
        const double margin = tallest / 2.0;
        return PixelRect{std::floor(trace[from].x), top - margin, std::floor(trace[to - 1].x) + 1 - std::floor(trace[from].x),
                         bottom - top + 2 * margin};
    };
    if (const auto right = lastPiece(+1)) {
        last = inked[*right].last + 1;
        result.labels.push_back(boxOf(last, trace.size()));
    }
    if (const auto left = lastPiece(-1)) {
        first = inked[*left].first;
        result.labels.push_back(boxOf(0, first));
    }
    if (first >= last) {
        result.trace = std::move(trace);
        result.labels.clear();
        return result;
    }
    result.trace.assign(trace.begin() + static_cast<std::ptrdiff_t>(first), trace.begin() + static_cast<std::ptrdiff_t>(last));
    return result;
}

} // namespace calvero::capture
