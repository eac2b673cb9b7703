#pragma once
// The charts on a page: every plot area, each with the lines drawn along its
// edges. A catalogue page may hold several charts among text and tables, and
// a curve is read against the axes of the chart it lies in. A plot area is
// found by its long straight lines, whatever their shade (a black frame, a
// light grey one, the axis lines alone, or a grid without any frame): lines
// across and down that touch or cross make one chart, whose area is the box
// they span; or by an area filled with a paper of its own (a grey background
// under a white grid); or by its tick marks alone (tickmarkcharts.h). A box inside a chart's (a legend's frame) is no chart
// of its own. The charts are numbered left to right, top to bottom.
#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelmask.h"
#include "capture/pixelrect.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// A straight line along an edge: the rows (of a line across) or columns (of
// a line down) it covers, how far it reaches along, and its middle across
// to a tenth of a pixel (the centre of its ink, anti-aliased fringes weighed
// by their darkness), in picture coordinates (pixel i covers [i, i + 1)).
struct EdgeLine {
    int from = 0;
    int to = 0;
    int first = 0;
    int last = 0;
    double centre = 0;
};

struct ChartFrame {
    // The plot area's edges: the middles of the lines drawn there, or the
    // edges of the filled area.
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    // The lines drawn along the edges, where there are some.
    std::optional<EdgeLine> bottomLine;
    std::optional<EdgeLine> leftLine;
    std::optional<EdgeLine> topLine;
    std::optional<EdgeLine> rightLine;
    // The middles of its lines down (columns) and across (rows), edges and
    // grid alike: where a tick label stands when no tick is drawn.
    std::vector<double> gridColumns;
    std::vector<double> gridRows;
};

// The page's papers as the charts are read against: paperColours(), and
// white where a good share of the page is white beside a grey one nearly as
// light (a chart's area filled #e5e5e5 on a white page: so near that the
// colours' count takes them for one paper, and the white for ink).
std::vector<Rgb> pagePapers(const PixelBuffer& picture);

// The ink of the page as its structure is read: a pixel farther from every
// paper (in its most different channel) than the paper's grain reaches, and
// at least a few levels; a clean page keeps its faint grid, a grainy scan
// loses its specks.
PixelMask structureInk(const PixelBuffer& picture, const std::vector<Rgb>& papers);

// The charts on the page, in reading order; none when no plot area is found.
std::vector<ChartFrame> findCharts(const PixelBuffer& picture);
// The same on the page's ink (structureInk), when the caller has it.
std::vector<ChartFrame> findCharts(const PixelBuffer& picture, const PixelMask& ink);

// Where coloured ink outside every chart reaches across and up or down the
// page as a curve does, each such place: the curves of a chart not found (its marks too
// faint or too few, on a page turned and not straightened), so that the
// charts found are not taken for all of the page's.
std::vector<PixelRect> curveInkOutside(const PixelBuffer& picture, const std::vector<ChartFrame>& charts);

// The same for black or grey curves (a chart printed in black with only
// its numbers round it): one stroke of the page's ink (structureInk) outside
// every chart, reaching as far as a curve does, each column it crosses
// inked once or twice (two curves crossing), no edge of its box drawn along
// (a table's grid and a box's frame are); text, whose letters stand apart, is none.
std::vector<PixelRect> darkCurveOutside(const PixelBuffer& picture, const PixelMask& ink, const std::vector<ChartFrame>& charts);

// The place in reading order (from 0) of a chart not found whose curves
// lie in `lines`, among the charts found (in reading order): its frame is
// not seen, so it may reach beyond its lines up to the charts round it or
// the page's edge; a place that holds however far it reaches, none when the
// reach could change it or the lines run into a chart found.
std::optional<std::size_t> placeAmongCharts(const std::vector<ChartFrame>& charts, const PixelRect& lines, int height);

// The number (from 0) of the chart whose area holds the point, if any: a click's chart.
std::optional<std::size_t> chartAt(const std::vector<ChartFrame>& charts, PixelPoint point);

// A chart's plot area as a rectangle of the picture.
PixelRect areaOf(const ChartFrame& c);

// A rectangle as the messages give it: "90,60 - 471,361" (left, top - right, bottom).
std::string placeText(const PixelRect& r);

// The charts as the user reads them: "1 (100,40 - 950,675)", one a line.
std::string chartListText(const std::vector<ChartFrame>& charts);

// The middle of a line across (rows from..to, columns first..last) or down,
// to a tenth of a pixel: each column's (or row's) darkness-weighted centre,
// the median of them, so ticks and curves crossing it do not pull it.
double lineCentre(const PixelBuffer& picture, const EdgeLine& line, bool across);

// How far a scanned page is turned, in degrees (its lines across descend to
// the right for a positive turn), found within ±3 degrees to a few
// hundredths: the turn at which the ink's rows change most sharply from one
// to the next (its long lines each on one row; broad blobs of ink do not
// sway it). 0 for a page as drawn, and for one without long lines both
// ways, whose best turn only lines up curves and text by chance.
double pageTurn(const PixelBuffer& picture, const std::vector<Rgb>& papers);

// The colour round the picture's edge: the paper a turned page is set on.
Rgb marginColour(const PixelBuffer& picture);

// The picture turned back by `degrees` about its centre (bilinear, the
// corners that come in from outside the page mirrored from its edge), and
// where a point of the turned picture lies on the original.
PixelBuffer turnedBack(const PixelBuffer& picture, double degrees);
PixelPoint onTheOriginal(PixelPoint turned, double degrees, int width, int height);

} // namespace calvero::capture
