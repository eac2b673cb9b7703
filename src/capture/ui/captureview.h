#pragma once
// The picture with what the user places on it: the four axis references, the
// points of every curve, the areas left out of the colour search. Shows, and
// turns mouse and keys into requests in picture coordinates; the window
// decides what they change.
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <optional>
#include <vector>

namespace calvero {

class CaptureView : public QWidget {
    Q_OBJECT
public:
    // What a click on free picture does.
    enum class Tool { AddPoint, PlaceReference, PickColour, DrawExclusion };

    struct Reference {
        QString label; // "x1", "x2", "y1", "y2"
        std::optional<QPointF> at;
    };
    struct CurveMarks {
        std::vector<QPointF> points;
        QColor colour;
    };

    explicit CaptureView(QWidget* parent = nullptr);

    void setImage(const QImage& image);

    void setTool(Tool tool) { tool_ = tool; }

    void setReferences(const std::vector<Reference>& references);
    // The active curve can be edited; the others are only shown.
    void setCurves(const std::vector<CurveMarks>& others, const CurveMarks& active);
    void setExclusions(const std::vector<QRectF>& rectangles);

    double zoom() const { return zoom_; }
    void setZoom(double zoom, QPointF keptAt = {});

    // Widget and picture coordinates (a pixel i spans [i, i + 1)).
    QPointF toPicture(QPointF widget) const { return widget / zoom_; }
    QPointF toWidget(QPointF picture) const { return picture * zoom_; }

signals:
    void pointAdded(QPointF at);
    void pointMoved(int index, QPointF to);
    void pointRemoved(int index);
    void referencePlaced(QPointF at);
    void referenceMoved(int which, QPointF to);
    void colourPicked(QPointF at);
    void exclusionDrawn(QRectF rectangle);
    void cursorMoved(QPointF at);
    void cursorLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { None, Point, Reference, Rectangle };

    int pointAt(QPointF widget) const;
    int referenceAt(QPointF widget) const;
    QPointF clamped(QPointF picture) const;
    void paintMagnifier(QPainter& painter) const;
    QRect magnifierRect() const;
    void resizeToZoom();

    QImage image_;
    Tool tool_ = Tool::AddPoint;
    double zoom_ = 1.0;
    std::vector<Reference> references_;
    std::vector<CurveMarks> others_;
    CurveMarks active_;
    std::vector<QRectF> exclusions_;

    int selected_ = -1;
    Drag drag_ = Drag::None;
    int dragIndex_ = -1;
    QPointF dragStart_, dragAt_; // picture coordinates
    bool dragMoved_ = false;
    std::optional<QPointF> cursor_; // widget coordinates
};

} // namespace calvero
