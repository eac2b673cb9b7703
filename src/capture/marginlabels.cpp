#include "capture/marginlabels.h"

#include "capture/colour.h"
#include "capture/colourpieces.h"
#include "capture/textpieces.h"
#include "capture/ticklabels.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace calvero::capture {

namespace {

// The labels in a strip: the ink's pieces grouped into words, each read on
// its own as one number. An exponent set small and raised after its base
// (10³) is read apart from the base and joined with '^'.
// Specks of a scan's grain are no letters (a decimal point has a few pixels more).
constexpr long long SmallestMark = 3;
// A trailing part whose foot lies this share of the word's height above its baseline is an exponent.
constexpr double ExponentRise = 0.3;

PixelRect padded(const Piece& p, int left, int top)
{
    return {double(left + p.left - LabelPadding), double(top + p.top - LabelPadding), double(p.width() + 2 * LabelPadding),
            double(p.height() + 2 * LabelPadding)};
}

Piece boxOf(const std::vector<Piece>& parts)
{
    Piece box = parts.front();
    for (const Piece& p : parts) {
        box.left = std::min(box.left, p.left), box.right = std::max(box.right, p.right);
        box.top = std::min(box.top, p.top), box.bottom = std::max(box.bottom, p.bottom);
    }
    return box;
}

// A small picture of the base followed by the exponent enlarged to the base's
// height, both on one baseline, on white.
PixelBuffer onTheLine(const PixelBuffer& picture, const PixelRect& base, const PixelRect& power)
{
    // Every size at least a pixel, so the joined picture holds both boxes whatever they are.
    const int bw = std::max(1, int(base.width)), bh = std::max(1, int(base.height));
    // Grown by the ratio of the glyphs' heights (the boxes carry the same padding).
    const double grow = std::max(1.0, (base.height - 2 * LabelPadding) / std::max(1.0, power.height - 2 * LabelPadding));
    const int gw = std::max(1, int(power.width * grow)), gh = std::max(1, int(power.height * grow)), gap = LabelPadding;
    Checked<PixelBuffer> created = PixelBuffer::create(bw + gap + gw, std::max(bh, gh));
    if (!created) return {};
    PixelBuffer joined = std::move(*created);
    const int shift = joined.height() - bh; // both boxes end on the bottom row
    const auto at = [&](double x, double y) {
        // Bilinear, so the grown digit keeps its strokes smooth.
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        double sum[3] = {0, 0, 0};
        for (int dy = 0; dy <= 1; ++dy)
            for (int dx = 0; dx <= 1; ++dx) {
                const double w = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy);
                const std::uint32_t p = picture.contains(x0 + dx, y0 + dy) ? picture.pixel(x0 + dx, y0 + dy) : 0xffffffffu;
                sum[0] += w * ((p >> 16) & 255), sum[1] += w * ((p >> 8) & 255), sum[2] += w * (p & 255);
            }
        return argbOf({std::uint8_t(sum[0] + 0.5), std::uint8_t(sum[1] + 0.5), std::uint8_t(sum[2] + 0.5)});
    };
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) joined.setPixel(x, shift + y, at(base.left + x, base.top + y));
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
            joined.setPixel(bw + gap + x, joined.height() - gh + y, at(power.left + x / grow, power.top + y / grow));
    return joined;
}

// How far an exponent joined to its base must rise above the base's top: a
// blurred scan's digits differ by a pixel, so two at least (a tenth of the
// word on large ones). A drawn page's exponent 4-5 pixels tall, touching its
// base's 0 through the anti-aliasing, stands a single pixel higher; that is
// taken only when the base then reads "10" (or "10-", the exponent's minus
// with it), which no digit's bar (a 7's) makes.
enum class Rise { Sure, OnePixel };

// A word's base and its raised exponent (10³), when it has one: the pieces
// at its right end whose foot stays above the baseline, or where a blurred
// scan (or a small exponent's anti-aliased edge) joined the exponent to its
// base, the columns at its right end whose ink stays above the baseline and
// rises above the base's top.
// A glyph's faintest anti-aliased edge (a 1's flag, a few levels off the
// paper) sets the ink's top as high as a small exponent's dark top, which
// stands a pixel higher: the one-pixel rise is measured on the glyphs' firm
// ink, at least halfway from the paper to the word's darkest.
struct FirmInk {
    const PixelBuffer& picture;
    int left, top; // the strip's place on the picture
};

