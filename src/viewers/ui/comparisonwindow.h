#pragma once
// "confronta equazioni": every equation that applies to the points, in a
// table ordered by the rule the window states, with the cells and notes of
// the copied text (the recommended row in bold; when none passes the rule,
// the note says so and the first row is marked the best by AICc, in
// italics); choosing a row hands its kind and degree to whoever opened the
// window. When the data set has fit options on, a box asks for the
// candidates to be fitted with them.
#include "fit/comparison.h"
#include "viewers/ui/figureswindow.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace calvero {

class ComparisonWindow : public FiguresWindow {
    Q_OBJECT
public:
    explicit ComparisonWindow(CalculationInput input, QWidget* parent = nullptr);
    std::vector<std::string> lines() const override;
    const std::vector<ComparisonRow>& rows() const { return rows_; }
    QTableWidget* table() const { return table_; }
    QDoubleSpinBox* tolerance() const { return tolerance_; }
    QLabel* rule() const { return rule_; }
    QLabel* notes() const { return notes_; }
    QPushButton* useButton() const { return useButton_; }
    QCheckBox* withOptions() const { return withOptions_; }

signals:
    // The kind (1..8) and degree of the chosen row.
    void equationChosen(int kind, int degree);

public slots:
    void refresh();
    void useSelected();

private:
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QLabel* rule_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* useButton_ = nullptr;
    QCheckBox* withOptions_ = nullptr;
    CalculationInput input_;
    std::vector<ComparisonRow> rows_;
};

} // namespace calvero
