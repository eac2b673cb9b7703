#include "graph/axes.h"

#include "common/numtext.h"
#include "graph/device.h"
#include "graph/graphstate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

const std::array<double, 40> AxisStepTable = {
    0.00001, 0.00002, 0.00005, 0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.005, 0.01,
    0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20,
    50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000,
    100000, 200000, 500000, 1000000, 2000000, 5000000, 10000000, 20000000, 50000000, 100000000,
};

namespace {

// Index of 1e308 in the continued sequence: the largest entry a double holds.
constexpr int LastStepIndex = 3 * (308 + 5);

// Far more ticks than any rounded range gives; only degenerate windows reach it.
constexpr double MaxTicks = 10000;

constexpr std::size_t MaxTitleLength = 10;
constexpr std::size_t MaxShownXTitle = 8;
constexpr int YLabelWidth = 8;

int tickCount(double min, double max, double step)
{
    const double n = std::trunc((max - min) / step);
    if (!(n >= 0)) return 0;
    return static_cast<int>(std::min(n, MaxTicks));
}

// A window of no width would make the scale infinite: all-zero data get
// -1 to 1, other equal bounds the range of half the value on either side.
AxisRange nonEmptyWindow(AxisRange range)
{
    if (range.hi - range.lo > 0) return range;
    if (range.lo == 0 && range.hi == 0) return {-1.0, 1.0, roundAxisRange(-1.0, 1.0).step};
    const double c = range.lo;
    return roundAxisRange(std::min(0.5 * c, 1.5 * c), std::max(0.5 * c, 1.5 * c));
}

// Tick values carry the rounding noise of xMin + i * step: one within a
// billionth of a step of a whole number is that whole number.
bool isWhole(double v, double step) { return std::fabs(v - std::nearbyint(v)) <= 1e-9 * step; }

// The decimals a multiple of a step of 1, 2.5 or 5 times a power of ten needs.
int stepDecimals(double step)
{
    const double exponent = std::floor(std::log10(step) + 1e-9);
    const double mantissa = step / std::pow(10.0, exponent);
    const double decimals = -exponent + (std::fabs(mantissa - 2.5) < 1e-6 ? 1 : 0);
    return decimals > 0 ? static_cast<int>(decimals) : 0;
}

int labelDecimals(double step);

// Every few ticks carry a label: those at whole multiples of that many steps,
// so that labels read -45, -40 and not -47.5, -42.5 whatever the lower bound.
bool labelledTick(double v, double step, int every)
{
    return std::fmod(std::nearbyint(v / step), static_cast<double>(every)) == 0;
}

// A non-zero label: fixed notation with every digit of its value, no leading
// blanks, no trailing zeros in the decimals (the point stays).
std::string numberLabel(double v, double step)
{
    if (isWhole(v, step)) return formatReal(std::nearbyint(v), 1, 0);
    std::string text = formatReal(v, 1, labelDecimals(step));
    if (text.find('.') != std::string::npos) text.erase(text.find_last_not_of('0') + 1);
    return text;
}

// Decimals of a label that is not whole, from the step of its axis: those of
// the step from 1 up (one for 2.5), 2 from 0.1, 3 from 0.01, and one more per
// power of ten below.
int labelDecimals(double step)
{
    if (step >= 1) return stepDecimals(step);
    static constexpr double Thresholds[] = {1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8,
                                            1e-9, 1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15};
    int decimals = 2;
    for (double threshold : Thresholds) {
        if (step >= threshold) return decimals;
        ++decimals;
    }
    return decimals;
}

void drawXAxis(GraphState& s, std::size_t titleLength)
{
    const PlotFrame& p = s.plot;
    const double w = s.frame.charWidth;
    const double h = s.frame.charHeight;
    const double right = p.originX + p.extentX;
    const double y0 = p.originY;
    const double length = static_cast<double>(titleLength);

    drawLine(s, p.originX, y0, right, y0);
    drawLine(s, right, y0, right - 1.5 * w, y0 - w);
    drawLine(s, right - 1.5 * w, y0 - w, right - 1.5 * w, y0 + w);
    drawLine(s, right - 1.5 * w, y0 + w, right, y0);

    const double titleX = right - (length + 2) * w;
    double freeFrom = -std::numeric_limits<double>::infinity(); // where the last label drawn ends
    const int n = tickCount(p.xMin, p.xMax, p.xStep);
    for (int i = 0; i <= n; ++i) {
        const double v = p.xMin + i * p.xStep;
        const double xd = p.originX + i * p.xStep * p.xScale;
        if (!labelledTick(v, p.xStep, s.xLabelEvery)) {
            drawLine(s, xd, y0, xd, y0 - 0.6 * h);
        } else if (i < n) {
            drawLine(s, xd, y0, xd, y0 - h);
            // Labels that would run into the title or into the label before
            // are left out; a label's own leading blank keeps them apart.
            const std::string label = formatTickLabel(s, Axis::X, v);
            const double left = xd - w;
            const double end = left + textWidth(s, label);
            if (s.frame.deviceWidth - (length + 5) * w >= xd && end <= titleX && left >= freeFrom) {
                drawText(s, label, left, y0 - 2.25 * h);
                freeFrom = end;
            }
        }
    }
    drawText(s, p.xTitle.substr(0, MaxShownXTitle), titleX, y0 - 2.25 * h);
}

// A y label as drawn: the label of 8 characters without its first blank, a
// longer one whole.
std::string shownYLabel(const GraphState& s, double v)
{
    const std::string label = formatTickLabel(s, Axis::Y, v);
    return label.front() == ' ' ? label.substr(1) : label;
}

// Where the y labels end: half a character short of the long ticks.
double yLabelRight(const GraphState& s)
{
    return s.plot.originX - s.frame.charHeight - 0.5 * s.frame.charWidth;
}

// The room the widest y label of the window lo..hi needs left of the axis.
double yLabelRoom(const GraphState& s, double lo, double hi, double step)
{
    double widest = 0.0;
    const int n = tickCount(lo, hi, step);
    for (int i = 0; i < n; ++i)
        if (labelledTick(lo + i * step, step, s.yLabelEvery)) widest = std::max(widest, textWidth(s, shownYLabel(s, lo + i * step)));
    return widest + s.frame.charHeight + 0.5 * s.frame.charWidth;
}

void drawYAxis(GraphState& s)
{
    const PlotFrame& p = s.plot;
    const double w = s.frame.charWidth;
    const double h = s.frame.charHeight;
    const double x0 = p.originX;
    const double top = p.originY + p.extentY;

    drawLine(s, x0, p.originY, x0, top);
    drawLine(s, x0, top, x0 - w, top - w);
    drawLine(s, x0 - w, top - w, x0 + w, top - w);
    drawLine(s, x0 + w, top - w, x0, top);

    const double labelRight = yLabelRight(s);
    const int n = tickCount(p.yMin, p.yMax, p.yStep);
    for (int i = 0; i <= n; ++i) {
        const double v = p.yMin + i * p.yStep;
        const double yd = p.originY + i * p.yStep * p.yScale;
        if (!labelledTick(v, p.yStep, s.yLabelEvery)) {
            drawLine(s, x0, yd, x0 - 0.75 * h, yd);
        } else if (i < n) {
            drawLine(s, x0, yd, x0 - h, yd);
            const std::string label = shownYLabel(s, v);
            drawText(s, label, labelRight - textWidth(s, label), yd + 1.05 * w);
        }
    }
    drawText(s, p.yTitle, x0 - 8.5 * w - h, s.frame.deviceHeight - 1.5 * h);
}

} // namespace

