#include "capture/axistitle.h"

#include "capture/colourpieces.h"
#include "capture/marginlabels.h"
#include "capture/median.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <string_view>

namespace calvero::capture {

namespace {

constexpr int InkMargin = 3;
constexpr int WordMargin = 2;
// Words of one title stand a space apart, well within their height.
constexpr double TitleWordGap = 1.5;

// The marks a raised exponent after "10" is read as when the line is read
// whole ("(×10* W)", "H × 10-*, Pa"): none is a digit or a letter.
constexpr std::string_view LostPowerMarks = "*?'\"^`~-";

// How a multiplication sign is read.
constexpr std::array<std::string_view, 4> TimesSigns{"x", "X", "*", "\xc3\x97"};

// A multiplication sign read as a word of its own, bracket or not.
bool timesSign(std::string_view text)
{
    if (!text.empty() && (text.front() == '(' || text.front() == '[')) text.remove_prefix(1);
    return std::find(TimesSigns.begin(), TimesSigns.end(), text) != TimesSigns.end();
}

// Where a word holds "10" followed by marks only where its exponent stands:
// the "10" and the marks' end. The exponent's minus may be read among them.
std::optional<std::pair<std::size_t, std::size_t>> lostPower(const std::string& text)
{
    for (std::size_t at = text.rfind("10"); at != std::string::npos; at = at == 0 ? std::string::npos : text.rfind("10", at - 1)) {
        std::size_t end = at + 2;
        while (end < text.size()) {
            if (LostPowerMarks.find(text[end]) != std::string_view::npos) {
                ++end;
            } else if (text.compare(end, 2, "\xc2\xb0") == 0) {
                end += 2; // a raised 0 read as a degree sign stands there too
            } else if (text.compare(end, 3, "\xe2\x88\x92") == 0) {
                end += 3;
            } else {
                break;
            }
        }
        if (end > at + 2 && (at == 0 || !std::isdigit(static_cast<unsigned char>(text[at - 1])))) return std::pair{at, end};
    }
    return std::nullopt;
}

// Whether a factor's "10" at `at` in the i-th word has its times sign just
// before it, in the word or as the word before ("(x10", "Hx 10"): a "10"
// with none is a number of the title ("Temperatura 10°C").
bool timesBefore(const std::vector<ReadWord>& words, std::size_t i, std::size_t at)
{
    std::string_view before = std::string_view(words[i].text).substr(0, at);
    if (before.empty() && i > 0) before = words[i - 1].text;
    return std::any_of(TimesSigns.begin(), TimesSigns.end(), [&](std::string_view sign) { return before.ends_with(sign); });
}

// Whether a minus was read among a lost exponent's marks: a reading apart
// that lost it would turn a division into a multiplication.
bool minusAmong(std::string_view marks)
{
    return marks.find('-') != std::string_view::npos || marks.find("\xe2\x88\x92") != std::string_view::npos;
}

// The exponent read apart, as tick labels' are: the word's pieces up to the
// end of the last run raised off the line's baseline (its foot a third of
// the letters' height up), read as a number with its raised power. A
// single digit, signed or not; anything else is no exponent read.
std::optional<std::string> powerReadApart(const PixelBuffer& piece, const PixelMask& ink, const PixelRect& word, const TextReader& reader)
{
    // The reader's box may fall a pixel inside the glyphs' anti-aliased edges.
    const int left = std::max(0, static_cast<int>(word.left) - WordMargin), top = std::max(0, static_cast<int>(word.top) - WordMargin);
    const int right = std::min(ink.width(), static_cast<int>(std::ceil(word.left + word.width)) + WordMargin);
    const int bottom = std::min(ink.height(), static_cast<int>(std::ceil(word.top + word.height)) + WordMargin);
    if (right - left < 4 || bottom - top < 4) return std::nullopt;
    PixelMask part(right - left, bottom - top);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) part.set(x - left, y - top, ink.at(x, y));
    std::vector<Piece> pieces = findPieces(part).pieces;
    if (pieces.size() < 3) return std::nullopt;
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
    std::vector<double> bottoms, heights;
    for (const Piece& p : pieces) bottoms.push_back(p.bottom), heights.push_back(p.height());
    const double baseline = median(bottoms), letters = median(heights);
    const auto raised = [&](const Piece& p) { return p.bottom < baseline - letters / 3; };
    std::optional<int> end;
    for (std::size_t i = 1; i < pieces.size(); ++i)
        if (raised(pieces[i]) && !raised(pieces[i - 1])) {
            std::size_t last = i;
            while (last + 1 < pieces.size() && raised(pieces[last + 1])) ++last;
            end = pieces[last].right;
        }
    if (!end) return std::nullopt;
    const PixelRect upToPower{double(left), double(top), double(*end + 1 + InkMargin), double(bottom - top)};
    const std::vector<ReadWord> read = labelsIn(piece, ink, upToPower, reader);
    if (read.empty()) return std::nullopt;
    const std::string& text = std::max_element(read.begin(), read.end(), [](const ReadWord& a, const ReadWord& b) {
                                  return a.box.left < b.box.left;
                              })->text;
    const std::size_t power = text.rfind("10^");
    if (power == std::string::npos) return std::nullopt;
    std::string exponent = text.substr(power + 3);
    if (!exponent.empty() && exponent[0] == '-') exponent.erase(0, 1);
    if (exponent.size() != 1 || !std::isdigit(static_cast<unsigned char>(exponent[0]))) return std::nullopt;
    return text.substr(power);
}

} // namespace

