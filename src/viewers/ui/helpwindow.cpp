#include "viewers/ui/helpwindow.h"

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

// Before the main window has set it, the binary's own folder.
QString folderOrBinary(const std::string& folder)
{
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

HelpWindow::Services desktopServices()
{
    HelpWindow::Services services;
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
        QMessageBox::warning(parent, "calvero1", text);
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

HelpWindow::HelpWindow(std::string caption, std::string programFolder, QWidget* parent)
    : QDialog(parent)
    , browser_(new HelpTextBrowser(this))
    , exitButton_(makeButton("Esci", helpDoorIcon(), this))
    , backButton_(makeButton("Indietro", helpBackArrowIcon(), this))
    , printButton_(makeButton("stampa", printerIcon(), this))
    , caption_(std::move(caption))
    , programFolder_(std::move(programFolder))
    , services_(desktopServices())
{
    setObjectName("helpWindow");
    roomKeeper_ = new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); });
    browser_->setObjectName("browser");
    exitButton_->setObjectName("exitButton");
    backButton_->setObjectName("backButton");
    printButton_->setObjectName("printButton");

    // Addresses on the web go to the desktop's browser; the documentation's
    // own pages open here, in the window's history.
    browser_->setOpenExternalLinks(true);
    browser_->setOpenLinks(true);

    connect(exitButton_, &QPushButton::clicked, this, &HelpWindow::closeHelp);
    connect(backButton_, &QPushButton::clicked, this, &HelpWindow::goBack);
    connect(printButton_, &QPushButton::clicked, this, &HelpWindow::printPage);
    connect(exitButton_, &QPushButton::pressed, this, &HelpWindow::restoreCursor);
    connect(backButton_, &QPushButton::pressed, this, &HelpWindow::restoreCursor);
    connect(printButton_, &QPushButton::released, this, &HelpWindow::restoreCursor);
}

void HelpWindow::setServices(Services services) { services_ = std::move(services); }

void HelpWindow::layoutControls(int screenWidth, int windowWidth, int windowHeight)
{
    screenWidth_ = screenWidth;
    const HelpBrowserLayout layout = layoutHelpBrowser(screenWidth, windowWidth, windowHeight);
    setBox(browser_, layout.browser);
    setBox(exitButton_, layout.exitButton);
    setBox(backButton_, layout.backButton);
    setBox(printButton_, layout.printButton);
}

void HelpWindow::layOutForRoom(const ScreenRoom& room)
{
    fillRoom(this, room);
    layoutControls(room.inside().width(), width(), height());
}

void HelpWindow::start()
{
    roomKeeper_->showing();

    setWindowTitle(QString::fromStdString(caption_));

    const QString page = QString::fromStdString(helpDocumentPath(folderOrBinary(programFolder_).toStdString()));
    browser_->setSource(QUrl::fromLocalFile(page));
}

void HelpWindow::showEvent(QShowEvent* event)
{
    // The window is modal and made for one opening, so this runs once.
    if (!started_) {
        started_ = true;
        start();
    }
    QDialog::showEvent(event);
}

void HelpWindow::resizeEvent(QResizeEvent* event)
{
    // The desktop may give the window less than the whole screen (panels,
    // frames): the controls follow the size the window really has.
    QDialog::resizeEvent(event);
    if (screenWidth_ > 0)
        layoutControls(screenWidth_, width(), height());
}

void HelpWindow::closeHelp() { close(); }

void HelpWindow::goBack()
{
    if (!browser_->isBackwardAvailable()) {
        services_.showMessage(this, "non ammesso");
        return;
    }
    browser_->backward();
}

void HelpWindow::printPage()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("CALVERO1 documentazione"));
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
    browser_->document()->print(&printer);
    QApplication::restoreOverrideCursor();

    if (printer.printerState() == QPrinter::Error) {
        const QString target = toFile ? printer.outputFileName() : printer.printerName();
        services_.showMessage(this, "stampa non riuscita: " + target);
    }
}

void HelpWindow::restoreCursor()
{
    unsetCursor();
    browser_->viewport()->unsetCursor();
}

} // namespace calvero
