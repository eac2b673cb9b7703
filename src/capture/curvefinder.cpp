#include "capture/curvefinder.h"

#include "capture/colourpieces.h"
#include "capture/curvetrace.h"
#include "capture/legendstrokes.h"
#include "capture/linemeant.h"
#include "capture/markerfinder.h"
#include "capture/markerrows.h"
#include "capture/straightlines.h"
#include "capture/strokecores.h"
#include "capture/textpieces.h"
#include "capture/tolerancechoice.h"
#include "capture/tracebridge.h"
#include "capture/tracecoverage.h"
#include "capture/traceends.h"
#include "capture/tracestretch.h"
#include "capture/tracedoubts.h"
#include "capture/pointexport.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero::capture {

namespace {

// Pieces smaller than this start no trace: specks of noise, or the dots of a
// dotted curve, which a trace takes only as it passes them. Nor does a piece
// a hundred times smaller than the largest.
constexpr long long SpeckPixels = 8;
constexpr long long SmallPieceShare = 100;
// How far from the user's click the curve's pixels are looked for.
constexpr double SeedReach = 12.0;
constexpr int ScrapColumns = 6;
// Without a click, the widest pieces each start a trace (one a trace has gone
// through starts none: the other dashes of a dashed curve, the other edges of
// a legend's box); the weightiest trace wins.
constexpr std::size_t StartCandidates = 20;
// A trace shorter than this is no curve.
constexpr double ShortestTrace = 5.0;
// Without a click, another trace of the colour across this share of the
// plot's width, away from the one taken, is another line the user may mean.
constexpr double WideLineShare = 0.35;
// Another line of the colour lies on the colour in at least this share of its columns.
constexpr double LeastInkShare = 0.1;
// Two traces are one line where their rows lie this close over most of the columns they share.
constexpr double SameLineRows = 4.0;
constexpr double SameLineShare = 0.5;
// A few specks joined (stubs, a smudge) are no dotted line.
constexpr std::size_t FewestDots = 6;
// A fine line a scan blurred shows as its ink mixed with the paper, pixel =
// paper + share * (ink - paper), down to this share of ink; colours within
// this distance of that mixture are the line's when nothing else is (a
// JPEG file greys a thin coloured line a little). Faint dots are told from
// noise only along a good part of the plot.
constexpr double FaintestInk = 0.1;
constexpr double FaintTolerance = 5.5;
constexpr double FaintLeastShare = 0.8;
// A gap as wide as this share of the plot's width (a legend's box) is bridged
// when the curve goes on beyond it along its trend.
constexpr double BridgeShare = 0.3;
// A part of the curve beyond such a gap spans this share of the width at least.
constexpr double BridgedPartShare = 0.1;
// The colour going on this share of the plot's width beyond the trace's end is a trace cut short.
constexpr double CoverageSlackShare = 0.04;
constexpr double CoverageSlackAtLeast = 8.0;
// The points at a trace's end its way on is drawn from.
constexpr std::size_t WayOnPoints = 10;
// A trace's end this share of the plot's width from the plot area's edge
// (and at least this many pixels) reaches the edge.
constexpr double EdgeMarginShare = 0.025;
constexpr double EdgeMarginAtLeast = 8.0;
double edgeMargin(double plotWidth) { return std::max(EdgeMarginAtLeast, EdgeMarginShare * plotWidth); }
// A line's middle this much farther from the colour asked than the nearest
// line's, and beyond the tolerance, is another curve's colour.
constexpr double AnotherColour = 20.0;

double distanceToRun(const RowRun& run, PixelPoint p)
{
    const double cx = std::clamp(p.x, run.x0 + 0.5, run.x1 + 0.5);
    return std::hypot(cx - p.x, run.y + 0.5 - p.y);
}

// The piece with a pixel nearest the click, if one is within reach. A click
// in a dashed curve's gap, beside a crossing, may be nearest a scrap left
// where a grid line was taken out: a piece that wide gives the trace no
// direction, and is taken only if nothing wider is within reach.
std::optional<int> pieceNear(const ColourPieces& found, const std::vector<bool>& kept, PixelPoint seed)
{
    std::optional<int> best;
    double bestDistance = SeedReach;
    bool bestWide = false;
    const auto firstRow = std::lower_bound(found.runs.begin(), found.runs.end(), seed.y - SeedReach - 1,
                                           [](const RowRun& run, double y) { return run.y < y; });
    for (auto run = firstRow; run != found.runs.end() && run->y <= seed.y + SeedReach; ++run) {
        const double distance = distanceToRun(*run, seed);
        const int piece = found.pieceOfRun[static_cast<std::size_t>(run - found.runs.begin())];
        const bool wide = kept[static_cast<std::size_t>(piece)] && found.pieces[static_cast<std::size_t>(piece)].width() >= ScrapColumns;
        if (distance <= SeedReach && ((wide && !bestWide) || (wide == bestWide && distance <= bestDistance))) {
            bestDistance = distance;
            bestWide = wide;
            best = piece;
        }
    }
    return best;
}

std::vector<int> widestPieces(const ColourPieces& found, const std::vector<bool>& kept)
{
    std::vector<int> order;
    for (std::size_t i = 0; i < found.pieces.size(); ++i)
        if (kept[i]) order.push_back(static_cast<int>(i));
    const auto wider = [&](int a, int b) {
        const Piece& pa = found.pieces[static_cast<std::size_t>(a)];
        const Piece& pb = found.pieces[static_cast<std::size_t>(b)];
        return pa.width() != pb.width() ? pa.width() > pb.width() : pa.pixels > pb.pixels;
    };
    std::sort(order.begin(), order.end(), wider);
    return order;
}

// Marks the pieces a trace went through, so they start no other trace.
void markTraced(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, std::vector<bool>& traced)
{
    for (const PixelPoint& p : trace)
        for (const ColumnRun& run : columns.column(static_cast<int>(std::floor(p.x))))
            if (p.y >= run.top && p.y <= run.bottom + 1) traced[static_cast<std::size_t>(run.piece)] = true;
}

double span(const std::vector<PixelPoint>& trace) { return trace.empty() ? 0 : trace.back().x - trace.front().x; }

// The share of the trace's columns where it lies on the colour (not across a gap).
double inkShare(const ColumnRuns& columns, const std::vector<PixelPoint>& trace)
{
    const auto onInk = [&](const PixelPoint& p) {
        const auto runs = columns.column(static_cast<int>(std::floor(p.x)));
        return std::any_of(runs.begin(), runs.end(), [&](const ColumnRun& run) { return p.y >= run.top && p.y <= run.bottom + 1; });
    };
    const auto inked = std::count_if(trace.begin(), trace.end(), onInk);
    return span(trace) > 0 ? static_cast<double>(inked) / (span(trace) + 1) : 0;
}

PixelRect boxOf(const Piece& p)
{
    return {double(p.left), double(p.top), double(p.width()), double(p.height())};
}

// The pieces of the colour once the plot's straight lines and all outside
// the frame they enclose are taken out, with those lines.
struct SearchPieces {
    ColourPieces found;
    LineDirections directions;
    StraightLines lines;
    // Where the pieces were widened to join dots, the dots as they are.
    ColourPieces dots;
    // The ink of every colour in the plot, the lines taken out: where a legend's words are (not the axes' numbers).
    PixelMask ink;
};

SearchPieces searchPieces(const PixelBuffer& picture, const AxisCalibration& calibration, const CurveSearch& search,
                          const ToleranceChoice& tolerance, int joinRadius)
{
    PixelMask mask =
        matchingPixels(picture, ColourMatcher(search.colour, tolerance.tolerance, tolerance.fading), search.exclusions);
    fillStrokeCores(mask, picture,
                    ColourMatcher(search.colour, strokeCoreTolerance(tolerance.tolerance), tolerance.fading));
    // A core between two matches may lie in an area the user left out.
    clearExcluded(mask, search.exclusions);
    const LineDirections directions = lineDirections(calibration.references(), picture.width(), picture.height());
    PixelMask ink = inkPixels(picture, paperColours(picture));
    // A pale fringe the colour reaches but that is paper to the lines' search
    // would stay behind along every grid line: only ink is the curve's.
    keepWhereSet(mask, ink);
    // The trace stays in the chart it starts in: the click's, or the references'.
    const AxesReferences& r = calibration.references();
    const PixelPoint middle{(std::min({r.x.first.x, r.x.second.x, r.y.first.x, r.y.second.x}) +
                             std::max({r.x.first.x, r.x.second.x, r.y.first.x, r.y.second.x})) / 2,
                            (std::min({r.x.first.y, r.x.second.y, r.y.first.y, r.y.second.y}) +
                             std::max({r.x.first.y, r.x.second.y, r.y.first.y, r.y.second.y})) / 2};
    StraightLines lines = findStraightLines(ink, directions, search.seed.value_or(middle));
    // The chart found on the page bounds the plot: the lines around the middle may bound less
    // of it (a frameless chart's outermost grid lines, its curves going on beyond them). Its
    // box is upright: on a turned page it would cut the plot's corners, and the lines stay.
    constexpr double Upright = 0.002;
    if (search.chart && std::abs(directions.acrossSlope) < Upright && std::abs(directions.downSlope) < Upright)
        lines.area = PlotArea({}, std::pair{search.chart->top, search.chart->top + search.chart->height},
                              std::pair{search.chart->left, search.chart->left + search.chart->width});
    clearWhereSet(mask, lines.pixels);
    lines.area.clearOutside(mask);
    ColourPieces dots;
    if (joinRadius > 0) {
        dots = findPieces(mask);
        widen(mask, joinRadius);
    }
    clearWhereSet(ink, lines.pixels);
    lines.area.clearOutside(ink);
    return {findPieces(mask), directions, std::move(lines), std::move(dots), std::move(ink)};
}

// Whether two traces are one line: over the columns both cover, their rows mostly agree.
bool sameLine(const std::vector<PixelPoint>& a, const std::vector<PixelPoint>& b)
{
    std::size_t shared = 0, close = 0;
    std::size_t j = 0;
    for (const PixelPoint& p : a) {
        while (j < b.size() && b[j].x < p.x - 0.25) ++j;
        if (j < b.size() && std::abs(b[j].x - p.x) < 0.25) {
            ++shared;
            if (std::abs(b[j].y - p.y) <= SameLineRows) ++close;
        }
    }
    return shared > 0 && static_cast<double>(close) >= SameLineShare * static_cast<double>(shared);
}

// The plot's width in pixels: the frame's, or else the span of the x references, or the picture's.
double plotWidth(const PlotArea& area, const AxesReferences& references, int pictureWidth)
{
    if (const auto columns = area.columnSpan()) return *columns;
    const double span = std::hypot(references.x.second.x - references.x.first.x, references.x.second.y - references.x.first.y);
    return std::max(span, 0.5 * pictureWidth);
}

// The line through the middles of the dots a trace over them widened went
// along, a point per column from the first dot to the last (widened, each
// dot is a level step, and the widened line runs on beyond the end dots);
// none when too few dots lie along it.
std::vector<PixelPoint> alongDots(const ColourPieces& dots, const std::vector<PixelPoint>& trace, int joinRadius)
{
    // The trace's row at a column, between its points there where they are
    // a widened dot apart (it has none where it went on through a widened
    // dot's slanted end); none across a longer gap or beyond its ends.
    const double widestStep = 2.0 * joinRadius + 2;
    const auto traceRow = [&](double x) {
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        const auto after = std::lower_bound(trace.begin(), trace.end(), x, [](const PixelPoint& p, double at) { return p.x < at; });
        if (after == trace.end()) return none;
        if (after->x == x) return after->y;
        if (after == trace.begin() || after->x - (after - 1)->x > widestStep) return none;
        const PixelPoint& before = *(after - 1);
        return before.y + (after->y - before.y) * (x - before.x) / (after->x - before.x);
    };
    std::vector<PixelPoint> middles;
    for (const Piece& dot : dots.pieces) {
        const PixelPoint middle{(dot.left + dot.right + 1) / 2.0, (dot.top + dot.bottom + 1) / 2.0};
        const double row = traceRow(std::floor(middle.x) + 0.5);
        if (std::abs(row - middle.y) <= joinRadius + 1) middles.push_back(middle);
    }
    // A few specks joined (stubs, a smudge) are no dotted line.
    if (middles.size() < FewestDots) return {};
    std::sort(middles.begin(), middles.end(), [](const PixelPoint& a, const PixelPoint& b) { return a.x < b.x; });
    std::vector<PixelPoint> line;
    std::size_t next = 1;
    for (double x = std::ceil(middles.front().x - 0.5) + 0.5; x <= middles.back().x; ++x) {
        while (next + 1 < middles.size() && middles[next].x < x) ++next;
        const PixelPoint& a = middles[next - 1];
        const PixelPoint& b = middles[next];
        line.push_back({x, b.x > a.x ? a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x) : b.y});
    }
    return line;
}

