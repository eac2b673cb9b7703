#pragma once
// "equazione libera…": the equation the user types, its parameters listed as
// they appear with a start value (empty: found by the program), a fixed value
// and bounds beside each, fitted to the grid's points; the report, its
// statistics and, for an equation of x, the graph are shown as the kinds'
// are. "equazioni salvate" keeps the user's own equations between sessions.
#include "app/ui/savedequations.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace calvero {

struct Document;
class GraphWindow;
class ReportViewer;

class EquationWindow : public QDialog {
    Q_OBJECT
public:
    // The fit's report and graph go to the program's report viewer and graph window.
    EquationWindow(Document& document, ReportViewer& report, GraphWindow& graph, QWidget* parent = nullptr);

    // Replaces the modal message box of a refusal (window tests record the messages).
    void setMessageSink(std::function<void(const std::string&)> sink) { messageSink_ = std::move(sink); }

    // The table's columns.
    enum Column { NameColumn, StartColumn, FixedColumn, LowerColumn, UpperColumn };

    QLineEdit* equationField() const { return equationField_; }
    QLabel* mistakeLabel() const { return mistakeLabel_; }
    QTableWidget* parameterTable() const { return parameterTable_; }
    QPushButton* fitButton() const { return fitButton_; }
    QListWidget* savedList() const { return savedList_; }
    QLineEdit* nameField() const { return nameField_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* takeBackButton() const { return takeBackButton_; }
    QPushButton* deleteButton() const { return deleteButton_; }
    // The last fit that succeeded in this window.
    const std::optional<EquationFit>& lastFit() const { return lastFit_; }

    // What the table holds, row by row.
    std::vector<ParameterCells> cells() const;

public slots:
    // The equation read again as typed: its parameters listed (what was
    // written beside a name that stays is kept), or its mistake shown.
    void readTyped();
    // The equation fitted to the grid's points, then its report and graph.
    void fit();
    void saveEquation();
    void takeBackEquation();
    void deleteEquation();

protected:
    // The data set's equation (read with it, or fitted here) is what the window shows.
    void showEvent(QShowEvent* event) override;

private:
    void showEquation(const std::string& text, const std::vector<ParameterCells>& cells);
    void showParameters(const std::vector<std::string>& names, const std::vector<ParameterCells>& kept);
    void showSaved();
    void tell(const std::string& text);

    Document& document_;
    ReportViewer& report_;
    GraphWindow& graph_;
    QLineEdit* equationField_ = nullptr;
    QLabel* mistakeLabel_ = nullptr;
    QTableWidget* parameterTable_ = nullptr;
    QPushButton* fitButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QListWidget* savedList_ = nullptr;
    QLineEdit* nameField_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* takeBackButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    std::vector<SavedEquationEntry> saved_;
    std::optional<EquationFit> lastFit_;
    std::function<void(const std::string&)> messageSink_;
};

} // namespace calvero
