#include "capture/textpieces.h"

#include "capture/unionfind.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace calvero::capture {

namespace {

// Letters are at least this high (a dash of a level curve is lower); on a
// blurred scan a whole word may be one piece, up to this many letters wide.
constexpr int ShortestLetter = 6;
constexpr double WidestLetter = 8;
// Neighbouring letters lie at most this share of the taller one's height
// apart, and overlap by at least this share of the lower one's height.
constexpr double LetterSpacing = 1.0;
constexpr double LineOverlap = 0.6;
constexpr std::size_t LettersInAWord = 3;
// Two letters with a mark between them stand at most this share of the
// taller one's height apart (markers along a curve stand farther apart).
constexpr double MarkSpacing = 2.0;
// On a picture of a chart, the letters are at most this share of its height.
constexpr double LetterShare = 0.025;
constexpr int TallestLetterAtLeast = 14;

bool letterSized(const Piece& p, int tallest)
{
    return p.height() >= ShortestLetter && p.height() <= tallest && p.width() <= WidestLetter * tallest;
}

bool neighbours(const Piece& a, const Piece& b)
{
    const int gap = std::max(a.left, b.left) - std::min(a.right, b.right) - 1;
    const int overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top) + 1;
    return gap <= LetterSpacing * std::max(a.height(), b.height()) &&
           overlap >= LineOverlap * std::min(a.height(), b.height());
}

// Lines taken out are at most this wide where they cut a piece apart.
constexpr int WidestCut = 12;

// Whether the columns between the two pieces (side by side, the left one
// first) are taken out all down the rows both pieces share: a line down
// between them cut one piece in two. (Marks hanging off a line across, as
// tick marks off the frame, share only the line's rows with it.)
bool cutApart(const Piece& left, const Piece& right, const PixelMask& cutBy)
{
    const int gap = right.left - left.right - 1;
    const int top = std::max(left.top, right.top), bottom = std::min(left.bottom, right.bottom);
    if (gap < 1 || gap > WidestCut || top > bottom) return false;
    for (int x = left.right + 1; x < right.left; ++x)
        for (int y = top; y <= bottom; ++y)
            if (!cutBy.at(x, y)) return false;
    return true;
}

// For each piece, whether it is one a line cut from others into something
// too large for a letter.
std::vector<bool> partsOfLargerPieces(const ColourPieces& found, int tallest, const PixelMask& cutBy)
{
    std::vector<std::size_t> order(found.pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return found.pieces[a].left < found.pieces[b].left; });
    UnionFind groups(found.pieces.size());
    const auto root = [&](std::size_t i) { return static_cast<std::size_t>(groups.root(static_cast<int>(i))); };
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Piece& a = found.pieces[order[i]];
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const Piece& b = found.pieces[order[j]];
            if (b.left > a.right + 1 + WidestCut) break;
            if (cutApart(a, b, cutBy)) groups.join(static_cast<int>(order[i]), static_cast<int>(order[j]));
        }
    }
    std::vector<Piece> whole(found.pieces.size());
    std::vector<bool> seen(found.pieces.size(), false);
    for (std::size_t i = 0; i < found.pieces.size(); ++i) {
        Piece& w = whole[root(i)];
        const Piece& p = found.pieces[i];
        if (!seen[root(i)]) w = p, seen[root(i)] = true;
        w.left = std::min(w.left, p.left), w.right = std::max(w.right, p.right);
        w.top = std::min(w.top, p.top), w.bottom = std::max(w.bottom, p.bottom);
    }
    std::vector<bool> larger(found.pieces.size());
    for (std::size_t i = 0; i < found.pieces.size(); ++i) larger[i] = !letterSized(whole[root(i)], tallest);
    return larger;
}

