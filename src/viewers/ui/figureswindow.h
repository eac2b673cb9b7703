#pragma once
// What the statistics and comparison windows share: a fixed-pitch text of
// lines that prints like the report and copies to the clipboard, and a size
// of 1000 x 700 where the screen has room, else the room it has.
#include "common/ui/printdialog.h"
#include "common/ui/screenroom.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

namespace calvero {

class FiguresWindow : public QDialog {
    Q_OBJECT
public:
    using MessageSink = std::function<void(const QString&)>;
    using PdfFileChooser = std::function<QString()>; // empty: cancelled
    using PrinterQuery = std::function<bool()>;

    explicit FiguresWindow(QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    void setPdfFileChooser(PdfFileChooser chooser) { pdfFileChooser_ = std::move(chooser); }
    void setPrinterQuery(PrinterQuery query) { printerQuery_ = std::move(query); }
    void setPrintDialog(PrintDialogRunner dialog) { printDialog_ = std::move(dialog); }

    // The lines that print and copy.
    virtual std::vector<std::string> lines() const = 0;

    QPushButton* printButton() const { return printButton_; }
    QPushButton* copyButton() const { return copyButton_; }
    QPushButton* exitButton() const { return exitButton_; }

    // Sized and placed in the room at each showing.
    void layOutForRoom(const ScreenRoom& room);

public slots:
    void printFigures();
    void copyFigures();

protected:
    void showMessage(const QString& text);
    static QFont fixedFont();
    QVBoxLayout* body = nullptr;     // the window's own controls go here
    QHBoxLayout* buttonRow = nullptr; // and their buttons before the shared ones

private:
    QPushButton* printButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    MessageSink messageSink_;
    PdfFileChooser pdfFileChooser_;
    PrinterQuery printerQuery_;
    PrintDialogRunner printDialog_;
};

} // namespace calvero
