#include "app/ui/buttonpictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace calvero {

namespace {

void drawDocument(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - 3, r.top());
    page.lineTo(r.right(), r.top() + 3);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.drawPath(page);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (double y = r.top() + 4; y < r.bottom() - 1; y += 2.5) p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void drawDiskSave(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(40, 70, 160));
    p.drawRect(QRectF(3.5, 7.5, 11, 8));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(6.5, 7.5, 5, 3));
    drawDocument(p, QRectF(1.5, 0.5, 7, 7));
    p.setPen(QPen(QColor(0, 140, 0), 2));
    p.drawLine(QPointF(12, 1), QPointF(12, 6));
    p.drawLine(QPointF(10, 4), QPointF(12, 6.5));
    p.drawLine(QPointF(14, 4), QPointF(12, 6.5));
}

void drawStar(QPainter& p, QPointF c, double outer, double inner)
{
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 ? inner : outer;
        const QPointF point(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        i ? star.lineTo(point) : star.moveTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(200, 120, 0), 0.8));
    p.setBrush(QColor(255, 220, 0));
    p.drawPath(star);
}

void drawArrowIntoList(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(9.5, 1.5 + i * 3.5, 5, 2.5));
    p.setPen(QPen(QColor(0, 0, 200), 2));
    p.drawLine(QPointF(1, 8), QPointF(7, 8));
    p.setBrush(QColor(0, 0, 200));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(8.5, 8), QPointF(5, 4.5), QPointF(5, 11.5)}));
}

void drawIndexCards(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 2 ? QColor(255, 255, 200) : Qt::white);
        p.drawRect(QRectF(2.5 + i, 2.5 + i * 2, 10, 6));
    }
    p.setBrush(QColor(150, 90, 40));
    p.drawRect(QRectF(1.5, 9.5, 13, 5));
}

void drawEraser(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(230, 80, 100));
    p.drawPolygon(QPolygonF({QPointF(6, 2), QPointF(14, 7), QPointF(10, 13), QPointF(2, 8)}));
    p.setBrush(QColor(70, 110, 220));
    p.drawPolygon(QPolygonF({QPointF(4, 5), QPointF(12, 10), QPointF(10, 13), QPointF(2, 8)}));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawLine(QPointF(1, 15), QPointF(14, 15));
}

void drawCalculator(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(90, 90, 90));
    p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 1.5, 1.5);
    p.setBrush(QColor(180, 230, 180));
    p.drawRect(QRectF(4.5, 2.5, 7, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) p.drawRect(QRectF(4.5 + col * 2.5, 7.5 + row * 2.5, 1.6, 1.6));
}

void drawOpenBook(QPainter& p)
{
    p.setPen(QPen(QColor(60, 40, 20), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(1, 2), QPointF(1, 13), QPointF(8, 15)}));
    p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(15, 2), QPointF(15, 13), QPointF(8, 15)}));
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(2.5, 5 + i * 2.5), QPointF(6.5, 6 + i * 2.5));
        p.drawLine(QPointF(9.5, 6 + i * 2.5), QPointF(13.5, 5 + i * 2.5));
    }
}

void drawLineChart(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
    p.setPen(QPen(QColor(0, 128, 0), 1.5));
    p.drawPolyline(QPolygonF({QPointF(3, 12), QPointF(6, 8), QPointF(9, 10), QPointF(14, 3)}));
    p.setPen(QPen(QColor(0, 0, 255), 1));
    p.setBrush(Qt::white);
    for (QPointF c : {QPointF(6, 8), QPointF(9, 10)}) p.drawEllipse(c, 1.5, 1.5);
}

void drawGlobe(QPainter& p)
{
    p.setPen(QPen(QColor(0, 60, 140), 1));
    p.setBrush(QColor(120, 180, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
    p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
}

} // namespace

QIcon buttonPicture(ButtonPicture subject)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (subject) {
    case ButtonPicture::DiskSave: drawDiskSave(p); break;
    case ButtonPicture::DocumentStar:
        drawDocument(p, QRectF(1.5, 1.5, 10, 13));
        drawStar(p, QPointF(11, 5), 5, 2);
        break;
    case ButtonPicture::ArrowIntoList: drawArrowIntoList(p); break;
    case ButtonPicture::IndexCards: drawIndexCards(p); break;
    case ButtonPicture::Eraser: drawEraser(p); break;
    case ButtonPicture::Calculator: drawCalculator(p); break;
    case ButtonPicture::OpenBook: drawOpenBook(p); break;
    case ButtonPicture::LineChart: drawLineChart(p); break;
    case ButtonPicture::Globe: drawGlobe(p); break;
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace calvero
