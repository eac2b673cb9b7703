// The graph window on Qt's offscreen platform: layout, full-screen activation,
// the graph drawn at every repaint, the modal showing with its caption and
// "STAMPA" into a PDF file when there is no printer.
#include "fit/session.h"
#include "fit/workingset.h"
#include "graph/fitgraph.h"
#include "graph/graphstate.h"
#include "graph/ui/TForm8.h"
#include "graph/ui/showgraphwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
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
void fillDataSet(FitType kind)
{
    Session& s = session();
    for (int i = 1; i <= 5; ++i) {
        s.points.x[i] = i;
        s.points.y[i] = i * i + 1.0;
    }
    s.points.count = 5;
    s.points.foundCount = 5;
    s.fit.kind = kind;
    s.fit.curveDegree = 1;
    s.result.curve[0] = -1;
    s.result.curve[1] = 3;
    selectCurveFunction();
}

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

class TForm8Test : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetSession();
        resetGraphState();
    }

    void layoutAsDesigned()
    {
        TForm8 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("  "));
        QCOMPARE(form.size(), QSize(640, 461));
        QCOMPARE(form.font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(form.font().pixelSize(), 11);
        QVERIFY(form.font().bold() && form.font().italic());
        QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));

        QCOMPARE(form.Button1->text(), QStringLiteral("&Uscita"));
        QCOMPARE(form.Button1->geometry(), QRect(208, 408, 145, 25));
        QCOMPARE(form.Button1->font().pixelSize(), 16);
        QVERIFY(!form.Button1->font().bold());
        QCOMPARE(form.Button1->palette().color(QPalette::ButtonText), QColor(Qt::blue));

        QCOMPARE(form.BitBtn2->text(), QStringLiteral("STAMPA"));
        QCOMPARE(form.BitBtn2->geometry(), QRect(392, 408, 129, 25));
        QVERIFY(form.BitBtn2->font().bold() && form.BitBtn2->font().italic());
        QVERIFY(!form.BitBtn2->icon().isNull());
    }

    void activationFillsTheScreen()
    {
        TForm8 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect area = form.screen()->availableGeometry();
        QCOMPARE(form.frameGeometry().topLeft(), area.topLeft());
        QCOMPARE(form.frameGeometry().size(), area.size());
        QCOMPARE(form.Button1->y(), form.height() - 53);
        QVERIFY(form.Button1->isVisible() && form.BitBtn2->isVisible());
    }

    void buttonsAt715On1024By768()
    {
        TForm8 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(1024, 768);
        QTRY_COMPARE(form.size(), QSize(1024, 768));
        QCOMPARE(form.Button1->pos(), QPoint(208, 715));
        QCOMPARE(form.BitBtn2->pos(), QPoint(392, 715));
    }

    void graphIsDrawnAtEveryRepaintOnTheScreen()
    {
        fillDataSet(FitType::Polynomial);
        prepareScreenGraph();
        graphState().device = DevicePrinter; // as a print leaves it
        TForm8 form;
        form.resize(1024, 768);
        const QImage first = form.grab().toImage();
        QCOMPARE(graphState().device, DeviceScreen);
        QCOMPARE(graphState().frame.deviceWidth, 1014);
        QCOMPARE(graphState().frame.deviceHeight, 688);
        QVERIFY(countColour(first, Blue) > 300);
        QVERIFY(countColour(first, Green) > 300);

        QCOMPARE(form.grab().toImage(), first); // the same graph again

        // A recalculation is seen at the next repaint: now points only.
        fillDataSet(FitType::Scatter);
        const QImage scatter = form.grab().toImage();
        QCOMPARE(countColour(scatter, Green), 0);
        QVERIFY(countColour(scatter, Blue) > 300);
    }

    void showGraphWindowShowsModallyWithTheCaption()
    {
        fillDataSet(FitType::Polynomial);
        session().currentDataSetName = "/dati/prova.txt";
        TForm8 form;
        QString caption;
        bool modal = false;
        int buttonsTop = -1, expectedTop = 0;
        whenModalAppears<TForm8>([&](TForm8* shown) {
            caption = shown->windowTitle();
            modal = shown->isModal();
            buttonsTop = shown->Button1->y();
            expectedTop = shown->height() - 53;
            QTest::mouseClick(shown->Button1, Qt::LeftButton);
        });
        showGraphWindow(form, "file:" + session().currentDataSetName);
        QCOMPARE(caption, QStringLiteral("file:/dati/prova.txt"));
        QVERIFY(modal);
        QCOMPARE(buttonsTop, expectedTop);
        QVERIFY(!form.isVisible());
        QVERIFY(graphState().procedure == &fitGraphProcedure);
    }

    void printWithoutPrinterWritesThePageAsPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a printer: nothing is asked");
        fillDataSet(FitType::Polynomial);
        prepareScreenGraph();
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        TForm8 form;
        whenModalAppears<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(folder.filePath(QStringLiteral("grafico")));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        form.stampagrafico();
        QFile pdf(folder.filePath(QStringLiteral("grafico.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(4), QByteArray("%PDF"));
        QCOMPARE(graphState().device, DeviceScreen);

        // A refused question prints nothing.
        whenModalAppears<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        form.stampagrafico();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    }
};

QTEST_MAIN(TForm8Test)
#include "tform8_qtest.moc"
