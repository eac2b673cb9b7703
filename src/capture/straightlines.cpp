#include "capture/straightlines.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace calvero::capture {

namespace {

// A line drawn dotted or broken by the scan still counts across gaps this wide.
constexpr int LineGap = 3;
// No line is shorter than this, however small the picture.
constexpr double ShortestLine = 30;
// Shares of the references' distance and of the picture a line spans at least.
constexpr double ReferenceShare = 0.4;
constexpr double PictureShare = 0.15;
// Two lines of a direction enclose a plot when at least this share of the
// other direction's shortest line apart; the area reaches this many pixels
// beyond them, for a curve drawn over the frame.
constexpr double EnclosingShare = 0.5;
constexpr double AreaMargin = 3;
// Ink is measured across a line up to this many pixels; a thicker curve
// lying along a line for this many positions keeps its pixels there.
constexpr int ThickestInk = 64;
constexpr std::size_t AlongsideRun = 8;
// A dashed or dotted grid line: gaps up to this share of the picture's
// larger side, ink over at least `DashFill` of its length, and at most
// `ThickDashes` of its inked places thicker across than `DashThickness`
// pixels (a line of text's letters stand on a row as often, but rise above it).
constexpr double DashGapShare = 0.01;
constexpr double DashFill = 0.45;
constexpr int DashThickness = 4;
constexpr double ThickDashes = 0.3;
// A pixel this near a line (across it) lies on it.
constexpr double LineReach = 2.5;
// Beyond this slope the references are not along an axis drawn straight.
constexpr double SteepestAxis = 0.2;

struct Stretch {
    double offset; // the line's start row (or column) at position 0
    int first;
    int last;
};

// Lines along (position, offset + slope * position), positions 0..length-1,
// the cross coordinate 0..breadth-1; `inked` tells whether a pixel is set.
// Gaps up to `gap` are bridged; a stretch is inked over at least `leastFill` of its length.
template <typename Inked>
std::vector<Stretch> findStretches(int length, int breadth, double slope, double shortest, Inked inked, int gap = LineGap,
                                   double leastFill = 0)
{
    std::vector<Stretch> found;
    const double drift = slope * (length - 1);
    const int lowest = static_cast<int>(std::floor(std::min(0.0, -drift))) - 1;
    const int highest = static_cast<int>(std::ceil(breadth + std::max(0.0, -drift))) + 1;
    for (int start = lowest; start <= highest; ++start) {
        int runStart = -1;
        int lastInk = -gap - 2;
        int inkedPositions = 0;
        const auto close = [&] {
            const int span = lastInk - runStart + 1;
            if (runStart >= 0 && span >= shortest && inkedPositions >= leastFill * span)
                found.push_back({double(start), runStart, lastInk});
        };
        for (int position = 0; position < length; ++position) {
            // A thin line at a slant shares its ink between two rows where it
            // passes between them: either row counts.
            const double exact = start + slope * position;
            const int nearest = static_cast<int>(std::floor(exact + 0.5));
            const int other = exact + 0.5 - nearest < 0.5 ? nearest - 1 : nearest + 1;
            const auto at = [&](int a) { return a >= 0 && a < breadth && inked(position, a); };
            if (!at(nearest) && (slope == 0 || !at(other))) continue;
            if (position - lastInk - 1 > gap) {
                close();
                runStart = position;
                inkedPositions = 0;
            }
            lastInk = position;
            ++inkedPositions;
        }
        close();
    }
    return found;
}

// The lines down the columns of a picture not turned (slope 0), the same as
// findStretches finds them and in its order (by column, then from the top),
// found row by row: a pass down each column in turn reads the mask a byte a
// row apart, and on a page of several million pixels the cache misses cost
// most of the search.
std::vector<Stretch> columnStretches(const PixelMask& ink, double shortest, int gap = LineGap, double leastFill = 0)
{
    const int width = ink.width(), height = ink.height();
    std::vector<int> runStart(static_cast<std::size_t>(width), -1), lastInk(static_cast<std::size_t>(width), -gap - 2);
    std::vector<int> inkedPositions(static_cast<std::size_t>(width), 0);
    std::vector<Stretch> found;
    const auto close = [&](int x) {
        const std::size_t i = static_cast<std::size_t>(x);
        const int span = lastInk[i] - runStart[i] + 1;
        if (runStart[i] >= 0 && span >= shortest && inkedPositions[i] >= leastFill * span)
            found.push_back({double(x), runStart[i], lastInk[i]});
    };
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = ink.row(y);
        for (int x = 0; x < width; ++x) {
            if (!row[x]) continue;
            const std::size_t i = static_cast<std::size_t>(x);
            if (y - lastInk[i] - 1 > gap) {
                close(x);
                runStart[i] = y;
                inkedPositions[i] = 0;
            }
            lastInk[i] = y;
            ++inkedPositions[i];
        }
    }
    for (int x = 0; x < width; ++x) close(x);
    std::stable_sort(found.begin(), found.end(), [](const Stretch& a, const Stretch& b) { return a.offset < b.offset; });
    return found;
}

