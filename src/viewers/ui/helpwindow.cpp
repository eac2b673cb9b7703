#include "viewers/ui/helpwindow.h"

#include "fit/session.h"
#include "viewers/helpdocument.h"
#include "viewers/helplayout.h"
#include "viewers/ui/helpicons.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QUrl>

#include <utility>

namespace calvero {

namespace {
constexpr int ButtonFontPoints = 16;

QString programFolder()
{
    // Set by the main window at start-up; before that, the binary's own folder.
    const std::string& folder = session().programFolder;
    return folder.empty() ? QCoreApplication::applicationDirPath() : QString::fromStdString(folder);
}

QPushButton* makeButton(const QString& caption, const QIcon& icon, QWidget* parent)
{
    auto* button = new QPushButton(icon, caption, parent);
    button->setIconSize(QSize(16, 16));
    QFont font = button->font();
    font.setPointSize(ButtonFontPoints);
    button->setFont(font);
    // Enter in the page must never close the window by way of a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void setBox(QWidget* widget, const HelpBrowserLayout::Box& box)
{
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

Tmiobrowser::Services desktopServices()
{
    Tmiobrowser::Services services;
    services.hasDefaultPrinter = [] { return !QPrinterInfo::defaultPrinter().isNull(); };
    services.pageSetup = [](QPrinter& printer, QWidget* parent) {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    services.pdfFileName = [](QWidget* parent) {
        QString name = QFileDialog::getSaveFileName(parent, "stampa su file PDF", "calvero1.pdf", "PDF (*.pdf)");
        if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
            name += ".pdf";
        return name;
    };
    services.showMessage = [](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, "calvero1", text);
    };
    return services;
}
} // namespace

QVariant HelpTextBrowser::loadResource(int type, const QUrl& name)
{
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::HtmlResource || !resource.isNull())
        return resource;
    const QString path = name.isLocalFile() ? name.toLocalFile() : name.toString();
    return QString("<html><body><p>pagina non trovata: %1</p></body></html>").arg(path.toHtmlEscaped());
}

Tmiobrowser::Tmiobrowser(QWidget* parent)
    : QDialog(parent)
    , WebBrowser2(new HelpTextBrowser(this))
    , SpeedButton2(makeButton("Esci", helpDoorIcon(), this))
    , SpeedButton1(makeButton("Indietro", helpBackArrowIcon(), this))
    , BitBtn1(makeButton("stampa", printerIcon(), this))
    , services_(desktopServices())
{
    setObjectName("miobrowser");
    WebBrowser2->setObjectName("WebBrowser2");
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton1->setObjectName("SpeedButton1");
    BitBtn1->setObjectName("BitBtn1");

    // Addresses on the web go to the desktop's browser; the documentation's
    // own pages open here, in the window's history.
    WebBrowser2->setOpenExternalLinks(true);
    WebBrowser2->setOpenLinks(true);

    connect(SpeedButton2, &QPushButton::clicked, this, &Tmiobrowser::indietro);
    connect(SpeedButton1, &QPushButton::clicked, this, &Tmiobrowser::vai_indietro);
    connect(BitBtn1, &QPushButton::clicked, this, &Tmiobrowser::BitBtn1Click);
    connect(SpeedButton2, &QPushButton::pressed, this, &Tmiobrowser::ripristina);
    connect(SpeedButton1, &QPushButton::pressed, this, &Tmiobrowser::ripristina);
    connect(BitBtn1, &QPushButton::released, this, &Tmiobrowser::ripristina);
}

void Tmiobrowser::setServices(Services services) { services_ = std::move(services); }

void Tmiobrowser::layoutControls(int screenWidth, int windowWidth, int windowHeight)
{
    screenWidth_ = screenWidth;
    const HelpBrowserLayout layout = layoutHelpBrowser(screenWidth, windowWidth, windowHeight);
    setBox(WebBrowser2, layout.browser);
    setBox(SpeedButton2, layout.exitButton);
    setBox(SpeedButton1, layout.backButton);
    setBox(BitBtn1, layout.printButton);
}

void Tmiobrowser::inizia()
{
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = shown ? shown->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(area.left(), area.top(), area.width(), area.height());
    layoutControls(area.width(), width(), height());

    setWindowTitle(QString::fromStdString(helpCaption()));

    const QString page = QString::fromStdString(helpDocumentPath(programFolder().toStdString()));
    WebBrowser2->setSource(QUrl::fromLocalFile(page));
}

void Tmiobrowser::showEvent(QShowEvent* event)
{
    // The window is modal and made for one opening, so this runs once.
    if (!started_) {
        started_ = true;
        inizia();
    }
    QDialog::showEvent(event);
}

void Tmiobrowser::resizeEvent(QResizeEvent* event)
{
    // The desktop may give the window less than the whole screen (panels,
    // frames): the controls follow the size the window really has.
    QDialog::resizeEvent(event);
    if (screenWidth_ > 0)
        layoutControls(screenWidth_, width(), height());
}

void Tmiobrowser::indietro() { close(); }

void Tmiobrowser::vai_indietro()
{
    if (!WebBrowser2->isBackwardAvailable()) {
        services_.showMessage(this, "non ammesso");
        return;
    }
    WebBrowser2->backward();
}

void Tmiobrowser::BitBtn1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    // Without a printer the page goes to a PDF file the user names.
    const bool toFile = !services_.hasDefaultPrinter();
    if (toFile)
        printer.setOutputFormat(QPrinter::PdfFormat);
    if (!services_.pageSetup(printer, this))
        return;
    if (toFile) {
        const QString fileName = services_.pdfFileName(this);
        if (fileName.isEmpty())
            return;
        printer.setOutputFileName(fileName);
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    WebBrowser2->document()->print(&printer);
    QApplication::restoreOverrideCursor();

    if (printer.printerState() == QPrinter::Error) {
        const QString target = toFile ? printer.outputFileName() : printer.printerName();
        services_.showMessage(this, "stampa non riuscita: " + target);
    }
}

void Tmiobrowser::ripristina()
{
    unsetCursor();
    WebBrowser2->viewport()->unsetCursor();
}

} // namespace calvero