// The curve traced again from a run of its colour a few columns beyond the
// trace's end on that side (-1 left, +1 right), where the end's trend leads,
// and only its part beyond the end; none when no run lies there.
std::optional<std::vector<PixelPoint>> tracedBeyond(const ColumnRuns& columns, const ColourPieces& found,
                                                    const std::vector<PixelPoint>& trace, int side, int reach,
                                                    const TraceLimits& limits)
{
    constexpr double NearRows = 3.0;
    if (trace.size() < 2) return std::nullopt;
    const PixelPoint& end = side < 0 ? trace.front() : trace.back();
    const double slope = side < 0 ? endTrend(std::vector<PixelPoint>(trace.rbegin(), trace.rend())).slope : endTrend(trace).slope;
    const double thickness = lineThickness(columns, trace);
    for (int k = 2; k <= reach; ++k) {
        const int x = static_cast<int>(std::floor(end.x)) + side * k;
        if (x < 0 || x >= columns.width()) return std::nullopt;
        const double expected = end.y + slope * (x + 0.5 - end.x);
        for (const ColumnRun& run : columns.column(x)) {
            const double middle = (run.top + run.bottom + 1) / 2.0;
            if (std::abs(middle - expected) > std::max(NearRows, thickness)) continue;
            std::vector<PixelPoint> again = traceCurve(columns, found.pieces[static_cast<std::size_t>(run.piece)], run.piece,
                                                       PixelPoint{x + 0.5, middle}, limits, StartColumn::AsGiven);
            std::erase_if(again, [&](const PixelPoint& p) { return side < 0 ? p.x >= end.x : p.x <= end.x; });
            if (again.size() < 2) return std::nullopt;
            return again;
        }
    }
    return std::nullopt;
}