std::string axisTitleIn(const PixelBuffer& picture, const PixelMask& ink, const PixelRect& area, bool upwards, const TextReader& reader)
{
    int left = std::max(0, static_cast<int>(std::floor(area.left)));
    int top = std::max(0, static_cast<int>(std::floor(area.top)));
    int right = std::min(picture.width(), static_cast<int>(std::ceil(area.left + area.width)));
    int bottom = std::min(picture.height(), static_cast<int>(std::ceil(area.top + area.height)));
    // The reader takes a line's letters to fill its area: the area is narrowed to the ink's box, with a margin.
    int inkLeft = right, inkTop = bottom, inkRight = left - 1, inkBottom = top - 1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (ink.at(x, y)) inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x), inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
    if (inkRight < inkLeft) return {};
    left = std::max(left, inkLeft - InkMargin), right = std::min(right, inkRight + 1 + InkMargin);
    top = std::max(top, inkTop - InkMargin), bottom = std::min(bottom, inkBottom + 1 + InkMargin);
    if (right - left < 4 || bottom - top < 4) return {};
    const int w = right - left, h = bottom - top;
    // Written upwards, the title is turned a quarter clockwise: its first letter, at the bottom, comes left.
    Checked<PixelBuffer> piece = upwards ? PixelBuffer::create(h, w) : PixelBuffer::create(w, h);
    if (!piece) return {};
    PixelMask pieceInk(piece->width(), piece->height());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = picture.pixel(left + x, top + y);
            const int px = upwards ? h - 1 - y : x, py = upwards ? x : y;
            piece->setPixel(px, py, p);
            pieceInk.set(px, py, ink.at(left + x, top + y));
        }
    std::vector<ReadWord> words =
        reader.read(*piece, {0, 0, double(piece->width()), double(piece->height())}, TextKind::Line);
    std::sort(words.begin(), words.end(), [](const ReadWord& a, const ReadWord& b) { return a.box.left < b.box.left; });
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        ReadWord& word = words[i];
        // A factor's exponent lost in the line ("×10*"): read apart as a tick
        // label's is, when it stands in the title beside its words. One set
        // apart is the factor at the axis's end read with the title (its way
        // is the end's, not the title's): it stays doubtful.
        const auto inTheTitle = [&] {
            // The factor's own sign may be read as a word before it ("x 10°").
            std::size_t first = i;
            while (first > 0 && timesSign(words[first - 1].text)) --first;
            if (first == 0) return false;
            const PixelRect &before = words[first - 1].box, &factor = words[first].box;
            return factor.left - (before.left + before.width) <= TitleWordGap * std::max(factor.height, before.height);
        };
        if (const auto lost = lostPower(word.text); lost && timesBefore(words, i, lost->first) && inTheTitle())
            if (const auto power = powerReadApart(*piece, pieceInk, word.box, reader);
                power && !(minusAmong(word.text.substr(lost->first, lost->second - lost->first)) && power->find('-') == std::string::npos))
                word.text = word.text.substr(0, lost->first) + *power + word.text.substr(lost->second);
        text += (text.empty() ? "" : " ") + word.text;
    }
    return text;
}

} // namespace calvero::capture
