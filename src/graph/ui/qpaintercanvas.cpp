#include "graph/ui/qpaintercanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace calvero {

namespace {

QColor toQColor(CanvasColour c) { return QColor(c.red, c.green, c.blue); }

// The box of two corners given in either order; doubles, so that corners at
// the ends of the 32-bit range give no overflow.
QRectF boxOf(int x1, int y1, int x2, int y2)
{
    return QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
}

} // namespace

QPainterCanvas::QPainterCanvas(QPainter& painter, const QFont& baseFont)
    : painter_(painter), pen_(Qt::black), font_(baseFont), fontColour_(Qt::black)
{
    pen_.setWidth(1);
    pen_.setCapStyle(Qt::RoundCap);
    pen_.setJoinStyle(Qt::RoundJoin);
    painter_.setBrush(Qt::white);
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QPainterCanvas::usePen()
{
    painter_.setPen(pen_);
    painter_.setBrush(Qt::white);
}

void QPainterCanvas::moveTo(int x, int y) { current_ = QPointF(x, y); }

void QPainterCanvas::lineTo(int x, int y)
{
    usePen();
    const QPointF to(x, y);
    painter_.drawLine(current_, to);
    current_ = to;
}

void QPainterCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    usePen();
    painter_.drawRect(boxOf(x1, y1, x2, y2));
}

void QPainterCanvas::ellipse(int x1, int y1, int x2, int y2)
{
    usePen();
    painter_.drawEllipse(boxOf(x1, y1, x2, y2));
}

void QPainterCanvas::disc(int x1, int y1, int x2, int y2)
{
    usePen();
    painter_.setBrush(pen_.color());
    painter_.drawEllipse(boxOf(x1, y1, x2, y2));
    painter_.setBrush(Qt::white);
}

void QPainterCanvas::textOut(int x, int y, const std::string& text)
{
    painter_.setFont(font_);
    painter_.setPen(fontColour_);
    const QFontMetricsF metrics(font_, painter_.device());
    painter_.drawText(QPointF(x, static_cast<double>(y) + metrics.ascent()), QString::fromStdString(text));
}

void QPainterCanvas::setPenColour(CanvasColour colour) { pen_.setColor(toQColor(colour)); }

void QPainterCanvas::setPenWidth(int width) { pen_.setWidth(width < 0 ? 0 : width); }

void QPainterCanvas::setFontName(const std::string& name) { font_.setFamily(QString::fromStdString(name)); }

void QPainterCanvas::setFontSize(int points)
{
    if (points > 0) font_.setPointSize(points);
}

void QPainterCanvas::setFontColour(CanvasColour colour) { fontColour_ = toQColor(colour); }

double QPainterCanvas::textWidth(const std::string& text) const
{
    return QFontMetricsF(font_, painter_.device()).horizontalAdvance(QString::fromStdString(text));
}

PageSize QPainterCanvas::pageSize() const
{
    const QPaintDevice* device = painter_.device();
    return device ? PageSize{device->width(), device->height()} : PageSize{};
}

} // namespace calvero
