#include "capture/axisfinder.h"

#include "capture/axistitle.h"
#include "capture/median.h"

#include "capture/colourpieces.h"
#include "capture/cutgridlines.h"
#include "capture/faintticks.h"
#include "capture/marginlabels.h"
#include "capture/pointexport.h"
#include "capture/tolerancechoice.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>
#include <numbers>
#include <string_view>
#include <vector>

namespace calvero::capture {

namespace {

// Tick marks are at least this long beyond the axis line, and looked for up to the longest.
constexpr int ShortestTick = 3;
constexpr int LongestTick = 20;
constexpr int AxisGap = 2;
// A tick's own stretch along the line reaches at least this share of its length.
constexpr double TickCore = 0.6;
// What juts out of the line beside a tick, along it this far, is another stroke (pixels).
constexpr int StrokeAlongTheLine = 3;
// A tick stands within the plot's span, to this many pixels (a corner's tick on the frame line).
constexpr double BeyondThePlot = 2;
// A run of ink on the axis line this many times wider than most is no tick.
constexpr double WiderThanTicks = 2;
// The agreeing numbers of an axis spread over at least this share of its length.
constexpr double AgreeingSpan = 0.25;
// The strip of an axis's numbers: this share of the picture's height (or
// of the chart's, on a page of several) beyond the ticks, at least this many pixels.
constexpr double LabelDepth = 0.08;
constexpr double LabelDepthOfChart = 0.3;
constexpr double LabelDepthAtLeast = 30;
// Beyond each end of the axis, this share of the chart's length (at least the pixels).
constexpr double LabelOverhang = 0.06;
constexpr double LabelOverhangAtLeast = 25;
// The strip of a y axis's numbers reaches this share of the picture's (or the chart's) width.
constexpr double YLabelWidth = 0.2;
constexpr double YLabelWidthOfChart = 0.5;
// A label's place moves to a tick or grid line this near it (a share of its own size).
constexpr double TickSnap = 0.25;
// A minor tick beside a label reaches at most this share of the major ticks' length.
constexpr double MinorTickShare = 1 / 1.5;
// A label whose middle lies this near its major tick is centred on it (pixels).
constexpr double CentredOnTick = 1.5;
// A faint tick is looked for this many letter heights either side of its label's middle.
constexpr double FaintTickReach = 0.5;
// A factor at an axis's end is looked for this many label heights beyond it.
constexpr double FactorDepth = 3.5;
constexpr double FactorReach = 0.35;
// Two axes of one side read alike (the same numbers mirrored) within this share of the span.
constexpr double SameAxis = 0.005;
// A label left out stands on the axis, shifted by a power of ten, within this share of its span.
constexpr double LostMarkSlack = 0.01;

enum class Side { Bottom, Left, Top, Right };

bool isX(Side s) { return s == Side::Bottom || s == Side::Top; }
// The step from the plot outward, in rows (x sides) or columns (y sides).
int outwardStep(Side s) { return s == Side::Bottom || s == Side::Right ? +1 : -1; }

// The line along the side, or one of no thickness on the plot area's edge.
EdgeLine edgeOf(const ChartFrame& c, Side s)
{
    const std::optional<EdgeLine>& drawn = s == Side::Bottom ? c.bottomLine : s == Side::Left ? c.leftLine
                                         : s == Side::Top    ? c.topLine
                                                             : c.rightLine;
    if (drawn) return *drawn;
    const int first = static_cast<int>(isX(s) ? c.left : c.top), last = static_cast<int>(std::ceil(isX(s) ? c.right : c.bottom)) - 1;
    const double at = s == Side::Bottom ? c.bottom : s == Side::Left ? c.left : s == Side::Top ? c.top : c.right;
    const int inner = outwardStep(s) > 0 ? static_cast<int>(std::ceil(at)) - 1 : static_cast<int>(at);
    return {inner, inner, first, last, at};
}

// The tick marks along an edge: runs of ink at least ShortestTick beyond it
// on either side, each placed at the centre of its ink's darkness (to a
// tenth of a pixel: an anti-aliased tick between two columns lies between
// them); and how far they reach outward.
struct Ticks {
    std::vector<double> places;
    // How far each tick reaches beyond the line, either way (a minor tick is shorter than a major one).
    std::vector<int> lengths;
    int outward = 0;
    // Runs far wider than the ticks (markers over the line): where one lies
    // within a label's reach, the label stands by its own middle.
    std::vector<double> wide;
};

// `span`: from the plot's one end to the other along the line. A line drawn
// on beyond the plot (a grid line run into the other axis's corner number)
// has that number's strokes across it there: they are no ticks.
Ticks ticksAlong(const PixelBuffer& picture, const PixelMask& ink, const EdgeLine& line, Side side, double paper,
                 std::pair<double, double> span)
{
    const bool x = isX(side);
    const int breadth = x ? ink.height() : ink.width();
    const int length = x ? ink.width() : ink.height();
    const auto inked = [&](int along, int a) { return x ? ink.at(along, a) : ink.at(a, along); };
    const auto dark = [&](int along, int a) {
        return std::max(0.0, paper - luminance(x ? picture.pixel(along, a) : picture.pixel(a, along)));
    };
    const int step = outwardStep(side);
    const int outerEdge = step > 0 ? line.to : line.from;
    const int innerEdge = step > 0 ? line.from : line.to;
    const auto reach = [&](int along, int edge, int direction) {
        int n = 0;
        for (int k = 1; k <= LongestTick; ++k) {
            const int a = edge + direction * k;
            if (a < 0 || a >= breadth || !inked(along, a)) break;
            n = k;
        }
        return n;
    };
    Ticks ticks;
    int runStart = -1, runOutward = 0, runLength = 0;
    std::vector<int> runReach;
    bool outer = true;
    // Each run's width along the line and how far it reaches outward.
    std::vector<std::pair<int, int>> runs;
    std::vector<int> lengths;
    const int first = std::max(0, line.first), last = std::min(length - 1, line.last);
    for (int along = first; along <= last + 1; ++along) {
        const int out = along <= last ? reach(along, outerEdge, step) : 0;
        const int in = along <= last ? reach(along, innerEdge, -step) : 0;
        const bool tick = out >= ShortestTick || in >= ShortestTick;
        if (tick && runStart < 0) runStart = along, outer = out >= ShortestTick, runOutward = 0, runLength = 0;
        if (tick && out < LongestTick) runOutward = std::max(runOutward, out);
        // An outward tick's length beyond the line (inward, a side's line may
        // prolong it at the corner); one reaching the longest tick is a line, no tick.
        if (tick) {
            const int length = out >= ShortestTick ? out : in;
            runLength = std::max(runLength, length < LongestTick ? length : LongestTick + 1);
            runReach.push_back(length);
        }
        if (!tick && runStart >= 0) {
            // At a corner an inward tick meets the other side's tick drawn
            // along this line, which juts out of it by little: the two make
            // one run, whose middle is off the tick's. The tick is where it
            // reaches most of its length.
            int coreFirst = runStart, coreLast = along - 1;
            if (runLength <= LongestTick) {
                const double most = TickCore * runLength;
                while (coreFirst < coreLast && runReach[coreFirst - runStart] < most) ++coreFirst;
                while (coreLast > coreFirst && runReach[coreLast - runStart] < most) --coreLast;
                // A blurred tick's own fringes reach less far: they stay.
                if (coreFirst - runStart < StrokeAlongTheLine) coreFirst = runStart;
                if (along - 1 - coreLast < StrokeAlongTheLine) coreLast = along - 1;
            }
            runReach.clear();
            runs.push_back({coreLast - coreFirst + 1, runOutward});
            lengths.push_back(runLength);
            // The centre of the tick's darkness over its first rows beyond the line, fringes included.
            const int edge = outer ? outerEdge : innerEdge, direction = outer ? step : -step;
            double sum = 0, weighted = 0;
            for (int a = std::max(0, coreFirst - 1); a <= std::min(length - 1, coreLast + 1); ++a)
                for (int k = 1; k <= ShortestTick; ++k) {
                    const int b = edge + direction * k;
                    if (b < 0 || b >= breadth) continue;
                    const double d = dark(a, b);
                    sum += d, weighted += d * (a + 0.5);
                }
            ticks.places.push_back(sum > 0 ? weighted / sum : (coreFirst + coreLast + 1) / 2.0);
            runStart = -1;
        }
    }
    // How far the ticks reach outward, from the thin runs only: a marker
    // or a blurred label touching the line (a curve starting on the axis
    // with a square, a scan's number run into it) is wider than the ticks,
    // and reaching far out it would set the numbers' strip beyond them.
    std::vector<double> widths;
    for (const auto& r : runs) widths.push_back(r.first);
    const double thin = WiderThanTicks * std::max(1.0, median(widths));
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (runs[i].first <= thin && ticks.places[i] >= span.first - BeyondThePlot && ticks.places[i] <= span.second + BeyondThePlot)
            ticks.outward = std::max(ticks.outward, runs[i].second);
    // Nor is such a run a tick to place a label by: a marker over the tick
    // (a curve starting there) has its middle off the tick's, and the label
    // beside it is placed by its own middle.
    std::vector<double> thinPlaces;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        (runs[i].first <= thin ? thinPlaces : ticks.wide).push_back(ticks.places[i]);
        if (runs[i].first <= thin) ticks.lengths.push_back(lengths[i]);
    }
    ticks.places = std::move(thinPlaces);
    return ticks;
}

// The length the major ticks share: the longest reached by two ticks
// alike (within a pixel), a lone longer run (a curve crossing the axis) left
// out; 0 when no two ticks are alike.
int majorTickLength(std::vector<int> lengths)
{
    std::sort(lengths.begin(), lengths.end(), std::greater<>());
    for (std::size_t i = 0; i + 1 < lengths.size(); ++i)
        if (lengths[i] <= LongestTick && lengths[i] - lengths[i + 1] <= 1) return lengths[i];
    return 0;
}

// The tick or grid line a label stands at; with none within reach, or a
// marker over the line (which may hide the label's own tick), the label's
// own middle. With two apart within reach, the one as long as the major
// ticks when the others are clearly shorter, minor ones (a log axis's
// 9 x 10^k tick crowds the label of 10^(k+1)); otherwise (a curve ending on
// the axis beside the tick, a grid line with no tick) the label's own middle.
double snapped(double place, const Ticks& ticks, const std::vector<double>& grid, double size)
{
    const double reach = TickSnap * size;
    for (double m : ticks.wide)
        if (std::abs(m - place) <= reach) return place;
    // Places within reach, a tick and the grid line it prolongs as one: the
    // first found (ticks before grid lines) and its longest tick (-1: none).
    struct Near {
        double at;
        int length;
    };
    std::vector<Near> near;
    const auto add = [&](double at, int length) {
        if (std::abs(at - place) > reach) return;
        for (Near& n : near)
            if (std::abs(n.at - at) <= 1.5) {
                n.length = std::max(n.length, length);
                return;
            }
        near.push_back({at, length});
    };
    for (std::size_t i = 0; i < ticks.places.size(); ++i) add(ticks.places[i], ticks.lengths[i]);
    for (double g : grid) add(g, -1);
    if (near.empty()) return place;
    if (near.size() == 1) return near.front().at;
    const int length = majorTickLength(ticks.lengths);
    const auto isMajor = [&](const Near& n) { return n.length >= 0 && std::abs(n.length - length) <= 1; };
    const auto isMinor = [&](const Near& n) { return n.length >= 0 && n.length <= length - 2 && MinorTickShare * length >= n.length; };
    if (length == 0 || std::count_if(near.begin(), near.end(), isMajor) != 1 ||
        std::count_if(near.begin(), near.end(), isMinor) != static_cast<std::ptrdiff_t>(near.size()) - 1)
        return place;
    // A label centred on its tick stands as well by its own middle (a tick drawn on whole pixels is half a pixel off).
    const double major = std::find_if(near.begin(), near.end(), isMajor)->at;
    return std::abs(major - place) <= CentredOnTick ? place : major;
}

// Between a label and its axis line, where its tick would be drawn: a pixel
// off the line and two off the letters, whose blurred fringes would count.
PixelRect bandToTheLine(const PixelRect& word, const EdgeLine& line, Side side)
{
    constexpr double OffLetters = 2, OffLine = 1;
    switch (side) {
    case Side::Left: {
        const double from = word.left + word.width + OffLetters, to = line.from - OffLine;
        return {from, 0, std::max(0.0, to - from), 0};
    }
    case Side::Right: {
        const double from = line.to + 1 + OffLine, to = word.left - OffLetters;
        return {from, 0, std::max(0.0, to - from), 0};
    }
    case Side::Bottom: {
        const double from = line.to + 1 + OffLine, to = word.top - OffLetters;
        return {0, from, 0, std::max(0.0, to - from)};
    }
    default: {
        const double from = word.top + word.height + OffLetters, to = line.from - OffLine;
        return {0, from, 0, std::max(0.0, to - from)};
    }
    }
}

// The numeric words of a strip in the line of labels along the axis: under
// an x axis those whose tops line up with most of the numbers read (above
// one, their feet), left of a y axis those flush right with them (right of
// one, flush left): a letter of a turned axis title, a number of the other
// axis at the corner, stand apart.
std::vector<ReadWord> numbersNearTheAxis(std::vector<ReadWord> words, Side side)
{
    return labelsInLine(std::move(words), [side](const ReadWord& w) {
        switch (side) {
        case Side::Bottom: return w.box.top;
        case Side::Top: return w.box.top + w.box.height;
        case Side::Left: return w.box.left + w.box.width;
        default: return w.box.left;
        }
    }, isX(side) ? 0.8 : 0.6);
}

// The colour the labels are written in, when it is a colour and not black
// or grey: an axis whose numbers are drawn in its curve's colour (matplotlib's
// twin axes are often so). The ink well away from the paper, averaged.
constexpr double LabelInk = 40;
constexpr double Colourful = 20;

std::optional<Rgb> labelColour(const PixelBuffer& picture, const std::vector<ReadWord>& labels, Rgb paper)
{
    // The quarter of the ink farthest from the paper: the letters' cores, not their fringes.
    constexpr double Core = 0.25;
    std::vector<std::pair<double, Rgb>> inked;
    for (const ReadWord& w : labels)
        for (int y = std::max(0, int(w.box.top)); y < std::min(picture.height(), int(w.box.top + w.box.height)); ++y)
            for (int x = std::max(0, int(w.box.left)); x < std::min(picture.width(), int(w.box.left + w.box.width)); ++x) {
                const Rgb c = rgbOf(picture.pixel(x, y));
                if (const double d = colourDistance(c, paper); d >= LabelInk) inked.push_back({d, c});
            }
    if (inked.empty()) return std::nullopt;
    const std::size_t n = std::max<std::size_t>(1, static_cast<std::size_t>(Core * inked.size()));
    std::nth_element(inked.begin(), inked.begin() + static_cast<std::ptrdiff_t>(n - 1), inked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    double sum[3] = {0, 0, 0};
    for (std::size_t i = 0; i < n; ++i) sum[0] += inked[i].second.red, sum[1] += inked[i].second.green, sum[2] += inked[i].second.blue;
    const Rgb mean{std::uint8_t(sum[0] / n + 0.5), std::uint8_t(sum[1] / n + 0.5), std::uint8_t(sum[2] / n + 0.5)};
    const Lab lab = labOf(mean);
    if (std::hypot(lab.a, lab.b) < Colourful) return std::nullopt;
    return mean;
}

double middleOf(const ReadWord& w, bool alongX) { return alongX ? w.box.left + w.box.width / 2 : w.box.top + w.box.height / 2; }

// The farthest any of the places lies from the straight line fitted to them
// by least squares over the values.
double worstMisfit(const std::vector<double>& values, const std::vector<double>& places)
{
    const double n = static_cast<double>(values.size());
    const double mv = std::accumulate(values.begin(), values.end(), 0.0) / n, mp = std::accumulate(places.begin(), places.end(), 0.0) / n;
    double svv = 0, svp = 0;
    for (std::size_t i = 0; i < values.size(); ++i) svv += (values[i] - mv) * (values[i] - mv), svp += (values[i] - mv) * (places[i] - mp);
    const double slope = svv > 0 ? svp / svv : 0;
    double worst = 0;
    for (std::size_t i = 0; i < values.size(); ++i) worst = std::max(worst, std::abs(places[i] - mp - slope * (values[i] - mv)));
    return worst;
}

// The labels' places checked against their own middles, once the axis is
// read: marks that do not stand evenly by the values while the labels'
// middles do are no ticks (a scan's grain along the axis taken for them),
// and every label stands by its middle. Nothing when the marks hold.
constexpr double UnevenSnap = 2;
std::optional<std::vector<double>> placesRechecked(const AxisReading& axis, const std::vector<ReadWord>& words, bool alongX)
{
    // A log axis's labels have their exponents raised off their middles: those stay by their ticks.
    if (axis.scale != AxisScale::Linear || axis.ticks.size() != words.size()) return std::nullopt;
    std::vector<double> values, ticked, middles;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const double middle = middleOf(words[i], alongX);
        // Only the labels a mark moved: the rest stand by their middles already.
        if (!axis.ticks[i].agrees || std::abs(axis.ticks[i].position - middle) < 0.01) continue;
        values.push_back(axis.ticks[i].value);
        ticked.push_back(axis.ticks[i].position);
        middles.push_back(middle);
    }
    if (values.size() < 3) return std::nullopt;
    const double byTicks = worstMisfit(values, ticked);
    if (byTicks <= UnevenSnap || byTicks <= 2 * worstMisfit(values, middles)) return std::nullopt;
    std::vector<double> places;
    for (const ReadWord& w : words) places.push_back(middleOf(w, alongX));
    return places;
}

// Whether two boxes share any area.
bool meet(const PixelRect& a, const PixelRect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// Whether a word's ink reaches a strip's edge `near` toward the axis of `side`.
bool reachesTheEdge(const PixelRect& box, Side side, double near)
{
    const double inkReach = LabelPadding - 0.5;
    switch (side) {
    case Side::Bottom: return box.top <= near - inkReach;
    case Side::Top: return box.top + box.height >= near + inkReach;
    case Side::Left: return box.left + box.width >= near + inkReach;
    case Side::Right: return box.left <= near - inkReach;
    }
    return false;
}

// Whether the strip read again up to the axis line goes on the numbers the
// first reading cut at its edge `near`: a word over a cut one holds more
// digits, those read first at its start (a y axis's numbers on the left,
// cut at their ends), at its end (on the right), or anywhere (under or over
// an x axis, cut across their tops or feet); at least one does, and no word
// over a cut one reads otherwise (a label that merely met its tick).
bool goesOnTheCut(const std::vector<ReadWord>& cut, const std::vector<ReadWord>& whole, Side side, double near)
{
    bool any = false;
    for (const ReadWord& w : cut) {
        if (digitsIn(w.text) == 0 || !reachesTheEdge(w.box, side, near)) continue;
        for (const ReadWord& longer : whole) {
            if (!meet(w.box, longer.box)) continue;
            const bool goesOn = digitsIn(longer.text) > digitsIn(w.text) &&
                                (side == Side::Left ? longer.text.starts_with(w.text)
                                 : side == Side::Right ? longer.text.ends_with(w.text)
                                                       : true);
            if (!goesOn) return false;
            any = true;
        }
    }
    return any;
}

// What the reading of one side of a chart saw.
struct SideReading {
    Checked<AxisReading> axis = failed<AxisReading>("");
    EdgeLine line;
    // The words of the strip in the labels' line, and those beyond the axis's ends.
    std::vector<ReadWord> labels;
    std::vector<ReadWord> beyondEnds;
    double letterHeight = 0;
    // The far edge of the labels' line (the row under an x axis's numbers).
    double labelsFarEdge = 0;
    bool anyWords = false;
    PixelRect strip;
};

struct PageContext {
    const PixelBuffer& picture;
    const PixelMask& ink;
    Rgb paperColour;
    double paper;
    const std::vector<ChartFrame>& charts;
    const TextReader& reader;
};

// The strip beyond the side where its numbers stand, kept off the other charts.
PixelRect stripOf(const PageContext& page, const ChartFrame& c, std::size_t self, Side side, const EdgeLine& line, int tickReach)
{
    const double w = page.picture.width(), h = page.picture.height();
    const double chartW = c.right - c.left, chartH = c.bottom - c.top;
    const bool several = page.charts.size() > 1;
    if (isX(side)) {
        const double depth = std::max(LabelDepthAtLeast, several ? std::min(LabelDepth * h, LabelDepthOfChart * chartH) : LabelDepth * h);
        const double over = std::max(LabelOverhangAtLeast, LabelOverhang * (several ? chartW : w));
        double near = side == Side::Bottom ? line.to + 1 + tickReach + 1 : line.from - tickReach - 1;
        double far = side == Side::Bottom ? near + depth : near - depth;
        for (std::size_t i = 0; i < page.charts.size(); ++i) {
            const ChartFrame& o = page.charts[i];
            if (i == self || o.right < c.left - over || o.left > c.right + over) continue;
            // Halfway to a chart beyond: what lies nearer it is its own.
            if (side == Side::Bottom && o.top >= near) far = std::min(far, (c.bottom + o.top) / 2);
            if (side == Side::Top && o.bottom <= near) far = std::max(far, (c.top + o.bottom) / 2);
        }
        const double top = std::min(near, far), bottom = std::max(near, far);
        return {c.left - over, top, chartW + 2 * over, bottom - top};
    }
    const double width = std::max(LabelDepthAtLeast, several ? std::min(YLabelWidth * w, YLabelWidthOfChart * chartW) : YLabelWidth * w);
    const double over = std::max(LabelOverhangAtLeast, LabelOverhang * (several ? chartH : h));
    double near = side == Side::Left ? line.from - 1 - tickReach - 1 : line.to + 1 + tickReach + 1;
    double far = side == Side::Left ? std::max(0.0, near - width) : std::min(w, near + width);
    for (std::size_t i = 0; i < page.charts.size(); ++i) {
        const ChartFrame& o = page.charts[i];
        if (i == self || o.bottom < c.top - over || o.top > c.bottom + over) continue;
        if (side == Side::Left && o.right <= near) far = std::max(far, (c.left + o.right) / 2);
        if (side == Side::Right && o.left >= near) far = std::min(far, (c.right + o.left) / 2);
    }
    // A line down of the plot between the axis and the strip's far side bounds
    // it (a y axis inside the plot has its numbers between it and the next).
    for (double g : c.gridColumns) {
        if (side == Side::Left && g < near - 2 && g + 2 > far) far = g + 2;
        if (side == Side::Right && g > near + 2 && g - 2 < far) far = g - 2;
    }
    const double left = std::min(near, far), right = std::max(near, far);
    return {left, c.top - over, right - left, chartH + 2 * over};
}

SideReading readSide(const PageContext& page, std::size_t self, Side side)
{
    const ChartFrame& c = page.charts[self];
    SideReading r;
    r.line = edgeOf(c, side);
    // The ticks and grid lines labels stand by, those of a frameless plot's cut edge lines on its edge.
    Ticks ticks = ticksAlong(page.picture, page.ink, r.line, side, page.paper,
                             isX(side) ? std::pair{c.left, c.right} : std::pair{c.top, c.bottom});
    std::vector<double> grid = isX(side) ? c.gridColumns : c.gridRows;
    placedOnCutEdges(ticks.places, page.picture, page.ink, c, isX(side));
    placedOnCutEdges(grid, page.picture, page.ink, c, isX(side));
    // Where no tick is drawn, a grid line stands at the label's place.
    std::vector<double> places = ticks.places;
    places.insert(places.end(), grid.begin(), grid.end());
    // Between the strip and the axis line, along the line: its ticks.
    const double line = side == Side::Bottom || side == Side::Right ? r.line.from : r.line.to + 1;
    const auto numbersOfStrip = [&](int tickReach, double& near) {
        r.strip = stripOf(page, c, self, side, r.line, tickReach);
        const PixelRect& strip = r.strip;
        near = side == Side::Bottom ? strip.top : side == Side::Top ? strip.top + strip.height : side == Side::Left ? strip.left + strip.width : strip.left;
        const PixelRect ticksBand = isX(side) ? PixelRect{double(r.line.first), std::min(near, line), double(r.line.last - r.line.first + 1), std::abs(near - line)}
                                              : PixelRect{std::min(near, line), double(r.line.first), std::abs(near - line), double(r.line.last - r.line.first + 1)};
        return labelsIn(page.picture, page.ink, strip, page.reader, ticksBand, isX(side) ? places : std::vector<double>{});
    };
    double near = 0;
    std::vector<ReadWord> words = numbersOfStrip(ticks.outward, near);
    // A number run up to the strip's edge toward the axis may be cut there:
    // the ink taken for ticks reaching out was the numbers' own (a scan's
    // blur and grain joining them to the line). Read again up to the line,
    // the reading is taken where it goes on the numbers cut with more digits
    // (a label that merely meets its tick reads the same, or with the tick
    // as a mark).
    if (ticks.outward > 0 && std::any_of(words.begin(), words.end(), [&](const ReadWord& w) { return digitsIn(w.text) > 0 && reachesTheEdge(w.box, side, near); })) {
        const PixelRect firstStrip = r.strip;
        double wholeNear = 0;
        std::vector<ReadWord> whole = numbersOfStrip(0, wholeNear);
        if (goesOnTheCut(words, whole, side, near)) {
            words = std::move(whole);
        } else {
            r.strip = firstStrip;
        }
    }
    r.anyWords = !words.empty();
    std::vector<TickLabel> labels;
    std::vector<double> heights;
    // Labels with no tick or grid line near, and where a faint tick would be drawn.
    std::vector<std::size_t> unticked;
    std::vector<FaintTickSearch> faintSearch;
    double reachOfFaint = 0;
    for (const ReadWord& word : numbersNearTheAxis(words, side)) {
        const double middle = middleOf(word, isX(side));
        const double size = isX(side) ? word.box.width : word.box.height;
        const double position = snapped(middle, ticks, grid, size);
        // A label's tick lies on its axis line: a number beyond the line's ends is the other axis's, or a factor.
        if (position < r.line.first - AxisGap - 1 || position > r.line.last + AxisGap + 1) {
            r.beyondEnds.push_back(word);
            continue;
        }
        const auto tickNear = [&](double p) { return std::abs(p - middle) <= TickSnap * size; };
        if (std::none_of(places.begin(), places.end(), tickNear) && std::none_of(ticks.wide.begin(), ticks.wide.end(), tickNear)) {
            unticked.push_back(labels.size());
            faintSearch.push_back({middle, bandToTheLine(word.box, r.line, side)});
            reachOfFaint = std::max(reachOfFaint, FaintTickReach * word.box.height);
        }
        labels.push_back({position, word.text, word.confidence});
        r.labels.push_back(word);
        heights.push_back(word.box.height);
        const double far = side == Side::Bottom ? word.box.top + word.box.height : word.box.top;
        r.labelsFarEdge = r.labels.size() == 1 ? far : side == Side::Bottom ? std::max(r.labelsFarEdge, far) : std::min(r.labelsFarEdge, far);
    }
    r.letterHeight = median(heights);
    const std::vector<std::optional<double>> faint = faintTicks(page.picture, page.paper, faintSearch, isX(side), reachOfFaint, CentredOnTick);
    for (std::size_t i = 0; i < unticked.size(); ++i)
        if (faint[i]) labels[unticked[i]].position = *faint[i];
    r.axis = readAxis(labels, isX(side) ? "x" : "y", places);
    if (r.axis)
        if (const auto moved = placesRechecked(*r.axis, r.labels, isX(side))) {
            for (std::size_t i = 0; i < labels.size(); ++i) labels[i].position = (*moved)[i];
            r.axis = readAxis(labels, isX(side) ? "x" : "y", places);
        }
    if (r.axis)
        if (const auto lost = decimalsLeftOut(*r.axis, r.labels))
            r.axis = failed<AxisReading>(std::string("asse ") + (isX(side) ? "x" : "y") + ": " + *lost);
    // Numbers agreeing over a small stretch of the axis (two bits of a
    // legend or title read as "0" and "2") place it no better than by chance.
    if (r.axis && std::abs(r.axis->second.position - r.axis->first.position) < AgreeingSpan * (r.line.last - r.line.first + 1))
        r.axis = failed<AxisReading>(std::string("asse ") + (isX(side) ? "x" : "y") + ": i numeri concordi (" +
                                     pointValueText(r.axis->first.value) + " e " + pointValueText(r.axis->second.value) +
                                     ") coprono solo un breve tratto dell'asse");
    // The messages name the axis "x" or "y"; the second ones are told apart.
    if (!r.axis && (side == Side::Top || side == Side::Right)) {
        std::string why = r.axis.failure();
        why.replace(0, 6, side == Side::Top ? "asse x in alto" : "asse y a destra");
        r.axis = failed<AxisReading>(std::move(why));
    }
    return r;
}

// Where the axes cross at zero (a spreadsheet's chart whose x values run
// from negative to positive), the y axis is drawn inside the plot at x = 0
// with its numbers on its left, and the margin holds none. The line down
// standing where the x axis read puts 0, read as the chart's left edge; the
// numbers beside it must agree as any axis's do.
constexpr double InnerAxisSnap = 0.005;
constexpr double InnerAxisFromEdge = 0.05;
constexpr int ThickestAxis = 6;
constexpr double InnerAxisDrawn = 0.8;
constexpr double FainterThanNumbers = 0.5;

std::optional<SideReading> innerLeftSide(const PageContext& page, std::size_t self, const AxisReading& x)
{
    const ChartFrame& c = page.charts[self];
    if (x.scale != AxisScale::Linear || x.second.value == x.first.value) return std::nullopt;
    const double width = c.right - c.left;
    const double zero = x.first.position - x.first.value * (x.second.position - x.first.position) / (x.second.value - x.first.value);
    if (zero < c.left + InnerAxisFromEdge * width || zero > c.right - InnerAxisFromEdge * width) return std::nullopt;
    std::optional<double> at;
    for (double g : c.gridColumns)
        if (std::abs(g - zero) <= std::max(2.0, InnerAxisSnap * width) && (!at || std::abs(g - zero) < std::abs(*at - zero))) at = g;
    // A line a scan left faint is none of the plot's lines: the column there
    // inked down most of the plot. Where no line is drawn at all, numbers
    // inside the plot may be anything's (labels of points set above them).
    if (!at) {
        const int reach = static_cast<int>(std::max(2.0, InnerAxisSnap * width));
        int best = 0;
        for (int col = static_cast<int>(zero) - reach; col <= static_cast<int>(zero) + reach; ++col) {
            if (col < 0 || col >= page.ink.width()) continue;
            int inked = 0;
            for (int row = static_cast<int>(c.top); row < static_cast<int>(c.bottom); ++row) inked += page.ink.at(col, row);
            if (inked > best) best = inked, at = col + 0.5;
        }
        if (best < InnerAxisDrawn * (c.bottom - c.top)) at.reset();
    }
    if (!at) return std::nullopt;
    // The line's columns: the narrowest run of ink across it at a few rows (a curve may cross it at one).
    std::optional<std::pair<int, int>> run;
    const int column = static_cast<int>(*at);
    for (double share : {0.25, 0.5, 0.75}) {
        const int row = static_cast<int>(c.top + share * (c.bottom - c.top));
        if (!page.ink.at(column, row)) continue;
        int from = column, to = column;
        while (from > 0 && page.ink.at(from - 1, row) && column - from < ThickestAxis) --from;
        while (to + 1 < page.ink.width() && page.ink.at(to + 1, row) && to - column < ThickestAxis) ++to;
        if (!run || to - from < run->second - run->first) run = std::pair{from, to};
    }
    if (!run) run = std::pair{column, column};
    if (run->second - run->first >= ThickestAxis) return std::nullopt;
    // The grid lines across the plot run on through the numbers beside an
    // inner axis; fainter than the numbers, their ink is left out there.
    PixelMask ink = page.ink;
    const int left = std::max(0, static_cast<int>(c.left)), top = std::max(0, static_cast<int>(c.top));
    const int bottom = std::min(ink.height() - 1, static_cast<int>(c.bottom));
    double darkest = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x < run->first; ++x)
            if (ink.at(x, y)) darkest = std::max(darkest, page.paper - luminance(page.picture.pixel(x, y)));
    for (double g : c.gridRows)
        for (int y = std::max(top, static_cast<int>(g) - 1); y <= std::min(bottom, static_cast<int>(g) + 1); ++y)
            for (int x = left; x < run->first; ++x)
                if (ink.at(x, y) && page.paper - luminance(page.picture.pixel(x, y)) < FainterThanNumbers * darkest) ink.set(x, y, false);
    std::vector<ChartFrame> charts = page.charts;
    ChartFrame& inner = charts[self];
    const EdgeLine edge = edgeOf(c, Side::Left);
    inner.left = *at;
    inner.leftLine = EdgeLine{run->first, run->second, edge.first, edge.last, *at};
    const PageContext innerPage{page.picture, ink, page.paperColour, page.paper, charts, page.reader};
    SideReading r = readSide(innerPage, self, Side::Left);
    if (!r.axis) return std::nullopt;
    return r;
}

// Lines of words: those overlapping in height, left to right, as one text each.
std::vector<std::string> textLines(std::vector<ReadWord> words)
{
    std::sort(words.begin(), words.end(), [](const ReadWord& a, const ReadWord& b) { return a.box.left < b.box.left; });
    std::vector<std::pair<PixelRect, std::string>> lines;
    for (const ReadWord& w : words) {
        bool placed = false;
        for (auto& [box, text] : lines) {
            const double overlap = std::min(box.top + box.height, w.box.top + w.box.height) - std::max(box.top, w.box.top);
            if (overlap > 0.5 * std::min(box.height, w.box.height)) {
                text += " " + w.text;
                placed = true;
                break;
            }
        }
        if (!placed) lines.push_back({w.box, w.text});
    }
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.second);
    return texts;
}

