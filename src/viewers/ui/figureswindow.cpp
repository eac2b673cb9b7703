#include "viewers/ui/figureswindow.h"

#include "viewers/ui/helpicons.h"
#include "viewers/ui/reportprint.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace calvero {

namespace {
const QSize WantedSize(1000, 700);
}

FiguresWindow::FiguresWindow(QWidget* parent) : QDialog(parent)
{
    auto* outer = new QVBoxLayout(this);
    body = new QVBoxLayout;
    outer->addLayout(body, 1);
    buttonRow = new QHBoxLayout;
    outer->addLayout(buttonRow);
    printButton_ = new QPushButton(printerIcon(), QStringLiteral("Stampa"), this);
    copyButton_ = new QPushButton(QStringLiteral("Copia"), this);
    exitButton_ = new QPushButton(QStringLiteral("&Uscita"), this);
    for (QPushButton* b : {printButton_, copyButton_, exitButton_}) {
        b->setAutoDefault(false);
        buttonRow->addWidget(b);
    }
    exitButton_->setDefault(true);
    connect(printButton_, &QPushButton::clicked, this, &FiguresWindow::printFigures);
    connect(copyButton_, &QPushButton::clicked, this, &FiguresWindow::copyFigures);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);

    messageSink_ = [this](const QString& text) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), text);
    };
    pdfFileChooser_ = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("stampa su file PDF"), QDir::currentPath(),
                                            QStringLiteral("pdf(*.pdf)"));
    };
    printerQuery_ = [] { return !QPrinterInfo::defaultPrinter().isNull(); };
    printDialog_ = standardPrintDialog(this);
    new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); }, RoomKeeper::Showing::ByKeeper);
}

void FiguresWindow::layOutForRoom(const ScreenRoom& room) { placeInRoom(this, room, WantedSize); }

QFont FiguresWindow::fixedFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(14);
    return font;
}

void FiguresWindow::printFigures()
{
    // Named in the printer's queue as the report and the graph are.
    const QString job = QStringLiteral("CALVERO1 ") + windowTitle();
    if (const auto failure = printLines({printerQuery_, printDialog_, pdfFileChooser_}, lines(), job))
        showMessage(*failure);
}

void FiguresWindow::copyFigures()
{
    QString text;
    for (const std::string& line : lines()) text += QString::fromStdString(line) + QLatin1Char('\n');
    QApplication::clipboard()->setText(text);
}

void FiguresWindow::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

} // namespace calvero
