#include "graph/ui/TForm8.h"

#include "graph/fitgraph.h"
#include "graph/ui/graphimage.h"
#include "graph/ui/graphpicture.h"
#include "graph/ui/graphprint.h"
#include "graph/ui/screengraph.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace calvero {

namespace {

constexpr int ButtonsFromBottom = 53;
constexpr int PositionLeft = 541; // beside "STAMPA"
// A readout with a curve value and a few digits each takes about this much.
constexpr int ReadoutWidth = 380;
constexpr int UnderLeft = 10;
constexpr int UnderDrop = 27;
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

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(buttonFont(false));
    Label1->setGeometry(PositionLeft, 408, 640 - PositionLeft, 25);
    // An opaque label repaints alone as the mouse moves, not the graph under it.
    QPalette whiteBackground = Label1->palette();
    whiteBackground.setColor(QPalette::Window, Qt::white);
    Label1->setPalette(whiteBackground);
    Label1->setAutoFillBackground(true);
    setMouseTracking(true);

    copyImageAction = new QAction(QStringLiteral("copia immagine"), this);
    copyImageAction->setShortcut(QKeySequence::Copy);
    saveImageAction = new QAction(QStringLiteral("salva immagine\u2026"), this);
    saveImageAction->setShortcut(QKeySequence::Save);
    for (QAction* action : {copyImageAction, saveImageAction}) addAction(action);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copyImageAction, &QAction::triggered, this, &TForm8::copiaimmagine);
    connect(saveImageAction, &QAction::triggered, this, &TForm8::salvaimmagine);

    messageSink_ = [this](const QString& text) { QMessageBox::warning(this, QStringLiteral("grafico"), text); };
    imageFileChooser_ = [this] {
        QString filter;
        QString name = QFileDialog::getSaveFileName(this, QStringLiteral("salva immagine del grafico"),
                                                    QDir::current().filePath(QStringLiteral("grafico.png")),
                                                    graphPictureFilter(), &filter);
        // A name typed without an ending takes the one of the chosen kind.
        if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty() && filter.size() > 6)
            name += QLatin1Char('.') + filter.section(QLatin1Char('.'), 1).chopped(1);
        return name;
    };
    printerQuery_ = [] { return !QPrinterInfo::defaultPrinter().isNull(); };
    printDialog_ = standardPrintDialog(this);
    pdfFileChooser_ = [this] {
        QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("Nessuna stampante: salva il grafico in PDF"),
                                                        QStringLiteral("grafico.pdf"), QStringLiteral("PDF (*.pdf)"));
        if (!fileName.isEmpty() && QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".pdf");
        return fileName;
    };
}

void TForm8::setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
void TForm8::setImageFileChooser(FileChooser chooser) { imageFileChooser_ = std::move(chooser); }
void TForm8::setPrinterQuery(std::function<bool()> query) { printerQuery_ = std::move(query); }
void TForm8::setPrintDialog(PrintDialogRunner dialog) { printDialog_ = std::move(dialog); }
void TForm8::setPdfFileChooser(FileChooser chooser) { pdfFileChooser_ = std::move(chooser); }

void TForm8::visualizza(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
    Label1->clear(); // the last graph's figures are not this one's
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
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("CALVERO1 grafico"));
    QString refusal;
    if (printerQuery_ && printerQuery_()) {
        if (!(printDialog_ && printDialog_(printer))) return;
        refusal = QStringLiteral("La stampante %1 non ha accettato la stampa.").arg(printer.printerName());
    } else {
        const QString fileName = pdfFileChooser_ ? pdfFileChooser_() : QString();
        if (fileName.isEmpty()) return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(PdfResolution);
        printer.setOutputFileName(fileName);
        refusal = QStringLiteral("Impossibile scrivere il file %1").arg(fileName);
    }
    if (!printGraphPage(printer)) showMessage(refusal);
}

void TForm8::copiaimmagine()
{
    const QImage image = renderGraphImage(width(), height());
    if (!image.isNull()) QGuiApplication::clipboard()->setImage(image);
}

void TForm8::salvaimmagine()
{
    const QString name = imageFileChooser_ ? imageFileChooser_() : QString();
    if (name.isEmpty()) return;
    const QString failure = saveGraphPicture(name, width(), height());
    if (!failure.isEmpty()) showMessage(failure);
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
    screenPlot_ = lastScreenPlot();
}

void TForm8::mouseMoveEvent(QMouseEvent* event)
{
    QDialog::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const std::optional<WorldPoint> world = worldAtPixel(screenPlot_, at.x(), at.y());
    if (!world) {
        Label1->clear();
        return;
    }
    Label1->setText(QString::fromStdString(positionText(screenPlot_, *world, drawnCurveValueAt(world->x))));
}

void TForm8::leaveEvent(QEvent* event)
{
    QDialog::leaveEvent(event);
    Label1->clear();
}

void TForm8::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

void TForm8::placeButtons()
{
    const int top = height() - ButtonsFromBottom;
    Button1->move(208, top);
    BitBtn2->move(392, top);
    // Beside the buttons when a whole readout fits there, else on a row of its own under them.
    const int besideRoom = width() - PositionLeft - 10;
    if (besideRoom >= ReadoutWidth)
        Label1->setGeometry(PositionLeft, top, besideRoom, Label1->height());
    else
        Label1->setGeometry(UnderLeft, top + UnderDrop, std::max(0, width() - UnderLeft - 10), Label1->height());
}

} // namespace calvero
