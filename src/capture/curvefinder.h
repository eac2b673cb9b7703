#pragma once
// Finding a curve by its colour on the picture and placing points along it.
//
// The pixels of the colour are grouped into connected pieces; the trace starts
// on the piece under the user's click (without one, on each of the widest
// pieces, keeping the longest trace) and follows the curve column by column,
// each column taking the run of matching pixels that continues the trace,
// keeping its trend through crossings and across the gaps of a dashed line.
// The plot's frame, axes and grid lines are taken out first, whatever their
// colour; small pieces (letters, specks) are never taken, a legend or label
// away from the trace is not reached. Pixels inside the exclusion rectangles
// are never taken. Dots too small to start a trace are joined; a fine line a
// scan blurred toward the paper is read as its ink mixed with the paper.
//
// A read that may not be the curve meant says so (FoundCurve::doubts): the
// colour draws more than one line across the plot and no click tells which,
// or the trace stops where the curve's colour goes on along it.
#include "capture/calibration.h"
#include "common/checked.h"
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"

#include <optional>
#include <vector>

namespace calvero::capture {

constexpr int DefaultPointCount = 30;
constexpr int MinPointCount = 2;
constexpr int MaxPointCount = 200;

struct CurveSearch {
    Rgb colour;
    // As given; without one, the default narrowed to keep the page's other colours out.
    std::optional<double> tolerance;
    int pointCount = DefaultPointCount;
    // Where the user clicked on the curve, if anywhere.
    std::optional<PixelPoint> seed;
    std::vector<PixelRect> exclusions;
    // The chart's frame on the page, when known: a line that reaches it has left the plot.
    std::optional<PixelRect> chart;
    // When above 0: points at the multiples of this x step (in units) instead of pointCount points.
    double step = 0;
    // The points are the centres of markers drawn in the colour (circles,
    // squares, triangles), as many as there are, instead of a traced line.
    bool markers = false;
    // The line's rows averaged over its own thickness along x (a thick line's
    // centre without the pixels' steps).
    bool averageThickness = false;
    // The references are the axes' own numbers read off the picture (they lie
    // within the plot): an area found narrower than their span is no plot.
    bool referencesRead = false;
};

struct FoundCurve {
    // In ascending x, evenly spaced in x units (in decades on a logarithmic x axis).
    std::vector<UnitPoint> points;
    // The same points on the picture.
    std::vector<PixelPoint> pixels;
    // Why the points may not be the curve meant (Italian), or none. With a
    // tolerance that takes in the background, this and no points.
    std::vector<std::string> doubts;
    // What the search chose by itself (the tolerance), for the user to know.
    std::vector<std::string> notes;
    // The centre line traced, a point per column (none for markers).
    std::vector<PixelPoint> centre;
};

// The message when the search itself is impossible (tolerance, number of
// points or step out of range, an empty picture), or nothing.
std::optional<std::string> curveSearchProblem(const PixelBuffer& picture, const CurveSearch& search);

// The points of the curve of the search's colour, or the message when the
// search is impossible or no curve of that colour is on the picture.
Checked<FoundCurve> findCurve(const PixelBuffer& picture, const AxisCalibration& calibration,
                              const CurveSearch& search);

// Every line of the search's colour across a good part of the plot (each
// curve of a black family its own), the longest first, each with its points;
// the click, if any, is not used.
Checked<std::vector<FoundCurve>> findAllCurves(const PixelBuffer& picture, const AxisCalibration& calibration,
                                               const CurveSearch& search);

// The message of findCurve when no curve of the colour was found.
std::string noCurveMessage(Rgb colour);

} // namespace calvero::capture