// How far the colour along the middle of a trace lies from the colour asked:
// the median over its points on the colour's runs (not across its gaps), each
// the nearest of the pixel and those above and below it.
double middleDistance(const PixelBuffer& picture, const ColumnRuns& columns, const std::vector<PixelPoint>& trace, Rgb colour)
{
    std::vector<double> distances;
    for (const PixelPoint& p : trace) {
        const int x = static_cast<int>(std::floor(p.x)), y = static_cast<int>(std::floor(p.y));
        if (x < 0 || x >= picture.width()) continue;
        const auto runs = columns.column(x);
        if (std::none_of(runs.begin(), runs.end(), [&](const ColumnRun& r) { return y >= r.top - 1 && y <= r.bottom + 1; }))
            continue;
        double d = std::numeric_limits<double>::infinity();
        for (int dy = -1; dy <= 1; ++dy)
            if (y + dy >= 0 && y + dy < picture.height()) d = std::min(d, colourDistance(rgbOf(picture.pixel(x, y + dy)), colour));
        distances.push_back(d);
    }
    if (distances.empty()) return 0;
    std::nth_element(distances.begin(), distances.begin() + static_cast<std::ptrdiff_t>(distances.size() / 2), distances.end());
    return distances[distances.size() / 2];
}

// The centre line of the curve in pixels (empty when nothing was found), the
// number of other lines of the colour across the plot, and how far the
// colour goes on beyond the line's ends.
struct CentreLine {
    std::vector<PixelPoint> line;
    // The other lines of the colour across the plot (none with a click).
    std::vector<std::vector<PixelPoint>> others;
    std::optional<double> colourGoesOnTo;
    // The same for each of the other lines.
    std::vector<std::optional<double>> othersGoOnTo;
    // How many pieces of the colour there were (dots for a second look).
    std::size_t pieces = 0;
    // The plot's width in pixels.
    double width = 0;
    // Whether the line is all the colour's ink in the plot, its ends where the ink ends.
    bool wholeInk = false;
    // An end of the line at the edge of an area smaller than the axes' span (see endAtInnerEdge).
    std::optional<PixelPoint> endInside;
    // Whether it was found as dots joined (centreLineOrDots).
    bool joinedDots = false;
};

