#pragma once
// Every curve on the page (--all-curves): the lines of each colour drawn on
// it, and among lines of one colour each on its own (a black family), each
// with its label, the words nearest it inside the plot ("D=200" beside a
// pump curve; a family labelled in turn by the order of labels and curves).
// When every label carries a number, one per curve, the curves are a
// family: x;parameter;y lines. Otherwise one block per curve, headed by a
// comment line with its label, or a file per curve in a folder. Labels that
// look misread are told, never quietly taken.
#include "capture/calibration.h"
#include "capture/curvefinder.h"
#include "capture/labelreading.h"
#include "capture/pixelbuffer.h"
#include "capture/pixelrect.h"
#include "capture/pointexport.h"
#include "capture/textreader.h"
#include "common/checked.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

struct LabelledCurve {
    Rgb colour;
    std::string label;
    // The number the label carries (the diameter of "D=200"), if any.
    std::optional<double> parameter;
    FoundCurve curve;
    // Where the label was read, when one was, and how sure the reader was (0 to 100).
    std::optional<PixelRect> labelBox;
    double labelConfidence = 100;
    // Another number the label was read as, when its readings disagreed.
    std::string labelAlsoRead;
};

// Each curve's label: the phrase (words on one line side by side) nearest
// its centre line, within a few letters' height of it; each phrase labels one
// curve, and one written in a colour other than black only a curve of that
// colour. Returns the phrases of the labels' form ("# °C" beside "30 °C")
// that no curve took: each the label of a curve not followed.
// A word with a legend's sample left of it (samples[i], the sample's colour,
// beside words[i]) labels only the one curve of that colour.
std::vector<std::string> labelCurves(std::vector<LabelledCurve>& curves, const std::vector<ReadWord>& words,
                                     const std::vector<std::optional<Rgb>>& samples = {});

// The colour of a legend's sample left of each word (its box as read, with
// 3 pixels about the letters): a short level stroke (whole, dashed or dotted)
// of one curve's colour in the word's rows, ending just before the word and
// starting clear of more of that colour (a curve running on past a label is
// no sample); none where there is none or samples of two colours.
std::vector<std::optional<Rgb>> legendSamples(const PixelBuffer& picture, const std::vector<ReadWord>& words,
                                              const std::vector<LabelledCurve>& curves);

// Why the labels may be misread (Italian), or none: one of several curves
// without a label read beside it (its name made up), a curve without a
// numbered label beside others that have one, two curves with one number,
// labels that differ beyond their number ("D=200" beside "'230"), a label
// read far shorter or longer than the others for its width ("D=2" where
// "D=200" is written), one the reader was unsure of, or one read as two
// numbers; or a label of the family's form beside no curve followed.
// `listed` counts the curves of the whole chart when these are some of them
// (those of one y axis): a lone curve without a label among others is told too.
std::vector<std::string> labelDoubts(const std::vector<LabelledCurve>& curves, const std::vector<std::string>& labelsLeft = {},
                                     std::size_t listed = 0);

// Whether a line traced in another colour runs along a curve already taken
// (its rows within 1 % of the plot's height, 3 pixels at least, at 90 % of
// its points): the edges of that curve's markers or its fringe, not one more.
bool alongTakenCurve(const std::vector<PixelPoint>& line, const std::vector<PixelPoint>& taken, double plotHeight);

struct EveryCurve {
    std::vector<LabelledCurve> curves;
    // Labels of the curves' form no curve took (labelCurves).
    std::vector<std::string> labelsLeft;
    // Lines across the plot that were seen but not followed without a doubt
    // (a grey curve of a black family): the colour and the doubt.
    std::vector<std::string> linesLeft;
};

// What the page says when lines were seen but not all followed: how many of each, and why.
std::string linesLeftDoubt(std::size_t followed, const std::vector<std::string>& linesLeft);

// Every curve of every colour drawn inside the plot, labelled from the words
// the reader reads there; the search gives the points and tolerance. The
// plot area is the chart's, when given; otherwise the page's only chart's.
Checked<EveryCurve> findEveryCurve(const PixelBuffer& picture, const AxisCalibration& calibration,
                                  const CurveSearch& search, const TextReader& reader,
                                  std::optional<PixelRect> plot = std::nullopt);

// The text of the curves: x;parameter;y when every label carries a distinct
// number, otherwise blocks headed "# label".
std::string everyCurveText(const std::vector<LabelledCurve>& curves, const TextFormat& format);

// A file name for a curve's label: letters, digits and . , = + - _ kept, others as '_'.
std::string fileNameFor(const std::string& label);

} // namespace calvero::capture
