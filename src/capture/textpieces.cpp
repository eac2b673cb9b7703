#include "capture/textpieces.h"

#include <algorithm>
#include <numeric>

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

} // namespace

int tallestLetter(int pictureHeight)
{
    return std::max(TallestLetterAtLeast, static_cast<int>(LetterShare * pictureHeight));
}

std::vector<bool> letterPieces(const ColourPieces& found, int tallest)
{
    std::vector<std::size_t> letters;
    for (std::size_t i = 0; i < found.pieces.size(); ++i)
        if (letterSized(found.pieces[i], tallest)) letters.push_back(i);
    std::sort(letters.begin(), letters.end(),
              [&](std::size_t a, std::size_t b) { return found.pieces[a].left < found.pieces[b].left; });

    // Letters that are neighbours make one word.
    std::vector<std::size_t> word(letters.size());
    std::iota(word.begin(), word.end(), 0);
    const auto root = [&](std::size_t i) {
        while (word[i] != i) i = word[i] = word[word[i]];
        return i;
    };
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const Piece& a = found.pieces[letters[i]];
        for (std::size_t j = i + 1; j < letters.size(); ++j) {
            const Piece& b = found.pieces[letters[j]];
            if (b.left > a.right + 1 + LetterSpacing * tallest) break;
            if (neighbours(a, b)) word[root(j)] = root(i);
        }
    }
    std::vector<std::size_t> size(letters.size(), 0);
    for (std::size_t i = 0; i < letters.size(); ++i) ++size[root(i)];
    std::vector<bool> letter(found.pieces.size(), false);
    for (std::size_t i = 0; i < letters.size(); ++i) letter[letters[i]] = size[root(i)] >= LettersInAWord;
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

} // namespace calvero::capture
