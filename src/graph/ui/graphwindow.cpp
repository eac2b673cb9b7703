#include "graph/ui/graphwindow.h"

#include "common/numtext.h"
#include "graph/fitgraph.h"
#include "graph/questionplot.h"
#include "graph/surfacegraph.h"
#include "graph/ui/graphimage.h"
#include "graph/ui/graphpicture.h"
#include "graph/ui/graphprint.h"
#include "graph/ui/screengraph.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
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
constexpr int QuestionsAbove = 32; // the questions' row, above the buttons
constexpr int QuestionsLeft = 10, QuestionsGap = 8; // where the row's fields start, and the room between them
constexpr int AnswerRowHeight = 34; // the answers' own rows (two lines), when they do not fit beside the fields

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

GraphWindow::GraphWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("graphWindow"));
    setWindowTitle(QStringLiteral("  "));
    setFont(graphWindowFont());
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);
    resize(640, 461);

    exitButton_ = new QPushButton(QStringLiteral("&Uscita"), this);
    exitButton_->setObjectName(QStringLiteral("exitButton"));
    exitButton_->setGeometry(208, 408, 145, 25);
    exitButton_->setFont(buttonFont(false));
    QPalette blueText = exitButton_->palette();
    blueText.setColor(QPalette::ButtonText, Qt::blue);
    exitButton_->setPalette(blueText);
    exitButton_->setAutoDefault(false);
    connect(exitButton_, &QPushButton::clicked, this, &GraphWindow::closeGraph);

    printButton_ = new QPushButton(printGlyph(), QStringLiteral("STAMPA"), this);
    printButton_->setObjectName(QStringLiteral("printButton"));
    printButton_->setGeometry(392, 408, 129, 25);
    printButton_->setFont(buttonFont(true));
    QPalette blackText = printButton_->palette();
    blackText.setColor(QPalette::ButtonText, Qt::black);
    printButton_->setPalette(blackText);
    printButton_->setAutoDefault(false);
    connect(printButton_, &QPushButton::clicked, this, &GraphWindow::printGraph);

    positionReadout_ = new QLabel(this);
    positionReadout_->setObjectName(QStringLiteral("positionReadout"));
    positionReadout_->setTextFormat(Qt::PlainText);
    positionReadout_->setFont(buttonFont(false));
    positionReadout_->setGeometry(PositionLeft, 408, 640 - PositionLeft, 25);
    // An opaque label repaints alone as the mouse moves, not the graph under it.
    QPalette whiteBackground = positionReadout_->palette();
    whiteBackground.setColor(QPalette::Window, Qt::white);
    positionReadout_->setPalette(whiteBackground);
    positionReadout_->setAutoFillBackground(true);
    setMouseTracking(true);

    copyImageAction_ = new QAction(QStringLiteral("copia immagine"), this);
    copyImageAction_->setShortcut(QKeySequence::Copy);
    saveImageAction_ = new QAction(QStringLiteral("salva immagine\u2026"), this);
    saveImageAction_->setShortcut(QKeySequence::Save);
    for (QAction* action : {copyImageAction_, saveImageAction_}) addAction(action);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copyImageAction_, &QAction::triggered, this, &GraphWindow::copyPicture);
    connect(saveImageAction_, &QAction::triggered, this, &GraphWindow::savePicture);

    bandsBox_ = new QCheckBox(QStringLiteral("bande di confidenza e di previsione al 95 %"), this);
    bandsBox_->setObjectName(QStringLiteral("bandsBox"));
    systemLabel_ = new QLabel(QStringLiteral("impianto \u0394p = p0 + k\u00b7Q^n, k; p0; n:"), this);
    systemField_ = new QLineEdit(this);
    systemField_->setObjectName(QStringLiteral("systemField"));
    systemField_->setPlaceholderText(QStringLiteral("k; p0; n"));
    ratioLabel_ = new QLabel(QStringLiteral("velocit\u00e0 n2/n1:"), this);
    ratioField_ = new QLineEdit(this);
    ratioField_->setObjectName(QStringLiteral("ratioField"));
    quantityChoice_ = new QComboBox(this);
    quantityChoice_->addItems({QStringLiteral("prevalenza"), QStringLiteral("potenza"), QStringLiteral("rendimento")});
    questionsAnswer_ = new QLabel(this);
    questionsAnswer_->setObjectName(QStringLiteral("questionsAnswer"));
    questionsAnswer_->setTextFormat(Qt::PlainText);
    connect(bandsBox_, &QCheckBox::toggled, this, &GraphWindow::askQuestions);
    connect(systemField_, &QLineEdit::editingFinished, this, &GraphWindow::askQuestions);
    connect(ratioField_, &QLineEdit::editingFinished, this, &GraphWindow::askQuestions);
    connect(quantityChoice_, &QComboBox::currentIndexChanged, this, &GraphWindow::askQuestions);

    roomKeeper_ = new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); });
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

