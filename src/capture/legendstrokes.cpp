#include "capture/legendstrokes.h"

#include "capture/textpieces.h"

#include <algorithm>
#include <numeric>

namespace calvero::capture {

namespace {

// A sample is drawn a few letters long; a stroke wider than this share of
// the plot is a level stretch of a curve.
constexpr double SampleShare = 0.125;
// A level stroke has a row across this share of its width at least.
constexpr double AcrossShare = 1 / 0.8;
// Samples are at least this long, and a quarter of the tallest letter looked for.
constexpr int ShortestSample = 12;

// Pieces of a stroke lie on its rows; a gap between them (a dash's, or a grid
// line taken out across a whole sample) is at most this long or as long as
// the piece before it.
constexpr int LongestGap = 12;

bool onRows(const Piece& a, const Piece& b)
{
    const int shared = std::min(a.bottom, b.bottom) - std::max(a.top, b.top) + 1;
    return shared * 2 >= std::min(a.height(), b.height());
}

// Whether each piece is a level stroke (a dash, a dot, a sample with its
// marker): no taller than a letter, one of its rows across most of it.
std::vector<bool> levelStrokes(const ColourPieces& colour, int tallest)
{
    std::vector<int> widest(colour.pieces.size(), 0);
    std::vector<int> rowWidth(colour.pieces.size(), 0), rowOf(colour.pieces.size(), -1);
    for (std::size_t r = 0; r < colour.runs.size(); ++r) {
        const RowRun& run = colour.runs[r];
        const std::size_t i = static_cast<std::size_t>(colour.pieceOfRun[r]);
        if (rowOf[i] != run.y) rowWidth[i] = 0;
        rowOf[i] = run.y;
        rowWidth[i] += run.x1 - run.x0 + 1;
        widest[i] = std::max(widest[i], rowWidth[i]);
    }
    std::vector<bool> level(colour.pieces.size());
    for (std::size_t i = 0; i < level.size(); ++i) {
        const Piece& p = colour.pieces[i];
        level[i] = p.height() <= tallest && widest[i] * AcrossShare >= p.width();
    }
    return level;
}

// Level strokes chained left to right along their rows.
std::vector<Piece> strokes(const ColourPieces& colour, int tallest)
{
    const std::vector<bool> level = levelStrokes(colour, tallest);
    std::vector<Piece> thin;
    for (std::size_t i = 0; i < level.size(); ++i)
        if (level[i]) thin.push_back(colour.pieces[i]);
    std::sort(thin.begin(), thin.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
    std::vector<Piece> chains;
    std::vector<bool> taken(thin.size(), false);
    for (std::size_t i = 0; i < thin.size(); ++i) {
        if (taken[i]) continue;
        Piece chain = thin[i];
        Piece last = thin[i];
        for (std::size_t j = i + 1; j < thin.size(); ++j) {
            // Pieces come by their left edges, so the gap only grows: past the longest, none joins.
            const int gap = thin[j].left - chain.right - 1;
            if (gap > std::max(LongestGap, last.width())) break;
            if (taken[j] || gap < 0 || !onRows(last, thin[j])) continue;
            taken[j] = true;
            chain = {chain.pixels + thin[j].pixels, chain.left, thin[j].right, std::min(chain.top, thin[j].top),
                     std::max(chain.bottom, thin[j].bottom)};
            last = thin[j];
        }
        chains.push_back(chain);
    }
    return chains;
}

// The part of a chained stroke left of column `end`: the colour's rows there.
Piece strokeBefore(const ColourPieces& colour, const Piece& chain, int end)
{
    Piece part{0, chain.left, chain.left - 1, chain.bottom + 1, chain.top - 1};
    for (const RowRun& run : colour.runs) {
        if (run.y < chain.top || run.y > chain.bottom || run.x1 < chain.left || run.x0 >= end) continue;
        const int from = std::max(run.x0, chain.left), to = std::min(run.x1, end - 1);
        part.pixels += to - from + 1;
        part.right = std::max(part.right, to);
        part.top = std::min(part.top, run.y);
        part.bottom = std::max(part.bottom, run.y);
    }
    return part;
}

bool sampleShaped(const Piece& p, int tallest, double plotWidth)
{
    return p.width() >= std::max(ShortestSample, tallest / 4) && p.width() <= SampleShare * plotWidth;
}

} // namespace

std::vector<PixelRect> legendStrokes(const ColourPieces& colour, const PixelMask& inkMask, int tallest, double plotWidth)
{
    std::vector<Piece> candidates = strokes(colour, tallest);
    std::erase_if(candidates, [&](const Piece& p) { return p.width() < std::max(ShortestSample, tallest / 4); });
    std::vector<PixelRect> samples;
    if (candidates.empty()) return samples;
    const ColourPieces ink = findPieces(inkMask);
    const std::vector<bool> letters = letterPieces(ink, tallest);
    // Whether a letter stands across the stroke's middle row, starting or ending within a letter's height of it.
    const auto worded = [&](const Piece& p) {
        const double row = (p.top + p.bottom + 1) / 2.0;
        for (std::size_t i = 0; i < ink.pieces.size(); ++i) {
            const Piece& q = ink.pieces[i];
            if (!letters[i] || q.top > row || q.bottom + 1 < row) continue;
            const int after = q.left - p.right - 1, before = p.left - q.right - 1;
            if ((after >= 0 && after <= tallest) || (before >= 0 && before <= tallest)) return true;
        }
        return false;
    };
    for (Piece p : candidates) {
        if (!(sampleShaped(p, tallest, plotWidth) && worded(p))) {
            // Letters of the colour's own ink chain on after a sample written
            // in it (a black family's legend): the sample ends before the first.
            const double row = (p.top + p.bottom + 1) / 2.0;
            int firstLetter = p.right + 1;
            for (std::size_t i = 0; i < ink.pieces.size(); ++i) {
                const Piece& q = ink.pieces[i];
                if (letters[i] && q.top <= row && q.bottom + 1 >= row && q.left > p.left) firstLetter = std::min(firstLetter, q.left);
            }
            if (firstLetter > p.right) continue;
            p = strokeBefore(colour, p, firstLetter);
            if (!(sampleShaped(p, tallest, plotWidth) && worded(p))) continue;
        }
        samples.push_back({double(p.left), double(p.top), double(p.width()), double(p.height())});
    }
    return samples;
}

} // namespace calvero::capture