double axisStepEntry(int k)
{
    if (k < 0) k = 0;
    if (k < static_cast<int>(AxisStepTable.size())) return AxisStepTable[static_cast<std::size_t>(k)];
    static constexpr double Mantissas[] = {1, 2, 5};
    return Mantissas[k % 3] * std::pow(10.0, k / 3 - 5);
}

AxisRange roundAxisRange(double lo, double hi)
{
    const double r = std::fabs(hi - lo);
    int k = 1;
    if (r >= AxisStepTable[0])
        while (k < LastStepIndex && !(r < axisStepEntry(k))) ++k;
    const double step = axisStepEntry(k) / 20;

    auto q = [step](double v) { return std::trunc(std::fabs(v) / step); };
    AxisRange result{0.0, 0.0, step};
    if (lo > 0) result.lo = q(lo) * step;
    else if (lo < 0) result.lo = -(q(lo) + 1) * step;
    if (hi > 0) result.hi = (q(hi) + 1) * step;
    else if (hi < 0) result.hi = -q(hi) * step;
    return result;
}

std::string formatTickLabel(const GraphState& s, Axis axis, double v)
{
    const PlotFrame& p = s.plot;
    std::string text = v == 0 ? std::string(1, '0') : numberLabel(v, axis == Axis::X ? p.xStep : p.yStep);
    if (axis == Axis::Y && text.size() < YLabelWidth) text.insert(0, YLabelWidth - text.size(), ' ');
    return text;
}

void drawAxes(GraphState& s, const std::string& xTitle, const std::string& yTitle, std::uint16_t colour,
              double xMin, double yMin, double xMax, double yMax)
{
    s.plot.xTitle = xTitle.substr(0, MaxTitleLength);
    s.plot.yTitle = yTitle.substr(0, MaxTitleLength);
    if (yMin == yMax) {
        yMin *= 0.5;
        yMax *= 1.5;
    }
    const AxisRange x = nonEmptyWindow(roundAxisRange(xMin, xMax));
    const AxisRange y = nonEmptyWindow(roundAxisRange(yMin, yMax));
    s.plot.xStep = x.step;
    s.plot.yStep = y.step;
    s.xLabelEvery = 2;
    s.yLabelEvery = 2;
    // The plot area moves right when the y labels need more room than the margin.
    layoutPlot(s, x.lo, y.lo, x.hi, y.hi, yLabelRoom(s, y.lo, y.hi, y.step));
    setColour(s, colour);
    // The x title's full length places it and limits the labels, even when
    // only its first 8 characters are shown.
    drawXAxis(s, xTitle.size());
    drawYAxis(s);
}

} // namespace calvero