CentreLine centreLine(const PixelBuffer& picture, const AxisCalibration& calibration, const CurveSearch& search,
                      const ToleranceChoice& tolerance, int joinRadius)
{
    const SearchPieces pieces = searchPieces(picture, calibration, search, tolerance, joinRadius);
    const ColourPieces& found = pieces.found;
    const LineDirections& directions = pieces.directions;
    const StraightLines& lines = pieces.lines;
    if (found.pieces.empty()) return {};
    const double width = plotWidth(lines.area, calibration.references(), picture.width());
    long long largest = 0;
    for (const Piece& piece : found.pieces) largest = std::max(largest, piece.pixels);
    const long long smallest = std::max(SpeckPixels, largest / SmallPieceShare);
    // A row of markers along a level stretch is the curve, not a word beside it.
    const std::vector<bool> letters =
        lettersNotMarkers(found, letterPieces(found, tallestLetter(picture.height()), &lines.pixels));
    std::vector<bool> startable(found.pieces.size()), followed(found.pieces.size());
    for (std::size_t i = 0; i < found.pieces.size(); ++i) {
        followed[i] = !letters[i];
        startable[i] = followed[i] && found.pieces[i].pixels >= smallest;
    }

    std::vector<int> starts;
    std::optional<PixelPoint> seed = search.seed;
    if (const std::optional<int> clicked = seed ? pieceNear(found, startable, *seed) : std::nullopt) {
        followed[static_cast<std::size_t>(*clicked)] = true;
        starts.push_back(*clicked);
    } else {
        seed.reset();
        starts = widestPieces(found, startable);
    }

    const ColumnRuns columns(found, followed, picture.width());
    std::vector<PixelRect> words;
    for (std::size_t i = 0; i < found.pieces.size(); ++i)
        if (letters[i] && !followed[i]) {
            words.push_back(boxOf(found.pieces[i]));
        }
    std::vector<PixelRect> samples = legendStrokes(found, pieces.ink, tallestLetter(picture.height()), width);
    // A dash gap with a grid line taken out in it must still be bridged.
    const int maxGap = std::max(16, picture.width() / 25);
    const TraceLimits limits{maxGap, directions.acrossSlope, &lines.pixels, &words};
    std::vector<PixelPoint> best;
    std::vector<std::vector<PixelPoint>> wide, parts;
    std::vector<bool> traced(found.pieces.size(), false);
    std::size_t tried = 0;
    std::vector<std::vector<PixelPoint>> traces;
    for (int start : starts) {
        if (traced[static_cast<std::size_t>(start)]) continue;
        if (++tried > StartCandidates) break;
        // Two lines of one piece (greys of a family crossing) are each traced: the line
        // meant is chosen below. Only the weightiest marks the pieces it went through:
        // another may have gone astray over a piece that is to start a trace of its own.
        std::vector<std::vector<PixelPoint>> each =
            traceEachRun(columns, found.pieces[static_cast<std::size_t>(start)], start, seed, limits);
        const auto weightiest = std::max_element(each.begin(), each.end(), [&](const auto& a, const auto& b) {
            return traceWeight(a, directions.acrossSlope) < traceWeight(b, directions.acrossSlope);
        });
        if (weightiest != each.end()) markTraced(columns, *weightiest, traced);
        for (std::vector<PixelPoint>& trace : each) traces.push_back(std::move(trace));
    }
    // Every line traced, kept whole: those apart from the curve are its neighbours.
    std::vector<std::vector<PixelPoint>> allTraces = traces;
    // A line whose middle is far from the colour asked, where another's is
    // near, is a curve of another colour that the colour faded to the paper
    // reaches (a light blue curve beside a dark blue one): no other line of it.
    std::vector<double> away(traces.size(), 0.0);
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t t = 0; t < traces.size() && !seed && tolerance.adaptive; ++t) {
        away[t] = middleDistance(picture, columns, traces[t], search.colour);
        if (span(traces[t]) >= WideLineShare * width) nearest = std::min(nearest, away[t]);
    }
    // A grey's pale edges match every lighter grey: where one line has the
    // very grey asked for, the lines of other greys are no lines of it.
    std::vector<bool> wideTraces(traces.size());
    for (std::size_t t = 0; t < traces.size(); ++t) wideTraces[t] = span(traces[t]) >= WideLineShare * width;
    const std::vector<bool> otherGrey = seed ? std::vector<bool>(traces.size(), false)
                                             : otherGreys(picture, traces, wideTraces, search.colour, search.chart);
    for (std::size_t t = 0; t < traces.size(); ++t) {
        std::vector<PixelPoint>& trace = traces[t];
        if ((away[t] > nearest + AnotherColour && away[t] > tolerance.tolerance) || otherGrey[t]) continue;
        // A level straight line (a legend's box) or a row of specks (tick
        // marks, a grid's dotted crossings) bridged gap after gap is no other curve.
        const bool line = !levelLine(trace, directions.acrossSlope) && inkShare(columns, trace) >= LeastInkShare;
        if (line && span(trace) >= WideLineShare * width) wide.push_back(trace);
        if (line && span(trace) >= BridgedPartShare * width) parts.push_back(trace);
        if (traceWeight(trace, directions.acrossSlope) > traceWeight(best, directions.acrossSlope)) best = std::move(trace);
    }
    if (span(best) < ShortestTrace) return {{}, {}, {}, {}, found.pieces.size()};
    // From a click only the clicked line was traced: the other lines of the
    // colour are traced too, as parts the clicked curve may go on in.
    if (seed)
        for (int start : widestPieces(found, startable)) {
            if (traced[static_cast<std::size_t>(start)]) continue;
            if (++tried > StartCandidates) break;
            const std::vector<PixelPoint> trace =
                traceCurve(columns, found.pieces[static_cast<std::size_t>(start)], start, std::nullopt, limits);
            markTraced(columns, trace, traced);
            allTraces.push_back(trace);
            if (!levelLine(trace, directions.acrossSlope) && inkShare(columns, trace) >= LeastInkShare &&
                span(trace) >= BridgedPartShare * width)
                parts.push_back(trace);
        }
    // The curve going on beyond a legend's box, a text drawn over it or a
    // crossing the trace stopped at (the part beyond, of the same piece,
    // started no trace of its own: it is traced from where the colour goes on).
    for (bool grew = true; grew;) {
        grew = false;
        for (int side : {-1, 1})
            if (std::optional<std::vector<PixelPoint>> beyond = tracedBeyond(columns, found, best, side, maxGap, limits))
                parts.push_back(std::move(*beyond));
        for (const std::vector<PixelPoint>& other : parts)
            if (auto joined = bridged(best, other, BridgeShare * width)) {
                best = std::move(*joined);
                grew = true;
            }
    }
    CentreLine result;
    result.pieces = found.pieces.size();
    result.width = width;
    const auto apart = [](const std::vector<PixelPoint>& a, const std::vector<PixelPoint>& b) {
        return !sameLine(a, b) && !sameLine(b, a);
    };
    for (std::vector<PixelPoint>& other : wide)
        if (apart(other, best) &&
            std::all_of(result.others.begin(), result.others.end(), [&](const auto& kept) { return apart(other, kept); }))
            result.others.push_back(std::move(other));
    // The other curves of the colour: lines traced apart from the curve across a good part of the plot.
    const auto apartFrom = [&](const std::vector<PixelPoint>& line) {
        std::vector<std::vector<PixelPoint>> lines;
        for (const std::vector<PixelPoint>& trace : allTraces)
            if (span(trace) >= WideLineShare * width && !levelLine(trace, directions.acrossSlope) && apart(trace, line))
                lines.push_back(trace);
        return lines;
    };
    // A label the trace went on through at an end is cut off; beyond the end it is text, no curve going on.
    // A part cut off whose columns a thin line of the colour spans for a letter's height (in stretches wider
    // than half a letter and twice as wide as high, as a grid line cuts a curve; no letter is) is no
    // label: the trace went astray along the curve there, and the colour beyond its new end may be it.
    const int tallest = tallestLetter(picture.height());
    const auto holdsLine = [&](const PixelRect& box) {
        const double margin = tallest / 4.0;
        std::vector<std::pair<int, int>> spans;
        for (const Piece& p : found.pieces)
            if (p.width() * 2 >= tallest && p.height() * 2 <= p.width() && p.pixels * 4 <= static_cast<long long>(p.width()) * tallest &&
                p.left >= box.left - margin && p.right + 1 <= box.left + box.width + margin && p.bottom >= box.top &&
                p.top <= box.top + box.height)
                spans.push_back({p.left, p.right + 1});
        std::sort(spans.begin(), spans.end());
        int covered = 0, reach = std::numeric_limits<int>::min();
        for (const auto& [from, to] : spans) {
            covered += std::max(0, to - std::max(from, reach));
            reach = std::max(reach, to);
        }
        return covered >= tallest;
    };
    const auto trimmed = [&](std::vector<PixelPoint>& trace) {
        TrimmedTrace t = trimmedAtLabels(columns, std::move(trace), tallest);
        trace = std::move(t.trace);
        for (const PixelRect& label : t.labels)
            if (!holdsLine(label)) words.push_back(label);
    };
    trimmed(best);
    for (std::vector<PixelPoint>& other : result.others) trimmed(other);
    // A grey curve's end that ran on in another ink (its label, a line of the family) is cut off.
    best = withoutOtherGreyEnds(picture, std::move(best), search.colour, search.chart);
    const double slack = std::max(CoverageSlackAtLeast, CoverageSlackShare * width);
    // A trace ending by a legend's sample may go on under the legend: its samples are then the colour's.
    const auto bySample = [&](const PixelPoint& end) {
        return std::any_of(samples.begin(), samples.end(), [&](const PixelRect& r) {
            return end.x >= r.left - 2 * slack && end.x <= r.left + r.width + 2 * slack && end.y >= r.top - 2 * slack &&
                   end.y <= r.top + r.height + 2 * slack;
        });
    };
    // A sample on the trace's way on beyond a gap may be the curve's own last
    // stretch beside its end label ("tc=30 °C"), as level as a sample: it
    // is then the colour's too, and the trace may have stopped short of it.
    const auto onTheWayOn = [&](const std::vector<PixelPoint>& trace) {
        if (trace.size() < 2) return false;
        const std::size_t k = std::min<std::size_t>(trace.size() - 1, WayOnPoints);
        const PixelPoint &first = trace.front(), &last = trace.back(), &nearFirst = trace[k], &nearLast = trace[trace.size() - 1 - k];
        const auto rowOn = [](const PixelPoint& end, const PixelPoint& before, double x) {
            return before.x == end.x ? end.y : end.y + (end.y - before.y) / (end.x - before.x) * (x - end.x);
        };
        return std::any_of(samples.begin(), samples.end(), [&](const PixelRect& r) {
            const double middle = r.top + r.height / 2, right = r.left + r.width;
            return (r.left >= last.x && std::abs(middle - rowOn(last, nearLast, r.left)) <= 2 * tallest) ||
                   (right <= first.x && std::abs(middle - rowOn(first, nearFirst, right)) <= 2 * tallest);
        });
    };
    if (!best.empty() && (bySample(best.front()) || bySample(best.back()) || onTheWayOn(best))) samples.clear();
    const auto goesOn = [&](const std::vector<PixelPoint>& trace) {
        return colourBeyondTrace(columns, trace, slack,
                                 {&lines.pixels, &lines.area, &words, &calibration, edgeMargin(width), &samples});
    };
    result.colourGoesOnTo = goesOn(best);
    for (const std::vector<PixelPoint>& other : result.others) result.othersGoOnTo.push_back(goesOn(other));
    // What lies under an area left out is not known: a trace ending at one may
    // go on there. The page around the chart is no such area: the strip of
    // plot between an end and the chart's edge is seen, and beyond the edge
    // lies no more of the curve.
    const auto outsideChart = [&](const PixelRect& r) {
        if (!search.chart) return false;
        const PixelRect& c = *search.chart;
        return r.left >= c.left + c.width - 1 || r.left + r.width <= c.left + 1 || r.top >= c.top + c.height - 1 ||
               r.top + r.height <= c.top + 1;
    };
    const auto atExclusion = [&](const PixelPoint& end) {
        return std::any_of(search.exclusions.begin(), search.exclusions.end(), [&](const PixelRect& r) {
            return !outsideChart(r) && end.x >= r.left - slack && end.x <= r.left + r.width + slack && end.y >= r.top - slack &&
                   end.y <= r.top + r.height + slack;
        });
    };
    // A line that enters the plot at one edge and leaves it at another has been followed
    // end to end, however little of the x range it spans (a steep line of a log-log chart
    // leaving through the top, its legend sample elsewhere in the plot).
    const auto atChartEdge = [&](const PixelPoint& end) {
        if (!search.chart) return false;
        const PixelRect& r = *search.chart;
        const double margin = edgeMargin(width);
        return end.x <= r.left + margin || end.x >= r.left + r.width - margin || end.y <= r.top + margin ||
               end.y >= r.top + r.height - margin;
    };
    // Runs of a lighter grey of the family are no ink of the grey asked, however its faded edges match them.
    LoneInkJudges::OtherInk otherInk;
    if (const InkJudge anotherGrey = anotherGreyJudge(picture, best, search.colour, search.chart))
        otherInk = [anotherGrey](int x, const ColumnRun& run) { return anotherGrey(x, run.top, run.bottom); };
    const bool edgeToEdge = !best.empty() && atChartEdge(best.front()) && atChartEdge(best.back());
    // The page around the chart is left out too: an end at the chart's edge has nothing unknown beyond it.
    const auto unknownBeyond = [&](const PixelPoint& end) { return atExclusion(end) && !atChartEdge(end); };
    result.wholeInk = !result.colourGoesOnTo && !best.empty() && !unknownBeyond(best.front()) && !unknownBeyond(best.back()) &&
                      (edgeToEdge || loneInk(columns, best, lines.area, &lines.pixels, slack, apartFrom(best), words, samples,
                                                     {otherInk, seed.has_value()}));
    if (search.referencesRead && !best.empty())
        for (const PixelPoint& end : {best.front(), best.back()})
            if (endAtInnerEdge(end, lines.area, calibration, edgeMargin(width))) result.endInside = end;
    result.line = search.averageThickness ? averagedOverThickness(columns, best) : std::move(best);
    if (joinRadius > 0) {
        // Specks left along the frame or a grid line by a scan are no dotted curve.
        const auto dotted = [&](const std::vector<PixelPoint>& widened) {
            std::vector<PixelPoint> line = alongDots(pieces.dots, widened, joinRadius);
            if (levelLine(line, directions.acrossSlope)) line.clear();
            return line;
        };
        result.line = dotted(result.line);
        // The other lines of the colour (a dotted family) likewise, each
        // through its own dots; one without dots enough along it stays as
        // seen, still told as another line.
        for (std::vector<PixelPoint>& other : result.others)
            if (std::vector<PixelPoint> line = dotted(other); !line.empty()) other = std::move(line);
    }
    return result;
}

