#include "capture/pagestructure.h"

#include "capture/colourpieces.h"
#include "capture/faintlines.h"
#include "capture/median.h"
#include "capture/pointexport.h"
#include "capture/tickmarkcharts.h"
#include "capture/tolerancechoice.h"
#include "capture/unionfind.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace calvero::capture {

namespace {

// A chart's line runs across at least this share of the page (and this many
// pixels), broken by at most this many pixels: a chart of a catalogue page
// with three side by side is a quarter of its width.
constexpr double LineShare = 0.12;
constexpr int ShortestLine = 40;
constexpr int LineGap = 2;
// No line is thicker than this share of the page (and the pixels).
constexpr double ThickestLineShare = 0.006;
constexpr int ThickestLineAtLeast = 10;
// Lines whose ends come this near each other touch: a tick mark at the
// corner prolongs a line, and axis lines set a little apart from each other
// (an offset spine) still make one chart.
constexpr int Touching = 22;
// A side's line, and a grid line, spans at least this share of the plot.
constexpr double EdgeSpan = 0.5;
// A box less than this share of the area of the chart it lies in (a
// legend's frame) is part of that chart; larger ones inside a box make the
// outer one a border round several charts.
constexpr double InnerShare = 0.25;
constexpr double FairShare = 0.08;
// A filled area is a chart's when this share of its box is of its paper.
constexpr double AreaFill = 0.6;
// A dashed grid spanning a filled area is its grid when the area fills this share of the grid's box.
constexpr double GridOverArea = 0.6;
// A pixel differing from the margin by more than this many times half the area's difference is ink on it.
constexpr double AreaInk = 4;

// A dashed line (a grid drawn dashed, with no frame round it) is ink broken
// by gaps up to this many pixels, inked over at least this share of its length.
constexpr int DashGap = 8;
constexpr double DashInk = 0.4;
// gnuplot's dashes scale with the resolution (at 300 dpi 10 pixels drawn, 18
// left out): sparser dashes are looked for where the dense ones make no chart,
// as a scan's grain strung along a row passes for them more easily.
constexpr double SparseDashGapShare = 0.01;
constexpr double SparseDashInk = 0.3;

// The long lines along one direction: for each row (or column) its longest
// stretch of ink broken by at most `gap` pixels and inked over at least
// `inkShare` of it, neighbours with one joined into a thicker line.
template <typename Inked>
std::vector<EdgeLine> longLines(int count, int length, int shortest, Inked inked, int gap = LineGap, double inkShare = 0)
{
    std::vector<EdgeLine> lines;
    std::vector<std::pair<int, int>> stretches; // this row's, first and last
    for (int across = 0; across < count; ++across) {
        stretches.clear();
        int start = -1, lastInk = -gap - 2, inkCount = 0;
        for (int along = 0; along <= length; ++along) {
            const bool ink = along < length && inked(across, along);
            if (ink && along - lastInk - 1 > gap) start = along, inkCount = 0;
            if (ink) lastInk = along, ++inkCount;
            if ((!ink && along - lastInk > gap) || along == length) {
                if (start >= 0 && lastInk - start + 1 >= shortest && inkCount >= inkShare * (lastInk - start + 1))
                    stretches.push_back({start, lastInk});
                start = -1;
            }
        }
        // Each stretch long enough (two charts side by side have a line each
        // on one row) joins a line of the row before that it overlaps.
        std::vector<EdgeLine> grown;
        for (const auto& [first, last] : stretches) {
            bool joined = false;
            for (EdgeLine& l : lines)
                if (l.to == across - 1 && first <= l.last && last >= l.first) {
                    l.to = across, l.first = std::min(l.first, first), l.last = std::max(l.last, last);
                    joined = true;
                    break;
                }
            if (!joined) grown.push_back({across, across, first, last, 0});
        }
        lines.insert(lines.end(), grown.begin(), grown.end());
    }
    return lines;
}

struct Box {
    double left, top, right, bottom;
    double area() const { return std::max(0.0, right - left) * std::max(0.0, bottom - top); }
    bool inside(const Box& b) const
    {
        return left >= b.left - Touching && right <= b.right + Touching && top >= b.top - Touching && bottom <= b.bottom + Touching;
    }
};

Box boxOf(const ChartFrame& c) { return {c.left, c.top, c.right, c.bottom}; }

bool overlap(const Box& a, const Box& b)
{
    return Box{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)}.area() > 0;
}

using LineGroup = std::pair<std::vector<const EdgeLine*>, std::vector<const EdgeLine*>>;

// Stacked panels (or charts side by side) whose frames come near enough to
// touch: the lines down all break at the rows between them (the lines across
// at the columns), so the group parts there, each part with its own lines.
std::vector<LineGroup> panelsOf(const std::vector<const EdgeLine*>& hs, const std::vector<const EdgeLine*>& vs)
{
    // The first gap in the rows (columns) the lines one way cover, between lines the other way.
    const auto gapIn = [](const std::vector<const EdgeLine*>& spanning, const std::vector<const EdgeLine*>& crossing) -> std::optional<int> {
        std::vector<std::pair<int, int>> spans;
        for (const EdgeLine* l : spanning) spans.push_back({l->first, l->last});
        std::sort(spans.begin(), spans.end());
        int reach = spans.empty() ? 0 : spans.front().second;
        for (const auto& [first, last] : spans) {
            if (first > reach + LineGap + 1) {
                const int cut = (reach + first) / 2;
                const bool before = std::any_of(crossing.begin(), crossing.end(), [&](const EdgeLine* l) { return l->to < cut; });
                const bool after = std::any_of(crossing.begin(), crossing.end(), [&](const EdgeLine* l) { return l->from > cut; });
                if (before && after) return cut;
            }
            reach = std::max(reach, last);
        }
        return std::nullopt;
    };
    const auto split = [](const std::vector<const EdgeLine*>& spanning, const std::vector<const EdgeLine*>& crossing, int cut) {
        std::pair<LineGroup, LineGroup> parts;
        for (const EdgeLine* l : spanning) (l->last < cut ? parts.first : parts.second).second.push_back(l);
        for (const EdgeLine* l : crossing) (l->to < cut ? parts.first : parts.second).first.push_back(l);
        return parts;
    };
    if (const std::optional<int> row = gapIn(vs, hs)) {
        auto [above, below] = split(vs, hs, *row);
        std::vector<LineGroup> out = panelsOf(above.first, above.second);
        for (LineGroup& g : panelsOf(below.first, below.second)) out.push_back(std::move(g));
        return out;
    }
    if (const std::optional<int> column = gapIn(hs, vs)) {
        auto [leftPart, rightPart] = split(hs, vs, *column);
        // Parts named (lines across, lines down): here the spanning lines are across.
        std::vector<LineGroup> out = panelsOf(leftPart.second, leftPart.first);
        for (LineGroup& g : panelsOf(rightPart.second, rightPart.first)) out.push_back(std::move(g));
        return out;
    }
    return {{hs, vs}};
}

