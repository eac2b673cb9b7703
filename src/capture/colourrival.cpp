#include "capture/colourrival.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace calvero::capture {

namespace {

// A grey asked for (a black family) is no colour to tell lines apart by.
constexpr double GreyChroma = 12.0;
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
    if (std::hypot(askedLab.a, askedLab.b) < GreyChroma || centre.empty()) return std::nullopt;
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
    if (coreDistance < SameColour) return std::nullopt;

    const double nearer = NearerShare * coreDistance;
    std::size_t columns = 0;
    long long sum[3] = {0, 0, 0}, pixels = 0;
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
    for (int x = 0; x < picture.width(); ++x) {
        if (std::isnan(traceRow[static_cast<std::size_t>(x)])) continue;
        bool rival = false;
        for (int y = 0; y < picture.height(); ++y) {
            const Rgb c = rgbOf(picture.pixel(x, y));
            if (channelsApart(c, asked) > FarApart || excluded(exclusions, x, y)) continue;
            if (colourDistance(c, asked) >= nearer || nearTrace(x, y)) continue;
            rival = true;
            sum[0] += c.red, sum[1] += c.green, sum[2] += c.blue, ++pixels;
        }
        if (rival) ++columns;
    }
    if (columns < std::max(RivalColumns, core.size() / 4)) return std::nullopt;
    const Rgb other{static_cast<std::uint8_t>(sum[0] / pixels), static_cast<std::uint8_t>(sum[1] / pixels),
                    static_cast<std::uint8_t>(sum[2] / pixels)};
    return "la linea seguita ha il colore " + colourText(coreColour) + ", lontano da " + colourText(asked) +
           "; nel grafico c'è un'altra linea di colore più vicino (" + colourText(other) +
           "): forse è quella la curva cercata (indicarla con --start)";
}

} // namespace calvero::capture
