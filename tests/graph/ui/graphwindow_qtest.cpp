// The graph window on Qt's offscreen platform: layout, full-screen activation,
// the graph drawn at every repaint, the modal showing with its caption and
// "STAMPA" into a PDF file when there is no printer, the values under the
// mouse and the graph as a picture.
#include "fit/calculation.h"
#include "graph/fitgraph.h"
#include "graph/graphstate.h"
#include "graph/ui/graphwindow.h"
#include "graph/ui/graphimage.h"
#include "graph/ui/showgraphwindow.h"

#include "../../pdfwords.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSvgRenderer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace calvero;

namespace {

// Runs action on the first modal window of the given type as soon as it
// appears (the caller is about to block in it).
template <typename Window>
void whenModalAppears(std::function<void(Window*)> action)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(window);
        }
    });
    poll->start(10);
}

// Five points on y = x^2 + 1 with the straight-line fit's curve y = 3x - 1.
// Five points and, unless the kind is Scatter, the line y = 3x - 1.
FitGraphData graphOf(FitType kind)
{
    FitGraphData data;
    for (int i = 1; i <= 5; ++i) {
        data.points.x[i] = i;
        data.points.y[i] = i * i + 1.0;
    }
    data.points.foundCount = 5;
    data.plotted = 5;
    PolynomialCoefficients line{};
    line[1] = -1, line[2] = 3;
    if (kind != FitType::Scatter) data.curve = PolynomialCurve{line, 1};
    return data;
}

// The graph of those points installed in the window's drawing context.
void fillDataSet(GraphWindow& form, FitType kind) { prepareScreenGraph(form.graph(), graphOf(kind)); }

int countColour(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);

} // namespace

class GraphWindowTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAsDesigned()
    {
        GraphWindow form;
        QCOMPARE(form.windowTitle(), QStringLiteral("  "));
        QCOMPARE(form.size(), QSize(640, 461));
        QCOMPARE(form.font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(form.font().pixelSize(), 11);
        QVERIFY(form.font().bold() && form.font().italic());
        QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));

        QCOMPARE(form.exitButton()->text(), QStringLiteral("&Uscita"));
        QCOMPARE(form.exitButton()->geometry(), QRect(208, 408, 145, 25));
        QCOMPARE(form.exitButton()->font().pixelSize(), 16);
        QVERIFY(!form.exitButton()->font().bold());
        QCOMPARE(form.exitButton()->palette().color(QPalette::ButtonText), QColor(Qt::blue));

        QCOMPARE(form.printButton()->text(), QStringLiteral("STAMPA"));
        QCOMPARE(form.printButton()->geometry(), QRect(392, 408, 129, 25));
        QVERIFY(form.printButton()->font().bold() && form.printButton()->font().italic());
        QVERIFY(!form.printButton()->icon().isNull());
    }

    void activationFillsTheScreen()
    {
        GraphWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect area = form.screen()->availableGeometry();
        QCOMPARE(form.frameGeometry().topLeft(), area.topLeft());
        QCOMPARE(form.frameGeometry().size(), area.size());
        QCOMPARE(form.exitButton()->y(), form.height() - 53);
        QVERIFY(form.exitButton()->isVisible() && form.printButton()->isVisible());
    }

    void buttonsAt715On1024By768()
    {
        GraphWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(1024, 768);
        QTRY_COMPARE(form.size(), QSize(1024, 768));
        QCOMPARE(form.exitButton()->pos(), QPoint(208, 715));
        QCOMPARE(form.printButton()->pos(), QPoint(392, 715));
    }

    void graphIsDrawnAtEveryRepaintOnTheScreen()
    {
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial);
        form.graph().device = DevicePrinter; // as a print leaves it
        form.resize(1024, 768);
        const QImage first = form.grab().toImage();
        QCOMPARE(form.graph().device, DeviceScreen);
        QCOMPARE(form.graph().frame.deviceWidth, 1014);
        QCOMPARE(form.graph().frame.deviceHeight, 688);
        QVERIFY(countColour(first, Blue) > 300);
        QVERIFY(countColour(first, Green) > 300);

        QCOMPARE(form.grab().toImage(), first); // the same graph again

        // A recalculation is seen at the next repaint: now points only.
        fillDataSet(form, FitType::Scatter);
        const QImage scatter = form.grab().toImage();
        QCOMPARE(countColour(scatter, Green), 0);
        QVERIFY(countColour(scatter, Blue) > 300);
    }

    void showGraphWindowShowsModallyWithTheCaption()
    {
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial);
        QString caption;
        bool modal = false;
        int buttonsTop = -1, expectedTop = 0;
        whenModalAppears<GraphWindow>([&](GraphWindow* shown) {
            caption = shown->windowTitle();
            modal = shown->isModal();
            buttonsTop = shown->exitButton()->y();
            expectedTop = shown->height() - 53;
            QTest::mouseClick(shown->exitButton(), Qt::LeftButton);
        });
        showGraphWindow(form, graphOf(FitType::Polynomial), "file:/dati/prova.txt");
        QCOMPARE(caption, QStringLiteral("file:/dati/prova.txt"));
        QVERIFY(modal);
        QCOMPARE(buttonsTop, expectedTop);
        QVERIFY(!form.isVisible());
        QVERIFY(form.graph().procedure == &fitGraphProcedure);
    }

    void printWithoutPrinterWritesThePageAsPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a printer: nothing is asked");
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        whenModalAppears<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(folder.filePath(QStringLiteral("grafico")));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        form.printGraph();
        QFile pdf(folder.filePath(QStringLiteral("grafico.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(4), QByteArray("%PDF"));
        QCOMPARE(form.graph().device, DeviceScreen);

        // A refused question prints nothing.
        whenModalAppears<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        form.printGraph();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    }

    void printerPrintsAfterItsDialogUnderTheJobName()
    {
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial);
        QTemporaryDir folder;
        form.setPrinterQuery([] { return true; });
        for (const bool accepted : {false, true}) {
            QString jobName;
            const QString pdf = folder.filePath(accepted ? "stampato.pdf" : "annullato.pdf");
            form.setPrintDialog([&](QPrinter& printer) {
                jobName = printer.docName();
                printer.setOutputFormat(QPrinter::PdfFormat); // stands in for the printer chosen
                printer.setOutputFileName(pdf);
                return accepted;
            });
            form.printGraph();
            QCOMPARE(jobName, QStringLiteral("CALVERO1 grafico"));
            QCOMPARE(QFile::exists(pdf), accepted); // a cancelled dialog prints nothing
        }
    }

    void readoutStartsEmptyAndFitsANarrowWindow()
    {
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial);
        form.positionReadout()->setText("x = 1   y = 2"); // left by the last graph
        QRect readout;
        QString text;
        whenModalAppears<GraphWindow>([&](GraphWindow* shown) {
            text = shown->positionReadout()->text();
            shown->resize(700, 500);
            readout = shown->positionReadout()->geometry();
            shown->closeGraph();
        });
        form.showGraph("file:");
        QVERIFY(text.isEmpty());
        // A readout with a curve value, in the label's font, fits inside the window.
        const QString longest = QStringLiteral("x = 12345.678   y = 12345.678   curva: y = 12345.67890");
        QVERIFY(readout.left() >= 0 && readout.right() < 700);
        QVERIFY(QFontMetrics(form.positionReadout()->font()).horizontalAdvance(longest) <= readout.width());
        QVERIFY(readout.bottom() < 500);
    }

    // The questions' answers, however long, stay inside a narrow window
    // and clear of the buttons and of the fields they answer.
    void questionsAnswerStaysInsideANarrowWindow()
    {
        CalculationInput in;
        const double head[] = {31.98, 31.10, 30.48, 29.13, 27.80, 25.67, 23.64, 21.02, 18.34, 15.07, 11.64};
        for (int i = 1; i <= 11; ++i) {
            in.points.x[i] = 5.0 + 5.0 * i;
            in.points.y[i] = head[i - 1];
        }
        in.pointCount = 11;
        in.kind = FitType::Polynomial;
        in.degree = 2;
        GraphWindow form;
        prepareScreenGraph(form.graph(), fitGraphData(*calculate(in)));
        QString answer;
        QRect answerBox, fieldBox, exitBox;
        whenModalAppears<GraphWindow>([&](GraphWindow* shown) {
            shown->resize(800, 560);
            auto* system = shown->findChild<QLineEdit*>(QStringLiteral("systemField"));
            system->setText(QStringLiteral("0,01"));
            QMetaObject::invokeMethod(system, "editingFinished");
            auto* label = shown->findChild<QLabel*>(QStringLiteral("questionsAnswer"));
            answer = label->text();
            answerBox = label->geometry();
            fieldBox = shown->findChild<QWidget*>(QStringLiteral("ratioField"))->geometry();
            exitBox = shown->exitButton()->geometry();
            shown->closeGraph();
        });
        form.showGraph("file:");
        QVERIFY2(answer.startsWith(QStringLiteral("Q = 45.")), qPrintable(answer)); // k Q^2 meets the curve near Q = 45.6
        const int needed = QFontMetrics(form.findChild<QLabel*>(QStringLiteral("questionsAnswer"))->font())
                               .horizontalAdvance(answer);
        QVERIFY(answerBox.left() >= 0 && answerBox.right() < 800);
        QVERIFY(needed <= answerBox.width() * (answerBox.height() >= 30 ? 2 : 1));
        QVERIFY(!answerBox.intersects(fieldBox) && !answerBox.intersects(exitBox));
    }

    void mouseShowsTheValuesUnderItAndTheCurvesY()
    {
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial); // curve y = 3x - 1 over x = 1 ... 5
        form.resize(1024, 768);
        form.grab();
        const PlotFrame plot = form.graph().plot;
        const struct {
            FitType kind;
            double x, y;
            int words; // x = a y = b [curva: y = c]; none outside the plot
        } cases[] = {{FitType::Polynomial, 2.5, 10, 10}, {FitType::Polynomial, 4.9, 3, 10},
                     {FitType::Polynomial, plot.xMax - 0.01, 20, 6}, {FitType::Polynomial, plot.xMin - 1, 10, 0},
                     {FitType::Scatter, 2.5, 10, 6}};
        for (const auto& c : cases) {
            fillDataSet(form, c.kind);
            const QPointF pixel((c.x - plot.xMin) * plot.xScale + plot.originX,
                                688 - ((c.y - plot.yMin) * plot.yScale + plot.originY));
            QMouseEvent move(QEvent::MouseMove, pixel, form.mapToGlobal(pixel), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&form, &move);
            const QString text = form.positionReadout()->text();
            const QStringList parts = text.split(' ', Qt::SkipEmptyParts);
            QCOMPARE(parts.size(), c.words);
            if (c.words == 0) continue;
            const double x = parts[2].toDouble(), y = parts[5].toDouble();
            QVERIFY2(std::abs(x - c.x) <= 1.5 / plot.xScale && std::abs(y - c.y) <= 1.5 / plot.yScale, qPrintable(text));
            if (c.words == 10) QVERIFY2(std::abs(parts[9].toDouble() - (3 * x - 1)) <= 3.0 / plot.xScale, qPrintable(text));
        }
        // The window shows the drawing pass and nothing more.
        const QRect graphArea(0, 0, 1024, 768 - 80);
        QCOMPARE(form.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(graphArea),
                 renderGraphImage(form.graph(), 1024, 768).copy(graphArea));
    }

    void graphAsAPictureOnTheClipboardAndInFiles()
    {
        GraphWindow form;
        fillDataSet(form, FitType::Polynomial);
        QStringList captions;
        for (const QAction* action : form.actions()) captions << action->text();
        QCOMPARE(captions, (QStringList{"copia immagine", QString::fromUtf8("salva immagine\u2026")}));
        QCOMPARE(form.contextMenuPolicy(), Qt::ActionsContextMenu);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QImage shown = renderGraphImage(form.graph(), form.width(), form.height());
        QVERIFY(countColour(shown, Green) > 300);

        QGuiApplication::clipboard()->clear();
        QTest::keySequence(&form, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(shown.format()), shown);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QStringList messages;
        QString chosen;
        form.setMessageSink([&](const QString& text) { messages << text; });
        form.setImageFileChooser([&] { return chosen; });
        for (const QString name : {"grafico.png", "grafico.SVG", "grafico.pdf"}) {
            chosen = folder.filePath(name);
            QTest::keySequence(&form, QKeySequence::Save);
            QVERIFY2(QFileInfo(chosen).size() > 0, qPrintable(name));
        }
        QCOMPARE(messages, QStringList());
        QCOMPARE(QImage(folder.filePath("grafico.png")).convertToFormat(shown.format()), shown);
        QSvgRenderer svg(folder.filePath("grafico.SVG"));
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBox(), QRect(QPoint(0, 0), form.size()));
        const auto pdf = testing::readPdf(folder.filePath("grafico.pdf"));
        QCOMPARE(int(pdf.size()), 1);
        const double dpi = shown.logicalDpiX();
        QVERIFY(std::abs(pdf.front().size.width() - form.width() * 72.0 / dpi) < 1);
        QVERIFY(!pdf.front().words.empty()); // the axis labels are text

        // Refusals: an ending that is no picture, a folder that is not there, a cancelled question.
        for (const QString name : {"grafico.jpg", "manca/grafico.png", ""}) {
            chosen = name.isEmpty() ? QString() : folder.filePath(name);
            form.savePicture();
        }
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].endsWith(folder.filePath("grafico.jpg")));
        QVERIFY(messages[1].startsWith("errore di scrittura del file " + folder.filePath("manca/grafico.png") + ": "));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 3);
    }
};

QTEST_MAIN(GraphWindowTest)
#include "graphwindow_qtest.moc"