std::optional<ChartFrame> chartOfLines(const PixelBuffer& picture, const std::vector<const EdgeLine*>& hs, const std::vector<const EdgeLine*>& vs);

// Lines across and down that touch or cross, grouped: each group with lines
// both ways is a chart (or several stacked panels, parted).
std::vector<ChartFrame> chartsOfLines(const PixelBuffer& picture, const std::vector<EdgeLine>& across,
                                      const std::vector<EdgeLine>& down)
{
    const std::size_t n = across.size();
    UnionFind groups(n + down.size());
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < down.size(); ++j) {
            const EdgeLine& h = across[i];
            const EdgeLine& v = down[j];
            if (v.to >= h.first - Touching && v.from <= h.last + Touching && h.to >= v.first - Touching && h.from <= v.last + Touching)
                groups.join(static_cast<int>(i), static_cast<int>(n + j));
        }
    std::vector<ChartFrame> charts;
    for (std::size_t root = 0; root < n; ++root) {
        if (groups.root(static_cast<int>(root)) != static_cast<int>(root)) continue;
        std::vector<const EdgeLine*> hs, vs;
        for (std::size_t i = 0; i < n; ++i)
            if (groups.root(static_cast<int>(i)) == static_cast<int>(root)) hs.push_back(&across[i]);
        for (std::size_t j = 0; j < down.size(); ++j)
            if (groups.root(static_cast<int>(n + j)) == static_cast<int>(root)) vs.push_back(&down[j]);
        for (const auto& [hp, vp] : panelsOf(hs, vs))
            if (std::optional<ChartFrame> chart = chartOfLines(picture, hp, vp)) charts.push_back(std::move(*chart));
    }
    return charts;
}

std::optional<ChartFrame> chartOfLines(const PixelBuffer& picture, const std::vector<const EdgeLine*>& hs, const std::vector<const EdgeLine*>& vs)
{
    if (vs.empty() || hs.empty()) return std::nullopt;
    int hFirst = hs[0]->first, hLast = hs[0]->last, vFirst = vs[0]->first, vLast = vs[0]->last;
    for (const EdgeLine* h : hs) hFirst = std::min(hFirst, h->first), hLast = std::max(hLast, h->last);
    for (const EdgeLine* v : vs) vFirst = std::min(vFirst, v->first), vLast = std::max(vLast, v->last);
    ChartFrame chart;
    // Each edge is the outermost line there, or where the lines the other way end.
    const auto outermost = [](const std::vector<const EdgeLine*>& lines, auto nearEdge, auto better) {
        const EdgeLine* best = nullptr;
        for (const EdgeLine* l : lines)
            if (nearEdge(*l) && (!best || better(*l, *best))) best = l;
        return best ? std::optional<EdgeLine>(*best) : std::nullopt;
    };
    // Where most lines across start and end (and down): a line prolonged by a label set against it (a
    // corner's number run into the frame by a scan's blur) moves the group's ends, not these.
    const auto typical = [](const std::vector<const EdgeLine*>& lines, auto end) {
        std::vector<double> ends;
        for (const EdgeLine* l : lines) ends.push_back(end(*l));
        return static_cast<int>(median(ends));
    };
    const int hStart = typical(hs, [](const EdgeLine& l) { return l.first; }), hEnd = typical(hs, [](const EdgeLine& l) { return l.last; });
    const int vStart = typical(vs, [](const EdgeLine& l) { return l.first; }), vEnd = typical(vs, [](const EdgeLine& l) { return l.last; });
    // A side's line down runs along most of the plot's height (a legend's box ends short).
    int hTop = hs[0]->from, hBottom = hs[0]->to;
    for (const EdgeLine* h : hs) hTop = std::min(hTop, h->from), hBottom = std::max(hBottom, h->to);
    const auto alongTheSide = [&](const EdgeLine& l) { return l.last - l.first >= EdgeSpan * (hBottom - hTop); };
    chart.leftLine = outermost(vs, [&](const EdgeLine& l) { return l.from <= hStart + Touching && alongTheSide(l); },
                               [](const EdgeLine& a, const EdgeLine& b) { return a.from < b.from; });
    chart.rightLine = outermost(vs, [&](const EdgeLine& l) { return l.to >= hEnd - Touching && alongTheSide(l); },
                                [](const EdgeLine& a, const EdgeLine& b) { return a.to > b.to; });
    chart.topLine = outermost(hs, [&](const EdgeLine& l) { return l.from <= vStart + Touching; },
                              [](const EdgeLine& a, const EdgeLine& b) { return a.from < b.from; });
    chart.bottomLine = outermost(hs, [&](const EdgeLine& l) { return l.to >= vEnd - Touching; },
                                 [](const EdgeLine& a, const EdgeLine& b) { return a.to > b.to; });
    for (auto* line : {&chart.leftLine, &chart.rightLine})
        if (*line) (*line)->centre = lineCentre(picture, **line, false);
    for (auto* line : {&chart.topLine, &chart.bottomLine})
        if (*line) (*line)->centre = lineCentre(picture, **line, true);
    // One line down is both the left and the right edge of nothing.
    if (chart.leftLine && chart.rightLine && chart.leftLine->from == chart.rightLine->from)
        (chart.leftLine->from - hFirst <= hLast - chart.rightLine->to ? chart.rightLine : chart.leftLine).reset();
    if (chart.topLine && chart.bottomLine && chart.topLine->from == chart.bottomLine->from)
        (chart.topLine->from - vFirst <= vLast - chart.bottomLine->to ? chart.bottomLine : chart.topLine).reset();
    chart.left = chart.leftLine ? chart.leftLine->centre : hFirst;
    chart.right = chart.rightLine ? chart.rightLine->centre : hLast + 1;
    chart.top = chart.topLine ? chart.topLine->centre : vFirst;
    chart.bottom = chart.bottomLine ? chart.bottomLine->centre : vLast + 1;
    // Grid lines cross most of the plot; a legend's box's edges are none.
    for (const EdgeLine* v : vs)
        if (v->last - v->first >= EdgeSpan * (chart.bottom - chart.top)) chart.gridColumns.push_back(lineCentre(picture, *v, false));
    for (const EdgeLine* h : hs)
        if (h->last - h->first >= EdgeSpan * (chart.right - chart.left)) chart.gridRows.push_back(lineCentre(picture, *h, true));
    if (chart.right - chart.left >= ShortestLine && chart.bottom - chart.top >= ShortestLine) return chart;
    return std::nullopt;
}

