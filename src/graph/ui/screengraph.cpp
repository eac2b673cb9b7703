#include "graph/ui/screengraph.h"

#include "graph/device.h"
#include "graph/graphstate.h"
#include "graph/ui/qpaintercanvas.h"

#include <QPainter>
#include <algorithm>
#include <exception>

namespace calvero {

namespace {

constexpr int ScreenPenWidth = 2;

std::uint16_t windowLength(int v) { return static_cast<std::uint16_t>(std::clamp(v, 0, 65535)); }

} // namespace

QFont graphWindowFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(11);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

void paintScreenGraph(GraphState& s, QPainter& painter, int windowWidth, int windowHeight)
{
    QFont font = graphWindowFont();
    font.setFamily(QStringLiteral("TIMES NEW ROMAN"));
    font.setPointSize(8);
    QPainterCanvas canvas(painter, font);
    canvas.setPenWidth(ScreenPenWidth);

    // A window always draws on the screen, also right after a print.
    s.device = DeviceScreen;
    s.windowWidth = windowLength(windowWidth);
    s.windowHeight = windowLength(windowHeight);
    s.pageWidth = windowWidth;
    s.pageHeight = windowHeight;
    s.canvas = &canvas;
    s.plot = PlotFrame{}; // what the graph window reads values from is this pass's plot only
    try {
        drawGraph(s);
    } catch (const std::exception&) {
        // A pass that fails half-way leaves what it drew; a repaint cannot
        // show a message without looping.
    }
    s.canvas = nullptr;
}

} // namespace calvero
