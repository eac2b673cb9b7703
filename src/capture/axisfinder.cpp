#include "capture/axisfinder.h"

#include "capture/colourpieces.h"
#include "capture/pointexport.h"
#include "capture/textpieces.h"
#include "capture/tolerancechoice.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// An axis line runs across at least this share of the picture, broken by at most this many pixels.
constexpr double AxisShare = 0.3;
constexpr int AxisGap = 2;
// Of the longest lines across, those this long are the plots' lines; the lowest is the x axis.
constexpr double PlotLineShare = 0.9;
// The y axis starts within this share of the x axis's length from its left end.
constexpr double YAxisReach = 0.1;
// Tick marks are at least this long beyond the axis line, and looked for up to the longest.
constexpr int ShortestTick = 3;
constexpr int LongestTick = 20;
// The strip of the x axis's numbers: this share of the picture's height
// (at least this many pixels) below the ticks, this share of its width beyond each end.
constexpr double XLabelDepth = 0.08;
constexpr double LabelDepthAtLeast = 30;
constexpr double LabelOverhang = 0.05;
// The strip of the y axis's numbers reaches this share of the picture's width left of the ticks.
constexpr double YLabelWidth = 0.2;
// A label's place moves to a tick this near it (a share of its own size).
constexpr double TickSnap = 0.25;

// A straight line: its place across (rows or columns from..to) and its reach along.
struct Line {
    int from, to; // across, both included
    int first, last; // along
    double middle() const { return (from + to + 1) / 2.0; }
};

// The long lines along one direction: for each row (or column) its longest
// stretch of ink, neighbours with one joined into a thicker line.
template <typename Inked>
std::vector<Line> longLines(int count, int length, Inked inked)
{
    std::vector<Line> lines;
    const int shortest = static_cast<int>(AxisShare * length);
    for (int across = 0; across < count; ++across) {
        int best = 0, bestFirst = 0, start = -1, lastInk = -AxisGap - 2;
        for (int along = 0; along <= length; ++along) {
            const bool ink = along < length && inked(across, along);
            if (ink && along - lastInk - 1 > AxisGap) start = along;
            if (ink) lastInk = along;
            if ((!ink && along - lastInk > AxisGap) || along == length) {
                if (start >= 0 && lastInk - start + 1 > best) best = lastInk - start + 1, bestFirst = start;
                start = -1;
            }
        }
        if (best < shortest) continue;
        if (!lines.empty() && lines.back().to == across - 1) {
            Line& l = lines.back();
            l.to = across;
            l.first = std::min(l.first, bestFirst);
            l.last = std::max(l.last, bestFirst + best - 1);
        } else {
            lines.push_back({across, across, bestFirst, bestFirst + best - 1});
        }
    }
    return lines;
}

struct Frame {
    Line xAxis;
    Line yAxis;
};

std::optional<Frame> frameOf(const PixelMask& ink)
{
    const std::vector<Line> across = longLines(ink.height(), ink.width(), [&](int y, int x) { return ink.at(x, y); });
    const std::vector<Line> down = longLines(ink.width(), ink.height(), [&](int x, int y) { return ink.at(x, y); });
    if (across.empty() || down.empty()) return std::nullopt;
    int longest = 0;
    for (const Line& l : across) longest = std::max(longest, l.last - l.first + 1);
    std::optional<Frame> frame;
    for (const Line& x : across) {
        if (x.last - x.first + 1 < PlotLineShare * longest) continue;
        const double reach = YAxisReach * (x.last - x.first + 1);
        for (const Line& y : down) {
            const bool atLeftEnd = y.middle() >= x.first - AxisGap - 2 && y.middle() <= x.first + reach;
            const bool meets = y.last >= x.from - AxisGap - 2 && y.first < x.from;
            if (!atLeftEnd || !meets) continue;
            if (!frame || x.from > frame->xAxis.from || (x.from == frame->xAxis.from && y.from < frame->yAxis.from))
                frame = Frame{x, y};
            break; // the leftmost that meets it
        }
    }
    return frame;
}

// A chart's area filled with a paper of its own (LibreOffice's grey): on a
// scan its grey axis lines blur into it, and its edges are the frame. Each
// pixel, averaged with its neighbours against the grain, is the area's when
// nearer its paper than the page's; rows and columns mostly of the area are
// the block of it.
constexpr double AreaRowShare = 0.3;
constexpr int AreaSmoothing = 1;