// An area beyond a chart's top or bottom, cut halfway to a chart beyond it
// that it overlaps across: what lies nearer that chart (its numbers beside
// its edge, its ticks) is its own.
PixelRect keptOffChartsBeyond(PixelRect area, const std::vector<ChartFrame>& charts, const ChartFrame& c)
{
    double top = area.top, bottom = area.top + area.height;
    for (const ChartFrame& o : charts) {
        if (o.right < area.left || o.left > area.left + area.width) continue;
        if (o.bottom <= c.top) top = std::max(top, (o.bottom + c.top) / 2);
        if (o.top >= c.bottom) bottom = std::min(bottom, (c.bottom + o.top) / 2);
    }
    return {area.left, top, area.width, std::max(0.0, bottom - top)};
}

// Whether a number beyond the axis line's end is the labels' next value at
// the place their step puts it: the last label, its tick drawn just past the
// line's end (a log axis's "10²" at the plot's corner), and no factor.
bool continuesTheLabels(const ReadWord& w, const SideReading& r, bool alongX)
{
    // A sign or a times mark says a factor or an offset, wherever it stands.
    if (!r.axis || w.text.find_first_not_of("0123456789.,^") != std::string::npos) return false;
    const AxisReading& axis = *r.axis;
    if (axis.second.position == axis.first.position) return false;
    const double middle = middleOf(w, alongX);
    const double size = alongX ? w.box.width : w.box.height;
    const auto scaled = [&](double v) { return axis.scale == AxisScale::Logarithmic ? std::log10(v) : v; };
    const double perPixel = (scaled(axis.second.value) - scaled(axis.first.value)) / (axis.second.position - axis.first.position);
    for (const double v : labelValues(w.text)) {
        if (axis.scale == AxisScale::Logarithmic && v <= 0) continue;
        const double at = axis.first.position + (scaled(v) - scaled(axis.first.value)) / perPixel;
        if (std::abs(at - middle) <= TickSnap * size) return true;
    }
    return false;
}

