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
#include <QScreen>
#include <QVBoxLayout>

namespace calvero {

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

    // Never larger than a 1024 x 768 screen less the window frame and task bar.
    const QScreen* current = screen();
    const QSize available = current ? current->availableGeometry().size() : QSize(1024, 768);
    resize(std::min(1000, available.width() - 24), std::min(700, available.height() - 60));
}

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
    if (const auto failure = printLines({printerQuery_, printDialog_, pdfFileChooser_}, lines(), windowTitle()))
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