// The block of rows and columns mostly of the pixels set, when it fills
// enough of the picture without reaching its edges.
std::optional<Frame> blockOf(const PixelMask& set)
{
    const int w = set.width(), h = set.height();
    const auto longest = [](int count, auto share) {
        int bestFirst = -1, bestLast = -2, first = -1;
        for (int i = 0; i <= count; ++i) {
            const bool in = i < count && share(i) >= AreaRowShare;
            if (in && first < 0) first = i;
            if (!in && first >= 0) {
                if (i - 1 - first > bestLast - bestFirst) bestFirst = first, bestLast = i - 1;
                first = -1;
            }
        }
        return std::pair{bestFirst, bestLast};
    };
    const auto [top, bottom] = longest(h, [&](int y) {
        int n = 0;
        for (int x = 0; x < w; ++x) n += set.at(x, y);
        return double(n) / w;
    });
    if (bottom - top + 1 < AxisShare * h || top == 0 || bottom == h - 1) return std::nullopt;
    const auto [left, right] = longest(w, [&](int x) {
        int n = 0;
        for (int y = top; y <= bottom; ++y) n += set.at(x, y);
        return double(n) / (bottom - top + 1);
    });
    if (right - left + 1 < AxisShare * w || left == 0 || right == w - 1) return std::nullopt;
    return Frame{{bottom, bottom, left, right}, {left, left, top, bottom}};
}

std::optional<Frame> frameOfArea(const PixelBuffer& picture, const std::vector<Rgb>& papers)
{
    if (papers.size() < 2) return std::nullopt;
    const int w = picture.width(), h = picture.height();
    const auto channel = [](std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 255); };
    const auto squared = [](double a, double b, double c) { return a * a + b * b + c * c; };
    // Whichever of the two papers is the chart's, it is the one enclosed by the other.
    PixelMask nearerSecond(w, h), nearerFirst(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double sum[3] = {0, 0, 0};
            int n = 0;
            for (int dy = -AreaSmoothing; dy <= AreaSmoothing; ++dy)
                for (int dx = -AreaSmoothing; dx <= AreaSmoothing; ++dx)
                    if (picture.contains(x + dx, y + dy)) {
                        const std::uint32_t p = picture.pixel(x + dx, y + dy);
                        sum[0] += channel(p, 16), sum[1] += channel(p, 8), sum[2] += channel(p, 0), ++n;
                    }
            const double r = sum[0] / n, g = sum[1] / n, b = sum[2] / n;
            const double toFirst = squared(r - papers[0].red, g - papers[0].green, b - papers[0].blue);
            const double toSecond = squared(r - papers[1].red, g - papers[1].green, b - papers[1].blue);
            nearerSecond.set(x, y, toSecond < toFirst);
            nearerFirst.set(x, y, toFirst < toSecond);
        }
    if (auto frame = blockOf(nearerSecond)) return frame;
    return blockOf(nearerFirst);
}

// The middles of the tick marks along a line: runs of ink at least ShortestTick
// beyond it on either side; and how far they reach on the outer side (rows or columns).
struct Ticks {
    std::vector<double> places;
    int outward = 0;
};

template <typename Inked>
Ticks ticksAlong(const Line& line, int breadth, Inked inked, int outwardStep)
{
    Ticks ticks;
    const int outerEdge = outwardStep > 0 ? line.to : line.from;
    const int innerEdge = outwardStep > 0 ? line.from : line.to;
    const auto reach = [&](int along, int edge, int step) {
        int n = 0;
        for (int k = 1; k <= LongestTick; ++k) {
            const int a = edge + step * k;
            if (a < 0 || a >= breadth || !inked(along, a)) break;
            n = k;
        }
        return n;
    };
    int runStart = -1;
    for (int along = line.first; along <= line.last + 1; ++along) {
        const int out = along <= line.last ? reach(along, outerEdge, outwardStep) : 0;
        const int in = along <= line.last ? reach(along, innerEdge, -outwardStep) : 0;
        const bool tick = out >= ShortestTick || in >= ShortestTick;
        if (tick && out < LongestTick) ticks.outward = std::max(ticks.outward, out);
        if (tick && runStart < 0) runStart = along;
        if (!tick && runStart >= 0) {
            ticks.places.push_back((runStart + along) / 2.0);
            runStart = -1;
        }
    }
    return ticks;
}

