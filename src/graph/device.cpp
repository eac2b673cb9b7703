#include "graph/device.h"

#include "common/layoutbox.h"
#include "graph/colours.h"
#include "graph/graphstate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calvero {

namespace {

constexpr int ScreenFontSize = 8;
constexpr int PrinterFontSize = 10;
constexpr int TextFontSize = 12;
const char* const TextFontName = "times new roman";
// A digit of the text font on a screen of 96 dots per inch: half of its
// 16-pixel height.
constexpr double ScreenTextDigitWidth = TextFontSize * 96.0 / 72.0 / 2.0;

std::uint16_t deviceLength(double v)
{
    if (!(v > 0.0)) return 0;
    return static_cast<std::uint16_t>(std::min(std::trunc(v), 65535.0));
}

bool onPrinter(const GraphState& s) { return s.device == DevicePrinter; }

double pageHeightOfDevice(const GraphState& s) { return s.frame.deviceHeight; }

} // namespace

int canvasPixel(double v)
{
    if (std::isnan(v)) return 0;
    const double t = std::trunc(v);
    if (t <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (t >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(t);
}

void beginDrawing(GraphState& s)
{
    s.worldCoordinates = false;
    DeviceFrame& f = s.frame;
    int fontSize = ScreenFontSize;
    if (s.device == DevicePrinter) {
        f.deviceWidth = deviceLength(part(0.9, s.pageWidth));
        f.deviceHeight = deviceLength(part(0.9, s.pageHeight));
        f.offsetX = 0.1 * f.deviceWidth;
        f.offsetY = 0.1 * f.deviceWidth; // taken from the width, like offsetX
        f.charWidth = f.deviceWidth / 100.0;
        f.charHeight = f.deviceHeight / 80.0;
        fontSize = PrinterFontSize;
    } else {
        f.deviceWidth = deviceLength(static_cast<double>(s.windowWidth) - 10);
        f.deviceHeight = deviceLength(static_cast<double>(s.windowHeight) - 80);
        f.offsetX = 0.0;
        f.offsetY = 0.0;
        f.charWidth = 6.0;
        f.charHeight = 6.0;
    }
    if (s.canvas) s.canvas->setFontSize(fontSize);
}

void drawBorder(GraphState& s)
{
    s.worldCoordinates = false;
    if (!s.canvas) return;
    if (s.device == DevicePrinter)
        s.canvas->rectangle(1, 1, s.frame.deviceWidth - 1, s.frame.deviceHeight);
    else
        s.canvas->setPenColour(*colourOf(ColourBlue));
}

void endDrawing(GraphState&) {}

void drawGraph(GraphState& s)
{
    beginDrawing(s);
    drawBorder(s);
    if (GraphProcedure procedure = s.procedure) {
        procedure(s);
        endDrawing(s);
    }
}

void layoutPlot(GraphState& s, double xMin, double yMin, double xMax, double yMax, double leftRoom)
{
    s.worldCoordinates = false;
    PlotFrame& p = s.plot;
    // The room asked for never takes more than half of the device's width.
    const double room = std::min(leftRoom, s.frame.deviceWidth / 2.0);
    p.originX = std::max(s.leftMarginUnits * s.marginColumns * s.frame.charWidth + s.frame.offsetX, room);
    p.originY = (s.marginRows + s.extraBottomRows) * s.frame.charHeight + s.frame.offsetY;
    p.extentX = s.frame.deviceWidth - p.originX - s.rightRoom;
    p.extentY = s.frame.deviceHeight - p.originY;
    p.xMin = xMin;
    p.xMax = xMax;
    p.yMin = yMin;
    p.yMax = yMax;
    p.xScale = p.extentX / (xMax - xMin);
    p.yScale = p.extentY / (yMax - yMin);
}

double deviceX(const GraphState& s, double x)
{
    if (!s.worldCoordinates) return x;
    if (s.lengthOnly) return x * s.plot.xScale;
    return (x - s.plot.xMin) * s.plot.xScale + s.plot.originX;
}

double deviceY(const GraphState& s, double y)
{
    double result = y;
    if (s.worldCoordinates) result = s.lengthOnly ? y * s.plot.yScale : (y - s.plot.yMin) * s.plot.yScale + s.plot.originY;
    if (s.device == DeviceScreen) result = s.frame.deviceHeight - result;
    return result;
}

namespace {

// Converts a position (not a length) and makes it the current position.
void moveCurrentPosition(GraphState& s, double x, double y, double& dx, double& dy)
{
    s.lengthOnly = false;
    dx = deviceX(s, x);
    dy = deviceY(s, y);
    s.currentX = dx;
    s.currentY = dy;
}

} // namespace

void moveTo(GraphState& s, double x, double y)
{
    double dx = 0, dy = 0;
    moveCurrentPosition(s, x, y, dx, dy);
    if (!s.canvas) return;
    // The printer turns y before truncating.
    s.canvas->moveTo(canvasPixel(dx), canvasPixel(onPrinter(s) ? pageHeightOfDevice(s) - dy : dy));
}

void lineTo(GraphState& s, double x, double y)
{
    double dx = 0, dy = 0;
    moveCurrentPosition(s, x, y, dx, dy);
    if (!s.canvas) return;
    // The printer turns the truncated y.
    s.canvas->lineTo(canvasPixel(dx), canvasPixel(onPrinter(s) ? pageHeightOfDevice(s) - std::trunc(dy) : dy));
}

void drawLine(GraphState& s, double x1, double y1, double x2, double y2)
{
    moveTo(s, x1, y1);
    lineTo(s, x2, y2);
}

namespace {

void drawRound(GraphState& s, double x, double y, double r, bool filled)
{
    s.lengthOnly = true;
    const double rd = deviceX(s, r);
    s.lengthOnly = false;
    const double cx = deviceX(s, x);
    const double cy = deviceY(s, y);
    if (!s.canvas) return;
    const auto draw = [&](double x1, double y1, double x2, double y2) {
        if (filled)
            s.canvas->disc(canvasPixel(x1), canvasPixel(y1), canvasPixel(x2), canvasPixel(y2));
        else
            s.canvas->ellipse(canvasPixel(x1), canvasPixel(y1), canvasPixel(x2), canvasPixel(y2));
    };
    if (onPrinter(s)) {
        const double h = pageHeightOfDevice(s);
        draw(cx - rd, h - cy - rd, cx + rd, h - cy + rd);
        return;
    }
    // The screen leaves out circles outside the part of the window the graph uses.
    const bool visible = cx >= 10 && cx <= s.windowWidth && cy >= 0 && cy <= s.windowHeight - 50;
    if (visible) draw(cx - rd, cy + rd, cx + rd, cy - rd);
}

} // namespace

void drawCircle(GraphState& s, double x, double y, double r) { drawRound(s, x, y, r, false); }

void drawDisc(GraphState& s, double x, double y, double r) { drawRound(s, x, y, r, true); }

void clearBox(GraphState& s, double x1, double y1, double x2, double y2)
{
    s.lengthOnly = false;
    const double ax = deviceX(s, x1), ay = deviceY(s, y1), bx = deviceX(s, x2), by = deviceY(s, y2);
    if (!s.canvas) return;
    s.canvas->setPenColour({255, 255, 255});
    const double h = onPrinter(s) ? pageHeightOfDevice(s) : 0.0;
    const auto turned = [&](double v) { return onPrinter(s) ? h - v : v; };
    s.canvas->rectangle(canvasPixel(ax), canvasPixel(turned(ay)), canvasPixel(bx), canvasPixel(turned(by)));
}

namespace {

// The canvas with the font of the texts set, or none.
Canvas* textCanvas(const GraphState& s)
{
    if (!s.canvas) return nullptr;
    s.canvas->setFontName(TextFontName);
    if (!onPrinter(s)) s.canvas->setFontSize(TextFontSize);
    return s.canvas;
}

} // namespace

void drawText(GraphState& s, const std::string& text, double x, double y)
{
    Canvas* canvas = textCanvas(s);
    if (!canvas) return;
    const std::string shown = " " + text;
    if (onPrinter(s))
        canvas->textOut(canvasPixel(deviceX(s, x)), canvasPixel(pageHeightOfDevice(s) - std::trunc(deviceY(s, y))), shown);
    else
        canvas->textOut(canvasPixel(deviceX(s, x)), canvasPixel(deviceY(s, y)), shown);
}

double textWidth(const GraphState& s, const std::string& text)
{
    const std::string shown = " " + text;
    if (Canvas* canvas = textCanvas(s)) {
        const double measured = canvas->textWidth(shown);
        if (measured >= 0) return measured;
    }
    const double perCharacter = onPrinter(s) ? s.frame.charWidth : ScreenTextDigitWidth;
    return static_cast<double>(shown.size()) * perCharacter;
}

void setColour(GraphState& s, std::uint16_t n)
{
    s.colourIndex = n;
    const auto colour = colourOf(n);
    if (!colour || !s.canvas) return;
    s.canvas->setPenColour(*colour);
    s.canvas->setFontColour(*colour);
}

void setCanvasColour(GraphState& s, CanvasColour colour)
{
    if (!s.canvas) return;
    s.canvas->setPenColour(colour);
    s.canvas->setFontColour(colour);
}

} // namespace calvero
