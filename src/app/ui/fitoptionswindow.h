#pragma once
// The "vincoli" window: the points the curve passes through, the fixed terms,
// the weighting, the smallest largest error, the monotone curve and the
// concave or convex one of the data set's fits (a choice each, so that no
// two that exclude each other can be made together). It edits a copy; "OK" gives the options back only when
// every field reads, otherwise it says which does not and stays open.
#include "common/ui/screenroom.h"
#include "fit/dataset.h"
#include "fit/fitoptions.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;
class QTableWidget;

namespace calvero {

class FitOptionsWindow : public QDialog {
    Q_OBJECT

public:
    FitOptionsWindow(const FitOptions& options, FitType kind, QWidget* parent = nullptr);

    // The options as accepted (valid after exec() returned Accepted).
    const FitOptions& options() const { return options_; }

    QTableWidget* throughTable() const { return throughTable_; }
    QTableWidget* fixedTable() const { return fixedTable_; }
    QRadioButton* noWeights() const { return noWeights_; }
    QRadioButton* relativeWeights() const { return relativeWeights_; }
    QCheckBox* minimaxBox() const { return minimaxBox_; }
    QCheckBox* leastSquaresInYBox() const { return leastSquaresInYBox_; }
    QRadioButton* notMonotone() const { return notMonotone_; }
    QRadioButton* decreasing() const { return decreasing_; }
    QRadioButton* increasing() const { return increasing_; }
    QRadioButton* freeCurvature() const { return freeCurvature_; }
    QRadioButton* concave() const { return concave_; }
    QRadioButton* convex() const { return convex_; }

    // As large as its contents want, as far as the room allows; at each showing.
    void layOutForRoom(const ScreenRoom& room);

public slots:
    void accept() override;
    // "nessun vincolo": every field back to the plain least squares.
    void clearAll();

signals:
    // A field that does not read, with the message for the user.
    void refused(const QString& message);

private:
    void fill(const FitOptions& options);

    FitOptions options_;
    FitType kind_;
    std::vector<double> pointWeights_; // kept as they came: the window does not edit them
    QTableWidget* throughTable_ = nullptr;
    QTableWidget* fixedTable_ = nullptr;
    QRadioButton* noWeights_ = nullptr;
    QRadioButton* relativeWeights_ = nullptr;
    QRadioButton* columnWeights_ = nullptr;
    QCheckBox* minimaxBox_ = nullptr;
    QCheckBox* leastSquaresInYBox_ = nullptr;
    QRadioButton* notMonotone_ = nullptr;
    QRadioButton* decreasing_ = nullptr;
    QRadioButton* increasing_ = nullptr;
    QRadioButton* freeCurvature_ = nullptr;
    QRadioButton* concave_ = nullptr;
    QRadioButton* convex_ = nullptr;
};

} // namespace calvero