int firmTop(const FirmInk& firm, const Piece& box, int fromColumn, int toColumn)
{
    double paper = 0, darkest = 255;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const double l = luminance(firm.picture.pixel(firm.left + x, firm.top + y));
            paper = std::max(paper, l), darkest = std::min(darkest, l);
        }
    const double half = (paper + darkest) / 2;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = fromColumn; x <= toColumn; ++x)
            if (luminance(firm.picture.pixel(firm.left + x, firm.top + y)) <= half) return y;
    return box.bottom + 1;
}

std::optional<std::pair<Piece, Piece>> baseAndPower(const WordGroup& word, const PixelMask& part, Rise rise, const FirmInk& firm)
{
    int baseline = 0, tallest = 0;
    for (const Piece& p : word.parts) baseline = std::max(baseline, p.bottom), tallest = std::max(tallest, p.height());
    const double raised = baseline - ExponentRise * tallest;
    std::size_t base = word.parts.size();
    while (base > 1 && word.parts[base - 1].bottom < raised) --base;
    if (base < word.parts.size()) {
        const Piece baseBox = boxOf({word.parts.begin(), word.parts.begin() + static_cast<std::ptrdiff_t>(base)});
        const Piece powerBox = boxOf({word.parts.begin() + static_cast<std::ptrdiff_t>(base), word.parts.end()});
        // An exponent stands after its base; raised marks over the base's
        // own columns (inward tick marks above a number) are none.
        if (powerBox.left <= baseBox.right) return std::nullopt;
        return std::pair{baseBox, powerBox};
    }
    const Piece& box = word.box;
    // Each column's highest and lowest ink.
    const auto inkRows = [&](int x) {
        std::pair<int, int> rows{-1, -1};
        for (int y = box.top; y <= box.bottom; ++y)
            if (part.at(x, y)) rows = {rows.first < 0 ? y : rows.first, y};
        return rows;
    };
    int split = box.right + 1, powerTop = box.bottom, powerBottom = box.top;
    for (int x = box.right; x > box.left; --x) {
        const auto [first, last] = inkRows(x);
        if (first < 0) continue;
        if (last >= raised) break;
        split = x, powerTop = std::min(powerTop, first), powerBottom = std::max(powerBottom, last);
    }
    if (split > box.right - 1 || split < box.left + 2) return std::nullopt;
    Piece baseBox = box, powerBox = box;
    baseBox.right = split - 1, baseBox.top = box.bottom;
    for (int x = box.left; x < split; ++x)
        if (const auto rows = inkRows(x); rows.first >= 0) baseBox.top = std::min(baseBox.top, rows.first);
    powerBox.left = split, powerBox.top = powerTop, powerBox.bottom = powerBottom;
    // An exponent stands higher than its base's digits; the bar of a 7 does not.
    if (rise == Rise::OnePixel) {
        if (firmTop(firm, box, split, box.right) > firmTop(firm, box, box.left, split - 1) - 1) return std::nullopt;
    } else if (powerTop > baseBox.top - std::max(2.0, 0.1 * tallest)) {
        return std::nullopt;
    }
    return std::pair{baseBox, powerBox};
}

// The dashes a base may end in that are its exponent's minus sign (10⁻¹
// read "10-" and "10-1").
constexpr std::string_view Minuses[] = {"-", "\xe2\x88\x92"};

// Whether the base "10" was read with its exponent's minus sign.
bool tenWithMinus(const std::string& base)
{
    return std::any_of(std::begin(Minuses), std::end(Minuses), [&](std::string_view minus) {
        return base.size() == 2 + minus.size() && base.compare(0, 2, "10") == 0 && base.compare(2, minus.size(), minus) == 0;
    });
}

// The label from its base and the joined reading: a small raised 0 read as
// a degree sign is a 0, and a base's trailing minus the exponent's.
std::string powerText(std::string base, const std::string& whole)
{
    std::string power = whole.substr(base.size());
    for (std::size_t at; (at = power.find("\xc2\xb0")) != std::string::npos;) power.replace(at, 2, "0");
    if (tenWithMinus(base)) {
        base = "10";
        power.insert(0, "-");
    }
    return base + "^" + power;
}