double slopeOf(double along, double across)
{
    if (!(std::abs(along) > 0)) return 0;
    const double slope = across / along;
    return std::abs(slope) <= SteepestAxis ? slope : 0;
}

// The outermost offsets of the lines, when they are far enough apart to enclose a plot.
std::optional<std::pair<double, double>> outermost(const std::vector<Stretch>& lines, double shortest)
{
    if (lines.empty()) return std::nullopt;
    const auto [low, high] = std::minmax_element(lines.begin(), lines.end(),
                                                 [](const Stretch& a, const Stretch& b) { return a.offset < b.offset; });
    if (high->offset - low->offset < EnclosingShare * shortest) return std::nullopt;
    return std::pair{low->offset - AreaMargin, high->offset + AreaMargin};
}

// The lines of one direction that belong to the plot holding the point
// (along, across): those reaching past it along their length, lying within
// the reach of the other direction's lines that pass it. Two charts one
// above the other share their columns but not their rows.
std::vector<Stretch> linesOfThePlot(const std::vector<Stretch>& lines, const std::vector<Stretch>& others, double slope,
                                    double along, double across)
{
    constexpr double Margin = 3;
    double reachFirst = 1e300, reachLast = -1e300;
    for (const Stretch& o : others) {
        // Another line passes the point when its reach covers the point's place along it.
        if (across >= o.first - Margin && across <= o.last + Margin) {
            reachFirst = std::min(reachFirst, double(o.first));
            reachLast = std::max(reachLast, double(o.last));
        }
    }
    std::vector<Stretch> kept;
    for (const Stretch& l : lines) {
        const double place = l.offset + slope * along;
        const bool passes = along >= l.first - Margin && along <= l.last + Margin;
        const bool within = reachFirst > reachLast || (place >= reachFirst - Margin && place <= reachLast + Margin);
        if (passes && within) kept.push_back(l);
    }
    return kept;
}

// The inked pixels running across the line through (position, across), first to last.
struct InkRun {
    int low = 0;
    int high = -1;
    int length() const { return high - low + 1; }
};

template <typename Inked>
InkRun inkAcross(int position, int across, int breadth, Inked inked)
{
    if (across < 0 || across >= breadth || !inked(position, across)) return {};
    InkRun run{across, across};
    while (run.low > 0 && run.length() < ThickestInk && inked(position, run.low - 1)) --run.low;
    while (run.high + 1 < breadth && run.length() < ThickestInk && inked(position, run.high + 1)) ++run.high;
    return run;
}

// Whether a point (along, across) lies on one of the lines (sorted by offset).
bool onLine(const std::vector<Stretch>& lines, double slope, int along, int across)
{
    const double offset = across - slope * along;
    auto line = std::lower_bound(lines.begin(), lines.end(), offset - LineReach,
                                 [](const Stretch& s, double value) { return s.offset < value; });
    for (; line != lines.end() && line->offset <= offset + LineReach; ++line)
        if (along >= line->first - 1 && along <= line->last + 1) return true;
    return false;
}