struct Margin {
    Rgb colour;
    double spread; // the grain's, in levels of its most spread channel
};

// The colour round the picture's edge (the median of each channel) and its grain.
Margin marginOf(const PixelBuffer& picture)
{
    const int w = picture.width(), h = picture.height();
    std::vector<int> edge[3];
    const auto take = [&](int x, int y) {
        for (int c = 0; c < 3; ++c) edge[c].push_back((picture.pixel(x, y) >> (16 - 8 * c)) & 255);
    };
    for (int x = 0; x < w; ++x) take(x, 0), take(x, h - 1);
    for (int y = 0; y < h; ++y) take(0, y), take(w - 1, y);
    int middle[3];
    double spread = 0;
    for (int c = 0; c < 3; ++c) {
        std::nth_element(edge[c].begin(), edge[c].begin() + static_cast<std::ptrdiff_t>(edge[c].size() / 2), edge[c].end());
        middle[c] = edge[c][edge[c].size() / 2];
        double squares = 0;
        std::size_t n = 0;
        for (int v : edge[c])
            if (std::abs(v - middle[c]) < 24) squares += double(v - middle[c]) * (v - middle[c]), ++n;
        spread = std::max(spread, n ? std::sqrt(squares / n) : 0.0);
    }
    return {{std::uint8_t(middle[0]), std::uint8_t(middle[1]), std::uint8_t(middle[2])}, spread};
}

// Areas filled with a paper of their own (a grey background under a white
// grid), found against the page's margin (the colour round the picture's
// edge): each pixel, averaged with its neighbours against the grain, is an
// area's when it differs from the margin by more than the grain does; the
// pixels joined across thin lines of the margin's colour (a white grid), the
// large, nearly full pieces are charts.
constexpr int AreaJoin = 3;

std::vector<ChartFrame> chartsOfAreas(const PixelBuffer& picture, int shortestAcross, int shortestDown)
{
    const int w = picture.width(), h = picture.height();
    if (w < 3 * AreaJoin || h < 3 * AreaJoin) return {};
    const Margin m = marginOf(picture);
    const double margin[3] = {double(m.colour.red), double(m.colour.green), double(m.colour.blue)}, spread = m.spread;
    // Averaged over 3 x 3 pixels the grain's spread is a third.
    const double threshold = std::max(5.0, 3 * spread / 3);
    PixelMask area(w, h);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            double sum[3] = {0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const std::uint32_t p = picture.pixel(x + dx, y + dy);
                    sum[0] += (p >> 16) & 255, sum[1] += (p >> 8) & 255, sum[2] += p & 255;
                }
            double d = 0;
            for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(sum[c] / 9 - margin[c]));
            area.set(x, y, d > threshold);
        }
    const PixelMask unjoined = area;
    widen(area, AreaJoin);
    // Ticks and marks touching the area widen its box: its edges are the
    // outermost rows and columns mostly of the area.
    const auto share = [&](int from, int to, auto at) {
        int n = 0;
        for (int i = from; i <= to; ++i) n += at(i);
        return double(n) / std::max(1, to - from + 1);
    };
    std::vector<ChartFrame> charts;
    const auto difference = [&](int x, int y) {
        const std::uint32_t q = picture.pixel(x, y);
        return std::max({std::abs(double((q >> 16) & 255) - margin[0]), std::abs(double((q >> 8) & 255) - margin[1]),
                         std::abs(double(q & 255) - margin[2])});
    };
    for (const Piece& p : findPieces(area).pieces) {
        int left = p.left + AreaJoin, right = p.right - AreaJoin, top = p.top + AreaJoin, bottom = p.bottom - AreaJoin;
        if (right - left + 1 < shortestAcross || bottom - top + 1 < shortestDown) continue;
        // The area's own difference from the margin, in its middle; a pixel of it differs by half that at least.
        std::vector<double> inside;
        for (int y = (3 * top + bottom) / 4; y <= (top + 3 * bottom) / 4; y += 4)
            for (int x = (3 * left + right) / 4; x <= (left + 3 * right) / 4; x += 4) inside.push_back(difference(x, y));
        // A pixel of the area differs by half that at least and twice that at
        // most: darker is ink (a scan's blurred numbers joined to the area by
        // their ticks fill the rows under it as much as the area does).
        const double half = median(inside) / 2;
        const auto ofArea = [&](int x, int y) {
            const double d = difference(x, y);
            return unjoined.at(x, y) && d > half && d < AreaInk * half;
        };
        const auto trimmed = [&](int& left, int& top, int& right, int& bottom) {
            for (bool moved = true; moved && left < right && top < bottom;) {
                moved = false;
                if (share(top, bottom, [&](int y) { return ofArea(left, y); }) < 0.5) ++left, moved = true;
                if (share(top, bottom, [&](int y) { return ofArea(right, y); }) < 0.5) --right, moved = true;
                if (share(left, right, [&](int x) { return ofArea(x, top); }) < 0.5) ++top, moved = true;
                if (share(left, right, [&](int x) { return ofArea(x, bottom); }) < 0.5) --bottom, moved = true;
            }
        };
        trimmed(left, top, right, bottom);
        if (right - left + 1 < shortestAcross || bottom - top + 1 < shortestDown) continue;
        // The page's own background reaches the picture's edges; a chart's area, trimmed of the specks
        // joined to it (a scan's shaded edge, or one brought in by the page's turn), does not.
        if (left <= 1 || top <= 1 || right >= w - 2 || bottom >= h - 2) continue;
        if (p.pixels < AreaFill * p.width() * double(p.height())) continue;
        // Stacked panels joined by their labels across the narrow gap between
        // them: a band of rows of the margin's colour, thicker than any line
        // (a white grid's), parts the area.
        const int gap = std::max(5, static_cast<int>(ThickestLineShare * std::max(w, h)));
        const auto margin = [&](int y) { return share(left, right, [&](int x) { return ofArea(x, y); }) < 0.5; };
        int from = top;
        for (int y = top; y <= bottom + 1; ++y) {
            if (y <= bottom && !margin(y)) continue;
            int band = 0;
            while (y + band <= bottom && margin(y + band)) ++band;
            if (y <= bottom && band < gap) {
                y += band;
                continue;
            }
            int l = left, t = from, r = right, b = y - 1;
            from = y + band;
            y += std::max(0, band - 1);
            if (b - t + 1 < shortestDown) continue;
            trimmed(l, t, r, b);
            if (r - l + 1 < shortestAcross || b - t + 1 < shortestDown) continue;
            ChartFrame chart;
            chart.left = l, chart.right = r + 1, chart.top = t, chart.bottom = b + 1;
            charts.push_back(chart);
        }
    }
    return charts;
}