// How far each dot of a dotted line is widened to meet the next: dots are
// drawn a few points apart, so about 4 pixels on a picture 1000 wide.
int dotJoinRadius(const PixelBuffer& picture)
{
    constexpr int PixelsPerReach = 250;
    return std::max(2, (std::max(picture.width(), picture.height()) + PixelsPerReach - 1) / PixelsPerReach);
}

// The line of the colour; where there is none but many dots too small to
// start a trace, each apart, those dots joined: one dotted line. The same
// for one curve asked for and for every curve of a colour (a dotted family).
CentreLine centreLineOrDots(const PixelBuffer& picture, const AxisCalibration& calibration, const CurveSearch& search,
                            const ToleranceChoice& tolerance)
{
    CentreLine found = centreLine(picture, calibration, search, tolerance, 0);
    if (!found.line.empty() || found.pieces < FewestDots) return found;
    found = centreLine(picture, calibration, search, tolerance, dotJoinRadius(picture));
    found.joinedDots = !found.line.empty();
    return found;
}

struct ScaledPoint {
    double x;
    double y;
};

// The line's points as the calibration measures them (decades on a logarithmic axis), by x.
std::vector<ScaledPoint> scaledLine(const std::vector<PixelPoint>& line, const AxisCalibration& calibration)
{
    std::vector<ScaledPoint> scaled;
    for (const PixelPoint& p : line) {
        const UnitPoint u = calibration.toUnits(p);
        const ScaledPoint s{calibration.scaledX(u.x), calibration.scaledY(u.y)};
        if (std::isfinite(s.x) && std::isfinite(s.y)) scaled.push_back(s);
    }
    std::sort(scaled.begin(), scaled.end(), [](const ScaledPoint& a, const ScaledPoint& b) { return a.x < b.x; });
    return scaled;
}

