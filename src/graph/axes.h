#pragma once
// The two linear axes of the graph: 1-2-5 rounding of the data range, ticks,
// numeric labels on every second tick and the axis titles.
#include "graph/graphstate.h"

#include <array>
#include <cstdint>
#include <string>

namespace calvero {

// The 1-2-5 sequence from 0.00001 to 100000000.
extern const std::array<double, 40> AxisStepTable;

// Entry k of the step sequence; beyond the table the 1-2-5 sequence goes on
// with the next powers of ten.
double axisStepEntry(int k);

struct AxisRange {
    double lo = 0.0;
    double hi = 0.0;
    double step = 0.0;
};

// Widens lo..hi outward to multiples of a step that divides the range in 8 to
// 20 parts (a positive upper bound and a negative lower bound move one step
// even when already on a multiple).
AxisRange roundAxisRange(double lo, double hi);

enum class Axis { X, Y };

// The label of value v on the axis, using that axis's step in the plot frame:
// every digit of the value, the decimals its step needs. On the y axis a
// shorter label is padded to 8 characters.
std::string formatTickLabel(const GraphState& s, Axis axis, double v);

// Rounds the data range of both axes, lays the plot out and draws the axes,
// ticks, labels and titles in the colour given. Called first in a pass: the
// plotting uses the world window it sets.
void drawAxes(GraphState& s, const std::string& xTitle, const std::string& yTitle, std::uint16_t colour,
              double xMin, double yMin, double xMax, double yMax);

} // namespace calvero
