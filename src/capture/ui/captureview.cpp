#include "capture/ui/captureview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace calvero {

namespace {
constexpr double HitRadius = 7.0;      // widget pixels around a marker that catch the mouse
constexpr int MagnifiedPixels = 21;    // picture pixels across the magnifier
constexpr int MagnifierScale = 6;
constexpr double MinZoom = 0.05, MaxZoom = 16.0;

double distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

QScrollArea* enclosingScrollArea(QWidget* widget)
{
    // A scroll area holds its widget in a viewport.
    QWidget* viewport = widget->parentWidget();
    return viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
}
} // namespace

CaptureView::CaptureView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CaptureView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeToZoom();
}

void CaptureView::setImage(const QImage& image)
{
    image_ = image;
    selected_ = -1;
    drag_ = Drag::None;
    resizeToZoom();
    update();
}

void CaptureView::setReferences(const std::vector<Reference>& references)
{
    references_ = references;
    update();
}

void CaptureView::setCurves(const std::vector<CurveMarks>& others, const CurveMarks& active)
{
    others_ = others;
    active_ = active;
    if (selected_ >= int(active_.points.size())) selected_ = -1;
    update();
}

void CaptureView::setExclusions(const std::vector<QRectF>& rectangles)
{
    exclusions_ = rectangles;
    update();
}

void CaptureView::setZoom(double zoom, QPointF keptAt)
{
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    QScrollArea* area = enclosingScrollArea(this);
    // Where the kept picture point sits in the visible part, before the change.
    const QPointF onScreen = area ? toWidget(keptAt) - QPointF(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value())
                                  : QPointF();
    zoom_ = zoom;
    resizeToZoom();
    if (area) {
        const QPointF moved = toWidget(keptAt) - onScreen;
        area->horizontalScrollBar()->setValue(int(std::lround(moved.x())));
        area->verticalScrollBar()->setValue(int(std::lround(moved.y())));
    }
    update();
}

void CaptureView::resizeToZoom()
{
    const QSize size = image_.isNull() ? QSize(400, 300) : (QSizeF(image_.size()) * zoom_).toSize().expandedTo(QSize(1, 1));
    setFixedSize(size);
}

QPointF CaptureView::clamped(QPointF picture) const
{
    return QPointF(std::clamp(picture.x(), 0.0, double(std::max(image_.width(), 1))),
                   std::clamp(picture.y(), 0.0, double(std::max(image_.height(), 1))));
}

int CaptureView::pointAt(QPointF widget) const
{
    int nearest = -1;
    double best = HitRadius;
    for (int i = 0; i < int(active_.points.size()); ++i) {
        const double d = distance(toWidget(active_.points[i]), widget);
        if (d <= best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

int CaptureView::referenceAt(QPointF widget) const
{
    for (int i = 0; i < int(references_.size()); ++i)
        if (references_[i].at && distance(toWidget(*references_[i].at), widget) <= HitRadius) return i;
    return -1;
}

void CaptureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().color(QPalette::Dark));
    if (image_.isNull()) {
        painter.setPen(palette().color(QPalette::BrightText));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("aprire un'immagine, incollarla (Ctrl+V)\noppure trascinare qui un file"));
        return;
    }
    // Only the exposed part is scaled, so a large picture stays quick to show.
    const QRectF source(QPointF(exposed.topLeft()) / zoom_, QSizeF(exposed.size()) / zoom_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
    painter.drawImage(QRectF(exposed), image_, source);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
    painter.setBrush(QColor(128, 128, 128, 70));
    for (const QRectF& r : exclusions_) painter.drawRect(QRectF(toWidget(r.topLeft()), toWidget(r.bottomRight())));
    if (drag_ == Drag::Rectangle) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(toWidget(dragStart_), toWidget(dragAt_)).normalized());
    }

    auto drawPoints = [&](const CurveMarks& curve, bool active) {
        painter.setPen(QPen(curve.colour, active ? 2.0 : 1.0));
        for (int i = 0; i < int(curve.points.size()); ++i) {
            QPointF at = curve.points[i];
            if (active && drag_ == Drag::Point && i == dragIndex_) at = dragAt_;
            painter.setBrush(active && i == selected_ ? QBrush(curve.colour) : QBrush(Qt::NoBrush));
            painter.drawEllipse(toWidget(at), active ? 4.5 : 3.5, active ? 4.5 : 3.5);
        }
    };
    for (const CurveMarks& curve : others_) drawPoints(curve, false);
    drawPoints(active_, true);

    for (int i = 0; i < int(references_.size()); ++i) {
        if (!references_[i].at) continue;
        QPointF at = toWidget(drag_ == Drag::Reference && i == dragIndex_ ? dragAt_ : *references_[i].at);
        const QColor colour = references_[i].label.startsWith('x') ? QColor(200, 0, 0) : QColor(0, 110, 0);
        painter.setPen(QPen(colour, 2));
        painter.drawLine(at - QPointF(8, 0), at + QPointF(8, 0));
        painter.drawLine(at - QPointF(0, 8), at + QPointF(0, 8));
        // x labels above right, y labels to the left: x1 and y1 often share the origin.
        painter.drawText(at + (references_[i].label.startsWith('x') ? QPointF(6, -6) : QPointF(-24, -6)), references_[i].label);
    }
    paintMagnifier(painter);
}