// Left to right, top to bottom: charts whose rows overlap by half make one
// row of the page. The charts' indices in that order.
std::vector<std::size_t> readingOrderOf(const std::vector<ChartFrame>& charts)
{
    std::vector<std::size_t> byTop(charts.size());
    for (std::size_t i = 0; i < byTop.size(); ++i) byTop[i] = i;
    std::stable_sort(byTop.begin(), byTop.end(), [&](std::size_t a, std::size_t b) { return charts[a].top < charts[b].top; });
    std::vector<int> row(charts.size(), 0);
    double rowMiddle = 0;
    for (std::size_t k = 0; k < byTop.size(); ++k) {
        const ChartFrame& c = charts[byTop[k]];
        if (k) row[byTop[k]] = row[byTop[k - 1]] + (c.top > rowMiddle ? 1 : 0);
        if (!k || row[byTop[k]] != row[byTop[k - 1]]) rowMiddle = (c.top + c.bottom) / 2;
    }
    std::vector<std::size_t> order = byTop;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return row[a] != row[b] ? row[a] < row[b] : charts[a].left < charts[b].left;
    });
    return order;
}

void readingOrder(std::vector<ChartFrame>& charts)
{
    std::vector<ChartFrame> sorted;
    for (std::size_t i : readingOrderOf(charts)) sorted.push_back(charts[i]);
    charts = std::move(sorted);
}

} // namespace

double lineCentre(const PixelBuffer& picture, const EdgeLine& line, bool across)
{
    std::vector<double> centres;
    const auto at = [&](int along, int a) { return across ? picture.pixel(along, a) : picture.pixel(a, along); };
    const int breadth = across ? picture.height() : picture.width();
    const int lo = std::max(0, line.from - 1), hi = std::min(breadth - 1, line.to + 1);
    for (int along = line.first; along <= line.last; ++along) {
        // The paper on each side of the line, each pixel weighed against its
        // own side's: a frame between a white page and a grey plot area
        // would otherwise take the area's first pixels for ink and lie a
        // third of a pixel inward.
        const double before = lo - 1 >= 0 ? luminance(at(along, lo - 1)) : -1;
        const double after = hi + 1 < breadth ? luminance(at(along, hi + 1)) : -1;
        if (before < 0 && after < 0) continue;
        const double paperBefore = before < 0 ? after : before, paperAfter = after < 0 ? before : after;
        double sum = 0, weighted = 0;
        for (int a = lo; a <= hi; ++a) {
            const double paper = 2 * a < lo + hi ? paperBefore : 2 * a > lo + hi ? paperAfter : std::max(paperBefore, paperAfter);
            const double dark = std::max(0.0, paper - luminance(at(along, a)));
            sum += dark, weighted += dark * (a + 0.5);
        }
        if (sum > 0) centres.push_back(weighted / sum);
    }
    return centres.empty() ? (line.from + line.to + 1) / 2.0 : median(std::move(centres));
}

std::vector<Rgb> pagePapers(const PixelBuffer& picture)
{
    constexpr double WhiteShare = 0.1;
    constexpr int WhiteAtLeast = 250;
    constexpr double SamePaper = 3;
    std::vector<Rgb> papers = paperColours(picture);
    const Rgb white{255, 255, 255};
    if (std::any_of(papers.begin(), papers.end(), [&](Rgb p) { return colourDistance(p, white) <= SamePaper; })) return papers;
    long long whites = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint32_t* row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x)
            whites += ((row[x] >> 16) & 255) >= WhiteAtLeast && ((row[x] >> 8) & 255) >= WhiteAtLeast && (row[x] & 255) >= WhiteAtLeast;
    }
    if (whites >= WhiteShare * picture.width() * double(picture.height())) papers.push_back(white);
    return papers;
}

namespace {

// A pixel's difference from the nearest paper: its most different channel.
int fromPaper(std::uint32_t p, const std::vector<Rgb>& papers)
{
    int nearest = 255;
    for (const Rgb& q : papers)
        nearest = std::min(nearest, std::max({std::abs(int((p >> 16) & 255) - q.red), std::abs(int((p >> 8) & 255) - q.green),
                                              std::abs(int(p & 255) - q.blue)}));
    return nearest;
}

// Ink differs from the paper by this many levels at least, and this many times the grain's spread.
constexpr int InkLevels = 14;
constexpr double InkGrains = 4;
// Pixels this near a paper are its grain, when its spread is measured.
constexpr int GrainReach = 24;

} // namespace

PixelMask structureInk(const PixelBuffer& picture, const std::vector<Rgb>& papers)
{
    const int w = picture.width(), h = picture.height();
    double squares = 0;
    long long n = 0;
    for (int y = 0; y < h; y += 3)
        for (int x = 0; x < w; x += 3)
            if (const int d = fromPaper(picture.pixel(x, y), papers); d < GrainReach) squares += double(d) * d, ++n;
    const double grain = n ? std::sqrt(squares / n) : 0;
    const int threshold = std::max(InkLevels, static_cast<int>(std::ceil(InkGrains * grain)));
    PixelMask ink(w, h);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = picture.row(y);
        unsigned char* out = ink.row(y);
        for (int x = 0; x < w; ++x) out[x] = fromPaper(row[x], papers) > threshold;
    }
    return ink;
}