// Whether a stretch's ink is a thin line's: across it, mostly no thicker
// than a grid line (not the foot of a line of letters).
template <typename Inked>
bool thinLine(const Stretch& s, double slope, int breadth, Inked inked)
{
    int inkedPlaces = 0, thick = 0;
    for (int position = s.first; position <= s.last; ++position) {
        const int across = static_cast<int>(std::floor(s.offset + slope * position + 0.5));
        const int extent = inkAcross(position, across, breadth, inked).length();
        if (extent == 0) continue;
        ++inkedPlaces;
        thick += extent > DashThickness;
    }
    return inkedPlaces > 0 && thick <= ThickDashes * inkedPlaces;
}

// Marks a stretch's pixels and one each side as line, except where the ink
// reaches beyond the line on both sides for AlongsideRun positions or more:
// there a thicker curve lies along it (a curve that crosses it or ends on it
// does not). Where a line of the other direction crosses (crossing(position,
// across)), the ink is that line's.
template <typename Inked, typename Crossing, typename Mark>
void markStretch(const Stretch& s, double slope, int breadth, Inked inked, Crossing crossing, Mark mark)
{
    const auto acrossAt = [&](int position) { return static_cast<int>(std::floor(s.offset + slope * position + 0.5)); };
    std::vector<int> extents;
    for (int position = s.first; position <= s.last; ++position)
        if (const int extent = inkAcross(position, acrossAt(position), breadth, inked).length()) extents.push_back(extent);
    if (extents.empty()) return;
    std::nth_element(extents.begin(), extents.begin() + static_cast<std::ptrdiff_t>(extents.size() / 2), extents.end());
    const int lineThickness = extents[extents.size() / 2];
    // Where the curve lies along the line for a while, it keeps its pixels;
    // a curve crossing it reaches both sides for a few positions only.
    std::vector<bool> alongside;
    for (int position = s.first; position <= s.last; ++position) {
        const int across = acrossAt(position);
        const InkRun ink = inkAcross(position, across, breadth, inked);
        alongside.push_back(ink.low <= across - lineThickness && ink.high >= across + lineThickness &&
                            ink.length() < ThickestInk && !crossing(position, across));
    }
    for (std::size_t i = 0; i < alongside.size();) {
        std::size_t end = i;
        while (end < alongside.size() && alongside[end] == alongside[i]) ++end;
        const bool kept = alongside[i] && end - i >= AlongsideRun;
        for (std::size_t k = i; k < end && !kept; ++k) {
            const int position = s.first + static_cast<int>(k);
            const int across = acrossAt(position);
            for (int a = std::max(0, across - 1); a <= std::min(breadth - 1, across + 1); ++a) mark(position, a);
        }
        i = end;
    }
}

} // namespace

bool PlotArea::contains(double x, double y) const
{
    const auto within = [](const std::optional<std::pair<double, double>>& bounds, double offset) {
        return !bounds || (offset >= bounds->first && offset <= bounds->second);
    };
    return within(rows_, y - directions_.acrossSlope * x) && within(columns_, x - directions_.downSlope * y);
}

void PlotArea::clearOutside(PixelMask& mask) const
{
    if (!rows_ && !columns_) return;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (mask.at(x, y) && !contains(x + 0.5, y + 0.5)) mask.set(x, y, false);
}

LineDirections lineDirections(const AxesReferences& references, int width, int height)
{
    const PixelPoint xa = references.x.first, xb = references.x.second;
    const PixelPoint ya = references.y.first, yb = references.y.second;
    LineDirections directions;
    directions.acrossSlope = slopeOf(xb.x - xa.x, xb.y - xa.y);
    directions.downSlope = slopeOf(yb.y - ya.y, yb.x - ya.x);
    directions.acrossLength =
        std::max({ShortestLine, ReferenceShare * std::hypot(xb.x - xa.x, xb.y - xa.y), PictureShare * width});
    directions.downLength =
        std::max({ShortestLine, ReferenceShare * std::hypot(yb.x - ya.x, yb.y - ya.y), PictureShare * height});
    return directions;
}