double interpolate(const std::vector<ScaledPoint>& line, double x)
{
    const auto after = std::lower_bound(line.begin(), line.end(), x,
                                        [](const ScaledPoint& p, double value) { return p.x < value; });
    if (after == line.begin()) return after->y;
    if (after == line.end()) return line.back().y;
    const ScaledPoint& before = *(after - 1);
    if (after->x == before.x) return after->y;
    return before.y + (after->y - before.y) * (x - before.x) / (after->x - before.x);
}

// The markers' centres as points, left to right.
Checked<FoundCurve> markerPoints(const PixelBuffer& picture, const AxisCalibration& calibration,
                                 const CurveSearch& search, const ToleranceChoice& tolerance)
{
    const SearchPieces pieces = searchPieces(picture, calibration, search, tolerance, 0);
    const std::vector<PixelPoint> centres =
        markerCentres(pieces.found, lettersNotMarkers(pieces.found, letterPieces(pieces.found, tallestLetter(picture.height()))), search.seed,
                      largestMarker(picture.width(), picture.height()), &pieces.lines.pixels);
    if (centres.size() < 2)
        return failed<FoundCurve>("nessun indicatore del colore " + colourText(search.colour) +
                                  " trovato nell'immagine (ne servono almeno 2)");
    if (centres.size() > static_cast<std::size_t>(MaxPointCount))
        return failed<FoundCurve>("troppi indicatori: " + std::to_string(centres.size()) + " (al massimo " +
                                  std::to_string(MaxPointCount) + "); restringere la ricerca con le zone escluse");
    FoundCurve curve;
    for (const PixelPoint& p : centres) {
        curve.points.push_back(calibration.toUnits(p));
        curve.pixels.push_back(p);
    }
    return succeeded(std::move(curve));
}

