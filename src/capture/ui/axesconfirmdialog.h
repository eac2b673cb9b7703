#pragma once
// The axes read from their tick labels, shown for the user to confirm or
// correct before they calibrate anything: the four references with the value
// read at each, each coloured by how sure the reading was (a digitizer that
// fills axis values by OCR can read a y tick as an x label).
#include "common/ui/screenroom.h"

#include <QDialog>
#include <QString>

#include <array>
#include <optional>

class QLineEdit;

namespace calvero {

struct ReadReference {
    QString label;   // "x1", "x2", "y1", "y2"
    QString value;   // as it will be used
    double confidence = 0; // 0..100, the reader's
};

// The background that tells how sure a reading is: green, yellow or red.
QColor confidenceColour(double confidence);

class AxesConfirmDialog : public QDialog {
    Q_OBJECT
public:
    AxesConfirmDialog(const std::array<ReadReference, 4>& read, const QString& scales, QWidget* parent = nullptr);
    // The values as the user left them.
    std::array<QString, 4> values() const;
    // As large as its contents want, as far as the room allows; at each showing.
    void layOutForRoom(const ScreenRoom& room);

private:
    std::array<QLineEdit*, 4> fields_{};
};

} // namespace calvero
