#pragma once
// The report viewer: the report of the last calculation in a fixed-pitch
// font, editable, with printing and saving as an RTF document; its
// calculation's statistics and exports are a button away.
#include "common/ui/printdialog.h"
#include "common/ui/screenroom.h"
#include "fit/calculation.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QTextEdit;

namespace calvero {

// What the viewer shows: the report's lines, captioned with the data set's
// name, and the calculation they report (its statistics are a button away);
// the file the points came from names the exports.
struct ReportContent {
    std::vector<std::string> lines;
    std::string caption;
    std::optional<Calculation> calculation;
    // The files the points came from, the first named one naming the exports;
    // an export over one of them asks first.
    std::vector<std::string> sources;
    // The statistics as lines, for a fit that is not a calculation (a typed
    // equation): what the statistics button shows without one.
    std::vector<std::string> statistics;
};

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    // Where the viewer's messages go, refusals and confirmations alike (a
    // modal message box with the warning or the information icon unless
    // replaced).
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
    QPushButton* statisticsButton() const { return statisticsButton_; }
    QPushButton* exportButton() const { return exportButton_; }

    // At each showing: fill the room of the screen, place the controls, show the report.
    void layOutForRoom(const ScreenRoom& room);

public slots:
    // The showing's layout for the room the window has now.
    void layOutForScreen();
    // The same for a whole screen of that size, without a frame.
    void layOutForScreen(const QSize& screen);
    void printReport();
    void saveRtf();
    // The statistics and the shape checks of the report's calculation.
    void showStatistics();
    // The equation exported for other programs (exportdialog.h).
    void showExport();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showMessage(const QString& text);

    QTextEdit* reportText_;
    QPushButton* exitButton_;
    QPushButton* printButton_;
    QPushButton* saveRtfButton_;
    QPushButton* statisticsButton_;
    QPushButton* exportButton_;

    MessageSink messageSink_;
    MessageSink noticeSink_;
    PdfFileChooser pdfFileChooser_;
    PrinterQuery printerQuery_;
    PrintDialogRunner printDialog_;
    ReportContent report_;
    RoomKeeper* roomKeeper_;
};

} // namespace calvero
