#include "graph/ui/TForm8.h"

#include "graph/ui/graphprint.h"
#include "graph/ui/screengraph.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <memory>

namespace calvero {

namespace {

constexpr int ButtonsFromBottom = 53;
constexpr int PdfResolution = 600;

QFont buttonFont(bool boldItalic)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(16);
    font.setBold(boldItalic);
    font.setItalic(boldItalic);
    return font;
}

// The picture of "STAMPA": a small sheet with lines of print.
QIcon printGlyph()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 10, 13);
    p.setPen(Qt::blue);
    for (int y = 4; y <= 11; y += 2) p.drawLine(5, y, 11, y);
    p.end();
    return QIcon(pixmap);
}

} // namespace

TForm8::TForm8(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("  "));
    setFont(graphWindowFont());
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);
    resize(640, 461);

    Button1 = new QPushButton(QStringLiteral("&Uscita"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(208, 408, 145, 25);
    Button1->setFont(buttonFont(false));
    QPalette blueText = Button1->palette();
    blueText.setColor(QPalette::ButtonText, Qt::blue);
    Button1->setPalette(blueText);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm8::termina);

    BitBtn2 = new QPushButton(printGlyph(), QStringLiteral("STAMPA"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(392, 408, 129, 25);
    BitBtn2->setFont(buttonFont(true));
    QPalette blackText = BitBtn2->palette();
    blackText.setColor(QPalette::ButtonText, Qt::black);
    BitBtn2->setPalette(blackText);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm8::stampagrafico);
}

void TForm8::visualizza(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
    exec();
}

void TForm8::inizia()
{
    Button1->setVisible(true);
    BitBtn2->setVisible(true);
    // The whole screen, frame included, from its top-left corner.
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (where) {
        const QRect area = where->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        move(area.topLeft());
        resize(area.size() - frame);
    }
    placeButtons();
    update();
}

void TForm8::termina() { accept(); }

void TForm8::stampagrafico()
{
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    std::unique_ptr<QPrinter> printer;
    QString refusal;
    if (!defaultPrinter.isNull()) {
        printer = std::make_unique<QPrinter>(defaultPrinter, QPrinter::HighResolution);
        refusal = QStringLiteral("La stampante %1 non ha accettato la stampa.").arg(defaultPrinter.printerName());
    } else {
        QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("Nessuna stampante: salva il grafico in PDF"),
                                                        QStringLiteral("grafico.pdf"), QStringLiteral("PDF (*.pdf)"));
        if (fileName.isEmpty()) return;
        if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".pdf");
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(PdfResolution);
        printer->setOutputFileName(fileName);
        refusal = QStringLiteral("Impossibile scrivere il file %1").arg(fileName);
    }
    if (!printGraphPage(*printer)) QMessageBox::warning(this, QStringLiteral("STAMPA"), refusal);
}

void TForm8::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    inizia();
}

void TForm8::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeButtons();
}

void TForm8::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintScreenGraph(painter, width(), height());
}

void TForm8::placeButtons()
{
    const int top = height() - ButtonsFromBottom;
    Button1->move(208, top);
    BitBtn2->move(392, top);
}

} // namespace calvero