// The tick a label stands at; with no tick, or two, within reach (a curve
// ending on the axis beside the tick), the label's own middle.
double snapped(double place, const std::vector<double>& ticks, double size)
{
    std::optional<double> best;
    for (double t : ticks)
        if (std::abs(t - place) <= TickSnap * size) {
            if (best) return place;
            best = t;
        }
    return best.value_or(place);
}

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The numeric words of a strip in the line of labels along the axis: under
// the x axis those whose tops line up with most of the numbers read, left of
// the y axis those flush right with them (a letter of a turned axis title,
// a number of the other axis at the corner, stand apart).
std::vector<ReadWord> numbersNearTheAxis(std::vector<ReadWord> words, bool xAxis)
{
    // Labels read in part (an exponent lost) stay, so that they count among those that do not agree.
    words.erase(std::remove_if(words.begin(), words.end(),
                               [](const ReadWord& w) {
                                   return labelValues(w.text).empty() && w.text.find_first_of("^?") == std::string::npos;
                               }),
                words.end());
    if (words.empty()) return words;
    std::vector<double> heights, edges, numberEdges;
    const auto edge = [&](const ReadWord& w) { return xAxis ? w.box.top : w.box.left + w.box.width; };
    for (const ReadWord& w : words) {
        heights.push_back(w.box.height);
        edges.push_back(edge(w));
        if (!labelValues(w.text).empty()) numberEdges.push_back(edge(w));
    }
    const double height = median(heights);
    const double line = median(numberEdges.empty() ? edges : numberEdges);
    words.erase(std::remove_if(words.begin(), words.end(),
                               [&](const ReadWord& w) { return std::abs(edge(w) - line) > (xAxis ? 0.8 : 0.6) * height; }),
                words.end());
    return words;
}

// The labels in a strip: the ink's pieces grouped into words, each read on
// its own as one number. An exponent set small and raised after its base
// (10³) is read apart from the base and joined with '^'.
constexpr int LabelPadding = 3;
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
    const int bw = int(base.width), bh = int(base.height);
    // Grown by the ratio of the glyphs' heights (the boxes carry the same padding).
    const double grow = std::max(1.0, (base.height - 2 * LabelPadding) / std::max(1.0, power.height - 2 * LabelPadding));
    const int gw = int(power.width * grow), gh = int(power.height * grow), gap = LabelPadding;
    PixelBuffer joined = *PixelBuffer::create(bw + gap + gw, std::max(bh, gh));
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

// A word's base and its raised exponent (10³), when it has one: the pieces
// at its right end whose foot stays above the baseline, or where a blurred
// scan joined the exponent to its base, the columns at its right end whose
// ink stays above the baseline and rises above the base's top.
std::optional<std::pair<Piece, Piece>> baseAndPower(const WordGroup& word, const PixelMask& part)
{
    int baseline = 0, tallest = 0;
    for (const Piece& p : word.parts) baseline = std::max(baseline, p.bottom), tallest = std::max(tallest, p.height());
    const double raised = baseline - ExponentRise * tallest;
    std::size_t base = word.parts.size();
    while (base > 1 && word.parts[base - 1].bottom < raised) --base;
    if (base < word.parts.size())
        return std::pair{boxOf({word.parts.begin(), word.parts.begin() + static_cast<std::ptrdiff_t>(base)}),
                         boxOf({word.parts.begin() + static_cast<std::ptrdiff_t>(base), word.parts.end()})};
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
    if (powerTop > baseBox.top - std::max(2.0, 0.1 * tallest)) return std::nullopt;
    return std::pair{baseBox, powerBox};
}

