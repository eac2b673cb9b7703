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

} // namespace calvero::capture