StraightLines findStraightLines(const PixelMask& ink, const LineDirections& directions, std::optional<PixelPoint> inside)
{
    const int width = ink.width();
    const int height = ink.height();
    // The ink along a row (position x, cross coordinate y) and down a column (position y, cross coordinate x).
    const auto inkedAcross = [&](int x, int y) { return ink.at(x, y); };
    const auto inkedDown = [&](int y, int x) { return ink.at(x, y); };
    // The lines across and down, gaps up to `gap` bridged, inked over `leastFill` of their length.
    const auto acrossStretches = [&](int gap, double leastFill) {
        return findStretches(width, height, directions.acrossSlope, directions.acrossLength, inkedAcross, gap, leastFill);
    };
    const auto downStretches = [&](int gap, double leastFill) {
        return directions.downSlope == 0 ? columnStretches(ink, directions.downLength, gap, leastFill)
                                         : findStretches(height, width, directions.downSlope, directions.downLength, inkedDown, gap,
                                                         leastFill);
    };
    std::vector<Stretch> across = acrossStretches(LineGap, 0), down = downStretches(LineGap, 0);
    // Only lines of both directions enclose a plot: a few lines of one
    // direction alone may stop short of where the curve goes.
    // Of a page with two charts, the lines of the one holding the point.
    std::vector<Stretch> acrossHere = across, downHere = down;
    if (inside) {
        acrossHere = linesOfThePlot(across, down, directions.acrossSlope, inside->x, inside->y);
        downHere = linesOfThePlot(down, across, directions.downSlope, inside->y, inside->x);
    }
    auto rows = outermost(acrossHere, directions.downLength);
    auto columns = outermost(downHere, directions.acrossLength);
    if (!rows || !columns) rows = columns = std::nullopt;
    StraightLines lines{PixelMask(width, height), PlotArea(directions, rows, columns)};
    // A dashed grid's lines are taken out with the others, but bound no plot
    // (a frameless chart's curves go on beyond its outermost grid lines).
    const int dashGap = std::max(LineGap, static_cast<int>(DashGapShare * std::max(width, height)));
    std::vector<Stretch> dashedAcross = acrossStretches(dashGap, DashFill), dashedDown = downStretches(dashGap, DashFill);
    std::erase_if(dashedAcross, [&](const Stretch& s) { return !thinLine(s, directions.acrossSlope, height, inkedAcross); });
    std::erase_if(dashedDown, [&](const Stretch& s) { return !thinLine(s, directions.downSlope, width, inkedDown); });
    // A solid line is found again by the dashed pass, the same stretch: it is marked once.
    const auto alreadyFound = [](const std::vector<Stretch>& solid) {
        return [&solid](const Stretch& d) {
            return std::any_of(solid.begin(), solid.end(),
                               [&](const Stretch& s) { return s.offset == d.offset && s.first == d.first && s.last == d.last; });
        };
    };
    std::erase_if(dashedAcross, alreadyFound(across));
    std::erase_if(dashedDown, alreadyFound(down));
    across.insert(across.end(), dashedAcross.begin(), dashedAcross.end());
    down.insert(down.end(), dashedDown.begin(), dashedDown.end());
    const auto byOffset = [](const Stretch& a, const Stretch& b) { return a.offset < b.offset; };
    std::sort(across.begin(), across.end(), byOffset);
    std::sort(down.begin(), down.end(), byOffset);
    for (const Stretch& s : across)
        markStretch(
            s, directions.acrossSlope, height, inkedAcross,
            [&](int x, int y) { return onLine(down, directions.downSlope, y, x); },
            [&](int x, int y) { lines.pixels.set(x, y, true); });
    for (const Stretch& s : down)
        markStretch(
            s, directions.downSlope, width, inkedDown,
            [&](int y, int x) { return onLine(across, directions.acrossSlope, x, y); },
            [&](int y, int x) { lines.pixels.set(x, y, true); });
    return lines;
}

namespace {

template <typename Keep>
void keepWhere(PixelMask& mask, const PixelMask& other, Keep keep)
{
    for (int y = 0; y < mask.height(); ++y) {
        unsigned char* row = mask.row(y);
        const unsigned char* set = other.row(y);
        for (int x = 0; x < mask.width(); ++x) row[x] &= static_cast<unsigned char>(keep(set[x]));
    }
}

} // namespace

void clearWhereSet(PixelMask& mask, const PixelMask& other)
{
    keepWhere(mask, other, [](unsigned char set) { return set == 0; });
}

void keepWhereSet(PixelMask& mask, const PixelMask& other)
{
    keepWhere(mask, other, [](unsigned char set) { return set != 0; });
}

} // namespace calvero::capture