// A label read as "10" with a mark after it where its exponent stood (10°,
// 10*, 10?): a power of ten whose exponent was not read.
bool baseWithLostPower(const std::string& text)
{
    if (text.size() < 3 || text.compare(0, 2, "10") != 0 || text.find('^') != std::string::npos) return false;
    return std::none_of(text.begin() + 2, text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// A minus sign set apart from its digits (a font's wide minus, "− 25"): a
// flat dash alone, level with the middle of the word just after it and
// nearer it than the word is tall, is that word's sign. Words are grouped
// by their own height, and a dash's is a few pixels.
constexpr double DashFlatness = 2;
constexpr double DashThinness = 0.35;
constexpr long TickColumn = 4;

std::vector<WordGroup> signsJoined(std::vector<WordGroup> words)
{
    std::sort(words.begin(), words.end(), [](const WordGroup& a, const WordGroup& b) { return a.box.left < b.box.left; });
    const auto flatDash = [](const Piece& p) { return p.width() >= DashFlatness * p.height(); };
    // Dashes lined up beside every number, alone or in its word, are tick marks (an axis
    // ticked outward, its numbers set apart): how many stand with each word's dash.
    std::vector<long> linedUp;
    for (const WordGroup& word : words)
        linedUp.push_back(std::count_if(words.begin(), words.end(), [&](const WordGroup& w) {
            return std::any_of(w.parts.begin(), w.parts.end(), [&](const Piece& p) {
                return flatDash(p) && std::abs(p.left - word.box.left) <= 2 && std::abs(p.right - word.box.right) <= 2;
            });
        }));
    std::vector<WordGroup> out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Piece& dash = words[i].box;
        const bool flat = words[i].parts.size() == 1 && flatDash(dash) && linedUp[i] < TickColumn;
        std::optional<std::size_t> next;
        for (std::size_t j = i + 1; flat && j < words.size(); ++j) {
            const Piece& w = words[j].box;
            const double middle = (dash.top + dash.bottom) / 2.0;
            if (w.left > dash.right && w.left - dash.right - 1 <= w.height() && dash.height() <= DashThinness * w.height() &&
                middle >= w.top + 0.25 * w.height() && middle <= w.bottom - 0.25 * w.height() && (!next || w.left < words[*next].box.left))
                next = j;
        }
        if (!next) {
            out.push_back(std::move(words[i]));
            continue;
        }
        WordGroup& word = words[*next];
        word.parts.insert(word.parts.begin(), dash);
        word.box.left = dash.left, word.box.top = std::min(word.box.top, dash.top), word.box.bottom = std::max(word.box.bottom, dash.bottom);
        word.box.pixels += dash.pixels;
    }
    return out;
}

// A flat dash just after a number, level with its middle, is the number's
// tick mark reached (an outward tick on a left y axis), not a raised
// exponent nor a letter: it is left out of the word ("40-" was read "40^?").
// The strip ends where the ticks begin, so only a tick's first pixels may
// stand in it: 3 long and 2 thick beside a 10⁴ (a grey tick, its edges
// anti-aliased), taken for an exponent. No number ends in a dash, and an
// exponent's digit is taller than wide.
constexpr double TickStubFlatness = 1.5;

WordGroup tickMarkCut(WordGroup word)
{
    while (word.parts.size() > 1) {
        const Piece& dash = word.parts.back();
        const Piece rest = boxOf({word.parts.begin(), word.parts.end() - 1});
        const double middle = (dash.top + dash.bottom) / 2.0;
        if (dash.left <= rest.right || dash.width() < TickStubFlatness * dash.height() || dash.height() > DashThinness * rest.height() ||
            middle < rest.top + 0.25 * rest.height() || middle > rest.bottom - 0.25 * rest.height())
            break;
        word.parts.pop_back();
        word.box.left = rest.left, word.box.right = rest.right, word.box.top = rest.top, word.box.bottom = rest.bottom;
        word.box.pixels = 0;
        for (const Piece& p : word.parts) word.box.pixels += p.pixels;
    }
    return word;
}

// A word run together from labels set close, parted at the gaps between
// its parts so that each piece holds one of the columns the labels stand
// at and is centred on it within this share of the step to its neighbours.
constexpr double CentredOnItsColumn = 0.25;
constexpr double EvenColumns = 0.1;
constexpr double SameColumn = 2;

// The word parted at the columns given: each part the pieces nearest one
// column, none empty, apart from the next and centred on its column; none
// where it does not part so. Parted at every few columns only (minor ticks
// between the labels), a part is no wider than the step.
std::optional<std::vector<WordGroup>> partedAt(const WordGroup& word, const std::vector<double>& inside, bool everyFew)
{
    std::vector<WordGroup> parts(inside.size());
    for (const Piece& p : word.parts) {
        // Each part goes with the column nearest its middle.
        const double middle = (p.left + p.right + 1) / 2.0;
        std::size_t k = 0;
        for (std::size_t i = 1; i < inside.size(); ++i)
            if (std::abs(inside[i] - middle) < std::abs(inside[k] - middle)) k = i;
        WordGroup& g = parts[k];
        if (g.parts.empty()) g.box = p;
        g.box.left = std::min(g.box.left, p.left), g.box.right = std::max(g.box.right, p.right);
        g.box.top = std::min(g.box.top, p.top), g.box.bottom = std::max(g.box.bottom, p.bottom);
        if (!g.parts.empty()) g.box.pixels += p.pixels;
        g.parts.push_back(p);
    }
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const WordGroup& g = parts[k];
        if (g.parts.empty()) return std::nullopt;
        // The pieces stand apart, left to right, and each is centred on its column.
        if (k > 0 && g.box.left <= parts[k - 1].box.right) return std::nullopt;
        const double step = std::min(k > 0 ? inside[k] - inside[k - 1] : inside[k + 1] - inside[k],
                                     k + 1 < inside.size() ? inside[k + 1] - inside[k] : inside[k] - inside[k - 1]);
        if (std::abs((g.box.left + g.box.right + 1) / 2.0 - inside[k]) > CentredOnItsColumn * step) return std::nullopt;
        if (everyFew && g.box.width() > step) return std::nullopt;
    }
    if (!everyFew) return parts;
    // Parted at every few columns, the words stand farther apart than any
    // two characters of one: a long number over several minor ticks is one.
    int widestInside = 0, narrowestBetween = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < parts.size(); ++k) {
        std::vector<Piece> pieces = parts[k].parts;
        std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
        int reach = pieces.front().right;
        for (const Piece& p : pieces) widestInside = std::max(widestInside, p.left - reach - 1), reach = std::max(reach, p.right);
        if (k > 0) narrowestBetween = std::min(narrowestBetween, parts[k].box.left - parts[k - 1].box.right - 1);
    }
    if (narrowestBetween <= widestInside) return std::nullopt;
    return parts;
}

