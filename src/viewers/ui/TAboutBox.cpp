#include "viewers/ui/TAboutBox.h"

#include "fit/drivers.h"
#include "fit/report.h"
#include "fit/session.h"
#include "viewers/reportlayout.h"
#include "viewers/rtf.h"
#include "viewers/ui/helpicons.h"
#include "viewers/ui/reportprint.h"
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

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = pixelFont(QStringLiteral("Courier New"), 19);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    RichEdit1->setFont(fixed);
    RichEdit1->document()->setDefaultFont(fixed);

    OKButton = new QPushButton(QStringLiteral("&Uscita"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    SpeedButton1 = new QPushButton(printerIcon(), QStringLiteral("Stampa"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIconSize(QSize(16, 16));
    BitBtn1 = new QPushButton(QStringLiteral("SU FILE DI TESTO"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    statisticsButton = new QPushButton(QStringLiteral("statistiche"), this);
    statisticsButton->setObjectName(QStringLiteral("statisticsButton"));
    for (QPushButton* button : {OKButton, SpeedButton1, BitBtn1, statisticsButton}) {
        button->setFont(pixelFont(QStringLiteral("Verdana"), 19));
        button->setAutoDefault(false);
    }
    OKButton->setDefault(true);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(SpeedButton1, &QPushButton::clicked, this, &TAboutBox::vai_stampa);
    connect(BitBtn1, &QPushButton::clicked, this, &TAboutBox::sufiletesto);
    connect(statisticsButton, &QPushButton::clicked, this, &TAboutBox::statistiche);

    messageSink_ = [this](const QString& text) {
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

void TAboutBox::setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
void TAboutBox::setPdfFileChooser(PdfFileChooser chooser) { pdfFileChooser_ = std::move(chooser); }
void TAboutBox::setPrinterQuery(PrinterQuery query) { printerQuery_ = std::move(query); }
void TAboutBox::setPrintDialog(PrintDialogRunner dialog) { printDialog_ = std::move(dialog); }

void TAboutBox::inizia()
{
    const QScreen* current = screen();
    inizia(current != nullptr ? current->geometry().size() : QSize(1024, 768));
}

void TAboutBox::inizia(const QSize& screenSize)
{
    const ReportLayout layout = reportLayout(screenSize.width(), screenSize.height());
    move(layout.window.left, layout.window.top);
    RichEdit1->clear();
    setFixedSize(layout.window.width, layout.window.height);
    place(RichEdit1, layout.text);
    place(OKButton, layout.exitButton);
    place(SpeedButton1, layout.printButton);
    place(BitBtn1, layout.saveButton);
    // Under "&Uscita", inside the window.
    const int statisticsTop = layout.exitButton.top + layout.exitButton.height + 5;
    statisticsButton->setGeometry(layout.exitButton.left, statisticsTop, layout.exitButton.width,
                                  std::min(layout.exitButton.height, layout.window.height - statisticsTop - 2));

    QStringList lines;
    for (const std::string& line : reportLines(session().report)) lines << QString::fromStdString(line);
    RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
    setWindowTitle(QString::fromStdString(session().currentDataSetName));
}

void TAboutBox::vai_stampa()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("CALVERO1 rapporto"));
    if (printerQuery_ && printerQuery_()) {
        if (!(printDialog_ && printDialog_(printer))) return;
    } else {
        const QString file = pdfFileChooser_ ? pdfFileChooser_() : QString();
        if (file.isEmpty()) return;
        // The printing itself says nothing when it cannot open its file: try it first.
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly)) {
            showMessage(QStringLiteral("errore di scrittura del file ") + file + QStringLiteral(": ") +
                        probe.errorString());
            return;
        }
        probe.close();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }
    if (!printReport(printer, editorLines(RichEdit1->toPlainText())))
        showMessage(QStringLiteral("la stampante non ha accettato la stampa"));
}

void TAboutBox::sufiletesto()
{
    const QString folder = workingFolder();
    const QString path = folder + QStringLiteral("/testo.rtf");
    const auto failure = writeRtfFile(QFile::encodeName(path).toStdString(), editorLines(RichEdit1->toPlainText()));
    if (failure) {
        showMessage(QStringLiteral("errore di scrittura del file ") + path + QStringLiteral(": ") +
                    QString::fromLocal8Bit(failure->c_str()));
        return;
    }
    showMessage(QStringLiteral("salvato sul file(in formato word):") + folder + QStringLiteral("/TESTO.rtf"));
}

void TAboutBox::statistiche()
{
    const Outcome outcome = calculate(currentCalculationInput());
    if (const Refusal* refusal = std::get_if<Refusal>(&outcome)) {
        showMessage(QString::fromStdString(refusal->message));
        return;
    }
    StatisticsWindow window(std::get<Calculation>(outcome), this);
    window.exec();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    // A window given back by the window manager (after being minimised) keeps what the user typed.
    if (!event->spontaneous()) inizia();
    QDialog::showEvent(event);
}

void TAboutBox::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

} // namespace calvero