// The factor written at the axis's far end: matplotlib's "1e4" or "+1000"
// above a y axis's top, under an x axis's numbers at its right end, or a
// word beside the last number. Several, or one not understood, is a doubt.
Checked<std::optional<AxisFactor>> factorAtEnd(const PageContext& page, const ChartFrame& c, Side side, const SideReading& r)
{
    const double letters = r.letterHeight > 0 ? r.letterHeight : 14;
    const double chartW = c.right - c.left;
    std::vector<ReadWord> words;
    for (const ReadWord& w : r.beyondEnds)
        if (!continuesTheLabels(w, r, isX(side))) words.push_back(w);
    PixelRect area;
    if (side == Side::Left || side == Side::Right) {
        const double top = std::max(0.0, c.top - FactorDepth * letters);
        const double from = side == Side::Left ? c.left - 0.1 * chartW : c.right - FactorReach * chartW;
        area = {from, top, (FactorReach + 0.1) * chartW, c.top - 1 - top};
    } else if (side == Side::Bottom && r.labelsFarEdge > 0) {
        area = {c.right - FactorReach * chartW, r.labelsFarEdge + 1, (FactorReach + 0.1) * chartW, FactorDepth * letters};
    }
    area = keptOffChartsBeyond(area, page.charts, c);
    if (area.width > 2 && area.height > 2)
        for (const ReadWord& w : labelsIn(page.picture, page.ink, area, page.reader))
            // The top label of a y axis reaches above the plot: it is no factor.
            if (std::none_of(r.labels.begin(), r.labels.end(), [&](const ReadWord& l) { return meet(l.box, w.box); }))
                words.push_back(w);
    std::optional<AxisFactor> found;
    for (const std::string& line : textLines(words)) {
        const FactorReading reading = factorAtAxisEnd(line);
        if (reading.kind == FactorReading::Kind::None) continue;
        if (reading.kind == FactorReading::Kind::Doubtful)
            return failed<std::optional<AxisFactor>>("testo non compreso all'estremità dell'asse: «" + line + "»");
        if (found && !(found->multiply == reading.factor.multiply && found->add == reading.factor.add))
            return failed<std::optional<AxisFactor>>("due fattori all'estremità dell'asse: «" + found->text + "» e «" + line + "»");
        found = reading.factor;
    }
    return succeeded(found);
}