std::vector<ChartFrame> findCharts(const PixelBuffer& picture)
{
    if (picture.empty()) return {};
    const std::vector<Rgb> papers = pagePapers(picture);
    return findCharts(picture, structureInk(picture, papers));
}

std::vector<ChartFrame> findCharts(const PixelBuffer& picture, const PixelMask& ink)
{
    const int w = ink.width(), h = ink.height();
    if (w == 0 || h == 0) return {};
    const int shortestAcross = std::max(ShortestLine, static_cast<int>(LineShare * w));
    const int shortestDown = std::max(ShortestLine, static_cast<int>(LineShare * h));
    // A band thicker than any line drawn is a filled area (found as one below), or ink run together.
    const int thickest = std::max(ThickestLineAtLeast, static_cast<int>(ThickestLineShare * std::max(w, h)));
    const auto linesOf = [&](int gap, double inkShare) {
        std::vector<EdgeLine> across = longLines(h, w, shortestAcross, [&](int y, int x) { return ink.at(x, y); }, gap, inkShare);
        std::vector<EdgeLine> down = longLines(w, h, shortestDown, [&](int x, int y) { return ink.at(x, y); }, gap, inkShare);
        for (std::vector<EdgeLine>* lines : {&across, &down})
            lines->erase(std::remove_if(lines->begin(), lines->end(), [&](const EdgeLine& l) { return l.to - l.from + 1 > thickest; }),
                         lines->end());
        return chartsOfLines(picture, across, down);
    };
    std::vector<ChartFrame> found = linesOf(LineGap, 0);
    const std::vector<ChartFrame> solid = found;
    // Dashed lines only where no solid ones make a chart: a frameless chart's
    // dashed grid, alone or beside framed charts on a catalogue page.
    std::vector<ChartFrame> dashes;
    const std::vector<ChartFrame> dashedGrids = linesOf(DashGap, DashInk);
    // Axis lines drawn solid under a dashed grid reaching beyond them, up or
    // right, where no frame line closes the plot (pieces of the dashed lines
    // that a scan's blur made solid ended it at one of them): the grid's last
    // lines close it, where its box holds no other chart of a fair size.
    for (ChartFrame& c : found) {
        const Box b = boxOf(c);
        if (!c.leftLine || !c.bottomLine || c.bottomLine->last - c.bottomLine->first < EdgeSpan * (b.right - b.left)) continue;
        const bool topDrawn = c.topLine && c.topLine->last - c.topLine->first >= EdgeSpan * (b.right - b.left);
        for (const ChartFrame& dashed : dashedGrids) {
            const Box d = boxOf(dashed);
            const bool up = !topDrawn && d.top < b.top - Touching, right = !c.rightLine && d.right > b.right + Touching;
            if (!(up || right) || !b.inside(d) || d.left > b.left + LineGap || d.bottom < b.bottom - LineGap) continue;
            const bool alone = std::none_of(found.begin(), found.end(), [&](const ChartFrame& o) {
                return &o != &c && overlap(boxOf(o), d) && boxOf(o).area() >= InnerShare * d.area();
            });
            if (!alone) continue;
            if (up) c.top = dashed.top, c.topLine = dashed.topLine;
            if (right) c.right = dashed.right, c.rightLine = dashed.rightLine;
            const auto add = [](std::vector<double>& lines, const std::vector<double>& more, double from, double to) {
                for (double m : more)
                    if (m >= from - LineGap && m <= to + LineGap &&
                        std::none_of(lines.begin(), lines.end(), [&](double l) { return std::abs(l - m) <= LineGap; }))
                        lines.push_back(m);
            };
            add(c.gridRows, dashed.gridRows, c.top, c.bottom);
            add(c.gridColumns, dashed.gridColumns, c.left, c.right);
            break;
        }
    }
    for (const ChartFrame& dashed : dashedGrids) {
        const bool apart = std::none_of(found.begin(), found.end(), [&](const ChartFrame& c) { return overlap(boxOf(dashed), boxOf(c)); });
        if (apart) dashes.push_back(dashed);
    }
    if (found.empty() && dashes.empty())
        dashes = linesOf(std::max(DashGap, static_cast<int>(SparseDashGapShare * std::max(w, h))), SparseDashInk);
    const auto sameBox = [](const ChartFrame& a, const ChartFrame& b) { return boxOf(a).inside(boxOf(b)) && boxOf(b).inside(boxOf(a)); };
    for (const ChartFrame& area : chartsOfAreas(picture, shortestAcross, shortestDown)) {
        // A filled area with a frame drawn round it is that frame's chart.
        const auto frames = [&](const ChartFrame& c) { return sameBox(area, c); };
        if (std::any_of(found.begin(), found.end(), frames) || std::any_of(dashes.begin(), dashes.end(), frames)) continue;
        // A dashed grid reaching the area's edges both ways is its grid (a
        // white plot on a grey page, its edge too faint to be a line; the
        // grid's box prolonged by the numbers its lines run into): the charts
        // found inside the area are pieces of that grid, parted where a dash's
        // gap was a pixel wider than a solid line's breaks. Only a grid of
        // broken lines: a solid frame is found with the dashes too (a tinted
        // panel inside a page's border holds charts of its own).
        const auto spans = [&](const ChartFrame& c) {
            return boxOf(area).inside(boxOf(c)) && boxOf(area).area() >= GridOverArea * boxOf(c).area() &&
                   std::none_of(solid.begin(), solid.end(), [&](const ChartFrame& f) { return sameBox(f, c); });
        };
        if (std::any_of(dashedGrids.begin(), dashedGrids.end(), spans)) {
            const auto inside = [&](const ChartFrame& c) { return boxOf(c).inside(boxOf(area)); };
            std::erase_if(found, inside);
            std::erase_if(dashes, inside);
        }
        found.push_back(area);
    }
    found.insert(found.end(), dashes.begin(), dashes.end());
    // Charts drawn with tick marks only, where nothing else makes a chart (a legend's frame inside one does not count).
    for (const ChartFrame& marked : chartsOfTickMarks(picture, ink)) {
        const bool apart = std::none_of(found.begin(), found.end(), [&](const ChartFrame& c) {
            const bool legend = boxOf(c).inside(boxOf(marked)) && boxOf(c).area() < InnerShare * boxOf(marked).area();
            return overlap(boxOf(marked), boxOf(c)) && !legend;
        });
        if (apart) found.push_back(marked);
    }
    // Where nothing makes a chart, lines too faint for the grain (a light
    // grid on a grey scan, no frame), found by their rows and columns.
    if (found.empty()) {
        const FaintLineInk faint = faintLineInk(picture);
        std::vector<EdgeLine> across = longLines(h, w, shortestAcross, [&](int y, int x) { return faint.across.at(x, y); });
        std::vector<EdgeLine> down = longLines(w, h, shortestDown, [&](int x, int y) { return faint.down.at(x, y); });
        for (std::vector<EdgeLine>* lines : {&across, &down})
            std::erase_if(*lines, [&](const EdgeLine& l) { return l.to - l.from + 1 > thickest; });
        found = chartsOfLines(picture, across, down);
    }
    // A small box inside a chart is part of it (a legend's frame); a box
    // holding one large box, or two or more of a fair size, is a border round charts.
    const auto within = [&](std::size_t inner, std::size_t outer) {
        const Box a = boxOf(found[inner]), b = boxOf(found[outer]);
        return inner != outer && a.inside(b) && !(b.inside(a) && inner < outer);
    };
    const auto share = [&](std::size_t inner, std::size_t outer) { return boxOf(found[inner]).area() / boxOf(found[outer]).area(); };
    std::vector<bool> border(found.size(), false);
    for (std::size_t o = 0; o < found.size(); ++o) {
        std::size_t fair = 0;
        for (std::size_t i = 0; i < found.size(); ++i)
            if (within(i, o)) {
                if (share(i, o) >= InnerShare) border[o] = true;
                if (share(i, o) >= FairShare) ++fair;
            }
        if (fair >= 2) border[o] = true;
    }
    std::vector<ChartFrame> charts;
    for (std::size_t i = 0; i < found.size(); ++i) {
        bool keep = !border[i];
        for (std::size_t o = 0; o < found.size() && keep; ++o)
            if (within(i, o) && !border[o]) keep = false;
        if (keep) charts.push_back(found[i]);
    }
    readingOrder(charts);
    return charts;
}