// The points of the search along the centre line (pixels), added to the curve given.
// With wholeInk the line is all the colour's ink in the plot (see traceDoubts).
Checked<FoundCurve> pointsAlong(const std::vector<PixelPoint>& centre, const AxisCalibration& calibration,
                                const CurveSearch& search, FoundCurve curve, bool wholeInk = false);

// Anti-aliasing, blur and scanning pale a line toward the paper, never
// darken it: a trace whose core is clearly darker than the colour asked for
// followed another, darker line within the tolerance (a solid dark grey
// beside the dotted light grey asked for). The core at each column is the
// darkest pixel of the three rows about the centre; their median is judged.
std::optional<std::string> darkerLineDoubt(const PixelBuffer& picture, const std::vector<PixelPoint>& line, Rgb colour)
{
    constexpr double Darker = 12;
    std::vector<double> cores;
    for (const PixelPoint& p : line) {
        const int x = static_cast<int>(std::floor(p.x)), y = static_cast<int>(std::floor(p.y));
        double darkest = std::numeric_limits<double>::infinity();
        for (int row = y - 1; row <= y + 1; ++row)
            if (picture.contains(x, row)) darkest = std::min(darkest, labOf(rgbOf(picture.pixel(x, row))).lightness);
        if (std::isfinite(darkest)) cores.push_back(darkest);
    }
    if (cores.empty()) return std::nullopt;
    const auto middle = cores.begin() + static_cast<std::ptrdiff_t>(cores.size() / 2);
    std::nth_element(cores.begin(), middle, cores.end());
    if (*middle >= labOf(colour).lightness - Darker) return std::nullopt;
    return "la linea seguita è più scura del colore " + colourText(colour) + " (chiarezza " + pointValueText(std::round(*middle)) +
           " invece di " + pointValueText(std::round(labOf(colour).lightness)) +
           "): forse è un'altra curva; indicare una tolleranza minore (--tolerance) o un punto della curva voluta";
}

} // namespace

std::string noCurveMessage(Rgb colour) { return "nessuna curva del colore " + colourText(colour) + " trovata nell'immagine"; }

std::optional<std::string> curveSearchProblem(const PixelBuffer& picture, const CurveSearch& search)
{
    if (picture.empty()) return "nessuna immagine da leggere";
    if (search.tolerance && !(*search.tolerance >= MinTolerance && *search.tolerance <= MaxTolerance))
        return "tolleranza non valida (0..100)";
    if (search.pointCount < MinPointCount || search.pointCount > MaxPointCount)
        return "numero di punti non valido (2..200): " + std::to_string(search.pointCount);
    if (!(search.step >= 0) || !std::isfinite(search.step)) return "passo non valido: " + pointValueText(search.step);
    return std::nullopt;
}