// The factor an axis's title writes ("H × 10⁻⁴, Pa", "Q [×1000 m³/h]"):
// the title read beyond the numbers (under an x axis's, beside a y axis's,
// written upwards). One not understood is a doubt, quoted.
constexpr double TitleDepth = 3.5;

Checked<std::optional<AxisFactor>> factorInTitleOf(const PageContext& page, const ChartFrame& c, Side side, const SideReading& r,
                                                   std::string* titleRead)
{
    if (r.labels.empty() || side == Side::Top) return succeeded(std::optional<AxisFactor>());
    const double letters = r.letterHeight > 0 ? r.letterHeight : 14;
    PixelRect area;
    if (side == Side::Bottom) {
        const double from = r.labelsFarEdge + 1, to = std::min(from + TitleDepth * letters, r.strip.top + r.strip.height);
        area = {c.left, from, c.right - c.left, to - from};
    } else {
        // The numbers the axis agrees on: a piece of the title read as a
        // number ("25" for a "×10⁴") may stand between them and the title.
        const bool byAgreeing = r.axis && r.axis->ticks.size() == r.labels.size() &&
                                std::any_of(r.axis->ticks.begin(), r.axis->ticks.end(), [](const ReadTick& t) { return t.agrees; });
        std::optional<double> nearest;
        for (std::size_t i = 0; i < r.labels.size(); ++i) {
            if (byAgreeing && !r.axis->ticks[i].agrees) continue;
            const PixelRect& b = r.labels[i].box;
            const double edge = side == Side::Left ? b.left : b.left + b.width;
            nearest = !nearest ? edge : side == Side::Left ? std::min(*nearest, edge) : std::max(*nearest, edge);
        }
        const double from = side == Side::Left ? std::max(r.strip.left, *nearest - TitleDepth * letters) : *nearest + 1;
        const double to = side == Side::Left ? *nearest - 1 : std::min(r.strip.left + r.strip.width, *nearest + TitleDepth * letters);
        area = {from, c.top, to - from, c.bottom - c.top};
    }
    const std::string title = axisTitleIn(page.picture, page.ink, area, side != Side::Bottom, page.reader);
    if (titleRead) *titleRead = title;
    const FactorReading reading = factorInTitle(title);
    if (reading.kind == FactorReading::Kind::Doubtful)
        return failed<std::optional<AxisFactor>>("fattore nel titolo dell'asse non compreso: «" + title + "»");
    if (reading.kind == FactorReading::Kind::Factor) return succeeded(std::optional<AxisFactor>(reading.factor));
    return succeeded(std::optional<AxisFactor>());
}

