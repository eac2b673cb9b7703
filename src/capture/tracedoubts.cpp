#include "capture/tracedoubts.h"

#include "capture/pointexport.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace calvero::capture {

namespace {

// A trace this much of whose points lie within LevelBand of the y span from
// its middle value ran along a level line.
constexpr double LevelShare = 0.8;
constexpr double LevelBand = 0.01;
// A step between neighbouring points that the slope before it misses by more
// than this share of the y span is a jump onto another line; the slope is
// taken over this many points.
constexpr double JumpHeight = 0.08;
constexpr std::size_t SlopePoints = 5;
// A trace should cover at least this share of the x range between the
// references; a trace that is all its colour's ink, this share (less is a
// fragment, not a curve).
constexpr double LeastCoverage = 0.5;
constexpr double LeastWholeCoverage = 0.1;
// References spanning less than this share of the plot's width judge no cover.
constexpr double ShortReferences = 0.5;

constexpr std::string_view CoversTooLittle = "la traccia copre solo il ";

std::string percentText(double share) { return pointValueText(std::round(share * 1000) / 10) + " %"; }

} // namespace

std::vector<std::string> traceDoubts(const std::vector<PixelPoint>& line, const AxisCalibration& calibration,
                                     bool wholeInk, const std::optional<PixelRect>& plot)
{
    const AxesReferences& refs = calibration.references();
    const double xSpan = std::abs(calibration.scaledX(refs.x.secondValue) - calibration.scaledX(refs.x.firstValue));
    const double ySpan = std::abs(calibration.scaledY(refs.y.secondValue) - calibration.scaledY(refs.y.firstValue));
    std::vector<double> xs, ys;
    for (const PixelPoint& p : line) {
        const UnitPoint u = calibration.toUnits(p);
        const double x = calibration.scaledX(u.x), y = calibration.scaledY(u.y);
        if (std::isfinite(x) && std::isfinite(y)) {
            xs.push_back(x);
            ys.push_back(y);
        }
    }
    std::vector<std::string> doubts;
    if (xs.size() < 2 || !(xSpan > 0) || !(ySpan > 0)) return doubts;

    std::vector<double> sorted = ys;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double middle = sorted[sorted.size() / 2];
    const auto level = std::count_if(ys.begin(), ys.end(), [&](double y) { return std::abs(y - middle) <= LevelBand * ySpan; });
    if (static_cast<double>(level) >= LevelShare * static_cast<double>(ys.size()))
        doubts.push_back("la traccia segue per gran parte una linea orizzontale diritta: forse la cornice, un asse o "
                         "una linea della griglia");

    double tallest = 0;
    double where = 0;
    for (std::size_t i = SlopePoints; i < xs.size(); ++i) {
        const std::size_t from = i - SlopePoints;
        const double run = xs[i - 1] - xs[from];
        const double slope = run > 0 ? (ys[i - 1] - ys[from]) / run : 0;
        const double rise = std::abs(ys[i] - ys[i - 1] - slope * (xs[i] - xs[i - 1]));
        if (rise > tallest) {
            tallest = rise;
            where = xs[i];
        }
    }
    if (tallest > JumpHeight * ySpan)
        doubts.push_back("la traccia salta del " + percentText(tallest / ySpan) + " dell'altezza del grafico a x = " +
                         pointValueText(calibration.valueOfScaledX(where)) + ": forse è passata su un'altra linea");

    const auto [low, high] = std::minmax_element(xs.begin(), xs.end());
    // The plot's width in the axis's scaled values, along the trace's middle row.
    double plotSpan = 0;
    if (plot && !line.empty()) {
        const double row = line[line.size() / 2].y;
        plotSpan = std::abs(calibration.scaledX(calibration.toUnits({plot->left + plot->width, row}).x) -
                            calibration.scaledX(calibration.toUnits({plot->left, row}).x));
    }
    const bool shortReferences = std::isfinite(plotSpan) && xSpan < ShortReferences * plotSpan;
    const double covered = (*high - *low) / (shortReferences ? plotSpan : xSpan);
    if (covered < (wholeInk ? LeastWholeCoverage : LeastCoverage))
        doubts.push_back(std::string(CoversTooLittle) + percentText(covered) +
                         (shortReferences ? " della larghezza del grafico (i riferimenti delle x ne coprono solo una parte)"
                                          : " dell'intervallo delle x tra i riferimenti") +
                         ": forse la curva è interrotta o è un'altra linea");
    return doubts;
}

bool onlyCoversTooLittle(const std::vector<std::string>& doubts)
{
    return doubts.size() == 1 && doubts.front().rfind(CoversTooLittle, 0) == 0;
}

std::string otherLinesDoubt(Rgb colour, int lines)
{
    return "il colore " + colourText(colour) + " disegna " + std::to_string(lines) +
           " linee che attraversano buona parte del grafico: è stata letta la più lunga; indicare un punto della "
           "curva voluta (--start, o un clic) per leggere quella";
}

std::string cutShortDoubt(const std::vector<PixelPoint>& line, const AxisCalibration& calibration, double reaches)
{
    const auto valueAt = [&](double column) {
        const PixelPoint& near = std::abs(column - line.front().x) < std::abs(column - line.back().x) ? line.front() : line.back();
        return pointValueText(calibration.toUnits({column, near.y}).x);
    };
    return "la traccia va da x = " + valueAt(line.front().x) + " a x = " + valueAt(line.back().x) +
           ", ma il colore della curva prosegue lungo di essa fino a x = " + valueAt(reaches) +
           ": la traccia si è interrotta (a un incrocio, a una linea della griglia); controllare i punti o indicare "
           "un altro punto della curva";
}

std::string backgroundDoubt(double tolerance, Rgb background)
{
    return "con la tolleranza " + pointValueText(std::round(tolerance)) + " anche lo sfondo (" + colourText(background) +
           ") ha il colore cercato: nessun punto letto, ridurre la tolleranza o scegliere il colore della curva";
}

} // namespace calvero::capture
