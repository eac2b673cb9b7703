#include "viewers/ui/reportwindow.h"

#include "fit/report.h"
#include "viewers/reportlayout.h"
#include "viewers/rtf.h"
#include "viewers/ui/helpicons.h"
#include "viewers/ui/reportprint.h"
#include "exports/exportnames.h"
#include "viewers/ui/exportdialog.h"
#include "viewers/ui/statisticstextwindow.h"
#include "viewers/ui/statisticswindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextEdit>

#include <algorithm>

namespace calvero {

namespace {

void place(QWidget* widget, const ReportLayout::Box& box) { widget->setGeometry(box.left, box.top, box.width, box.height); }

QFont pixelFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

std::vector<std::string> editorLines(const QString& text)
{
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
    return lines;
}

QString workingFolder()
{
    QString folder = QDir::currentPath();
    if (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    return folder;
}

} // namespace

ReportWindow::ReportWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("reportWindow"));

    reportText_ = new QTextEdit(this);
    reportText_->setObjectName(QStringLiteral("reportText"));
    reportText_->setAcceptRichText(false);
    reportText_->setLineWrapMode(QTextEdit::NoWrap);
    reportText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reportText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = pixelFont(QStringLiteral("Courier New"), 19);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    reportText_->setFont(fixed);
    reportText_->document()->setDefaultFont(fixed);

    exitButton_ = new QPushButton(QStringLiteral("&Uscita"), this);
    exitButton_->setObjectName(QStringLiteral("exitButton"));
    printButton_ = new QPushButton(printerIcon(), QStringLiteral("Stampa"), this);
    printButton_->setObjectName(QStringLiteral("printButton"));
    printButton_->setIconSize(QSize(16, 16));
    saveRtfButton_ = new QPushButton(QStringLiteral("SU FILE DI TESTO"), this);
    saveRtfButton_->setObjectName(QStringLiteral("saveRtfButton"));
    statisticsButton_ = new QPushButton(QStringLiteral("statistiche"), this);
    statisticsButton_->setObjectName(QStringLiteral("statisticsButton"));
    exportButton_ = new QPushButton(QStringLiteral("esporta"), this);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    for (QPushButton* button : {exitButton_, printButton_, saveRtfButton_, statisticsButton_, exportButton_}) {
        button->setFont(pixelFont(QStringLiteral("Verdana"), 19));
        button->setAutoDefault(false);
    }
    exitButton_->setDefault(true);

    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(printButton_, &QPushButton::clicked, this, &ReportWindow::printReport);
    connect(saveRtfButton_, &QPushButton::clicked, this, &ReportWindow::saveRtf);
    connect(statisticsButton_, &QPushButton::clicked, this, &ReportWindow::showStatistics);
    connect(exportButton_, &QPushButton::clicked, this, &ReportWindow::showExport);

    roomKeeper_ = new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); });
    messageSink_ = [this](const QString& text) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), text);
    };
    noticeSink_ = [this](const QString& text) {
        QMessageBox::information(this, QCoreApplication::applicationName(), text);
    };
    pdfFileChooser_ = [this] {
        QFileDialog dialog(this, QStringLiteral("stampa su file PDF"), workingFolder(), QStringLiteral("pdf(*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(QStringLiteral("testo.pdf"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    printerQuery_ = [] { return !QPrinterInfo::defaultPrinter().isNull(); };
    printDialog_ = standardPrintDialog(this);
}

void ReportWindow::setMessageSink(MessageSink sink)
{
    noticeSink_ = sink;
    messageSink_ = std::move(sink);
}
void ReportWindow::setPdfFileChooser(PdfFileChooser chooser) { pdfFileChooser_ = std::move(chooser); }
void ReportWindow::setPrinterQuery(PrinterQuery query) { printerQuery_ = std::move(query); }
void ReportWindow::setPrintDialog(PrintDialogRunner dialog) { printDialog_ = std::move(dialog); }

void ReportWindow::layOutForScreen() { roomKeeper_->showing(); }

void ReportWindow::layOutForScreen(const QSize& screenSize) { layOutForRoom({QRect(QPoint(0, 0), screenSize), {}}); }

void ReportWindow::layOutForRoom(const ScreenRoom& room)
{
    const QRect inside = room.inside();
    const ReportLayout layout = reportLayout(inside.width(), inside.height());
    reportText_->clear();
    setFixedSize(layout.window.width, layout.window.height);
    move(room.available.topLeft());
    place(reportText_, layout.reportText);
    place(exitButton_, layout.exitButton);
    place(printButton_, layout.printButton);
    place(saveRtfButton_, layout.saveRtfButton);
    // Under "&Uscita", inside the window; only a calculation or a typed equation has statistics.
    const int statisticsTop = layout.exitButton.top + layout.exitButton.height + 5;
    statisticsButton_->setGeometry(layout.exitButton.left, statisticsTop, layout.exitButton.width,
                                   std::min(layout.exitButton.height, layout.window.height - statisticsTop - 2));
    statisticsButton_->setEnabled(report_.calculation.has_value() || !report_.statistics.empty());
    // Under "SU FILE DI TESTO", as the statistics are under "&Uscita".
    exportButton_->setGeometry(layout.saveRtfButton.left, statisticsTop, layout.saveRtfButton.width,
                               statisticsButton_->height());
    exportButton_->setEnabled(report_.calculation.has_value());

    QStringList lines;
    for (const std::string& line : report_.lines) lines << QString::fromStdString(line);
    reportText_->setPlainText(lines.join(QLatin1Char('\n')));
    setWindowTitle(QString::fromStdString(report_.caption));
}

void ReportWindow::setReport(ReportContent report) { report_ = std::move(report); }

void ReportWindow::printReport()
{
    const PrintChoices choices{printerQuery_, printDialog_, pdfFileChooser_};
    if (const auto failure = printLines(choices, editorLines(reportText_->toPlainText()), QStringLiteral("CALVERO1 rapporto")))
        showMessage(*failure);
}

void ReportWindow::saveRtf()
{
    const QString folder = workingFolder();
    const QString path = folder + QStringLiteral("/testo.rtf");
    const auto failure = writeRtfFile(QFile::encodeName(path).toStdString(), editorLines(reportText_->toPlainText()));
    if (failure) {
        showMessage(QStringLiteral("errore di scrittura del file ") + path + QStringLiteral(": ") +
                    QString::fromLocal8Bit(failure->c_str()));
        return;
    }
    // The message names the file written, so that it can be opened by that name.
    if (noticeSink_) noticeSink_(QStringLiteral("salvato sul file(in formato word):") + path);
}

void ReportWindow::showStatistics()
{
    if (!report_.calculation) {
        if (report_.statistics.empty()) return;
        StatisticsTextWindow window(report_.statistics, this);
        window.exec();
        return;
    }
    StatisticsWindow window(*report_.calculation, this);
    window.exec();
}

void ReportWindow::showExport()
{
    if (!report_.calculation) return;
    // Named after the data set file (or the point file), as the batch command names it.
    const auto named = std::find_if(report_.sources.begin(), report_.sources.end(),
                                    [](const std::string& file) { return !file.empty(); });
    const std::string name = named == report_.sources.end() ? DefaultCurveName : fileStem(*named);
    ExportDialog dialog(*report_.calculation, name, this);
    dialog.setSourceFiles(report_.sources);
    dialog.exec();
}

void ReportWindow::showEvent(QShowEvent* event)
{
    // A window given back by the window manager (after being minimised) keeps what the user typed.
    if (!event->spontaneous()) layOutForScreen();
    QDialog::showEvent(event);
}

void ReportWindow::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

} // namespace calvero