// The factor at the axis's end and the one in its title: either, or neither; both is a doubt.
Checked<std::optional<AxisFactor>> axisFactorOf(const PageContext& page, const ChartFrame& c, Side side, const SideReading& r,
                                                std::string* titleRead = nullptr)
{
    const Checked<std::optional<AxisFactor>> atEnd = factorAtEnd(page, c, side, r);
    if (!atEnd) return atEnd;
    const Checked<std::optional<AxisFactor>> inTitle = factorInTitleOf(page, c, side, r, titleRead);
    if (!inTitle) return inTitle;
    if (*atEnd && *inTitle)
        return failed<std::optional<AxisFactor>>("un fattore all'estremità dell'asse («" + (*atEnd)->text + "») e uno nel titolo («" +
                                                 (*inTitle)->text + "»)");
    return succeeded(*atEnd ? *atEnd : *inTitle);
}

void applyFactor(AxisReading& reading, const AxisFactor& factor)
{
    for (ReadTick& t : reading.ticks)
        if (t.agrees) t.value = factor.applied(t.value);
    reading.first.value = factor.applied(reading.first.value);
    reading.second.value = factor.applied(reading.second.value);
    if (reading.first.value > reading.second.value) std::swap(reading.first, reading.second);
}

// The value an axis's reading puts at a place along it (in decades on a logarithmic one).
double scaledAt(const AxisReading& r, double position)
{
    const auto s = [&](double v) { return r.scale == AxisScale::Logarithmic ? std::log10(v) : v; };
    return s(r.first.value) + (position - r.first.position) * (s(r.second.value) - s(r.first.value)) / (r.second.position - r.first.position);
}