Checked<FoundCurve> findCurve(const PixelBuffer& picture, const AxisCalibration& calibration, const CurveSearch& search)
{
    if (auto problem = curveSearchProblem(picture, search)) return failed<FoundCurve>(*problem);
    const ToleranceChoice tolerance = chooseTolerance(picture, search.colour, search.tolerance);
    FoundCurve curve;
    if (const auto note = toleranceNote(tolerance)) curve.notes.push_back(*note);
    if (tolerance.backgroundMatches) {
        curve.doubts.push_back(backgroundDoubt(tolerance.tolerance, tolerance.fading.background));
        return succeeded(std::move(curve));
    }
    if (search.markers) {
        Checked<FoundCurve> markers = markerPoints(picture, calibration, search, tolerance);
        if (markers) markers->notes = curve.notes;
        return markers;
    }
    CentreLine found = centreLineOrDots(picture, calibration, search, tolerance);
    std::optional<std::string> faintDoubt;
    if (found.joinedDots) curve.notes.push_back("la curva è fatta di punti staccati: letta unendoli");
    if (found.line.empty() && tolerance.adaptive) {
        // Dots a scan blurred into a faint trace: the asked ink faded most of the way to the paper.
        ToleranceChoice faint = tolerance;
        faint.fading.share = 1 - FaintestInk;
        faint.tolerance = FaintTolerance;
        found = centreLine(picture, calibration, search, faint, dotJoinRadius(picture));
        if (!found.line.empty())
            curve.notes.push_back("la curva è letta come il colore " + colourText(search.colour) + " sbiadito sulla carta " +
                                  colourText(faint.fading.background) + " (una linea sottile sfocata dalla scansione)");
        if (!found.line.empty() && span(found.line) < FaintLeastShare * found.width)
            faintDoubt = "la curva sbiadita è stata seguita solo per il " + pointValueText(std::round(1000 * span(found.line) / found.width) / 10) +
                         " % della larghezza del grafico: può essere rumore della scansione o un'altra linea";
    }
    Checked<FoundCurve> sampled = pointsAlong(found.line, calibration, search, std::move(curve), found.wholeInk);
    if (!sampled) return sampled;
    if (faintDoubt) sampled->doubts.push_back(*faintDoubt);
    if (!found.others.empty()) sampled->doubts.push_back(otherLinesDoubt(search.colour, int(found.others.size()) + 1));
    if (found.colourGoesOnTo)
        sampled->doubts.push_back(cutShortDoubt(found.line, calibration, *found.colourGoesOnTo));
    if (found.endInside)
        sampled->doubts.push_back("la traccia si ferma a x = " + pointValueText(calibration.toUnits(*found.endInside).x) +
                                  " sul bordo della zona letta come grafico, ma gli assi proseguono oltre: forse la zona è "
                                  "più piccola del grafico (una linea della griglia presa per la cornice) e la curva continua; "
                                  "controllare i punti");
    if (const auto darker = darkerLineDoubt(picture, found.line, search.colour)) sampled->doubts.push_back(*darker);
    if (const auto lighter = lighterStretch(picture, found.line, tolerance.fading.background))
        sampled->doubts.push_back(lighterStretchDoubt(*lighter, calibration));
    return sampled;
}

Checked<std::vector<FoundCurve>> findAllCurves(const PixelBuffer& picture, const AxisCalibration& calibration,
                                               const CurveSearch& search)
{
    if (auto problem = curveSearchProblem(picture, search)) return failed<std::vector<FoundCurve>>(*problem);
    const ToleranceChoice tolerance = chooseTolerance(picture, search.colour, search.tolerance);
    if (tolerance.backgroundMatches)
        return failed<std::vector<FoundCurve>>(backgroundDoubt(tolerance.tolerance, tolerance.fading.background));
    CurveSearch unseeded = search;
    unseeded.seed.reset();
    const CentreLine found = centreLineOrDots(picture, calibration, unseeded, tolerance);
    std::vector<FoundCurve> curves;
    if (found.line.empty()) return failed<std::vector<FoundCurve>>(noCurveMessage(search.colour));
    std::vector<const std::vector<PixelPoint>*> lines{&found.line};
    for (const auto& other : found.others) lines.push_back(&other);
    std::vector<std::optional<double>> goOnTo{found.colourGoesOnTo};
    goOnTo.insert(goOnTo.end(), found.othersGoOnTo.begin(), found.othersGoOnTo.end());
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Checked<FoundCurve> curve = pointsAlong(*lines[i], calibration, search, {})) {
            // A line short of the x range is whole only where its colour ends with it.
            if (goOnTo[i] && !curve->doubts.empty()) curve->doubts.push_back(cutShortDoubt(*lines[i], calibration, *goOnTo[i]));
            curves.push_back(std::move(*curve));
        }
    return succeeded(std::move(curves));
}

namespace {

Checked<FoundCurve> pointsAlong(const std::vector<PixelPoint>& centre, const AxisCalibration& calibration,
                                const CurveSearch& search, FoundCurve curve, bool wholeInk)
{
    const std::vector<ScaledPoint> line = scaledLine(centre, calibration);
    if (line.size() < 2 || !(line.back().x > line.front().x)) return failed<FoundCurve>(noCurveMessage(search.colour));

    std::vector<double> xs;
    if (search.step > 0) {
        // The multiples of the step within the trace, in the axis's own values.
        const double low = calibration.valueOfScaledX(line.front().x), high = calibration.valueOfScaledX(line.back().x);
        const double first = std::ceil(low / search.step - 1e-9), last = std::floor(high / search.step + 1e-9);
        if (last - first + 1 > MaxPointCount)
            return failed<FoundCurve>("passo " + pointValueText(search.step) + " troppo piccolo: darebbe " +
                                      pointValueText(last - first + 1) + " punti (al massimo " +
                                      std::to_string(MaxPointCount) + ")");
        for (double k = first; k <= last; ++k) xs.push_back(calibration.scaledX(k * search.step));
        if (xs.empty()) return failed<FoundCurve>("nessun multiplo del passo " + pointValueText(search.step) +
                                                  " nel tratto di curva trovato");
    } else {
        const double first = line.front().x;
        const double step = (line.back().x - first) / (search.pointCount - 1);
        for (int i = 0; i < search.pointCount; ++i) xs.push_back(i + 1 == search.pointCount ? line.back().x : first + step * i);
    }
    for (double x : xs) {
        if (!std::isfinite(x)) continue;
        const UnitPoint point{calibration.valueOfScaledX(x), calibration.valueOfScaledY(interpolate(line, x))};
        curve.points.push_back(point);
        curve.pixels.push_back(calibration.toPixels(point));
    }
    curve.doubts = traceDoubts(centre, calibration, wholeInk, search.chart);
    curve.centre = centre;
    return succeeded(std::move(curve));
}

} // namespace

} // namespace calvero::capture
