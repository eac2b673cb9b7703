#include "capture/markerrows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace calvero::capture {

namespace {

// Markers of one row differ in width and height by at most this many pixels,
// or this share of the larger (a scan's blur and grain).
constexpr int AlikePixels = 2;
constexpr double AlikeShare = 0.25;
// Neighbours on a line overlap by this share of the lower one's height at least.
constexpr double LineOverlap = 0.5;
// Steps between markers' middles differ from the row's first by at most this share of it.
constexpr double EvenPitch = 0.2;
// Markers stand at least this share of their width apart (a word's letters nearly touch).
constexpr double LeastGapShare = 0.5;
// A row of fewer is no row.
constexpr std::size_t FewestMarkers = 4;
// The next marker along is looked for within this many heights.
constexpr double FarthestStep = 3.0;

bool alike(int a, int b) { return std::abs(a - b) <= std::max(AlikePixels, static_cast<int>(AlikeShare * std::max(a, b))); }

bool alike(const Piece& a, const Piece& b) { return alike(a.width(), b.width()) && alike(a.height(), b.height()); }

double middleOf(const Piece& p) { return (p.left + p.right + 1) / 2.0; }

} // namespace

std::vector<bool> markerRows(const ColourPieces& found, const std::vector<bool>& letters)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < found.pieces.size() && i < letters.size(); ++i)
        if (letters[i]) order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return found.pieces[a].left < found.pieces[b].left; });
    // Each piece's next along its line: the nearest alike piece to its right.
    std::vector<std::optional<std::size_t>> next(order.size());
    std::vector<bool> hasBefore(order.size(), false);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Piece& a = found.pieces[order[i]];
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const Piece& b = found.pieces[order[j]];
            if (b.left > a.right + FarthestStep * std::max(a.height(), a.width())) break;
            const int overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top) + 1;
            if (b.left <= a.right || hasBefore[j] || overlap < LineOverlap * std::min(a.height(), b.height()) || !alike(a, b))
                continue;
            next[i] = j;
            hasBefore[j] = true;
            break;
        }
    }
    std::vector<bool> marker(found.pieces.size(), false);
    const auto farApart = [&](std::size_t i, std::size_t j) {
        const Piece& a = found.pieces[order[i]];
        const Piece& b = found.pieces[order[j]];
        return b.left - a.right - 1 >= LeastGapShare * std::max(a.width(), b.width());
    };
    for (std::size_t first = 0; first < order.size(); ++first) {
        if (hasBefore[first]) continue;
        // Along the chain, the stretches at one pitch, their pieces far apart and alike the first.
        std::vector<std::size_t> row{first};
        const auto close = [&] {
            if (row.size() >= FewestMarkers)
                for (std::size_t k : row) marker[order[k]] = true;
        };
        for (std::size_t i = first; next[i]; i = *next[i]) {
            const std::size_t j = *next[i];
            const double pitch = middleOf(found.pieces[order[j]]) - middleOf(found.pieces[order[i]]);
            const double firstPitch = row.size() >= 2 ? middleOf(found.pieces[order[row[1]]]) - middleOf(found.pieces[order[row[0]]]) : pitch;
            if (farApart(i, j) && alike(found.pieces[order[row.front()]], found.pieces[order[j]]) &&
                std::abs(pitch - firstPitch) <= EvenPitch * firstPitch) {
                row.push_back(j);
                continue;
            }
            close();
            row = {j};
        }
        close();
    }
    return marker;
}

std::vector<bool> lettersNotMarkers(const ColourPieces& found, std::vector<bool> letters)
{
    const std::vector<bool> markers = markerRows(found, letters);
    for (std::size_t i = 0; i < letters.size() && i < markers.size(); ++i)
        if (markers[i]) letters[i] = false;
    return letters;
}

} // namespace calvero::capture