// A label read as "10" with a mark after it where its exponent stood (10°,
// 10*, 10?): a power of ten whose exponent was not read.
bool baseWithLostPower(const std::string& text)
{
    if (text.size() < 3 || text.compare(0, 2, "10") != 0 || text.find('^') != std::string::npos) return false;
    return std::none_of(text.begin() + 2, text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

std::vector<ReadWord> labelsIn(const PixelBuffer& picture, const PixelMask& ink, const PixelRect& strip, const TextReader& reader)
{
    const int left = std::max(0, static_cast<int>(strip.left)), top = std::max(0, static_cast<int>(strip.top));
    const int right = std::min(ink.width(), static_cast<int>(strip.left + strip.width));
    const int bottom = std::min(ink.height(), static_cast<int>(strip.top + strip.height));
    if (right - left < 2 || bottom - top < 2) return {};
    PixelMask part(right - left, bottom - top);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) part.set(x - left, y - top, ink.at(x, y));
    std::vector<Piece> pieces;
    for (const Piece& p : findPieces(part).pieces)
        if (p.pixels >= SmallestMark) pieces.push_back(p);
    const auto read = [&](const Piece& box, std::string& text, double& confidence) {
        for (const ReadWord& w : reader.read(picture, padded(box, left, top), TextKind::OneNumber)) {
            text += w.text;
            confidence = std::min(confidence, w.confidence);
        }
    };
    std::vector<ReadWord> labels;
    for (const WordGroup& word : wordGroups(pieces)) {
        std::string text;
        double confidence = 100;
        const auto power = baseAndPower(word, part);
        if (!power) {
            read(word.box, text, confidence);
            if (baseWithLostPower(text)) text = "10^?";
        } else {
            const Piece& baseBox = power->first;
            const Piece& powerBox = power->second;
            // Each box padded but not into the other.
            PixelRect baseRect = padded(baseBox, left, top), powerRect = padded(powerBox, left, top);
            const double split = left + (baseBox.right + powerBox.left + 1) / 2.0;
            baseRect.width = std::min(baseRect.width, split - baseRect.left);
            powerRect.width -= std::max(0.0, split - powerRect.left);
            powerRect.left = std::max(powerRect.left, split);
            for (const ReadWord& w : reader.read(picture, baseRect, TextKind::OneNumber)) {
                text += w.text;
                confidence = std::min(confidence, w.confidence);
            }
            // A lone small digit is hard to read: the exponent is read grown to
            // the base's size and set on its line after it ("10" and "3" as "103").
            const PixelBuffer joined = onTheLine(picture, baseRect, powerRect);
            std::string whole;
            for (const ReadWord& w : reader.read(joined, {0, 0, double(joined.width()), double(joined.height())}, TextKind::OneNumber)) {
                whole += w.text;
                confidence = std::min(confidence, w.confidence);
            }
            // An exponent not read leaves the label unread: its base alone ("10") is no value.
            if (!text.empty() && whole.size() > text.size() && whole.compare(0, text.size(), text) == 0)
                text += "^" + whole.substr(text.size());
            else
                text += "^?";
        }
        // A label not read at all still counts among those that do not agree.
        labels.push_back({text.empty() ? "?" : text, padded(word.box, left, top), text.empty() ? 0 : confidence, {}});
    }
    return labels;
}

std::string readingText(const AxisReading& reading)
{
    std::string agreed, left;
    for (const ReadTick& t : reading.ticks) {
        std::string& list = t.agrees ? agreed : left;
        list += (list.empty() ? "" : " ") + (t.agrees ? pointValueText(t.value) : t.text);
    }
    return "letti " + agreed + (left.empty() ? "" : "; scartati " + left);
}

} // namespace

std::optional<PlotFrame> findPlotFrame(const PixelBuffer& picture)
{
    if (picture.empty()) return std::nullopt;
    const std::vector<Rgb> papers = paperColours(picture);
    const PixelMask ink = inkPixels(picture, papers);
    std::optional<Frame> frame = frameOf(ink);
    if (!frame) frame = frameOfArea(picture, papers);
    if (!frame) return std::nullopt;
    return PlotFrame{frame->xAxis.middle(), frame->yAxis.middle(), double(frame->xAxis.first), double(frame->xAxis.last + 1),
                     double(frame->yAxis.first), double(frame->yAxis.last + 1)};
}