void GraphWindow::setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
void GraphWindow::setImageFileChooser(FileChooser chooser) { imageFileChooser_ = std::move(chooser); }
void GraphWindow::setPrinterQuery(std::function<bool()> query) { printerQuery_ = std::move(query); }
void GraphWindow::setPrintDialog(PrintDialogRunner dialog) { printDialog_ = std::move(dialog); }
void GraphWindow::setPdfFileChooser(FileChooser chooser) { pdfFileChooser_ = std::move(chooser); }

void GraphWindow::showGraph(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
    positionReadout_->clear(); // the last graph's figures are not this one's
    // The questions asked of the last graph are not this one's either.
    for (QLineEdit* field : {systemField_, ratioField_}) field->clear();
    questionsAnswer_->clear();
    bandsBox_->setChecked(graph_.fit.questions.bands);
    exec();
}

bool GraphWindow::asksQuestions() const
{
    return graph_.procedure == &fitGraphProcedure && graph_.fit.curve && graph_.fit.questions.predictor;
}

void GraphWindow::askQuestions()
{
    if (!asksQuestions()) return;
    QuestionGraph& q = graph_.fit.questions;
    q.bands = bandsBox_->isChecked();
    q.system.reset();
    q.operatingPoints.clear();
    q.scaled.reset();
    QStringList said;
    const std::string systemText = systemField_->text().toStdString();
    if (!systemText.empty()) {
        const auto numbers = parseNumberList(systemText, 1, 3);
        if (!numbers) {
            said << QStringLiteral("impianto: scrivere k; p0; n");
        } else {
            const SystemCurve system{(*numbers)[0], numbers->size() > 1 ? (*numbers)[1] : 0.0,
                                     numbers->size() > 2 ? (*numbers)[2] : 2.0};
            const auto found = operatingPoints(*q.predictor, system, q.level);
            q.system = system;
            if (found) {
                q.operatingPoints = *found;
                for (const CurvePlace& p : *found) said << QString::fromStdString(operatingPointLabel(p));
            } else {
                said << QString::fromStdString(found.failure());
            }
        }
    }
    const std::string ratioText = ratioField_->text().toStdString();
    if (!ratioText.empty()) {
        const auto numbers = parseNumberList(ratioText, 1, 1);
        const auto quantity = static_cast<AffinityQuantity>(quantityChoice_->currentIndex());
        const Checked<FittedCurve> scaled =
            numbers ? scaledCurve(*graph_.fit.curve, (*numbers)[0], quantity)
                    : failed<FittedCurve>(Refusal{RefusalCode::InvalidQuestion, {"ratio"}});
        if (scaled) {
            q.scaled = *scaled;
            q.ratio = (*numbers)[0];
        } else {
            said << QString::fromStdString(scaled.failure());
        }
    }
    questionsAnswer_->setText(said.join(QStringLiteral("; ")));
    placeButtons(); // a longer answer may need a row of its own
    update();
}

void GraphWindow::fillScreen()
{
    exitButton_->setVisible(true);
    printButton_->setVisible(true);
    roomKeeper_->showing();
}

void GraphWindow::layOutForRoom(const ScreenRoom& room)
{
    // The whole room, frame included, from its top-left corner.
    fillRoom(this, room);
    placeButtons();
    update();
}

void GraphWindow::closeGraph() { accept(); }

void GraphWindow::printGraph()
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
    if (!printGraphPage(graph_, printer)) showMessage(refusal);
}