// Whether pieces side by side (left to right) step along a slope: from each
// to the next the middle moves the same way, by a quarter of the smaller's
// height at least, or so but for one step (not back by as much) where it
// moves on by more than the pieces' middle height in all. The letters of a
// word stand on one line: their middles differ by ascenders and descenders
// ("log"), less than a quarter of a letter from one to the next, and their
// sum stays within a letter; a label written on from its curve's last
// markers has level steps along its letters. A dashed curve with markers on
// it, its pieces as tall as letters on a large page, rises or falls from
// piece to piece.
bool steppingAlong(std::vector<const Piece*> pieces)
{
    constexpr double StepShare = 0.25;
    std::sort(pieces.begin(), pieces.end(), [](const Piece* a, const Piece* b) { return a->left < b->left; });
    const auto middle = [](const Piece* p) { return (p->top + p->bottom) / 2.0; };
    std::vector<double> heights;
    for (const Piece* p : pieces) heights.push_back(p->height());
    std::nth_element(heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(heights.size() / 2), heights.end());
    const double rise = middle(pieces.back()) - middle(pieces.front());
    const double way = rise < 0 ? -1 : 1;
    int small = 0;
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        const double step = way * (middle(pieces[i + 1]) - middle(pieces[i]));
        const double least = StepShare * std::min(pieces[i]->height(), pieces[i + 1]->height());
        if (step <= -least) return false;
        if (step < least) ++small;
    }
    return small == 0 || (small == 1 && std::abs(rise) > heights[heights.size() / 2]);
}

} // namespace

int tallestLetter(int pictureHeight)
{
    return std::max(TallestLetterAtLeast, static_cast<int>(LetterShare * pictureHeight));
}

std::vector<bool> letterPieces(const ColourPieces& found, int tallest, const PixelMask* cutBy, bool throughMarks)
{
    const std::vector<bool> larger =
        cutBy ? partsOfLargerPieces(found, tallest, *cutBy) : std::vector<bool>(found.pieces.size(), false);
    std::vector<std::size_t> letters, marks;
    for (std::size_t i = 0; i < found.pieces.size(); ++i) {
        const Piece& p = found.pieces[i];
        if (letterSized(p, tallest) && !larger[i]) letters.push_back(i);
        else if (throughMarks && p.height() < ShortestLetter && p.width() <= tallest) marks.push_back(i);
    }
    const auto byLeft = [&](std::size_t a, std::size_t b) { return found.pieces[a].left < found.pieces[b].left; };
    std::sort(letters.begin(), letters.end(), byLeft);

    // The mark standing between two letters on their line, a little farther
    // apart than letters of a word (the "=" of "Tc = 60", with its blanks).
    const auto markBetween = [&](const Piece& a, const Piece& b) -> std::optional<std::size_t> {
        const int gap = b.left - a.right - 1;
        const int top = std::max(a.top, b.top), bottom = std::min(a.bottom, b.bottom);
        if (gap > MarkSpacing * std::max(a.height(), b.height()) || bottom - top + 1 < LineOverlap * std::min(a.height(), b.height()))
            return std::nullopt;
        for (std::size_t m : marks) {
            const Piece& p = found.pieces[m];
            if (p.left > a.right && p.right < b.left && p.top >= top && p.bottom <= bottom) return m;
        }
        return std::nullopt;
    };
    // Letters that are neighbours make one word.
    UnionFind words(letters.size());
    const auto root = [&](std::size_t i) { return static_cast<std::size_t>(words.root(static_cast<int>(i))); };
    std::vector<std::pair<std::size_t, std::size_t>> marksIn; // a mark and a letter of the word it stands in
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const Piece& a = found.pieces[letters[i]];
        for (std::size_t j = i + 1; j < letters.size(); ++j) {
            const Piece& b = found.pieces[letters[j]];
            if (b.left > a.right + 1 + std::max(LetterSpacing, throughMarks ? MarkSpacing : 0.0) * tallest) break;
            if (neighbours(a, b)) {
                words.join(static_cast<int>(i), static_cast<int>(j));
            } else if (throughMarks && b.left > a.right) {
                if (const auto m = markBetween(a, b)) {
                    words.join(static_cast<int>(i), static_cast<int>(j));
                    marksIn.push_back({*m, i});
                }
            }
        }
    }
    std::vector<std::size_t> size(letters.size(), 0);
    for (std::size_t i = 0; i < letters.size(); ++i) ++size[root(i)];
    // Read across marks, a row of pieces all of one size is a curve's markers
    // with its dashes between them, not a word.
    if (throughMarks) {
        std::vector<Piece> least(letters.size(), Piece{0, 1 << 30, 0, 1 << 30, 0}), most(letters.size(), Piece{});
        for (std::size_t i = 0; i < letters.size(); ++i) {
            const Piece& p = found.pieces[letters[i]];
            Piece& l = least[root(i)];
            Piece& m = most[root(i)];
            l.left = std::min(l.left, p.width()), l.top = std::min(l.top, p.height());
            m.left = std::max(m.left, p.width()), m.top = std::max(m.top, p.height());
        }
        for (std::size_t i = 0; i < letters.size(); ++i)
            if (root(i) == i && most[i].left - least[i].left <= 1 && most[i].top - least[i].top <= 1) size[i] = 0;
    }
    // Pieces stepping up or down along a slope from one to the next are a
    // curve's dashes and markers, not a word standing on its line.
    {
        std::vector<std::vector<const Piece*>> members(letters.size());
        for (std::size_t i = 0; i < letters.size(); ++i) members[root(i)].push_back(&found.pieces[letters[i]]);
        for (std::size_t i = 0; i < letters.size(); ++i)
            if (root(i) == i && size[i] >= LettersInAWord && steppingAlong(members[i])) size[i] = 0;
    }
    std::vector<bool> letter(found.pieces.size(), false);
    for (std::size_t i = 0; i < letters.size(); ++i) letter[letters[i]] = size[root(i)] >= LettersInAWord;
    for (const auto& [m, i] : marksIn) letter[m] = size[root(i)] >= LettersInAWord;
    // The other marks inside a word's line ("°" of "°C") are its too.
    if (throughMarks)
        for (std::size_t m : marks)
            for (std::size_t i = 0; i + 1 < letters.size() && !letter[m]; ++i) {
                const Piece& p = found.pieces[m];
                const Piece& a = found.pieces[letters[i]];
                if (!letter[letters[i]] || a.right >= p.left || p.left - a.right - 1 > LetterSpacing * a.height()) continue;
                if (p.top >= a.top && p.bottom <= a.bottom) letter[m] = true;
            }
    return letter;
}