// Whether two readings of one direction are one axis: the same scale and the same values at both ends.
bool sameAxis(const AxisReading& a, const AxisReading& b, double from, double to)
{
    if (a.scale != b.scale) return false;
    const double span = std::abs(scaledAt(a, to) - scaledAt(a, from));
    return std::abs(scaledAt(a, from) - scaledAt(b, from)) <= SameAxis * span &&
           std::abs(scaledAt(a, to) - scaledAt(b, to)) <= SameAxis * span;
}

} // namespace

std::optional<std::string> decimalsLeftOut(const AxisReading& r, const std::vector<ReadWord>& words)
{
    if (r.scale != AxisScale::Linear || words.size() != r.ticks.size()) return std::nullopt;
    const auto decimals = [](const std::string& text) {
        const std::size_t mark = text.find_first_of(".,");
        if (mark == std::string::npos || mark == 0 || !std::isdigit(static_cast<unsigned char>(text[mark - 1]))) return false;
        const std::size_t after = text.size() - mark - 1;
        return after >= 1 && after <= 2 && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(mark) + 1, text.end(),
                                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    };
    std::vector<double> heights;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (r.ticks[i].agrees && r.ticks[i].text.find_first_of(".,") != std::string::npos) return std::nullopt;
        if (r.ticks[i].agrees) heights.push_back(words[i].box.height);
    }
    const double numberHeight = median(heights);
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!r.ticks[i].agrees && decimals(r.ticks[i].text) && !tallerThanANumber(words[i], numberHeight))
            return "il numero «" + r.ticks[i].text +
                   "» ha decimali che i numeri concordi non hanno: forse questi sono letti senza il separatore decimale";
    return std::nullopt;
}

