#pragma once
// The axes of a chart read off the picture by themselves: the chart's plot
// area (pagestructure.h), the tick marks or grid lines along its edges, and
// the numbers in its margins, read by the text reader and checked against
// each other: under the x axis and left of the y axis, and where numbers
// stand on the right or on top too, a second y or x axis. A factor or an
// offset written at an axis's far end ("1e4", "+1000") is applied to its
// values; one not understood is refused with its text. Each label stands at
// the tick or grid line it labels (placed to a tenth of a pixel), or where
// none is, at its own middle. The references are the two agreeing labels
// farthest apart on each axis, placed where all the agreeing labels put them.
#include "capture/axisfactor.h"
#include "capture/calibration.h"
#include "capture/pagestructure.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"
#include "capture/textreader.h"
#include "capture/ticklabels.h"
#include "common/checked.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// One axis as read: its labels, its references (values with any factor
// applied) and the factor written at its end, if one was.
struct FoundAxis {
    AxisReading reading;
    AxisReference reference;
    std::optional<AxisFactor> factor;
    // The colour its numbers are written in, when not black or grey.
    std::optional<Rgb> labelColour;
    // Its title as read beside its numbers ("P [kW]"), empty when none was.
    std::string title;
};

struct FoundAxes {
    // The bottom x axis and the left y axis (the primary ones).
    AxesReferences references;
    ChartFrame chart;
    AxisReading x;
    AxisReading y;
    std::optional<AxisFactor> xFactor;
    std::optional<AxisFactor> yFactor;
    std::optional<Rgb> yLabelColour;
    std::string yTitle;
    // A second y axis, numbered on the right with other values than the
    // left's, and a second x axis on top: each against the primary other axis.
    std::optional<FoundAxis> rightY;
    std::optional<FoundAxis> topX;
    // Where the x axis came from another chart sharing it (stacked panels), that chart's number (from 0).
    std::optional<std::size_t> xSharedFrom;
};

// A chart on the page whose axes were not read, and why.
struct UnreadChart {
    // Its number among the page's charts, read or not; none for curves seen
    // outside every chart found, whose place among the charts is not known.
    std::optional<std::size_t> number;
    ChartFrame chart;
    std::string why;
};

// The axes of every chart on the page whose axes could be read, in
// reading order; a box whose margins hold no axis (a table, a legend's frame
// outside the plot) is no chart. With none read, why (the largest box's reason).
struct PageAxes {
    std::vector<FoundAxes> axes;
    // Each chart read's number on the page (from 1): charts are numbered left
    // to right, top to bottom, those whose axes were not read among them.
    std::vector<std::size_t> numbers;
    std::string failure;
    // The other charts (numbers under them and left of them) and curves outside every chart.
    std::vector<UnreadChart> unread;
};
PageAxes findPageAxes(const PixelBuffer& picture, const TextReader& reader);

// Whether every chart the page holds has its number: no curves were seen
// outside the charts found (a chart not found would shift the numbers).
bool chartsNumbered(const PageAxes& page);

// The message for a page with several charts, the unread ones among them:
// "la pagina ha 2 grafici: 1 (100,40 - 950,675); 2 (...), assi non letti".
std::string pageChartsMessage(const PageAxes& page);

// The axes of the page's only chart; a page with several is refused with
// the list of them, a page with none with why.
Checked<FoundAxes> findAxes(const PixelBuffer& picture, const TextReader& reader);

// "1 grafico", "3 grafici".
std::string chartCountText(std::size_t count);

// The references as the right y axis reads them (the x axis as it was):
// what a curve drawn against that axis is read with.
AxesReferences againstRightAxis(const FoundAxes& axes);

// Why the agreeing labels, all whole numbers, may have lost their decimal
// mark: one left out is written with decimals ("15.0" beside "25", "50" read
// for 2.5, 5.0), and an axis writes its numbers in one format. `words` are
// the labels as read, in the reading's order; one far taller than the
// numbers (run into a neighbour's number) says nothing.
std::optional<std::string> decimalsLeftOut(const AxisReading& reading, const std::vector<ReadWord>& words);

// Why the labels taken may all have lost their decimal mark ("2.0" read
// "20"): a label left out with one ("3.0") would stand on the axis only ten
// or a hundred times larger or smaller. None when no label says so.
std::optional<std::string> lostDecimalMark(const AxisReading& reading);

// The references and the labels read, a line each, for the user to check.
std::string axesReport(const FoundAxes& axes);

} // namespace calvero::capture
