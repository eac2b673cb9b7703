#pragma once
// The list of curves: name, marker colour and optional parameter value, one
// row each; the current row is the curve being edited. Shows the document's
// curves and reports the user's edits, which the window applies (and undoes).
#include "capture/capturedocument.h"

#include <QTableWidget>

#include <optional>
#include <vector>

namespace calvero {

class CurveList : public QTableWidget {
    Q_OBJECT
public:
    explicit CurveList(QWidget* parent = nullptr);

    void showCurves(const std::vector<capture::Curve>& curves, int current);

signals:
    void renamed(int curve, QString name);
    // text is what the user typed; empty means no parameter.
    void parameterTyped(int curve, QString text);
    void colourAsked(int curve);

private:
    void cellEdited(QTableWidgetItem* item);
};

QColor qColourOf(capture::Rgb colour);
// Black or white, whichever reads on a background of that colour.
QColor readableTextOn(const QColor& background);
capture::Rgb rgbOf(const QColor& colour);

} // namespace calvero