void GraphWindow::copyPicture()
{
    const QImage image = renderGraphImage(graph_, width(), height());
    if (!image.isNull()) QGuiApplication::clipboard()->setImage(image);
}

void GraphWindow::savePicture()
{
    const QString name = imageFileChooser_ ? imageFileChooser_() : QString();
    if (name.isEmpty()) return;
    const QString failure = saveGraphPicture(graph_, name, width(), height());
    if (!failure.isEmpty()) showMessage(failure);
}

void GraphWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fillScreen();
}

void GraphWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeButtons();
}

void GraphWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The questions' row takes its height from the picture, so that it
    // covers none of the x axis' numbers.
    paintScreenGraph(graph_, painter, width(), asksQuestions() ? height() - questionsHeight() : height());
    screenPlot_ = lastScreenPlot(graph_);
}

void GraphWindow::mouseMoveEvent(QMouseEvent* event)
{
    QDialog::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const std::optional<WorldPoint> world = worldAtPixel(screenPlot_, at.x(), at.y());
    if (!world) {
        positionReadout_->clear();
        return;
    }
    positionReadout_->setText(QString::fromStdString(
        positionText(screenPlot_, *world, drawnCurveValueAt(graph_, world->x),
                     drawnSurfaceValueAt(graph_, world->x, world->y))));
}

void GraphWindow::leaveEvent(QEvent* event)
{
    QDialog::leaveEvent(event);
    positionReadout_->clear();
}

void GraphWindow::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

void GraphWindow::placeQuestions(int top)
{
    // The row is there only for a curve that can answer: a scatter, a
    // surface or a graph without a fit shows none of it over the picture.
    const bool questions = asksQuestions();
    for (QWidget* w : std::initializer_list<QWidget*>{bandsBox_, systemLabel_, systemField_, ratioLabel_, ratioField_,
                                                      quantityChoice_, questionsAnswer_})
        w->setVisible(questions);
    const int row = top - questionsHeight();
    int left = QuestionsLeft;
    for (const auto& [field, fieldWidth] : questionFields()) {
        field->setGeometry(left, row, fieldWidth, 25);
        left += fieldWidth + QuestionsGap;
    }
    // An answer too long for the rest of the row takes the whole width of
    // the row under it, wrapped, rather than running past the window's edge.
    if (answerFitsBeside()) {
        questionsAnswer_->setWordWrap(false);
        questionsAnswer_->setGeometry(left, row, std::max(0, width() - left - 10), 25);
    } else {
        questionsAnswer_->setWordWrap(true);
        questionsAnswer_->setGeometry(10, row + 25, std::max(0, width() - 20), AnswerRowHeight);
    }
}

std::vector<std::pair<QWidget*, int>> GraphWindow::questionFields() const
{
    return {{bandsBox_, bandsBox_->sizeHint().width()}, {systemLabel_, systemLabel_->sizeHint().width()},
            {systemField_, 110},                         {ratioLabel_, ratioLabel_->sizeHint().width()},
            {ratioField_, 60},                           {quantityChoice_, quantityChoice_->sizeHint().width()}};
}

bool GraphWindow::answerFitsBeside() const
{
    int answerLeft = QuestionsLeft;
    for (const auto& field : questionFields()) answerLeft += field.second + QuestionsGap;
    return questionsAnswer_->text().isEmpty() ||
           questionsAnswer_->fontMetrics().horizontalAdvance(questionsAnswer_->text()) <= width() - answerLeft - 10;
}

int GraphWindow::questionsHeight() const
{
    return answerFitsBeside() ? QuestionsAbove : QuestionsAbove + AnswerRowHeight;
}

void GraphWindow::placeButtons()
{
    const int top = height() - ButtonsFromBottom;
    placeQuestions(top);
    exitButton_->move(208, top);
    printButton_->move(392, top);
    // Beside the buttons when a whole readout fits there, else on a row of its own under them.
    const int besideRoom = width() - PositionLeft - 10;
    if (besideRoom >= ReadoutWidth)
        positionReadout_->setGeometry(PositionLeft, top, besideRoom, positionReadout_->height());
    else
        positionReadout_->setGeometry(UnderLeft, top + UnderDrop, std::max(0, width() - UnderLeft - 10),
                                      positionReadout_->height());
}

} // namespace calvero
