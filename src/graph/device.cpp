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

bool onPrinter() { return graphState().device == DevicePrinter; }

double pageHeightOfDevice() { return graphState().frame.deviceHeight; }

} // namespace

int canvasPixel(double v)
{
    if (std::isnan(v)) return 0;
    const double t = std::trunc(v);
    if (t <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (t >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(t);
}

void beginDrawing()
{
    GraphState& s = graphState();
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

void drawBorder()
{
    GraphState& s = graphState();
    s.worldCoordinates = false;
    if (!s.canvas) return;
    if (s.device == DevicePrinter)
        s.canvas->rectangle(1, 1, s.frame.deviceWidth - 1, s.frame.deviceHeight);
    else
        s.canvas->setPenColour(*colourOf(ColourBlue));
}

void endDrawing() {}

void drawGraph()
{
    beginDrawing();
    drawBorder();
    if (GraphProcedure procedure = graphState().procedure) {
        procedure();
        endDrawing();
    }
}

void layoutPlot(double xMin, double yMin, double xMax, double yMax, double leftRoom)
{
    GraphState& s = graphState();
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

double deviceX(double x)
{
    const GraphState& s = graphState();
    if (!s.worldCoordinates) return x;
    if (s.lengthOnly) return x * s.plot.xScale;
    return (x - s.plot.xMin) * s.plot.xScale + s.plot.originX;
}

double deviceY(double y)
{
    const GraphState& s = graphState();
    double result = y;
    if (s.worldCoordinates) result = s.lengthOnly ? y * s.plot.yScale : (y - s.plot.yMin) * s.plot.yScale + s.plot.originY;
    if (s.device == DeviceScreen) result = s.frame.deviceHeight - result;
    return result;
}

namespace {

// Converts a position (not a length) and makes it the current position.
GraphState& moveCurrentPosition(double x, double y, double& dx, double& dy)
{
    GraphState& s = graphState();
    s.lengthOnly = false;
    dx = deviceX(x);
    dy = deviceY(y);
    s.currentX = dx;
    s.currentY = dy;
    return s;
}

} // namespace

void moveTo(double x, double y)
{
    double dx = 0, dy = 0;
    GraphState& s = moveCurrentPosition(x, y, dx, dy);
    if (!s.canvas) return;
    // The printer turns y before truncating.
    s.canvas->moveTo(canvasPixel(dx), canvasPixel(onPrinter() ? pageHeightOfDevice() - dy : dy));
}

void lineTo(double x, double y)
{
    double dx = 0, dy = 0;
    GraphState& s = moveCurrentPosition(x, y, dx, dy);
    if (!s.canvas) return;
    // The printer turns the truncated y.
    s.canvas->lineTo(canvasPixel(dx), canvasPixel(onPrinter() ? pageHeightOfDevice() - std::trunc(dy) : dy));
}

void drawLine(double x1, double y1, double x2, double y2)
{
    moveTo(x1, y1);
    lineTo(x2, y2);
}

namespace {

void drawRound(double x, double y, double r, bool filled)
{
    GraphState& s = graphState();
    s.lengthOnly = true;
    const double rd = deviceX(r);
    s.lengthOnly = false;
    const double cx = deviceX(x);
    const double cy = deviceY(y);
    if (!s.canvas) return;
    const auto draw = [&](double x1, double y1, double x2, double y2) {
        if (filled)
            s.canvas->disc(canvasPixel(x1), canvasPixel(y1), canvasPixel(x2), canvasPixel(y2));
        else
            s.canvas->ellipse(canvasPixel(x1), canvasPixel(y1), canvasPixel(x2), canvasPixel(y2));
    };
    if (onPrinter()) {
        const double h = pageHeightOfDevice();
        draw(cx - rd, h - cy - rd, cx + rd, h - cy + rd);
        return;
    }
    // The screen leaves out circles outside the part of the window the graph uses.
    const bool visible = cx >= 10 && cx <= s.windowWidth && cy >= 0 && cy <= s.windowHeight - 50;
    if (visible) draw(cx - rd, cy + rd, cx + rd, cy - rd);
}

} // namespace

void drawCircle(double x, double y, double r) { drawRound(x, y, r, false); }

void drawDisc(double x, double y, double r) { drawRound(x, y, r, true); }

void clearBox(double x1, double y1, double x2, double y2)
{
    GraphState& s = graphState();
    s.lengthOnly = false;
    const double ax = deviceX(x1), ay = deviceY(y1), bx = deviceX(x2), by = deviceY(y2);
    if (!s.canvas) return;
    s.canvas->setPenColour({255, 255, 255});
    const double h = onPrinter() ? pageHeightOfDevice() : 0.0;
    const auto turned = [&](double v) { return onPrinter() ? h - v : v; };
    s.canvas->rectangle(canvasPixel(ax), canvasPixel(turned(ay)), canvasPixel(bx), canvasPixel(turned(by)));
}

namespace {

// The canvas with the font of the texts set, or none.
Canvas* textCanvas()
{
    GraphState& s = graphState();
    if (!s.canvas) return nullptr;
    s.canvas->setFontName(TextFontName);
    if (!onPrinter()) s.canvas->setFontSize(TextFontSize);
    return s.canvas;
}

} // namespace

void drawText(const std::string& text, double x, double y)
{
    Canvas* canvas = textCanvas();
    if (!canvas) return;
    const std::string shown = " " + text;
    if (onPrinter())
        canvas->textOut(canvasPixel(deviceX(x)), canvasPixel(pageHeightOfDevice() - std::trunc(deviceY(y))), shown);
    else
        canvas->textOut(canvasPixel(deviceX(x)), canvasPixel(deviceY(y)), shown);
}

double textWidth(const std::string& text)
{
    const std::string shown = " " + text;
    if (Canvas* canvas = textCanvas()) {
        const double measured = canvas->textWidth(shown);
        if (measured >= 0) return measured;
    }
    const double perCharacter = onPrinter() ? graphState().frame.charWidth : ScreenTextDigitWidth;
    return static_cast<double>(shown.size()) * perCharacter;
}

void setColour(std::uint16_t n)
{
    GraphState& s = graphState();
    s.colourIndex = n;
    const auto colour = colourOf(n);
    if (!colour || !s.canvas) return;
    s.canvas->setPenColour(*colour);
    s.canvas->setFontColour(*colour);
}

void setCanvasColour(CanvasColour colour)
{
    GraphState& s = graphState();
    if (!s.canvas) return;
    s.canvas->setPenColour(colour);
    s.canvas->setFontColour(colour);
}

} // namespace calvero
