#pragma once
// The report viewer: the report of the last calculation in a fixed-pitch
// font, editable, with printing and saving as an RTF document.
#include "common/ui/printdialog.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTextEdit;

namespace calvero {

// What the viewer shows: the report's lines, captioned with the data set's name.
struct ReportContent {
    std::vector<std::string> lines;
    std::string caption;
};

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    // Where the viewer's messages go (a modal message box unless replaced).
    using MessageSink = std::function<void(const QString&)>;
    // Asks for the PDF file to print into when there is no printer; empty means cancelled.
    using PdfFileChooser = std::function<QString()>;
    // Whether the system has a default printer.
    using PrinterQuery = std::function<bool()>;

    explicit ReportWindow(QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink);
    void setPdfFileChooser(PdfFileChooser chooser);
    void setPrinterQuery(PrinterQuery query);
    void setPrintDialog(PrintDialogRunner dialog);
    // The report the next showing fills the window with.
    void setReport(ReportContent report);

    QTextEdit* reportText() const { return reportText_; }
    QPushButton* exitButton() const { return exitButton_; }
    QPushButton* printButton() const { return printButton_; }
    QPushButton* saveRtfButton() const { return saveRtfButton_; }

public slots:
    // At each showing: fill the screen, place the controls, show the report.
    void layOutForScreen();
    void layOutForScreen(const QSize& screen);
    void printReport();
    void saveRtf();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showMessage(const QString& text);

    QTextEdit* reportText_;
    QPushButton* exitButton_;
    QPushButton* printButton_;
    QPushButton* saveRtfButton_;

    MessageSink messageSink_;
    PdfFileChooser pdfFileChooser_;
    PrinterQuery printerQuery_;
    PrintDialogRunner printDialog_;
    ReportContent report_;
};

} // namespace calvero