std::vector<WordGroup> partedAtColumns(const WordGroup& word, const std::vector<double>& columns)
{
    std::vector<double> inside;
    for (double c : columns)
        if (c > word.box.left && c < word.box.right + 1) inside.push_back(c);
    std::sort(inside.begin(), inside.end());
    // A tick and the grid line it prolongs are one column.
    inside.erase(std::unique(inside.begin(), inside.end(), [](double a, double b) { return b - a < SameColumn; }), inside.end());
    if (inside.size() < 2) return {word};
    // Labels run together stand at evenly spaced ticks; a log axis's minor ticks under one label are none.
    for (std::size_t i = 2; i < inside.size(); ++i)
        if (std::abs((inside[i] - inside[i - 1]) - (inside[1] - inside[0])) > EvenColumns * (inside[1] - inside[0])) return {word};
    // At each column, or with minor ticks between the labels at every few,
    // the fewest that part the word.
    for (std::size_t every = 1; every < inside.size(); ++every)
        for (std::size_t first = 0; first < every; ++first) {
            std::vector<double> some;
            for (std::size_t i = first; i < inside.size(); i += every) some.push_back(inside[i]);
            if (some.size() < 2) continue;
            if (auto parts = partedAt(word, some, every > 1)) return std::move(*parts);
        }
    return {word};
}

// What a word read as a number can hold, judged by its ink. A lone upright
// stroke a pixel or two wide is a tick mark, whatever number it was read as
// (a digit 1 has its flag or foot), and no more than a stroke. No digit is
// wider than it is tall, so a word wider than its characters read could
// fill is read short ("30" read "3", "250" read "30" in a small serif
// typeface) and its value is none.
constexpr int StrokeWidth = 2;
constexpr double StrokeThinness = 0.2;
constexpr int BlurAllowance = 2;

