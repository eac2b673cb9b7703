#pragma once
// Whether the curve's colour goes on beyond where a trace stopped: a trace
// cut short at a crossing or a grid line, while the pixels of its colour run
// on along it, is not the whole curve, and the user must be told.
#include "capture/calibration.h"
#include "capture/curvetrace.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"
#include "capture/straightlines.h"

#include <functional>
#include <optional>
#include <vector>

namespace calvero::capture {

// The farthest column (pixel x) beyond either end of the trace (pixels, left
// to right) that the colour's runs reach while carrying on the trace's
// direction, when it lies more than `slack` columns beyond that end; nothing
// when the colour stops with the trace.
struct BeyondLimits {
    // The lines taken out: one that runs on along the trace's way may hide
    // the curve and counts as the colour; one crossing the way does not.
    const PixelMask* hidden = nullptr;
    // Runs outside the plot's area (tick marks below a frameless axis) are not the curve.
    const PlotArea* area = nullptr;
    // The letters' boxes: a label just beyond the curve's end, or beside it,
    // is its label, and the curve ends there (the trace bridges a label
    // written over the curve where the curve comes out beyond it).
    const std::vector<PixelRect>* letters = nullptr;
    // With the area and the calibration, an end at the plot's edge (see
    // endAtEdge, within edgeMargin pixels) has nothing beyond it.
    const AxisCalibration* edges = nullptr;
    double edgeMargin = 0;
    // A legend's samples of the colour (legendstrokes.h): no curve going on.
    const std::vector<PixelRect>* samples = nullptr;
};
std::optional<double> colourBeyondTrace(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, double slack,
                                        const BeyondLimits& limits = {});

// Whether the trace is all the colour's ink in the plot area: no run of it
// more than `slack` columns beyond the trace's ends, nor off the trace's row
// within them, but in a few stray columns (specks; ink beside the lines
// taken out is their fringe where the curve crosses them). A curve drawn over part
// of the x range, traced from end to end, is then whole however little of
// the axis it spans; another line of the colour, or a part the trace left,
// says it may not be. The ink of `others`, other curves traced apart from
// it that run beside the trace over half its columns rather than on from it,
// is theirs, ink on the lines of text the letters' boxes stand on is words,
// and ink in the boxes of `samples` a legend's.
// With `judges.otherInk`, runs it tells are another line's ink (another grey);
// with `judges.clicked` (the trace is the line the user clicked) stray ink
// that links into a line beside the trace over half its columns is another
// curve's (a dashed or dotted curve of a family of one colour).
struct LoneInkJudges {
    using OtherInk = std::function<bool(int x, const ColumnRun& run)>;
    OtherInk otherInk;
    bool clicked = false;
};
bool loneInk(const ColumnRuns& columns, const std::vector<PixelPoint>& trace, const PlotArea& area, const PixelMask* hidden,
             double slack, const std::vector<std::vector<PixelPoint>>& others = {},
             const std::vector<PixelRect>& letters = {}, const std::vector<PixelRect>& samples = {},
             const LoneInkJudges& judges = {});

// Whether a trace's end lies within `margin` pixels of the plot area's edge,
// or of the place of an axis' outermost number read.
bool endAtEdge(const PixelPoint& end, const PlotArea& area, const AxisCalibration& calibration, double margin);

// Whether a trace's end at the plot area's edge (within `margin` pixels)
// lies well inside the span of both axes' references: the area found is then
// smaller than the plot (a grid line taken for its frame), the search did not
// look beyond it, and the curve may go on there.
bool endAtInnerEdge(const PixelPoint& end, const PlotArea& area, const AxisCalibration& calibration, double margin);

} // namespace calvero::capture
