#pragma once
// The report viewer: the report of the last calculation in a fixed-pitch
// font, editable, with printing and saving as an RTF document.
#include "common/ui/printdialog.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTextEdit;

namespace calvero {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // Where the viewer's messages go (a modal message box unless replaced).
    using MessageSink = std::function<void(const QString&)>;
    // Asks for the PDF file to print into when there is no printer; empty means cancelled.
    using PdfFileChooser = std::function<QString()>;
    // Whether the system has a default printer.
    using PrinterQuery = std::function<bool()>;

    explicit TAboutBox(QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink);
    void setPdfFileChooser(PdfFileChooser chooser);
    void setPrinterQuery(PrinterQuery query);
    void setPrintDialog(PrintDialogRunner dialog);

    QTextEdit* RichEdit1;
    QPushButton* OKButton;
    QPushButton* SpeedButton1;
    QPushButton* BitBtn1;
    QPushButton* statisticsButton;

public slots:
    // At each showing: fill the screen, place the controls, show the report.
    void inizia();
    void inizia(const QSize& screen);
    void vai_stampa();
    void sufiletesto();
    void statistiche();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showMessage(const QString& text);

    MessageSink messageSink_;
    PdfFileChooser pdfFileChooser_;
    PrinterQuery printerQuery_;
    PrintDialogRunner printDialog_;
};

} // namespace calvero
