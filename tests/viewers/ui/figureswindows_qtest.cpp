// The statistics and comparison windows: what they show, printing to a PDF
// file, copying, choosing an equation, and their size on a 1024 x 768 screen.
#include "viewers/ui/comparisonwindow.h"
#include "viewers/ui/statisticswindow.h"

#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using namespace calvero;

namespace {

// A fan's catalogue, rising to a peak at 1200 m³/h (see tests/fit/comparison_test.cpp).
CalculationInput fanInput(int degree)
{
    const double q[] = {0, 500, 1200, 2000, 2600, 3100, 3500, 3800, 4000, 4150};
    const double p[] = {620, 640, 650, 630, 590, 530, 460, 380, 310, 250};
    CalculationInput in;
    in.kind = FitType::Polynomial;
    in.degree = degree;
    for (int i = 0; i < 10; ++i) {
        in.points.x[i + 1] = q[i];
        in.points.y[i + 1] = p[i];
    }
    in.pointCount = 10;
    return in;
}

} // namespace

class FiguresWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void statisticsShowFiguresAndShapeAndFitTheScreen()
    {
        StatisticsWindow window(*(calculate(fanInput(8))));
        const QString text = window.text()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("R² corretto")));
        QVERIFY(text.contains(QStringLiteral("la curva oscilla tra i punti")));
        QVERIFY(!text.contains(QStringLiteral("nan")) && !text.contains(QStringLiteral("inf")));
        QVERIFY(window.width() <= 1024 && window.height() <= 768);

        // A wider band lets the dip through; the oscillation stays.
        window.bandPercent()->setValue(400.0);
        QVERIFY(!window.text()->toPlainText().contains(QStringLiteral("esce dalla fascia")));
        QVERIFY(window.text()->toPlainText().contains(QStringLiteral("oscilla")));

        window.copyFigures();
        QCOMPARE(QGuiApplication::clipboard()->text().trimmed(), window.text()->toPlainText().trimmed());
    }

    void printsIntoAPdfWhenThereIsNoPrinter()
    {
        QTemporaryDir folder;
        StatisticsWindow window(*(calculate(fanInput(2))));
        QStringList messages;
        window.setMessageSink([&](const QString& m) { messages << m; });
        window.setPrinterQuery([] { return false; });
        const QString pdf = folder.filePath(QStringLiteral("statistiche.pdf"));
        window.setPdfFileChooser([&] { return pdf; });
        window.printButton()->click();
        QVERIFY(messages.isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);

        window.setPdfFileChooser([&] { return folder.filePath(QStringLiteral("manca/x.pdf")); });
        window.printButton()->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith(QStringLiteral("errore di scrittura del file ")));
    }

    void comparisonChoosesTheRowsKindAndDegree()
    {
        ComparisonWindow window(fanInput(2));
        QVERIFY(window.width() <= 1024 && window.height() <= 768);
        QVERIFY(window.rule()->text().contains(QStringLiteral("AICc")));
        QCOMPARE(window.table()->rowCount(), int(window.rows().size()));
        QVERIFY(window.rows()[0].recommended);
        QSignalSpy chosen(&window, &ComparisonWindow::equationChosen);
        window.table()->selectRow(0);
        window.useButton()->click();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].toInt(), kindNumber(window.rows()[0].kind));
        QCOMPARE(chosen[0][1].toInt(), window.rows()[0].degree);
    }

    void aRowThatDoesNotApplyIsNotChosen()
    {
        ComparisonWindow window(fanInput(2)); // x = 0: power and saturation do not apply
        QStringList messages;
        window.setMessageSink([&](const QString& m) { messages << m; });
        QSignalSpy chosen(&window, &ComparisonWindow::equationChosen);
        const int last = window.table()->rowCount() - 1;
        QVERIFY(!window.rows()[static_cast<std::size_t>(last)].fitted());
        window.table()->selectRow(last);
        window.useButton()->click();
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith(QStringLiteral("questa equazione non si può usare: ")));

        // A tighter tolerance leaves no clean row within it: nothing is recommended.
        window.tolerance()->setValue(0.0);
        for (const ComparisonRow& row : window.rows()) QVERIFY(!row.recommended);
    }
};

QTEST_MAIN(FiguresWindowsTest)
#include "figureswindows_qtest.moc"
