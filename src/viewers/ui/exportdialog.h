#pragma once
// The report window's "esporta": the fitted equation for the program that
// will use it (a simulation object, compressor coefficients, a spreadsheet
// formula, a C or Python function), seen as it will be written, saved to a
// file or copied to the clipboard. What it cannot export says why in place
// of the text.
#include "common/checked.h"
#include "common/ui/screenroom.h"
#include "fit/calculation.h"
#include "exports/exportformats.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace calvero {

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    using MessageSink = std::function<void(const QString&)>;
    // Asks where to save, from the proposed file name; empty means cancelled.
    using FileChooser = std::function<QString(const QString& proposed)>;
    // Asks a yes-or-no question; true for yes.
    using Confirmation = std::function<bool(const QString& question)>;

    ExportDialog(Calculation calculation, const std::string& name, QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
    void setConfirmation(Confirmation confirmation) { confirmation_ = std::move(confirmation); }
    // The files the points came from: saving over one asks first.
    void setSourceFiles(std::vector<std::string> files) { sourceFiles_ = std::move(files); }

    QComboBox* formatChoice() const { return formatChoice_; }
    QLineEdit* nameEdit() const { return nameEdit_; }
    // The simulation object: the one of the calculation's kind (first), or
    // one of those with as many inputs as the points fitted in its own form.
    QComboBox* objectChoice() const { return objectChoice_; }
    QCheckBox* ratedCheck() const { return ratedCheck_; }
    QLineEdit* ratedXEdit() const { return ratedXEdit_; }
    QLineEdit* ratedYEdit() const { return ratedYEdit_; }
    QComboBox* unitChoice() const { return unitChoice_; }
    // The compressor coefficients in AHRI 540's IP units: none, or what the
    // values are and the unit they were typed in ("capacity:W", ...).
    QComboBox* ipChoice() const { return ipChoice_; }
    QLineEdit* xCellEdit() const { return xCellEdit_; }
    QLineEdit* yCellEdit() const { return yCellEdit_; }
    QComboBox* languageChoice() const { return languageChoice_; }
    QPlainTextEdit* preview() const { return preview_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* copyButton() const { return copyButton_; }

    // 900 x 640 where the screen has room, else the room it has; at each showing.
    void layOutForRoom(const ScreenRoom& room);

public slots:
    // The text again from the choices, and the rows that apply to the format.
    void refresh();
    void saveToFile();
    void copyToClipboard();

private:
    ExportFormat format() const;
    Checked<ExportChoices> choices() const;
    Checked<std::string> exportedText() const;
    void showMessage(const QString& text);

    Calculation calculation_;
    QFormLayout* form_ = nullptr;
    QComboBox* formatChoice_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QComboBox* objectChoice_ = nullptr;
    QCheckBox* ratedCheck_ = nullptr;
    QLineEdit* ratedXEdit_ = nullptr;
    QLineEdit* ratedYEdit_ = nullptr;
    QComboBox* unitChoice_ = nullptr;
    QComboBox* ipChoice_ = nullptr;
    QLineEdit* xCellEdit_ = nullptr;
    QLineEdit* yCellEdit_ = nullptr;
    QComboBox* languageChoice_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    MessageSink messageSink_;
    FileChooser fileChooser_;
    Confirmation confirmation_;
    std::vector<std::string> sourceFiles_;
};

} // namespace calvero