std::optional<std::string> lostDecimalMark(const AxisReading& r)
{
    if (r.scale != AxisScale::Linear) return std::nullopt;
    const double span = std::abs(r.second.value - r.first.value);
    for (const ReadTick& t : r.ticks) {
        // No axis writes a whole number with a zero before it: "015" is 0.15 or 1.5 read without its mark
        // ("000" is a thousands group set apart, "10 000").
        const std::size_t digits = t.text.find_first_not_of("-\u2212");
        const std::string_view number = digits == std::string::npos ? "" : std::string_view(t.text).substr(digits);
        if (number.size() >= 2 && number.size() <= 3 && number[0] == '0' && number != "000" &&
            std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return "il numero «" + t.text + "» comincia con uno zero: forse i numeri sono letti senza il separatore decimale";
        if (t.agrees || t.text.find_first_of(".,") == std::string::npos) continue;
        const double there = scaledAt(r, t.position);
        for (double v : labelValues(t.text))
            for (double k : {10.0, 100.0, 0.1, 0.01})
                if (v != 0 && std::abs(v * k - there) <= LostMarkSlack * span)
                    return "il numero «" + t.text + "» starebbe sull'asse solo " + (k > 1 ? "moltiplicato" : "diviso") + " per " +
                           pointValueText(k > 1 ? k : 1 / k) + ": forse gli altri numeri sono letti senza il separatore decimale";
    }
    return std::nullopt;
}

namespace {

// References closer than this many pixels leave a pixel more than 0.8 % of
// the span: no curve read against them is as close as a read must be.
constexpr double ShortestReferences = 125;

std::optional<std::string> tooCloseToRead(const AxisReading& r)
{
    const double apart = std::abs(r.second.position - r.first.position);
    if (apart >= ShortestReferences) return std::nullopt;
    return "i riferimenti distano solo " + pointValueText(std::round(apart)) + " pixel (un pixel: " +
           pointValueText(std::round(1000 / apart) / 10) +
           " % del campo): leggere una scansione o un'esportazione a risoluzione più alta (ingrandire l'immagine non basta)";
}

AxisReference referenceOf(const AxisReading& r, bool x, double lineAt)
{
    if (x) return {{r.first.position, lineAt}, {r.second.position, lineAt}, r.first.value, r.second.value, r.scale};
    return {{lineAt, r.first.position}, {lineAt, r.second.position}, r.first.value, r.second.value, r.scale};
}

// The chart below that shares this one's x axis: as wide, at the same place (stacked panels).
std::optional<std::size_t> panelBelow(const std::vector<ChartFrame>& charts, std::size_t self)
{
    const ChartFrame& c = charts[self];
    const double slack = std::max(3.0, 0.005 * (c.right - c.left));
    std::optional<std::size_t> nearest;
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const ChartFrame& o = charts[i];
        if (i == self || o.top < c.bottom - slack || std::abs(o.left - c.left) > slack || std::abs(o.right - c.right) > slack) continue;
        if (!nearest || o.top < charts[*nearest].top) nearest = i;
    }
    return nearest;
}

// Whether two or more of the words read are numbers: a margin with an axis
// in it, read or not (a table's cell has one number beside it at most).
bool numbersAlong(const SideReading& side)
{
    return std::count_if(side.labels.begin(), side.labels.end(), [](const ReadWord& w) { return !labelValues(w.text).empty(); }) >= 2;
}

// The numbers along an axis stand in a row: under an x axis their middles
// level, left of a y axis their right edges plumb. Drifting across it by more
// than about half a degree, they tell of a page turned that was not turned
// straight (its lines too faint, or a grey area with white grid lines, to
// measure the turn by), whose axes and curves would be read askew.
constexpr double LevelSlope = 0.01;
constexpr double LevelSpanAtLeast = 200;

std::optional<std::string> numbersAskew(const std::vector<ReadWord>& labels, bool x)
{
    std::vector<std::pair<double, double>> places; // (along the axis, across it)
    for (const ReadWord& w : labels)
        if (!labelValues(w.text).empty())
            places.push_back({middleOf(w, x),
                              x ? w.box.top + w.box.height / 2 : w.box.left + w.box.width});
    if (places.size() < 3) return std::nullopt;
    // Every pair of numbers apart along the axis gives a slope: most of them,
    // one way, past the limit. One number's box widened by ink beside it (a
    // marker, a tick) tilts only the pairs it is in.
    std::vector<double> slopes;
    double from = places.front().first, to = from;
    for (std::size_t i = 0; i < places.size(); ++i) {
        from = std::min(from, places[i].first), to = std::max(to, places[i].first);
        for (std::size_t j = i + 1; j < places.size(); ++j)
            if (std::abs(places[j].first - places[i].first) >= LevelSpanAtLeast / 4)
                slopes.push_back((places[j].second - places[i].second) / (places[j].first - places[i].first));
    }
    if (to - from < LevelSpanAtLeast || slopes.empty()) return std::nullopt;
    const auto up = std::count_if(slopes.begin(), slopes.end(), [](double s) { return s > LevelSlope; });
    const auto down = std::count_if(slopes.begin(), slopes.end(), [](double s) { return s < -LevelSlope; });
    if (3 * std::size_t(std::max(up, down)) < 2 * slopes.size()) return std::nullopt;
    const double degrees = std::atan(std::abs(median(slopes))) * 180 / std::numbers::pi;
    return std::string("i numeri non stanno in fila (di sbieco di ") + pointValueText(std::round(degrees * 10) / 10) +
           " gradi): forse l'immagine è ruotata e non è stata raddrizzata";
}

// The chart's axes; `chartLike` tells, when they are not read, whether numbers
// stand under it and left of it all the same (a chart whose axes are not read,
// not a table or a legend's frame).
Checked<FoundAxes> axesOfChart(const PageContext& page, std::size_t self, bool* chartLike = nullptr)
{
    const ChartFrame& c = page.charts[self];
    SideReading bottom = readSide(page, self, Side::Bottom);
    SideReading left = readSide(page, self, Side::Left);
    // A stacked panel has no numbers under it: the panel below holds its x axis.
    if (chartLike) *chartLike = numbersAlong(left) && (numbersAlong(bottom) || panelBelow(page.charts, self));
    FoundAxes found;
    found.chart = c;
    // Stacked panels: a panel without numbers under it takes the x axis of
    // the panel below that has them, whether that panel's y axis reads or not.
    // A tick or a curve's end read as one stray mark is no numbers.
    if (!bottom.axis && !numbersAlong(bottom))
        for (std::optional<std::size_t> below = panelBelow(page.charts, self); below; below = panelBelow(page.charts, *below)) {
            const SideReading shared = readSide(page, *below, Side::Bottom);
            if (!numbersAlong(shared)) continue;
            if (shared.axis) {
                if (const auto lost = lostDecimalMark(*shared.axis)) return failed<FoundAxes>("asse x: " + *lost);
                const Checked<std::optional<AxisFactor>> f = axisFactorOf(page, page.charts[*below], Side::Bottom, shared);
                if (!f) return failed<FoundAxes>("asse x: " + f.failure());
                bottom.axis = shared.axis;
                if (*f) {
                    found.xFactor = **f;
                    applyFactor(*bottom.axis, **f);
                }
                found.xSharedFrom = *below;
            }
            break;
        }
    // The y axis's factor and title are read in the margin, beside its numbers or the plot's edge.
    SideReading yTitleSide = left;
    if (bottom.axis && !left.axis)
        if (std::optional<SideReading> inner = innerLeftSide(page, self, *bottom.axis)) {
            yTitleSide.labels = {ReadWord{"", {c.left, c.top, 1, c.bottom - c.top}, 0, {}, {}}};
            yTitleSide.letterHeight = inner->letterHeight;
            left = std::move(*inner);
        }
    if (!bottom.axis || !left.axis) {
        std::string why = !bottom.axis ? bottom.axis.failure() : "";
        if (!left.axis) why += (why.empty() ? "" : "; ") + left.axis.failure();
        return failed<FoundAxes>(why);
    }
    if (const auto askew = numbersAskew(bottom.labels, true); askew && !found.xSharedFrom) return failed<FoundAxes>("asse x: " + *askew);
    if (const auto askew = numbersAskew(left.labels, false)) return failed<FoundAxes>("asse y: " + *askew);
    found.x = std::move(*bottom.axis);
    found.y = std::move(*left.axis);
    if (const auto lost = lostDecimalMark(found.x); lost && !found.xSharedFrom) return failed<FoundAxes>("asse x: " + *lost);
    if (const auto lost = lostDecimalMark(found.y)) return failed<FoundAxes>("asse y: " + *lost);
    if (const auto small = tooCloseToRead(found.x); small && !found.xSharedFrom) return failed<FoundAxes>("asse x: " + *small);
    if (const auto small = tooCloseToRead(found.y)) return failed<FoundAxes>("asse y: " + *small);
    if (!found.xSharedFrom) {
        const Checked<std::optional<AxisFactor>> xFactor = axisFactorOf(page, c, Side::Bottom, bottom);
        if (!xFactor) return failed<FoundAxes>("asse x: " + xFactor.failure());
        if (*xFactor) {
            found.xFactor = **xFactor;
            applyFactor(found.x, **xFactor);
        }
    }
    const Checked<std::optional<AxisFactor>> yFactor = axisFactorOf(page, c, Side::Left, yTitleSide, &found.yTitle);
    if (!yFactor) return failed<FoundAxes>("asse y: " + yFactor.failure());
    if (*yFactor) {
        found.yFactor = **yFactor;
        applyFactor(found.y, **yFactor);
    }
    found.yLabelColour = labelColour(page.picture, left.labels, page.paperColour);
    found.references.x = referenceOf(found.x, true, bottom.line.centre);
    found.references.y = referenceOf(found.y, false, left.line.centre);

    // Numbers on the right or on top: the same axis again, or a second one.
    SideReading right = readSide(page, self, Side::Right);
    if (right.axis) {
        if (const auto lost = lostDecimalMark(*right.axis)) return failed<FoundAxes>("asse y a destra: " + *lost);
        std::string title;
        const Checked<std::optional<AxisFactor>> f = axisFactorOf(page, c, Side::Right, right, &title);
        if (!f) return failed<FoundAxes>("asse y a destra: " + f.failure());
        if (*f) applyFactor(*right.axis, **f);
        if (!sameAxis(found.y, *right.axis, c.top, c.bottom))
            found.rightY = FoundAxis{*right.axis, referenceOf(*right.axis, false, right.line.centre), *f,
                                     labelColour(page.picture, right.labels, page.paperColour), title};
    } else if (numbersAmong(right.labels) >= 2 && !crowdedInAShortStretch(right.labels, false, c.bottom - c.top)) {
        return failed<FoundAxes>("numeri anche a destra del grafico ma non letti come un asse (" + right.axis.failure() + ")");
    }
    SideReading top = readSide(page, self, Side::Top);
    if (top.axis) {
        if (!sameAxis(found.x, *top.axis, c.left, c.right))
            found.topX = FoundAxis{*top.axis, referenceOf(*top.axis, true, top.line.centre), std::nullopt,
                                   labelColour(page.picture, top.labels, page.paperColour), {}};
    } else if (numbersAmong(top.labels) >= 2 && !crowdedInAShortStretch(top.labels, true, c.right - c.left)) {
        return failed<FoundAxes>("numeri anche sopra il grafico ma non letti come un asse (" + top.axis.failure() + ")");
    }
    if (auto problem = referencesProblem(found.references)) return failed<FoundAxes>("assi letti ma non utilizzabili: " + *problem);
    return succeeded(std::move(found));
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

namespace {

// A chart's area found on the page turned straight: the box round its corners on the page as it is.
void boxOnTheOriginal(ChartFrame& c, double turn, int width, int height)
{
    PixelPoint corners[4] = {{c.left, c.top}, {c.right, c.top}, {c.left, c.bottom}, {c.right, c.bottom}};
    for (PixelPoint& p : corners) p = onTheOriginal(p, turn, width, height);
    c.left = c.right = corners[0].x, c.top = c.bottom = corners[0].y;
    for (const PixelPoint& p : corners)
        c.left = std::min(c.left, p.x), c.right = std::max(c.right, p.x), c.top = std::min(c.top, p.y), c.bottom = std::max(c.bottom, p.y);
}

// Boxes that meet joined into one, the first one's place kept first.
std::vector<PixelRect> joinedWhereTheyMeet(std::vector<PixelRect> boxes)
{
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < boxes.size() && !joined; ++i)
            for (std::size_t j = i + 1; j < boxes.size() && !joined; ++j)
                if (meet(boxes[i], boxes[j])) {
                    const double right = std::max(boxes[i].left + boxes[i].width, boxes[j].left + boxes[j].width);
                    const double bottom = std::max(boxes[i].top + boxes[i].height, boxes[j].top + boxes[j].height);
                    boxes[i].left = std::min(boxes[i].left, boxes[j].left), boxes[i].top = std::min(boxes[i].top, boxes[j].top);
                    boxes[i].width = right - boxes[i].left, boxes[i].height = bottom - boxes[i].top;
                    boxes.erase(boxes.begin() + std::ptrdiff_t(j));
                    joined = true;
                }
    }
    return boxes;
}

// Curves outside every chart found: the coloured ones (their kind is told),
// and the places of all, coloured ones first, then dark strokes; places
// whose boxes meet are one chart's (the charts do not overlap).
struct CurvesOutside {
    std::vector<PixelRect> coloured;
    std::vector<PixelRect> places;
};

CurvesOutside curvesOutside(const PixelBuffer& straight, const PixelMask& ink, const std::vector<ChartFrame>& charts)
{
    CurvesOutside outside{curveInkOutside(straight, charts), {}};
    outside.places = outside.coloured;
    for (const PixelRect& d : darkCurveOutside(straight, ink, charts)) outside.places.push_back(d);
    outside.places = joinedWhereTheyMeet(std::move(outside.places));
    return outside;
}

// Whether curves seen at `place` lie in the chart's box: most of their box
// (a box found short of the frame of a scan, its light line lost, leaves a
// curve's start out).
bool holds(const ChartFrame& c, const PixelRect& place)
{
    const double width = std::min(c.right, place.left + place.width) - std::max(c.left, place.left);
    const double height = std::min(c.bottom, place.top + place.height) - std::max(c.top, place.top);
    return width > 0 && height > 0 && width * height >= 0.5 * place.width * place.height;
}

// The box of a chart not found: its curves' extent, all that is seen of it.
ChartFrame chartOfLines(const PixelRect& lines)
{
    ChartFrame c;
    c.left = lines.left, c.top = lines.top, c.right = lines.left + lines.width, c.bottom = lines.top + lines.height;
    return c;
}

// Axes read on the page turned straight, placed back on the page as it is.
void placedOnTheOriginal(FoundAxes& axes, double turn, int width, int height)
{
    const auto back = [&](PixelPoint& p) { p = onTheOriginal(p, turn, width, height); };
    for (AxisReference* r : {&axes.references.x, &axes.references.y}) back(r->first), back(r->second);
    for (std::optional<FoundAxis>* second : {&axes.rightY, &axes.topX})
        if (*second) back((*second)->reference.first), back((*second)->reference.second);
    boxOnTheOriginal(axes.chart, turn, width, height);
}

} // namespace

