#include "capture/pagestructure.h"

#include "capture/colourpieces.h"
#include "capture/pointexport.h"
#include "capture/tolerancechoice.h"
#include "capture/unionfind.h"

#include <algorithm>
#include <cmath>

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
// A box less than this share of the area of the chart it lies in (a
// legend's frame) is part of that chart; larger ones inside a box make the
// outer one a border round several charts.
constexpr double InnerShare = 0.25;
constexpr double FairShare = 0.08;
// A filled area is a chart's when this share of its box is of its paper.
constexpr double AreaFill = 0.6;
constexpr int AreaSmoothing = 1;

// The long lines along one direction: for each row (or column) its longest
// stretch of ink, neighbours with one joined into a thicker line.
template <typename Inked>
std::vector<EdgeLine> longLines(int count, int length, int shortest, Inked inked)
{
    std::vector<EdgeLine> lines;
    std::vector<std::pair<int, int>> stretches; // this row's, first and last
    for (int across = 0; across < count; ++across) {
        stretches.clear();
        int start = -1, lastInk = -LineGap - 2;
        for (int along = 0; along <= length; ++along) {
            const bool ink = along < length && inked(across, along);
            if (ink && along - lastInk - 1 > LineGap) start = along;
            if (ink) lastInk = along;
            if ((!ink && along - lastInk > LineGap) || along == length) {
                if (start >= 0 && lastInk - start + 1 >= shortest) stretches.push_back({start, lastInk});
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

double luminance(std::uint32_t p) { return 0.299 * ((p >> 16) & 255) + 0.587 * ((p >> 8) & 255) + 0.114 * (p & 255); }

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
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

// Lines across and down that touch or cross, grouped: each group with lines
// both ways is a chart.
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
        if (vs.empty()) continue;
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
        chart.leftLine = outermost(vs, [&](const EdgeLine& l) { return l.from <= hFirst + Touching; },
                                   [](const EdgeLine& a, const EdgeLine& b) { return a.from < b.from; });
        chart.rightLine = outermost(vs, [&](const EdgeLine& l) { return l.to >= hLast - Touching; },
                                    [](const EdgeLine& a, const EdgeLine& b) { return a.to > b.to; });
        chart.topLine = outermost(hs, [&](const EdgeLine& l) { return l.from <= vFirst + Touching; },
                                  [](const EdgeLine& a, const EdgeLine& b) { return a.from < b.from; });
        chart.bottomLine = outermost(hs, [&](const EdgeLine& l) { return l.to >= vLast - Touching; },
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
        for (const EdgeLine* v : vs) chart.gridColumns.push_back(lineCentre(picture, *v, false));
        for (const EdgeLine* h : hs) chart.gridRows.push_back(lineCentre(picture, *h, true));
        if (chart.right - chart.left >= ShortestLine && chart.bottom - chart.top >= ShortestLine) charts.push_back(chart);
    }
    return charts;
}

// Areas filled with a paper of their own (a grey background under a white
// grid): each pixel, averaged with its neighbours against the grain, is the
// area's when nearer its paper than the page's; the large, nearly full
// pieces of them are charts. Whichever of the two papers is the charts', it
// is the one whose pieces stay off the page's edges.
std::vector<ChartFrame> chartsOfAreas(const PixelBuffer& picture, const std::vector<Rgb>& papers, int shortestAcross,
                                      int shortestDown)
{
    if (papers.size() < 2) return {};
    const int w = picture.width(), h = picture.height();
    const auto channel = [](std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 255); };
    const auto squared = [](double a, double b, double c) { return a * a + b * b + c * c; };
    PixelMask nearerSecond(w, h), nearerFirst(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double sum[3] = {0, 0, 0};
            int count = 0;
            for (int dy = -AreaSmoothing; dy <= AreaSmoothing; ++dy)
                for (int dx = -AreaSmoothing; dx <= AreaSmoothing; ++dx)
                    if (picture.contains(x + dx, y + dy)) {
                        const std::uint32_t p = picture.pixel(x + dx, y + dy);
                        sum[0] += channel(p, 16), sum[1] += channel(p, 8), sum[2] += channel(p, 0), ++count;
                    }
            const double r = sum[0] / count, g = sum[1] / count, b = sum[2] / count;
            const double toFirst = squared(r - papers[0].red, g - papers[0].green, b - papers[0].blue);
            const double toSecond = squared(r - papers[1].red, g - papers[1].green, b - papers[1].blue);
            nearerSecond.set(x, y, toSecond < toFirst);
            nearerFirst.set(x, y, toFirst < toSecond);
        }
    for (const PixelMask* mask : {&nearerSecond, &nearerFirst}) {
        std::vector<ChartFrame> charts;
        for (const Piece& p : findPieces(*mask).pieces) {
            if (p.width() < shortestAcross || p.height() < shortestDown) continue;
            if (p.left == 0 || p.top == 0 || p.right == w - 1 || p.bottom == h - 1) continue;
            if (p.pixels < AreaFill * p.width() * double(p.height())) continue;
            ChartFrame chart;
            chart.left = p.left, chart.right = p.right + 1, chart.top = p.top, chart.bottom = p.bottom + 1;
            charts.push_back(chart);
        }
        if (!charts.empty()) return charts;
    }
    return {};
}

// Left to right, top to bottom: charts whose rows overlap by half make one row of the page.
void readingOrder(std::vector<ChartFrame>& charts)
{
    std::sort(charts.begin(), charts.end(), [](const ChartFrame& a, const ChartFrame& b) { return a.top < b.top; });
    std::vector<int> row(charts.size(), 0);
    double rowMiddle = 0;
    for (std::size_t i = 0; i < charts.size(); ++i) {
        if (i && charts[i].top > rowMiddle) row[i] = row[i - 1] + 1;
        else if (i) row[i] = row[i - 1];
        if (!i || row[i] != row[i - 1]) rowMiddle = (charts[i].top + charts[i].bottom) / 2;
    }
    std::vector<std::size_t> order(charts.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return row[a] != row[b] ? row[a] < row[b] : charts[a].left < charts[b].left;
    });
    std::vector<ChartFrame> sorted;
    for (std::size_t i : order) sorted.push_back(charts[i]);
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
        // The paper beside the line: the lighter of its two sides.
        double paper = 0;
        for (int a : {lo - 1, hi + 1})
            if (a >= 0 && a < breadth) paper = std::max(paper, luminance(at(along, a)));
        double sum = 0, weighted = 0;
        for (int a = lo; a <= hi; ++a) {
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

std::vector<ChartFrame> findCharts(const PixelBuffer& picture)
{
    if (picture.empty()) return {};
    const std::vector<Rgb> papers = pagePapers(picture);
    return findCharts(picture, inkPixels(picture, papers), papers);
}

std::vector<ChartFrame> findCharts(const PixelBuffer& picture, const PixelMask& ink, const std::vector<Rgb>& papers)
{
    const int w = ink.width(), h = ink.height();
    if (w == 0 || h == 0) return {};
    const int shortestAcross = std::max(ShortestLine, static_cast<int>(LineShare * w));
    const int shortestDown = std::max(ShortestLine, static_cast<int>(LineShare * h));
    std::vector<EdgeLine> across = longLines(h, w, shortestAcross, [&](int y, int x) { return ink.at(x, y); });
    std::vector<EdgeLine> down = longLines(w, h, shortestDown, [&](int x, int y) { return ink.at(x, y); });
    // A band thicker than any line drawn is a filled area (found as one below), or ink run together.
    const int thickest = std::max(ThickestLineAtLeast, static_cast<int>(ThickestLineShare * std::max(w, h)));
    for (std::vector<EdgeLine>* lines : {&across, &down})
        lines->erase(std::remove_if(lines->begin(), lines->end(), [&](const EdgeLine& l) { return l.to - l.from + 1 > thickest; }),
                     lines->end());
    std::vector<ChartFrame> found = chartsOfLines(picture, across, down);
    for (const ChartFrame& area : chartsOfAreas(picture, papers, shortestAcross, shortestDown)) {
        // A filled area with a frame drawn round it is that frame's chart.
        const bool framed = std::any_of(found.begin(), found.end(), [&](const ChartFrame& c) {
            return boxOf(area).inside(boxOf(c)) && boxOf(c).inside(boxOf(area));
        });
        if (!framed) found.push_back(area);
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

std::string chartListText(const std::vector<ChartFrame>& charts)
{
    std::string text;
    const auto at = [](double x, double y) { return pointValueText(std::round(x)) + "," + pointValueText(std::round(y)); };
    for (std::size_t i = 0; i < charts.size(); ++i)
        text += std::to_string(i + 1) + " (" + at(charts[i].left, charts[i].top) + " - " + at(charts[i].right, charts[i].bottom) +
                ")\n";
    return text;
}

} // namespace calvero::capture
