#include "capture/linemeant.h"

#include "capture/pointexport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace calvero::capture {

namespace {

// A grey (black too) has no hue to tell lines apart by, only its lightness.
constexpr double GreyChroma = 12.0;
// Another grey line this much farther from the grey asked for than the
// trace's core is nearly as near.
constexpr double NearlyAsNear = 8.0;
// A row holding near colours over this share of the columns traced is a straight line.
constexpr double StraightShare = 0.3;
// The rows above and below the trace's centre where its core is looked for.
constexpr int CoreReach = 3;
// A core this near the colour asked for is that colour, whatever else is drawn.
constexpr double SameColour = 10.0;
// Another line counts when its pixels are within this share of the trace's
// core distance, farther than `Apart` pixels from the trace, in at least
// `RivalColumns` of the columns traced (and a quarter of them): a legend's
// sample or a label in the colour is shorter.
constexpr double NearerShare = 0.75;
constexpr double Apart = 6.0;
constexpr std::size_t RivalColumns = 100;
// Colours further apart than this, channel by channel summed, are not
// within any threshold used here; they skip the CIELAB conversion.
constexpr int FarApart = 200;

// A click within this many pixels of the line (across it) is on it.
constexpr double ClickReach = 12.0;

bool excluded(const std::vector<PixelRect>& exclusions, int x, int y)
{
    return std::any_of(exclusions.begin(), exclusions.end(), [&](const PixelRect& r) {
        return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
    });
}

int channelsApart(Rgb a, Rgb b) { return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue); }

} // namespace

std::optional<std::string> nearerLineOfTheColour(const PixelBuffer& picture, const std::vector<PixelPoint>& centre,
                                                 Rgb asked, const std::vector<PixelRect>& exclusions)
{
    const Lab askedLab = labOf(asked);
    const bool grey = std::hypot(askedLab.a, askedLab.b) < GreyChroma;
    if (centre.empty()) return std::nullopt;
    // The trace's core: in each column the pixel nearest the colour asked for, the median of them.
    std::vector<std::pair<double, Rgb>> core;
    std::vector<double> traceRow(static_cast<std::size_t>(picture.width()), std::nan(""));
    for (const PixelPoint& p : centre) {
        const int x = static_cast<int>(std::lround(p.x)), y = static_cast<int>(std::lround(p.y));
        if (x < 0 || x >= picture.width()) continue;
        traceRow[static_cast<std::size_t>(x)] = p.y;
        std::optional<std::pair<double, Rgb>> nearest;
        for (int dy = -CoreReach; dy <= CoreReach; ++dy) {
            if (!picture.contains(x, y + dy)) continue;
            const Rgb c = rgbOf(picture.pixel(x, y + dy));
            const double d = colourDistance(c, asked);
            if (!nearest || d < nearest->first) nearest = {d, c};
        }
        if (nearest) core.push_back(*nearest);
    }
    if (core.empty()) return std::nullopt;
    std::nth_element(core.begin(), core.begin() + static_cast<std::ptrdiff_t>(core.size() / 2), core.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto [coreDistance, coreColour] = core[core.size() / 2];
    if (!grey && coreDistance < SameColour) return std::nullopt;

    // A colour: another line clearly nearer it. A grey: another grey line
    // nearly as near (a scan lightens every grey of a family, the darker
    // neighbour's core then matches best).
    const double nearer = grey ? coreDistance + NearlyAsNear : NearerShare * coreDistance;
    // Near the trace: within `Apart` of its centre in this column or a neighbouring one (a steep line's run).
    const auto nearTrace = [&](int x, int y) {
        for (int dx = -static_cast<int>(Apart); dx <= static_cast<int>(Apart); ++dx) {
            if (x + dx < 0 || x + dx >= picture.width()) continue;
            const double row = traceRow[static_cast<std::size_t>(x + dx)];
            if (!std::isnan(row) && std::abs(y - row) <= Apart) return true;
        }
        return false;
    };
    // Only the columns traced are compared: the curve's own colour going on
    // beyond a trace's end is told apart elsewhere.
    struct Near {
        int x, y;
        Rgb colour;
    };
    std::vector<Near> found;
    std::vector<std::size_t> perRow(static_cast<std::size_t>(picture.height()), 0);
    for (int x = 0; x < picture.width(); ++x) {
        if (std::isnan(traceRow[static_cast<std::size_t>(x)])) continue;
        for (int y = 0; y < picture.height(); ++y) {
            const Rgb c = rgbOf(picture.pixel(x, y));
            if (channelsApart(c, asked) > FarApart || excluded(exclusions, x, y)) continue;
            if (colourDistance(c, asked) >= nearer || nearTrace(x, y)) continue;
            found.push_back({x, y, c});
            ++perRow[static_cast<std::size_t>(y)];
        }
    }
    // A row holding the colour over much of the trace's width is a straight
    // line (the frame, a grid line), no curve.
    const auto straight = [&](int y) {
        for (int dy = -1; dy <= 1; ++dy)
            if (y + dy >= 0 && y + dy < picture.height() &&
                double(perRow[static_cast<std::size_t>(y + dy)]) > StraightShare * double(core.size()))
                return true;
        return false;
    };
    std::vector<bool> column(static_cast<std::size_t>(picture.width()), false);
    long long sum[3] = {0, 0, 0}, pixels = 0;
    for (const Near& n : found) {
        if (straight(n.y)) continue;
        column[static_cast<std::size_t>(n.x)] = true;
        sum[0] += n.colour.red, sum[1] += n.colour.green, sum[2] += n.colour.blue, ++pixels;
    }
    const auto columns = static_cast<std::size_t>(std::count(column.begin(), column.end(), true));
    if (columns < std::max(RivalColumns, core.size() / 4)) return std::nullopt;
    const Rgb other{static_cast<std::uint8_t>(sum[0] / pixels), static_cast<std::uint8_t>(sum[1] / pixels),
                    static_cast<std::uint8_t>(sum[2] / pixels)};
    if (grey)
        return "il grigio cercato (" + colourText(asked) + ") è vicino sia alla linea seguita (" + colourText(coreColour) +
               ") sia a un'altra linea del grafico (" + colourText(other) +
               "): su una scansione i grigi di una famiglia non si distinguono; indicare la curva con --start";
    return "la linea seguita ha il colore " + colourText(coreColour) + ", lontano da " + colourText(asked) +
           "; nel grafico c'è un'altra linea di colore più vicino (" + colourText(other) +
           "): forse è quella la curva cercata (indicarla con --start)";
}

std::optional<std::string> clickMissed(const std::vector<PixelPoint>& centre, PixelPoint click)
{
    // The trace's row at the click's column, between the nearest points on
    // either side (across a gap the trace bridged, it is the bridge's row).
    std::optional<PixelPoint> before, after;
    for (const PixelPoint& p : centre) {
        if (p.x <= click.x && (!before || p.x > before->x)) before = p;
        if (p.x >= click.x && (!after || p.x < after->x)) after = p;
    }
    if (before && after) {
        const double share = after->x > before->x ? (click.x - before->x) / (after->x - before->x) : 0.0;
        if (std::abs(before->y + share * (after->y - before->y) - click.y) <= ClickReach) return std::nullopt;
    }
    return "la traccia non passa per il punto indicato (" + pointValueText(click.x) + "," + pointValueText(click.y) +
           "): forse segue un'altra linea dello stesso colore";
}

} // namespace calvero::capture
