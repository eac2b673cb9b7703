#include "viewers/ui/helpicons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace calvero {

namespace {
constexpr int IconSize = 16;

// The greyed version: the same picture in light greys, so it reads as "off".
QPixmap greyed(const QImage& picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const QColor colour = grey.pixelColor(x, y);
            const int light = 128 + qGray(colour.rgb()) / 2;
            grey.setPixelColor(x, y, QColor(light, light, light, colour.alpha()));
        }
    }
    return QPixmap::fromImage(grey);
}

QIcon drawnIcon(const std::function<void(QPainter&)>& draw)
{
    QImage picture(IconSize, IconSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(picture), QIcon::Normal);
    icon.addPixmap(greyed(picture), QIcon::Disabled);
    return icon;
}
} // namespace

QIcon helpDoorIcon()
{
    return drawnIcon([](QPainter& p) {
        // The frame, the dark opening and the leaf swung open toward the viewer.
        p.setPen(QPen(QColor(90, 50, 20), 1));
        p.setBrush(QColor(40, 30, 20));
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        QPainterPath leaf;
        leaf.moveTo(3.5, 1.5);
        leaf.lineTo(9.5, 3.5);
        leaf.lineTo(9.5, 15.5);
        leaf.lineTo(3.5, 14.5);
        leaf.closeSubpath();
        p.setBrush(QColor(190, 120, 60));
        p.drawPath(leaf);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 210, 40));
        p.drawEllipse(QPointF(8.0, 9.0), 1.0, 1.0);
    });
}

QIcon helpBackArrowIcon()
{
    return drawnIcon([](QPainter& p) {
        QPainterPath arrow;
        arrow.moveTo(1.0, 8.0);
        arrow.lineTo(8.0, 1.5);
        arrow.lineTo(8.0, 5.0);
        arrow.lineTo(15.0, 5.0);
        arrow.lineTo(15.0, 11.0);
        arrow.lineTo(8.0, 11.0);
        arrow.lineTo(8.0, 14.5);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(0, 80, 0), 1));
        p.setBrush(QColor(40, 170, 40));
        p.drawPath(arrow);
    });
}

QIcon printerIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        // The sheet going in at the top, the body, and the printed sheet out.
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 0.5, 7, 6));
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(0.5, 5.5, 15, 7), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 10.5, 9, 5));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
        p.drawLine(QPointF(5, 14.0), QPointF(10, 14.0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 200, 0));
        p.drawEllipse(QPointF(13.0, 7.5), 0.9, 0.9);
    });
}

} // namespace calvero
