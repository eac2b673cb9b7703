#pragma once
// The graph engine's canvas over a QPainter: the graph window, a printer page
// or an image. Circles and rectangles are filled with a white brush; texts are
// placed by their top-left corner and drawn in the font colour.
#include "graph/canvas.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>

class QPainter;

namespace calvero {

class QPainterCanvas : public Canvas {
public:
    // baseFont: the font the canvas starts from (style and size until the
    // engine sets its own).
    QPainterCanvas(QPainter& painter, const QFont& baseFont);

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void disc(int x1, int y1, int x2, int y2) override;
    void textOut(int x, int y, const std::string& text) override;

    void setPenColour(CanvasColour colour) override;
    void setPenWidth(int width) override;
    void setFontName(const std::string& name) override;
    void setFontSize(int points) override;
    void setFontColour(CanvasColour colour) override;

    PageSize pageSize() const override;
    double textWidth(const std::string& text) const override;

private:
    void usePen();

    QPainter& painter_;
    QPen pen_;
    QFont font_;
    QColor fontColour_;
    QPointF current_;
};

} // namespace calvero