std::optional<std::size_t> chartAt(const std::vector<ChartFrame>& charts, PixelPoint point)
{
    for (std::size_t i = 0; i < charts.size(); ++i)
        if (point.x >= charts[i].left && point.x <= charts[i].right && point.y >= charts[i].top && point.y <= charts[i].bottom)
            return i;
    return std::nullopt;
}

PixelRect areaOf(const ChartFrame& c) { return {c.left, c.top, c.right - c.left, c.bottom - c.top}; }

std::string placeText(const PixelRect& r)
{
    const auto at = [](double x, double y) { return pointValueText(std::round(x)) + "," + pointValueText(std::round(y)); };
    return at(r.left, r.top) + " - " + at(r.left + r.width, r.top + r.height);
}

std::string chartListText(const std::vector<ChartFrame>& charts)
{
    std::string text;
    for (std::size_t i = 0; i < charts.size(); ++i)
        text += std::to_string(i + 1) + " (" +
                placeText(areaOf(charts[i])) + ")\n";
    return text;
}

namespace {

// Turns are looked for in these steps, first coarse, then around the best.
constexpr double LargestTurn = 3.0;
constexpr double CoarseStep = 0.1;
constexpr double FineStep = 0.01;
// The turn is measured on the page shrunk to at most this many pixels across.
constexpr int TurnPixels = 1200;
// The ink a turn is measured on is this many levels darker than the paper:
// a light grey grid's too, far above a scan's grain.
constexpr double TurnInk = 30;
// A line blurred over two rows is long when the two together hold this
// many times what one row of a sharp line must: a little more, so that two
// rows of a line of text do not pass for a line.
constexpr double BlurredLineRows = 1.25;
// Below this turn a page is taken as drawn straight.
constexpr double NoTurn = 0.04;

// Coloured ink outside every chart found makes a curve there when it
// reaches this share of the page across and this share down, on cells of
// this share of the page, filling less than this share of its box.
constexpr double OutsideCell = 0.01;
constexpr double OutsideAcross = 0.1;
constexpr double OutsideDown = 0.04;
constexpr double OutsideFill = 0.5;

// A page's structure (frames, axis lines, grids, text) is black or grey;
// coloured ink is curves, whose slopes say nothing of the page's turn.
constexpr int ColouredInk = 60;
bool coloured(std::uint32_t p)
{
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    return std::max({r, g, b}) - std::min({r, g, b}) > ColouredInk;
}

} // namespace