Checked<FoundAxes> findAxes(const PixelBuffer& picture, const TextReader& reader)
{
    if (picture.empty()) return failed<FoundAxes>("nessuna immagine da leggere");
    const std::vector<Rgb> papers = paperColours(picture);
    const PixelMask ink = inkPixels(picture, papers);
    std::optional<Frame> frame = frameOf(ink);
    if (!frame) frame = frameOfArea(picture, papers);
    if (!frame)
        return failed<FoundAxes>("assi non trovati: nessuna cornice né linea degli assi lunga almeno un terzo "
                                 "dell'immagine; indicare i riferimenti degli assi");
    const Line& xLine = frame->xAxis;
    const Line& yLine = frame->yAxis;
    const double w = picture.width(), h = picture.height();

    const Ticks xTicks = ticksAlong(xLine, picture.height(), [&](int x, int y) { return ink.at(x, y); }, +1);
    const double xTop = xLine.to + 1 + xTicks.outward + 1;
    const PixelRect xStrip{xLine.first - LabelOverhang * w, xTop, (xLine.last - xLine.first) + 2 * LabelOverhang * w,
                           std::max(LabelDepthAtLeast, XLabelDepth * h)};
    std::vector<TickLabel> xLabels;
    for (const ReadWord& word : numbersNearTheAxis(labelsIn(picture, ink, xStrip, reader), true))
        xLabels.push_back({snapped(word.box.left + word.box.width / 2, xTicks.places, word.box.width), word.text, word.confidence});

    const Ticks yTicks = ticksAlong(yLine, picture.width(), [&](int y, int x) { return ink.at(x, y); }, -1);
    const double yRight = yLine.from - 1 - yTicks.outward - 1;
    const double yLeft = std::max(0.0, yRight - YLabelWidth * w);
    const PixelRect yStrip{yLeft, yLine.first - LabelOverhang * h, yRight - yLeft,
                           (yLine.last - yLine.first) + 2 * LabelOverhang * h};
    std::vector<TickLabel> yLabels;
    for (const ReadWord& word : numbersNearTheAxis(labelsIn(picture, ink, yStrip, reader), false))
        yLabels.push_back({snapped(word.box.top + word.box.height / 2, yTicks.places, word.box.height), word.text, word.confidence});

    // A label's tick lies on its axis line: a number beyond the line's ends is the other axis's.
    const auto onTheLine = [](std::vector<TickLabel>& labels, const Line& line) {
        labels.erase(std::remove_if(labels.begin(), labels.end(),
                                    [&](const TickLabel& l) {
                                        return l.position < line.first - AxisGap - 1 || l.position > line.last + AxisGap + 1;
                                    }),
                     labels.end());
    };
    onTheLine(xLabels, xLine);
    onTheLine(yLabels, yLine);
    Checked<AxisReading> x = readAxis(xLabels, "x");
    Checked<AxisReading> y = readAxis(yLabels, "y");
    if (!x || !y) {
        std::string why = !x ? x.failure() : "";
        if (!y) why += (why.empty() ? "" : "; ") + y.failure();
        return failed<FoundAxes>(why + ": indicare i riferimenti degli assi");
    }
    FoundAxes found;
    found.frame = PlotFrame{xLine.middle(), yLine.middle(), double(xLine.first), double(xLine.last + 1), double(yLine.first),
                            double(yLine.last + 1)};
    found.references.x = {{x->first.position, xLine.middle()}, {x->second.position, xLine.middle()}, x->first.value,
                          x->second.value, x->scale};
    found.references.y = {{yLine.middle(), y->first.position}, {yLine.middle(), y->second.position}, y->first.value,
                          y->second.value, y->scale};
    if (auto problem = referencesProblem(found.references))
        return failed<FoundAxes>("assi letti ma non utilizzabili: " + *problem + "; indicare i riferimenti degli assi");
    found.x = std::move(*x);
    found.y = std::move(*y);
    return succeeded(std::move(found));
}

std::string axesReport(const FoundAxes& axes)
{
    const auto line = [](const std::string& name, const AxisReading& r, const AxisReference& ref) {
        const auto at = [](PixelPoint p) { return pointValueText(std::round(p.x * 10) / 10) + "," + pointValueText(std::round(p.y * 10) / 10); };
        return "asse " + name + (r.scale == AxisScale::Logarithmic ? " logaritmico" : " lineare") + ": " +
               pointValueText(ref.firstValue) + " in " + at(ref.first) + ", " + pointValueText(ref.secondValue) + " in " +
               at(ref.second) + " (" + readingText(r) + ")";
    };
    return line("x", axes.x, axes.references.x) + "\n" + line("y", axes.y, axes.references.y) + "\n";
}

} // namespace calvero::capture
