#include "capture/markerfinder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero::capture {

namespace {

// A marker is at least this many pixels across, at most this much longer
// one way than the other; markers of one size differ by at most a pixel or
// this share of their size (anti-aliasing, a scan).
constexpr int SmallestMarker = 4;
constexpr double LongestSide = 2.0;
constexpr double SizeSpread = 0.15;
constexpr double MarkerShare = 0.05;
constexpr int LargestMarkerAtLeast = 24;

bool markerShaped(const Piece& p, int largest)
{
    const int shorter = std::min(p.width(), p.height()), longer = std::max(p.width(), p.height());
    return shorter >= SmallestMarker && longer <= largest && longer <= LongestSide * shorter;
}

bool sameSize(const Piece& a, const Piece& b)
{
    const auto close = [](int u, int v) { return std::abs(u - v) <= std::max(1.0, SizeSpread * std::max(u, v)); };
    return close(a.width(), b.width()) && close(a.height(), b.height());
}

PixelPoint centreOf(const Piece& p) { return {(p.left + p.right + 1) / 2.0, (p.top + p.bottom + 1) / 2.0}; }

// A grid line taken out across a marker cuts it in two: pieces no larger
// than a marker whose boxes come this close are joined again. A scan's blur
// widens the line taken out with the picture's resolution (the largest
// marker looked for grows with it too).
constexpr int CutWidthAtLeast = 6;
constexpr int CutWidthShare = 8;

int cutWidth(int largest) { return std::max(CutWidthAtLeast, largest / CutWidthShare); }
// A marker with a word beside it, within this many of its sizes, is a legend's sample.
constexpr double LegendReach = 3.0;

bool besideAWord(const Piece& marker, const ColourPieces& found, const std::vector<bool>& letters)
{
    const int size = std::max(marker.width(), marker.height());
    for (std::size_t i = 0; i < found.pieces.size(); ++i) {
        if (!letters[i]) continue;
        const Piece& letter = found.pieces[i];
        const int overlap = std::min(marker.bottom, letter.bottom) - std::max(marker.top, letter.top) + 1;
        const int gap = std::max(marker.left, letter.left) - std::min(marker.right, letter.right) - 1;
        if (overlap * 2 >= std::min(marker.height(), letter.height()) && gap <= LegendReach * size) return true;
    }
    return false;
}

std::vector<Piece> joinCutPieces(const ColourPieces& found, int largest)
{
    const int cut = cutWidth(largest);
    std::vector<Piece> parts;
    for (const Piece& p : found.pieces)
        if (p.width() <= largest && p.height() <= largest) parts.push_back(p);
    std::sort(parts.begin(), parts.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
    std::vector<bool> taken(parts.size(), false);
    std::vector<Piece> joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (taken[i]) continue;
        Piece whole = parts[i];
        for (std::size_t j = i + 1; j < parts.size() && parts[j].left <= whole.right + cut; ++j) {
            const Piece& p = parts[j];
            if (taken[j] || p.top > whole.bottom + cut || p.bottom < whole.top - cut) continue;
            Piece grown = whole;
            grown.left = std::min(grown.left, p.left), grown.right = std::max(grown.right, p.right);
            grown.top = std::min(grown.top, p.top), grown.bottom = std::max(grown.bottom, p.bottom);
            if (grown.width() > largest || grown.height() > largest) continue;
            grown.pixels += p.pixels;
            whole = grown;
            taken[j] = true;
        }
        joined.push_back(whole);
    }
    return joined;
}

} // namespace

int largestMarker(int width, int height)
{
    return std::max(LargestMarkerAtLeast, static_cast<int>(MarkerShare * std::min(width, height)));
}

namespace {

// A marker a line took a strip off: its box as the model's, grown back on
// the side where the line runs, or nothing when it is not such a marker.
std::optional<Piece> grownBack(const Piece& p, const Piece& model, const PixelMask& lines, int cut)
{
    const auto lineAlong = [&](int row, int first, int last) {
        for (int x = std::max(0, first); x <= std::min(lines.width() - 1, last); ++x)
            if (row >= 0 && row < lines.height() && lines.at(x, row)) return true;
        return false;
    };
    const auto lineDown = [&](int column, int first, int last) {
        for (int y = std::max(0, first); y <= std::min(lines.height() - 1, last); ++y)
            if (column >= 0 && column < lines.width() && lines.at(column, y)) return true;
        return false;
    };
    Piece grown = p;
    const int missingRows = model.height() - p.height(), missingColumns = model.width() - p.width();
    if (missingRows > 0 && missingRows <= cut) {
        if (lineAlong(p.top - 1, p.left, p.right)) grown.top = p.bottom - model.height() + 1;
        else if (lineAlong(p.bottom + 1, p.left, p.right)) grown.bottom = p.top + model.height() - 1;
    }
    if (missingColumns > 0 && missingColumns <= cut) {
        if (lineDown(p.left - 1, p.top, p.bottom)) grown.left = p.right - model.width() + 1;
        else if (lineDown(p.right + 1, p.top, p.bottom)) grown.right = p.left + model.width() - 1;
    }
    if (grown.left == p.left && grown.right == p.right && grown.top == p.top && grown.bottom == p.bottom) return std::nullopt;
    return sameSize(grown, model) ? std::optional<Piece>(grown) : std::nullopt;
}

} // namespace

std::vector<PixelPoint> markerCentres(const ColourPieces& found, const std::vector<bool>& letters,
                                      std::optional<PixelPoint> seed, int largest, const PixelMask* lines)
{
    const std::vector<Piece> pieces = joinCutPieces(found, largest);
    std::vector<const Piece*> shaped;
    for (const Piece& p : pieces)
        if (markerShaped(p, largest) && !besideAWord(p, found, letters)) shaped.push_back(&p);
    if (shaped.empty()) return {};

    // The size: that of the marker nearest the seed, else the one most markers share.
    const Piece* model = nullptr;
    if (seed) {
        double nearest = std::numeric_limits<double>::infinity();
        for (const Piece* p : shaped) {
            const PixelPoint c = centreOf(*p);
            const double distance = std::hypot(c.x - seed->x, c.y - seed->y);
            if (distance < nearest) nearest = distance, model = p;
        }
    } else {
        std::size_t most = 0;
        for (const Piece* candidate : shaped) {
            const auto alike = static_cast<std::size_t>(
                std::count_if(shaped.begin(), shaped.end(), [&](const Piece* p) { return sameSize(*p, *candidate); }));
            if (alike > most) most = alike, model = candidate;
        }
    }
    std::vector<PixelPoint> centres;
    for (const Piece& p : pieces) {
        if (besideAWord(p, found, letters)) continue;
        if (markerShaped(p, largest) && sameSize(p, *model)) centres.push_back(centreOf(p));
        else if (const auto grown = lines ? grownBack(p, *model, *lines, cutWidth(largest)) : std::nullopt) centres.push_back(centreOf(*grown));
    }
    std::sort(centres.begin(), centres.end(), [](const PixelPoint& a, const PixelPoint& b) { return a.x < b.x; });
    return centres;
}

} // namespace calvero::capture