double pageTurn(const PixelBuffer& picture, const std::vector<Rgb>& papers)
{
    if (picture.width() < 8 || picture.height() < 8) return 0;
    const int step = std::max(1, std::max(picture.width(), picture.height()) / TurnPixels);
    double paper = 0;
    for (const Rgb& p : papers) paper = std::max(paper, luminance(argbOf(p)));
    // The page round a grey plot area filling most of it is lighter than the area, its lines darker.
    paper = std::max(paper, luminance(argbOf(marginOf(picture).colour)));
    // The ink, sampled on a coarse grid, as points of the shrunk page.
    std::vector<std::pair<float, float>> points;
    for (int y = 0; y < picture.height(); y += step)
        for (int x = 0; x < picture.width(); x += step)
            if (const std::uint32_t q = picture.pixel(x, y); luminance(q) < paper - TurnInk && !coloured(q))
                points.push_back({float(x / step), float(y / step)});
    if (points.size() < 100) return 0;
    const int rows = picture.height() / step + picture.width() / step + 4;
    std::vector<double> histogram(static_cast<std::size_t>(2 * rows));
    double fullest = 0; // the most filled row (or column) at the last turn tried
    const auto evenness = [&](double degrees, bool down = false) {
        std::fill(histogram.begin(), histogram.end(), 0.0);
        const double s = std::sin(degrees * std::numbers::pi / 180), c = std::cos(degrees * std::numbers::pi / 180);
        for (const auto& [x, y] : points) {
            const double row = (down ? x * c + y * s : -x * s + y * c) + rows;
            const int r = static_cast<int>(row);
            const double f = row - r;
            if (r >= 0 && r + 1 < static_cast<int>(histogram.size())) histogram[std::size_t(r)] += 1 - f, histogram[std::size_t(r + 1)] += f;
        }
        // The rows' sharpness: a thin line on one row gives a steep step, a
        // broad blob of ink (a dark band, a filled legend) hardly any, so
        // the lines set the turn rather than the blobs.
        double sum = 0;
        fullest = 0;
        for (std::size_t i = 1; i < histogram.size(); ++i) {
            sum += (histogram[i] - histogram[i - 1]) * (histogram[i] - histogram[i - 1]);
            // A scan's blur spreads a thin line over two rows, each holding about half of it.
            fullest = std::max({fullest, histogram[i], (histogram[i] + histogram[i - 1]) / BlurredLineRows});
        }
        return sum;
    };
    double best = 0, bestScore = evenness(0);
    for (double d = -LargestTurn; d <= LargestTurn + 1e-9; d += CoarseStep)
        if (const double score = evenness(d); score > bestScore) best = d, bestScore = score;
    // A best turn at the end of the range is no peak: the ink's slopes (curves) climbing on, not a page turned.
    if (std::abs(best) > LargestTurn - CoarseStep / 2) return 0;
    const double around = best;
    for (double d = around - CoarseStep; d <= around + CoarseStep + 1e-9; d += FineStep)
        if (const double score = evenness(d); score > bestScore) best = d, bestScore = score;
    if (std::abs(best) < NoTurn) return 0;
    // Only long lines both ways tell a turn (a chart's frame, axis lines or
    // grid): on a page without them (a frameless chart of slanting curves
    // over a grey area) the best turn lines up bits of text and a curve's
    // straight stretch by chance, and the page is taken as drawn.
    evenness(best);
    const double longestAcross = fullest;
    evenness(best, true);
    return longestAcross >= LineShare * (picture.width() / step) && fullest >= LineShare * (picture.height() / step) ? best : 0;
}

Rgb marginColour(const PixelBuffer& picture) { return picture.empty() ? Rgb{255, 255, 255} : marginOf(picture).colour; }

PixelPoint onTheOriginal(PixelPoint turned, double degrees, int width, int height)
{
    const double s = std::sin(degrees * std::numbers::pi / 180), c = std::cos(degrees * std::numbers::pi / 180);
    const double cx = width / 2.0, cy = height / 2.0, u = turned.x - cx, v = turned.y - cy;
    return {cx + u * c - v * s, cy + u * s + v * c};
}

PixelBuffer turnedBack(const PixelBuffer& picture, double degrees)
{
    // Beyond its edge the page continues mirrored: a scan's grain and tint go on
    // into the corners, where a flat colour would be read as a filled area's edge.
    const auto mirrored = [](int i, int n) {
        if (n == 1) return 0;
        const int period = 2 * n;
        i = ((i % period) + period) % period;
        return i < n ? i : period - 1 - i;
    };
    PixelBuffer out = *PixelBuffer::create(picture.width(), picture.height());
    for (int y = 0; y < out.height(); ++y) {
        std::uint32_t* row = out.row(y);
        for (int x = 0; x < out.width(); ++x) {
            // Pixel centres: the sample at the original's point for this centre.
            const PixelPoint at = onTheOriginal({x + 0.5, y + 0.5}, degrees, out.width(), out.height());
            const double px = at.x - 0.5, py = at.y - 0.5;
            const int x0 = static_cast<int>(std::floor(px)), y0 = static_cast<int>(std::floor(py));
            const double fx = px - x0, fy = py - y0;
            double sum[3] = {0, 0, 0};
            for (int dy = 0; dy <= 1; ++dy)
                for (int dx = 0; dx <= 1; ++dx) {
                    const double w = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy);
                    const std::uint32_t p = picture.pixel(mirrored(x0 + dx, picture.width()), mirrored(y0 + dy, picture.height()));
                    sum[0] += w * ((p >> 16) & 255), sum[1] += w * ((p >> 8) & 255), sum[2] += w * (p & 255);
                }
            row[x] = 0xff000000u | std::uint32_t(sum[0] + 0.5) << 16 | std::uint32_t(sum[1] + 0.5) << 8 | std::uint32_t(sum[2] + 0.5);
        }
    }
    return out;
}

std::vector<PixelRect> curveInkOutside(const PixelBuffer& picture, const std::vector<ChartFrame>& charts)
{
    const int w = picture.width(), h = picture.height();
    std::vector<PixelRect> found;
    if (w < 8 || h < 8) return found;
    // Coloured ink counted on cells of a coarse grid, each cell joined to
    // its neighbours', so that a dashed or dotted curve holds together.
    const int cell = std::max(4, static_cast<int>(OutsideCell * std::max(w, h)));
    const int cw = (w + cell - 1) / cell, ch = (h + cell - 1) / cell;
    const auto inAChart = [&](int x, int y) {
        return std::any_of(charts.begin(), charts.end(), [&](const ChartFrame& c) {
            return x >= c.left - Touching && x <= c.right + Touching && y >= c.top - Touching && y <= c.bottom + Touching;
        });
    };
    PixelMask inked(cw, ch), joined(cw, ch);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!inked.at(x / cell, y / cell) && coloured(picture.pixel(x, y)) && !inAChart(x, y)) inked.set(x / cell, y / cell, true);
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            if (inked.at(x, y))
                for (int v = std::max(0, y - 1); v <= std::min(ch - 1, y + 1); ++v)
                    for (int u = std::max(0, x - 1); u <= std::min(cw - 1, x + 1); ++u) joined.set(u, v, true);
    for (const Piece& p : findPieces(joined).pieces) {
        // A curve reaches across and up or down the page, thinly (a legend's
        // sample, a coloured word or a coloured axis's numbers do not; a
        // logo or a coloured band is filled).
        const int across = p.width() - 2, down = p.height() - 2;
        long long cells = 0;
        for (int y = p.top; y <= p.bottom; ++y)
            for (int x = p.left; x <= p.right; ++x) cells += inked.at(x, y);
        if (across * cell >= OutsideAcross * w && down * cell >= OutsideDown * h && cells < OutsideFill * double(across) * down)
            found.push_back({double((p.left + 1) * cell), double((p.top + 1) * cell), double(across * cell), double(down * cell)});
    }
    return found;
}

