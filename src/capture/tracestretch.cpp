#include "capture/tracestretch.h"

#include "capture/median.h"
#include "capture/pointexport.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero::capture {

namespace {

// A core this much lighter than the trace's usual one is another line's.
constexpr double LighterBy = 20.0;
// A core within this lightness of the paper is no ink (a dashed line's gap
// the trace bridged): it is left out.
constexpr double PaperMargin = 20.0;
// The stretch is judged in windows of this share of the trace's columns (at
// least this many), by their middle core, each half a window on from the
// last; a stretch over three such windows is another line (a crossing, a
// grid line or a few pale dots are narrower).
constexpr double WindowShare = 0.05;
constexpr std::size_t LeastWindow = 12;
constexpr int StretchWindows = 3;

} // namespace

std::optional<LighterStretch> lighterStretch(const PixelBuffer& picture, const std::vector<PixelPoint>& trace, Rgb paper)
{
    const double paperLightness = labOf(paper).lightness;
    // The core at each point on ink, with its column.
    std::vector<PixelPoint> at;
    std::vector<double> cores;
    for (const PixelPoint& p : trace) {
        const int x = static_cast<int>(std::floor(p.x)), y = static_cast<int>(std::floor(p.y));
        double darkest = std::numeric_limits<double>::infinity();
        for (int row = y - 1; row <= y + 1; ++row)
            if (picture.contains(x, row)) darkest = std::min(darkest, labOf(rgbOf(picture.pixel(x, row))).lightness);
        if (std::isfinite(darkest) && darkest < paperLightness - PaperMargin) {
            at.push_back(p);
            cores.push_back(darkest);
        }
    }
    const std::size_t window = std::max(LeastWindow, static_cast<std::size_t>(WindowShare * static_cast<double>(trace.size())));
    if (cores.size() < 3 * window) return std::nullopt;
    const double usual = median(cores);
    // The lighter windows in a row, and the longest such stretch.
    std::optional<LighterStretch> current, longest;
    int windows = 0, most = 0;
    for (std::size_t from = 0; from + window <= cores.size(); from += window / 2) {
        const double here = median({cores.begin() + static_cast<std::ptrdiff_t>(from),
                                    cores.begin() + static_cast<std::ptrdiff_t>(from + window)});
        if (here < usual + LighterBy) {
            current.reset();
            continue;
        }
        if (current) {
            ++windows;
            current->to = at[from + window - 1];
            current->lightness = std::max(current->lightness, here);
        } else {
            windows = 1;
            current = LighterStretch{at[from], at[from + window - 1], here, usual};
        }
        if (windows > most) most = windows, longest = current;
    }
    if (most < StretchWindows) return std::nullopt;
    return longest;
}

std::string lighterStretchDoubt(const LighterStretch& stretch, const AxisCalibration& calibration)
{
    const auto valueAt = [&](const PixelPoint& p) { return pointValueText(calibration.toUnits(p).x); };
    return "da x = " + valueAt(stretch.from) + " a x = " + valueAt(stretch.to) +
           " la traccia passa su una linea più chiara (chiarezza " + pointValueText(std::round(stretch.lightness)) + " invece di " +
           pointValueText(std::round(stretch.usual)) + "): forse un'altra curva; controllare i punti o indicare un altro punto della curva";
}

} // namespace calvero::capture