std::vector<WordGroup> wordGroups(std::vector<Piece> pieces)
{
    // Letters this share of the word's height apart at most; an exponent
    // overlaps its base by a third of the smaller's height at least.
    constexpr double WordSpacing = 0.7;
    constexpr int OverlapThirds = 3;
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
    std::vector<WordGroup> words;
    std::vector<bool> used(pieces.size(), false);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (used[i]) continue;
        WordGroup word{pieces[i], {pieces[i]}};
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t j = i + 1; j < pieces.size(); ++j) {
                const Piece& p = pieces[j];
                Piece& w = word.box;
                if (used[j]) continue;
                const int gap = std::max(p.left, w.left) - std::min(p.right, w.right) - 1;
                const int overlap = std::min(p.bottom, w.bottom) - std::max(p.top, w.top) + 1;
                if (gap > WordSpacing * w.height() || overlap * OverlapThirds < std::min(p.height(), w.height())) continue;
                w.left = std::min(w.left, p.left), w.right = std::max(w.right, p.right);
                w.top = std::min(w.top, p.top), w.bottom = std::max(w.bottom, p.bottom);
                w.pixels += p.pixels;
                word.parts.push_back(p);
                used[j] = grew = true;
            }
        }
        std::sort(word.parts.begin(), word.parts.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<PixelRect> textLines(const std::vector<PixelRect>& letters)
{
    std::vector<PixelRect> lines = letters;
    const auto joinable = [](const PixelRect& a, const PixelRect& b) {
        const double middle = a.top + a.height / 2;
        const double gap = std::max(a.left, b.left) - std::min(a.left + a.width, b.left + b.width);
        return middle >= b.top && middle <= b.top + b.height && gap <= 2 * std::max(a.height, b.height);
    };
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < lines.size(); ++i)
            for (std::size_t j = i + 1; j < lines.size();) {
                if (!joinable(lines[i], lines[j]) && !joinable(lines[j], lines[i])) {
                    ++j;
                    continue;
                }
                const double left = std::min(lines[i].left, lines[j].left);
                const double top = std::min(lines[i].top, lines[j].top);
                const double right = std::max(lines[i].left + lines[i].width, lines[j].left + lines[j].width);
                const double bottom = std::max(lines[i].top + lines[i].height, lines[j].top + lines[j].height);
                lines[i] = {left, top, right - left, bottom - top};
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(j));
                joined = true;
                j = i + 1;
            }
    }
    for (PixelRect& r : lines) r = {r.left - 1, r.top - 1, r.width + 2, r.height + 2};
    return lines;
}

bool inText(const std::vector<PixelRect>& text, double x, double y)
{
    return std::any_of(text.begin(), text.end(), [&](const PixelRect& r) {
        return x >= r.left && x <= r.left + r.width && y >= r.top && y <= r.top + r.height;
    });
}

} // namespace calvero::capture
