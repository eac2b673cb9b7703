#include "capture/colourpieces.h"

#include "capture/unionfind.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace calvero::capture {

namespace {

// The columns [first, last) whose pixel centres lie inside the area, on the rows it covers.
struct ExcludedSpan {
    int top;
    int bottom; // excluded rows: top <= y < bottom
    int first;
    int last;
};

int firstCentreInside(double edge) { return static_cast<int>(std::ceil(edge - 0.5)); }

std::vector<ExcludedSpan> excludedSpans(const std::vector<PixelRect>& exclusions, int width, int height)
{
    std::vector<ExcludedSpan> spans;
    for (const PixelRect& area : exclusions) {
        if (!(area.width > 0 && area.height > 0) || !std::isfinite(area.left + area.top + area.width + area.height))
            continue;
        const auto clampTo = [](double v, int limit) { return static_cast<int>(std::clamp(v, 0.0, double(limit))); };
        spans.push_back({clampTo(firstCentreInside(area.top), height), clampTo(firstCentreInside(area.top + area.height), height),
                         clampTo(firstCentreInside(area.left), width), clampTo(firstCentreInside(area.left + area.width), width)});
    }
    return spans;
}

// The pixels for which matches(argb) holds.
template <typename Matches>
PixelMask maskOf(const PixelBuffer& picture, Matches matches)
{
    PixelMask mask(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint32_t* row = picture.row(y);
        unsigned char* set = mask.row(y);
        // Charts are mostly long stretches of one colour: test each colour once per stretch.
        std::uint32_t lastPixel = ~row[0];
        bool lastMatch = false;
        for (int x = 0; x < picture.width(); ++x) {
            if (row[x] != lastPixel) {
                lastPixel = row[x];
                lastMatch = matches(lastPixel);
            }
            set[x] = lastMatch;
        }
    }
    return mask;
}

} // namespace

PixelMask matchingPixels(const PixelBuffer& picture, const ColourMatcher& matcher,
                         const std::vector<PixelRect>& exclusions)
{
    PixelMask mask = maskOf(picture, [&](std::uint32_t argb) { return matcher.matches(argb); });
    clearExcluded(mask, exclusions);
    return mask;
}

void clearExcluded(PixelMask& mask, const std::vector<PixelRect>& exclusions)
{
    for (const ExcludedSpan& span : excludedSpans(exclusions, mask.width(), mask.height()))
        for (int y = span.top; y < span.bottom; ++y) std::fill(mask.row(y) + span.first, mask.row(y) + span.last, 0);
}

PixelMask inkPixels(const PixelBuffer& picture, Rgb background) { return inkPixels(picture, std::vector<Rgb>{background}); }

PixelMask inkPixels(const PixelBuffer& picture, const std::vector<Rgb>& papers)
{
    std::vector<ColourMatcher> paper;
    for (const Rgb& colour : papers) paper.emplace_back(colour, PaperTolerance);
    return maskOf(picture, [&](std::uint32_t argb) {
        return std::none_of(paper.begin(), paper.end(), [&](const ColourMatcher& p) { return p.matches(argb); });
    });
}

ColourPieces findColourPieces(const PixelBuffer& picture, const ColourMatcher& matcher,
                              const std::vector<PixelRect>& exclusions)
{
    return findPieces(matchingPixels(picture, matcher, exclusions));
}

void widen(PixelMask& mask, int radius)
{
    if (radius <= 0 || mask.width() == 0) return;
    const int width = mask.width(), height = mask.height();
    // Across, then down: each a running count of the set pixels in reach.
    std::vector<unsigned char> line;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = mask.row(y);
        line.assign(row, row + width);
        int count = 0;
        for (int x = 0; x < std::min(radius, width); ++x) count += line[static_cast<std::size_t>(x)];
        for (int x = 0; x < width; ++x) {
            if (x + radius < width) count += line[static_cast<std::size_t>(x + radius)];
            if (x - radius - 1 >= 0) count -= line[static_cast<std::size_t>(x - radius - 1)];
            row[x] = count > 0;
        }
    }
    std::vector<int> counts(static_cast<std::size_t>(width), 0);
    std::vector<unsigned char> leaving(static_cast<std::size_t>(width) * static_cast<std::size_t>(radius + 1), 0);
    // Rows are overwritten as they are passed: the rows leaving reach are kept aside.
    const auto kept = [&](int y) { return leaving.data() + static_cast<std::size_t>(y % (radius + 1)) * static_cast<std::size_t>(width); };
    for (int y = 0; y < std::min(radius, height); ++y)
        for (int x = 0; x < width; ++x) counts[static_cast<std::size_t>(x)] += mask.row(y)[x];
    for (int y = 0; y < height; ++y) {
        if (y + radius < height)
            for (int x = 0; x < width; ++x) counts[static_cast<std::size_t>(x)] += mask.row(y + radius)[x];
        if (y - radius - 1 >= 0)
            for (int x = 0; x < width; ++x) counts[static_cast<std::size_t>(x)] -= kept(y - radius - 1)[x];
        unsigned char* row = mask.row(y);
        std::copy(row, row + width, kept(y));
        for (int x = 0; x < width; ++x) row[x] = counts[static_cast<std::size_t>(x)] > 0;
    }
}

ColourPieces findPieces(const PixelMask& mask)
{
    const int width = mask.width();
    const int height = mask.height();
    ColourPieces result;
    UnionFind groups;
    std::size_t previousRowStart = 0;
    std::size_t previousRowEnd = 0;

    for (int y = 0; y < height; ++y) {
        const unsigned char* rowMatches = mask.row(y);
        const std::size_t rowStart = result.runs.size();
        for (int x = 0; x < width;) {
            if (!rowMatches[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && rowMatches[x]) ++x;
            result.runs.push_back({y, start, x - 1});
            groups.add();
        }
        // Join with the runs of the row above that touch, diagonals included.
        std::size_t above = previousRowStart;
        for (std::size_t i = rowStart; i < result.runs.size(); ++i) {
            const RowRun& run = result.runs[i];
            while (above < previousRowEnd && result.runs[above].x1 < run.x0 - 1) ++above;
            for (std::size_t j = above; j < previousRowEnd && result.runs[j].x0 <= run.x1 + 1; ++j)
                groups.join(static_cast<int>(i), static_cast<int>(j));
        }
        previousRowStart = rowStart;
        previousRowEnd = result.runs.size();
    }

    std::vector<int> pieceOfRoot(result.runs.size(), -1);
    result.pieceOfRun.resize(result.runs.size());
    for (std::size_t i = 0; i < result.runs.size(); ++i) {
        const int root = groups.root(static_cast<int>(i));
        if (pieceOfRoot[static_cast<std::size_t>(root)] < 0) {
            pieceOfRoot[static_cast<std::size_t>(root)] = static_cast<int>(result.pieces.size());
            result.pieces.push_back({0, result.runs[i].x0, result.runs[i].x1, result.runs[i].y, result.runs[i].y});
        }
        const int piece = pieceOfRoot[static_cast<std::size_t>(root)];
        Piece& p = result.pieces[static_cast<std::size_t>(piece)];
        const RowRun& run = result.runs[i];
        p.pixels += run.x1 - run.x0 + 1;
        p.left = std::min(p.left, run.x0);
        p.right = std::max(p.right, run.x1);
        p.bottom = std::max(p.bottom, run.y); // rows come in order: the first run gave the top
        result.pieceOfRun[i] = piece;
    }
    return result;
}

} // namespace calvero::capture