PageAxes findPageAxes(const PixelBuffer& picture, const TextReader& reader)
{
    PageAxes page;
    if (picture.empty()) {
        page.failure = "nessuna immagine da leggere";
        return page;
    }
    const std::vector<Rgb> papers = pagePapers(picture);
    // A scan turned by a degree or two is read turned straight: its lines then run along rows and columns.
    const double turn = pageTurn(picture, papers);
    PixelBuffer straightened;
    if (turn != 0) straightened = turnedBack(picture, turn);
    const PixelBuffer& straight = turn != 0 ? straightened : picture;
    const PixelMask ink = structureInk(straight, papers);
    const std::vector<ChartFrame> charts = findCharts(straight, ink);
    if (charts.empty()) {
        page.failure = "assi non trovati: nessun grafico (cornice, linee degli assi o griglia) nell'immagine";
        return page;
    }
    const Rgb paper = papers.front();
    const PageContext context{straight, ink, paper, luminance(argbOf(paper)), charts, reader};
    // A box whose margins hold no axis (a table, a legend's frame outside the plot) is no chart.
    double largest = -1;
    std::vector<Checked<FoundAxes>> read;
    std::vector<bool> chartLikes(charts.size(), false);
    for (std::size_t i = 0; i < charts.size(); ++i) {
        bool chartLike = false;
        read.push_back(axesOfChart(context, i, &chartLike));
        chartLikes[i] = chartLike || read.back();
    }
    // A box whose numbers were not read but that holds curves is a chart all
    // the same (on a scan its numbers may be too blurred to read): it keeps
    // its place among the charts, so the others' numbers are sure.
    std::vector<ChartFrame> taken;
    for (std::size_t i = 0; i < charts.size(); ++i)
        if (chartLikes[i]) taken.push_back(charts[i]);
    CurvesOutside outside = curvesOutside(straight, ink, taken);
    bool added = false;
    for (const PixelRect& place : outside.places)
        for (std::size_t i = 0; i < charts.size(); ++i)
            if (!chartLikes[i] && holds(charts[i], place)) chartLikes[i] = added = true;
    // The boxes kept as charts: a box dropped as no chart hides no curves from the look outside.
    std::vector<ChartFrame> kept;
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const bool chartLike = chartLikes[i];
        Checked<FoundAxes> axes = std::move(read[i]);
        if (axes) {
            if (turn != 0) placedOnTheOriginal(*axes, turn, picture.width(), picture.height());
            page.axes.push_back(std::move(*axes));
            kept.push_back(charts[i]);
            page.numbers.push_back(kept.size());
            continue;
        }
        if (chartLike) {
            kept.push_back(charts[i]);
            UnreadChart unread{kept.size(), charts[i], axes.failure()};
            if (turn != 0) boxOnTheOriginal(unread.chart, turn, picture.width(), picture.height());
            page.unread.push_back(std::move(unread));
        }
        const double area = (charts[i].right - charts[i].left) * (charts[i].bottom - charts[i].top);
        if (area > largest) largest = area, page.failure = axes.failure();
    }
    // The charts kept are those taken; with boxes holding curves added, the curves outside them are looked for again.
    if (added) outside = curvesOutside(straight, ink, kept);
    const std::vector<PixelRect>& coloured = outside.coloured;
    // One chart not found, whose place among those found is sure, takes its
    // number; those after it move on by one.
    std::optional<std::size_t> number;
    if (outside.places.size() == 1)
        if (const std::optional<std::size_t> place = placeAmongCharts(kept, outside.places.front(), straight.height())) {
            number = *place + 1;
            for (std::size_t& n : page.numbers) n += n > *place ? 1 : 0;
            for (UnreadChart& u : page.unread)
                if (u.number) *u.number += *u.number > *place ? 1 : 0;
        }
    for (std::size_t i = 0; i < outside.places.size(); ++i) {
        UnreadChart unseen{std::nullopt, chartOfLines(outside.places[i]), {}};
        if (turn != 0) boxOnTheOriginal(unseen.chart, turn, picture.width(), picture.height());
        const bool colouredLines = std::any_of(coloured.begin(), coloured.end(), [&](const PixelRect& c) { return meet(c, outside.places[i]); });
        unseen.why = std::string(colouredLines ? "linee colorate" : "una linea scura") + " fuori dai grafici trovati, in " +
                     placeText(areaOf(unseen.chart)) + ": forse un grafico senza cornice né griglia";
        unseen.number = number;
        page.unread.push_back(std::move(unseen));
    }
    return page;
}

bool chartsNumbered(const PageAxes& page)
{
    return std::all_of(page.unread.begin(), page.unread.end(), [](const UnreadChart& u) { return u.number.has_value(); });
}

std::string pageChartsMessage(const PageAxes& page)
{
    std::vector<std::pair<std::size_t, std::string>> listed;
    for (std::size_t i = 0; i < page.axes.size(); ++i)
        listed.push_back({page.numbers[i], "(" + placeText(areaOf(page.axes[i].chart)) + ")"});
    for (const UnreadChart& u : page.unread)
        if (u.number) listed.push_back({*u.number, "(" + placeText(areaOf(u.chart)) + "), assi non letti"});
    std::sort(listed.begin(), listed.end());
    std::string text = "la pagina ha " + chartCountText(listed.size()) + ":";
    for (std::size_t i = 0; i < listed.size(); ++i)
        text += (i ? "; " : " ") + std::to_string(listed[i].first) + " " + listed[i].second;
    return text;
}

std::string chartCountText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " grafico" : " grafici");
}

Checked<FoundAxes> findAxes(const PixelBuffer& picture, const TextReader& reader)
{
    PageAxes page = findPageAxes(picture, reader);
    if (page.axes.empty()) return failed<FoundAxes>(page.failure + ": indicare i riferimenti degli assi");
    if (page.axes.size() > 1) return failed<FoundAxes>(pageChartsMessage(page));
    return succeeded(std::move(page.axes.front()));
}

AxesReferences againstRightAxis(const FoundAxes& axes)
{
    AxesReferences references = axes.references;
    if (axes.rightY) references.y = axes.rightY->reference;
    return references;
}

std::string axesReport(const FoundAxes& axes)
{
    const auto line = [](const std::string& name, const AxisReading& r, const AxisReference& ref, const std::optional<AxisFactor>& f) {
        const auto at = [](PixelPoint p) { return pointValueText(std::round(p.x * 10) / 10) + "," + pointValueText(std::round(p.y * 10) / 10); };
        return "asse " + name + (r.scale == AxisScale::Logarithmic ? " logaritmico" : " lineare") + ": " +
               pointValueText(ref.firstValue) + " in " + at(ref.first) + ", " + pointValueText(ref.secondValue) + " in " +
               at(ref.second) + " (" + readingText(r) + (f ? "; fattore «" + f->text + "» applicato" : "") + ")\n";
    };
    std::string text = line("x", axes.x, axes.references.x, axes.xFactor) + line("y", axes.y, axes.references.y, axes.yFactor);
    if (axes.rightY) text += line("y a destra", axes.rightY->reading, axes.rightY->reference, axes.rightY->factor);
    if (axes.topX) text += line("x in alto", axes.topX->reading, axes.topX->reference, axes.topX->factor);
    return text;
}

} // namespace calvero::capture