std::string checkedAgainstInk(const WordGroup& word, const std::string& text)
{
    const Piece& box = word.box;
    if (labelValues(text).empty() || text.find('^') != std::string::npos) return text;
    if (word.parts.size() == 1 && box.width() <= StrokeWidth && box.width() <= StrokeThinness * box.height()) return "|";
    const auto characters = static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
    if (box.width() > characters * box.height() + BlurAllowance) return "?";
    return text;
}

// A number written with a zero before its digits ("00", "-05"): a digit or
// a decimal mark lost, which the axis's check tells as a doubt.
bool zeroFirst(const std::string& text)
{
    const std::size_t at = text.find_first_not_of("+-");
    return at != std::string::npos && at + 1 < text.size() && text[at] == '0' && std::isdigit(static_cast<unsigned char>(text[at + 1]));
}

// A reading that is neither a number nor a lone stroke (a tick mark) nor a
// power of ten whose exponent was lost: on a blurred scan, digits run into
// a blot and read as a mark ("90" as "®", "40" as "p", "-15" as "“15").
// Such a word is read again with its edges sharpened, and that reading
// taken when it is a number; a number read wrong this way still has to
// agree with the others to count. One with a zero first ("500" read "00")
// is not taken: it would bring a doubt the first reading did not.
bool blotOrMark(const std::string& text)
{
    if (!labelValues(text).empty() || baseWithLostPower(text)) return false;
    // A factor or an offset at the axis's end ("x1000", "+1000", "1e4") is
    // read as no number by design: read again it could lose its mark. (A
    // blot's reading holds a round bracket or a lone e often enough: it is
    // read again.)
    if (text.find_first_of("xX*[]+^") != std::string::npos || text.find("\xc3\x97") != std::string::npos) return false;
    for (std::size_t i = 1; i + 1 < text.size(); ++i)
        if ((text[i] == 'e' || text[i] == 'E') && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(text[i + 1])))
            return false;
    return !(text.size() == 1 && std::string_view("|Il!").find(text[0]) != std::string_view::npos);
}

// A lone digit read off ink wider than one and a half digits ("0" for a
// small serif "20"): a digit is at most about this share of its height
// wide. Longer readings are not judged so: a scan's blur widens the ink.
constexpr double WidestDigit = 0.6;

bool fewerThanItsInk(const std::string& text, const PixelRect& box)
{
    const double inkWidth = box.width - 2 * LabelPadding, inkHeight = box.height - 2 * LabelPadding;
    return text.size() == 1 && inkWidth > 1.5 * WidestDigit * inkHeight;
}

} // namespace