QRect CaptureView::magnifierRect() const
{
    if (!cursor_) return {};
    const int side = MagnifiedPixels * MagnifierScale;
    QRect box(cursor_->toPoint() + QPoint(24, 24), QSize(side, side));
    // Beside the cursor, on whichever side stays in view.
    const QRect visible = visibleRegion().boundingRect();
    if (box.right() > visible.right()) box.moveRight(cursor_->toPoint().x() - 24);
    if (box.bottom() > visible.bottom()) box.moveBottom(cursor_->toPoint().y() - 24);
    return box;
}

void CaptureView::paintMagnifier(QPainter& painter) const
{
    if (!cursor_ || image_.isNull()) return;
    const QPointF centre = toPicture(*cursor_);
    const QRectF source(std::floor(centre.x()) - MagnifiedPixels / 2, std::floor(centre.y()) - MagnifiedPixels / 2,
                        MagnifiedPixels, MagnifiedPixels);
    const QRect box = magnifierRect();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(box, Qt::white);
    painter.drawImage(QRectF(box), image_, source);
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::NoBrush);
    const QPointF mid = QPointF(box.topLeft()) + (centre - source.topLeft()) * MagnifierScale;
    painter.drawLine(mid - QPointF(10, 0), mid + QPointF(10, 0));
    painter.drawLine(mid - QPointF(0, 10), mid + QPointF(0, 10));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(box);
}

void CaptureView::mousePressEvent(QMouseEvent* event)
{
    if (image_.isNull()) return;
    const QPointF widget = event->position();
    const QPointF picture = clamped(toPicture(widget));
    dragMoved_ = false;
    if (event->button() == Qt::RightButton) {
        const int point = pointAt(widget);
        if (point >= 0) {
            selected_ = -1;
            emit pointRemoved(point);
        }
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    // While references are placed a click places one, even on another (x1 and y1 often share the origin).
    if (const int reference = referenceAt(widget); reference >= 0 && tool_ != Tool::DrawExclusion && tool_ != Tool::PlaceReference) {
        drag_ = Drag::Reference;
        dragIndex_ = reference;
        dragStart_ = dragAt_ = *references_[reference].at;
        return;
    }
    if (const int point = pointAt(widget); point >= 0 && tool_ == Tool::AddPoint) {
        selected_ = point;
        drag_ = Drag::Point;
        dragIndex_ = point;
        dragStart_ = dragAt_ = active_.points[point];
        update();
        return;
    }
    switch (tool_) {
    case Tool::AddPoint: emit pointAdded(picture); break;
    case Tool::PlaceReference: emit referencePlaced(picture); break;
    case Tool::PickColour: emit colourPicked(picture); break;
    case Tool::DrawExclusion:
        drag_ = Drag::Rectangle;
        dragStart_ = dragAt_ = picture;
        break;
    }
}

void CaptureView::mouseMoveEvent(QMouseEvent* event)
{
    const QRect magnifierBefore = magnifierRect();
    cursor_ = event->position();
    const QPointF picture = clamped(toPicture(event->position()));
    if (drag_ != Drag::None) {
        dragMoved_ = dragMoved_ || distance(toWidget(picture), toWidget(dragStart_)) >= 2.0;
        dragAt_ = picture;
        update();
    } else {
        // Only the magnifier follows the cursor: a large picture shown reduced is slow to scale again.
        update(magnifierBefore.adjusted(-1, -1, 1, 1));
        update(magnifierRect().adjusted(-1, -1, 1, 1));
    }
    if (!image_.isNull()) emit cursorMoved(picture);
}

void CaptureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || drag_ == Drag::None) return;
    const Drag finished = std::exchange(drag_, Drag::None);
    if (dragMoved_) {
        if (finished == Drag::Point) emit pointMoved(dragIndex_, dragAt_);
        if (finished == Drag::Reference) emit referenceMoved(dragIndex_, dragAt_);
        if (finished == Drag::Rectangle) emit exclusionDrawn(QRectF(dragStart_, dragAt_).normalized());
    }
    update();
}

void CaptureView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || image_.isNull()) return;
    setZoom(zoom_ * std::pow(1.25, steps), toPicture(event->position()));
    event->accept();
}

void CaptureView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && selected_ >= 0) {
        emit pointRemoved(std::exchange(selected_, -1));
        return;
    }
    QWidget::keyPressEvent(event);
}

void CaptureView::leaveEvent(QEvent* event)
{
    update(magnifierRect().adjusted(-1, -1, 1, 1));
    cursor_.reset();
    emit cursorLeft();
    QWidget::leaveEvent(event);
}

} // namespace calvero
