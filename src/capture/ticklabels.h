#pragma once
// The numbers read under an axis checked against each other. A tick label
// may read in more than one way (1,000 is a thousand or one with a decimal
// comma; 102 is 10² with its exponent read as a digit): every reading is a
// candidate, and the axis is the one model, linear or logarithmic, that the
// most labels agree with: evenly spaced values at evenly spaced places, or
// decades at evenly spaced places. A label that disagrees (misread, or a
// number of the other axis) is left out; with fewer than two agreeing, or
// fewer than half of the numbers read, the axis is not read.
#include "capture/calibration.h"
#include "capture/textreader.h"
#include "common/checked.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace calvero::capture {

// A label as read: where its tick is along the axis (a column for the x
// axis, a row for the y axis), its text and how sure the reader was (0..100).
struct TickLabel {
    double position = 0;
    std::string text;
    double confidence = 0;
};

struct ReadTick {
    double position = 0;
    std::string text;
    double confidence = 0;
    // Whether the label agrees with the axis, and then the value taken.
    bool agrees = false;
    double value = 0;
};

struct AxisReading {
    AxisScale scale = AxisScale::Linear;
    // Every label, in the order given.
    std::vector<ReadTick> ticks;
    // The two agreeing labels farthest apart, the lower value first: the axis's references.
    ReadTick first;
    ReadTick second;
};

// The values a label's text may stand for, the likeliest first; none when it is no number.
std::vector<double> labelValues(std::string_view text);

// The numeric words of a margin standing in one line along the axis: those
// whose edge toward the axis (`edge`) lies within `reach` of their median
// height from where the digits read put it, each digit a vote (a turned
// axis title's letters read one by one as '|' or '1' do not outvote
// "100000"). Labels read in part (an exponent lost: "10^?", "?") stay, to
// count among those that do not agree, unless far taller than the numbers
// (a label run into a turned axis title: no one number).
std::vector<ReadWord> labelsInLine(std::vector<ReadWord> words, const std::function<double(const ReadWord&)>& edge, double reach);

// Whether a word is far taller than the numbers of its line (boxes padded
// alike): more than one number, or a number run into a title or a neighbour's.
bool tallerThanANumber(const ReadWord& word, double numberHeight);

// How many digits a text holds.
std::size_t digitsIn(std::string_view text);

// How many of the words are more than a lone stroke ("|", "I", "l", "1"):
// minor tick marks beside an edge without a line, or the edge of a scan,
// read as letters are no axis's numbers. Among mostly strokes only words
// with a digit count (a mark read as '?' is another mark).
std::size_t numbersAmong(const std::vector<ReadWord>& words);

// Whether the words crowd into a short stretch of the axis: all within a
// quarter of its length, each next one nearer than one and a half times
// their height. Tick numbers stand apart along their axis by more than their
// height; labels written beyond the curves' ends ("a 1,6", "a 2" where a
// family's curves end close together) crowd so.
bool crowdedInAShortStretch(const std::vector<ReadWord>& words, bool alongX, double axisLength);

// The axis the labels agree on, or why none: `axis` is "x" (positions are
// columns, values grow to the right) or "y" (rows, values grow upward).
// `ticks` are the places of the axis's tick marks and grid lines, when
// known: evenly spaced ones between two labels tell how many steps apart
// they stand when no other label does.
Checked<AxisReading> readAxis(const std::vector<TickLabel>& labels, const std::string& axis, const std::vector<double>& ticks = {});

} // namespace calvero::capture