std::optional<std::size_t> placeAmongCharts(const std::vector<ChartFrame>& charts, const PixelRect& lines, int height)
{
    const double left = lines.left, top = lines.top, right = lines.left + lines.width, bottom = lines.top + lines.height;
    const auto acrossOverlap = [&](const ChartFrame& c) { return c.left < right && c.right > left; };
    const auto downOverlap = [&](const ChartFrame& c) { return c.top < bottom && c.bottom > top; };
    // How far the unseen frame may reach each way: up to the nearest chart it would run into, or the page's edge.
    double upTo = 0, downTo = height, leftTo = 0;
    for (const ChartFrame& c : charts) {
        if (acrossOverlap(c) && downOverlap(c)) return std::nullopt;
        if (acrossOverlap(c) && c.bottom <= top) upTo = std::max(upTo, c.bottom);
        if (acrossOverlap(c) && c.top >= bottom) downTo = std::min(downTo, c.top);
        if (downOverlap(c) && c.right <= left) leftTo = std::max(leftTo, c.right);
    }
    // The charts found must stand in reading order among themselves, as they were numbered.
    const std::vector<std::size_t> found = readingOrderOf(charts);
    for (std::size_t i = 0; i < found.size(); ++i)
        if (found[i] != i) return std::nullopt;
    // Reading order goes by a chart's top, its rows' middles and its left
    // edge: the reaches are tried at their ends and on either side of every
    // other chart's top, row middle and left edge, where the order may turn.
    const auto within = [](double v, double from, double to) { return v >= from && v <= to; };
    std::vector<double> tops = {top, upTo}, lefts = {left, leftTo};
    for (const ChartFrame& c : charts)
        for (const double d : {-0.5, 0.5}) {
            for (const double t : {c.top + d, (c.top + c.bottom) / 2 + d})
                if (within(t, upTo, top)) tops.push_back(t);
            if (within(c.left + d, leftTo, left)) lefts.push_back(c.left + d);
        }
    std::optional<std::size_t> place;
    for (const double t : tops) {
        std::vector<double> bottoms = {bottom, downTo};
        for (const ChartFrame& c : charts)
            for (const double d : {-1.0, 1.0})
                if (within(2 * c.top - t + d, bottom, downTo)) bottoms.push_back(2 * c.top - t + d);
        for (const double b : bottoms)
            for (const double l : lefts) {
                std::vector<ChartFrame> page = charts;
                ChartFrame unseen;
                unseen.left = l, unseen.top = t, unseen.right = std::max(right, l + 1), unseen.bottom = b;
                page.push_back(unseen);
                std::vector<std::size_t> order = readingOrderOf(page);
                const auto at = std::size_t(std::find(order.begin(), order.end(), charts.size()) - order.begin());
                // The unseen chart may not shift the others' order either.
                order.erase(order.begin() + std::ptrdiff_t(at));
                for (std::size_t i = 0; i < order.size(); ++i)
                    if (order[i] != i) return std::nullopt;
                if (place && *place != at) return std::nullopt;
                place = at;
            }
    }
    return place;
}

namespace {

// A dark curve crosses most of its columns in one or two runs of ink; an
// edge of its box inked over this share is a drawn line (a frame, a rule).
constexpr double StrokeColumns = 0.9;
constexpr double DrawnEdge = 0.5;

// Whether a piece (its pixels alone, set in `mask`, the piece's box) is a curve's stroke.
bool curveStroke(const PixelMask& mask)
{
    const int w = mask.width(), h = mask.height();
    int stroked = 0;
    for (int x = 0; x < w; ++x) {
        int runs = 0;
        for (int y = 0; y < h; ++y) runs += mask.at(x, y) && (y == 0 || !mask.at(x, y - 1));
        stroked += runs >= 1 && runs <= 2;
    }
    if (stroked < StrokeColumns * w) return false;
    const auto drawn = [](int n, auto inked) {
        int count = 0;
        for (int i = 0; i < n; ++i) count += inked(i);
        return count >= DrawnEdge * n;
    };
    return !drawn(w, [&](int x) { return mask.at(x, 0); }) && !drawn(w, [&](int x) { return mask.at(x, h - 1); }) &&
           !drawn(h, [&](int y) { return mask.at(0, y); }) && !drawn(h, [&](int y) { return mask.at(w - 1, y); });
}

} // namespace

std::vector<PixelRect> darkCurveOutside(const PixelBuffer& picture, const PixelMask& ink, const std::vector<ChartFrame>& charts)
{
    const int w = ink.width(), h = ink.height();
    std::vector<PixelRect> strokes;
    if (w < 8 || h < 8 || picture.width() != w || picture.height() != h) return strokes;
    PixelMask dark(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dark.set(x, y, ink.at(x, y) && !coloured(picture.pixel(x, y)));
    for (const ChartFrame& c : charts)
        for (int y = std::max(0, int(c.top) - Touching); y <= std::min(h - 1, int(c.bottom) + Touching); ++y)
            for (int x = std::max(0, int(c.left) - Touching); x <= std::min(w - 1, int(c.right) + Touching); ++x) dark.set(x, y, false);
    const ColourPieces found = findPieces(dark);
    for (std::size_t i = 0; i < found.pieces.size(); ++i) {
        const Piece& p = found.pieces[i];
        if (p.width() < OutsideAcross * w || p.height() < OutsideDown * h) continue;
        // The piece alone: another one within its box (a word under the curve) is not its ink.
        PixelMask alone(p.width(), p.height());
        for (std::size_t r = 0; r < found.runs.size(); ++r)
            if (found.pieceOfRun[r] == static_cast<int>(i))
                for (int x = found.runs[r].x0; x <= found.runs[r].x1; ++x) alone.set(x - p.left, found.runs[r].y - p.top, true);
        if (curveStroke(alone)) strokes.push_back({double(p.left), double(p.top), double(p.width()), double(p.height())});
    }
    return strokes;
}

} // namespace calvero::capture
