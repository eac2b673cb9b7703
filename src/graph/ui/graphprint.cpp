#include "graph/ui/graphprint.h"

#include "graph/device.h"
#include "graph/graphstate.h"
#include "graph/ui/qpaintercanvas.h"

#include <QPainter>
#include <QPrinter>
#include <exception>

namespace calvero {

namespace {
constexpr int PrinterPenWidth = 5;
}

bool printGraphPage(GraphState& s, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QPainterCanvas canvas(painter, QFont(QStringLiteral("Times New Roman")));
    canvas.setPenWidth(PrinterPenWidth);

    s.device = DevicePrinter;
    const PageSize page = canvas.pageSize();
    s.pageWidth = page.width;
    s.pageHeight = page.height;
    s.canvas = &canvas;
    try {
        drawGraph(s);
    } catch (const std::exception&) {
        // The page keeps what was drawn before the failure.
    }
    s.canvas = nullptr;
    s.device = DeviceScreen;
    return painter.end();
}

} // namespace calvero