std::vector<ReadWord> labelsIn(const PixelBuffer& picture, const PixelMask& ink, const PixelRect& strip, const TextReader& reader,
                               const PixelRect& ticks, const std::vector<double>& columns)
{
    const int left = std::max(0, static_cast<int>(strip.left)), top = std::max(0, static_cast<int>(strip.top));
    const int right = std::min(ink.width(), static_cast<int>(strip.left + strip.width));
    const int bottom = std::min(ink.height(), static_cast<int>(strip.top + strip.height));
    if (right - left < 2 || bottom - top < 2) return {};
    PixelMask part(right - left, bottom - top);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) part.set(x - left, y - top, ink.at(x, y));
    std::vector<Piece> pieces;
    // A mark cut by the picture's edge (a scan's dark border, the seam of a
    // page turned straight), or whose ink goes on beyond the strip (the
    // other axis's number at the corner, "-25" cut to "-2"), is no label,
    // nor is the word it belongs to: one cut off could not be read whole.
    // Ink going on toward the axis between its ends is its tick marks.
    const auto goesOn = [&](int x, int y, int dx, int dy) {
        const int ox = left + x + dx, oy = top + y + dy;
        if (!part.at(x, y) || ox < 0 || oy < 0 || ox >= ink.width() || oy >= ink.height() || !ink.at(ox, oy)) return false;
        return !(ox >= ticks.left && ox < ticks.left + ticks.width && oy >= ticks.top && oy < ticks.top + ticks.height);
    };
    const auto atPictureEdge = [&](const Piece& p) {
        return left + p.left <= 0 || top + p.top <= 0 || left + p.right >= ink.width() - 1 || top + p.bottom >= ink.height() - 1;
    };
    const auto cut = [&](const Piece& p) {
        for (int y = p.top; y <= p.bottom; ++y)
            if ((p.left == 0 && goesOn(0, y, -1, 0)) || (p.right == part.width() - 1 && goesOn(p.right, y, 1, 0))) return true;
        for (int x = p.left; x <= p.right; ++x)
            if ((p.top == 0 && goesOn(x, 0, 0, -1)) || (p.bottom == part.height() - 1 && goesOn(x, p.bottom, 0, 1))) return true;
        return false;
    };
    for (const Piece& p : findPieces(part).pieces)
        if (p.pixels >= SmallestMark && !atPictureEdge(p)) pieces.push_back(p);
    const auto readWith = [&](const PixelRect& area, std::string& text, double& confidence, const ReadHints& hints,
                              const PixelBuffer* from = nullptr) {
        for (const ReadWord& w : reader.read(from ? *from : picture, area, TextKind::OneNumber, hints)) {
            text += w.text;
            confidence = std::min(confidence, w.confidence);
        }
    };
    const auto read = [&](const PixelRect& area, std::string& text, double& confidence, const PixelBuffer* from = nullptr) {
        readWith(area, text, confidence, {}, from);
    };
    // A whole word read as a blot or a mark is read again with its edges sharpened.
    const auto readWord = [&](const PixelRect& area, std::string& text, double& confidence) {
        read(area, text, confidence);
        if (!blotOrMark(text)) return;
        std::string again;
        double againConfidence = 100;
        readWith(area, again, againConfidence, {0, "", true});
        if (!labelValues(again).empty() && !zeroFirst(again) && !fewerThanItsInk(again, area))
            text = std::move(again), confidence = againConfidence;
    };
    std::vector<ReadWord> labels;
    std::vector<double> localColumns;
    for (double c : columns) localColumns.push_back(c - left);
    std::vector<WordGroup> words;
    for (const WordGroup& joined : signsJoined(wordGroups(pieces)))
        for (WordGroup& w : partedAtColumns(joined, localColumns)) words.push_back(tickMarkCut(std::move(w)));
    for (const WordGroup& word : words) {
        if (std::any_of(word.parts.begin(), word.parts.end(), cut)) continue;
        std::string text;
        double confidence = 100;
        const FirmInk firm{picture, left, top};
        auto power = baseAndPower(word, part, Rise::Sure, firm);
        const bool barelyRaised = !power;
        if (barelyRaised) power = baseAndPower(word, part, Rise::OnePixel, firm);
        if (power) {
            const Piece& baseBox = power->first;
            const Piece& powerBox = power->second;
            // Each box padded but not into the other.
            PixelRect baseRect = padded(baseBox, left, top), powerRect = padded(powerBox, left, top);
            const double split = left + (baseBox.right + powerBox.left + 1) / 2.0;
            baseRect.width = std::min(baseRect.width, split - baseRect.left);
            powerRect.width -= std::max(0.0, split - powerRect.left);
            powerRect.left = std::max(powerRect.left, split);
            read(baseRect, text, confidence);
            if (barelyRaised && text != "10" && !tenWithMinus(text)) {
                // No exponent after all: the word is read whole.
                power.reset();
                text.clear();
                confidence = 100;
            } else {
                // A lone small digit is hard to read: the exponent is read grown to
                // the base's size and set on its line after it ("10" and "3" as "103").
                const PixelBuffer joined = onTheLine(picture, baseRect, powerRect);
                std::string whole;
                if (!joined.empty()) read({0, 0, double(joined.width()), double(joined.height())}, whole, confidence, &joined);
                // An exponent not read leaves the label unread: its base alone ("10") is no value.
                if (!text.empty() && whole.size() > text.size() && whole.compare(0, text.size(), text) == 0)
                    text = powerText(text, whole);
                else
                    text += "^?";
            }
        }
        if (!power) {
            readWord(padded(word.box, left, top), text, confidence);
            if (baseWithLostPower(text)) text = "10^?";
        }
        text = checkedAgainstInk(word, text);
        // A label not read at all still counts among those that do not agree.
        labels.push_back({text.empty() ? "?" : text, padded(word.box, left, top), text.empty() ? 0 : confidence, {}, {}});
    }
    return labels;
}

} // namespace calvero::capture
