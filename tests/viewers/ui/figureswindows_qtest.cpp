// The statistics and comparison windows: what they show, printing to a PDF
// file, copying, choosing an equation, and their size on the screen.
#include "viewers/ui/comparisonwindow.h"
#include "viewers/ui/statisticswindow.h"

#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
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
    void printJobsCarryTheProgramsName()
    {
        // As the report's "CALVERO1 rapporto" and the graph's "CALVERO1 grafico".
        StatisticsWindow statistics(*calculate(fanInput(3)));
        ComparisonWindow comparison(fanInput(3));
        const std::pair<FiguresWindow*, QString> jobs[] = {
            {&statistics, QStringLiteral("CALVERO1 statistiche dell'adattamento")},
            {&comparison, QStringLiteral("CALVERO1 confronto delle equazioni")}};
        for (const auto& [window, expected] : jobs) {
            QString job;
            window->setPrinterQuery([] { return true; });
            window->setPrintDialog([&job](QPrinter& printer) {
                job = printer.docName();
                return false; // cancelled
            });
            window->printFigures();
            QCOMPARE(job, expected);
        }
    }

    void shapeVerdictAgreesWithTheRunsWarning()
    {
        // Water's density from 0 to 100 °C by a straight line: the middle
        // points lie above it, both ends below, so the signs of the residuals
        // make three runs (the runs test warns). The same line through points
        // on a line: an exact curve, no warning, no defect.
        const double density[] = {999.84, 999.70, 998.21, 995.65, 992.22, 988.04,
                                  983.20, 977.76, 971.79, 965.31, 958.35};
        for (const bool curved : {true, false}) {
            CalculationInput in;
            in.kind = FitType::Polynomial;
            in.degree = 1;
            for (int i = 1; i <= 11; ++i) {
                in.points.x[i] = 10.0 * (i - 1);
                in.points.y[i] = curved ? density[i - 1] : 1000.0 - 0.4 * in.points.x[i];
            }
            in.pointCount = 11;
            StatisticsWindow window(*calculate(in));
            const QString remarks = window.remarks()->text();
            QCOMPARE(remarks.contains(QStringLiteral("ATTENZIONE: i segni dei residui")), curved);
            QCOMPARE(remarks.contains(QStringLiteral("la curva non segue la forma dei punti")), curved);
            QCOMPARE(remarks.contains(QStringLiteral("nessun difetto")), !curved);
        }
    }

    void statisticsShowFiguresAndShapeAndFitTheScreen()
    {
        // Degree 8 over x up to 4150: the widest coefficients a one-variable fit prints.
        StatisticsWindow window(*calculate(fanInput(8)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList labels;
        for (int r = 0; r < window.figures()->rowCount(); ++r) labels << window.figures()->item(r, 0)->text();
        QVERIFY(labels.join(QLatin1Char('|')).contains(QStringLiteral("R² corretto")));
        QCOMPARE(window.coefficients()->rowCount(), 9);
        QCOMPARE(window.coefficients()->item(2, 0)->text(), QStringLiteral("3 (x^2)")); // under "termine"
        QVERIFY(window.remarks()->text().contains(QStringLiteral("la curva oscilla tra i punti")));
        // Every column within the window, on the 800 x 600 screen of the offscreen platform.
        QVERIFY(window.width() <= 1024 && window.height() <= 768);
        QTableWidget* table = window.coefficients();
        auto columns = [table] {
            int width = 0;
            for (int c = 1; c < table->columnCount(); ++c) width += table->columnWidth(c);
            return width + table->horizontalHeader()->sectionSizeHint(0);
        };
        QTRY_VERIFY2(columns() <= table->viewport()->width(), qPrintable(QString::number(columns())));
        QVERIFY(table->mapTo(&window, QPoint(table->width(), 0)).x() <= window.width());

        // A wider band lets the dip through; the oscillation stays.
        window.bandPercent()->setValue(400.0);
        QVERIFY(!window.remarks()->text().contains(QStringLiteral("esce dalla fascia")));
        QVERIFY(window.remarks()->text().contains(QStringLiteral("oscilla")));

        // The copied text holds what the tables show, a coefficient to a line.
        window.copyFigures();
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.contains(QStringLiteral("  termine ") + table->item(8, 0)->text() + QStringLiteral(" = ") +
                                table->item(8, 1)->text() + QStringLiteral("   errore standard = ") +
                                table->item(8, 2)->text()));
        QVERIFY(!copied.contains(QStringLiteral("esce dalla fascia")));
    }

    // Enter in a question's field answers it and leaves the window open:
    // the answer is not closed away by the default "Uscita".
    void enterInAQuestionAnswersWithoutClosing()
    {
        StatisticsWindow window(*calculate(fanInput(3)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::pair<QLineEdit*, QLabel*> questions[] = {{window.valueAtField(), window.valueAtAnswer()},
                                                            {window.solveYField(), window.solveYAnswer()}};
        for (const auto& [field, answer] : questions) {
            field->setFocus();
            QTest::keyClicks(field, QStringLiteral("600"));
            QTest::keyClick(field, Qt::Key_Return);
            QVERIFY(window.isVisible());
            QVERIFY(!answer->text().isEmpty());
        }
        // Away from the fields Enter still means "Uscita".
        window.bandPercent()->setFocus();
        QTest::keyClick(&window, Qt::Key_Return);
        QTRY_VERIFY(!window.isVisible());
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

        // A tighter tolerance leaves no clean row within it: nothing is recommended,
        // the window says so as the copied text does, and the first row is the
        // best by AICc, not a recommendation.
        window.tolerance()->setValue(0.0);
        for (const ComparisonRow& row : window.rows()) QVERIFY(!row.recommended);
        QVERIFY(window.notes()->isVisibleTo(&window));
        QVERIFY(window.notes()->text().contains(QStringLiteral("tutte ordinate per AICc")));
        window.copyFigures();
        QVERIFY(QGuiApplication::clipboard()->text().contains(window.notes()->text()));
        const QString first = window.table()->item(0, 8)->text();
        QVERIFY2(first.startsWith(QStringLiteral("migliore per AICc; ")), qPrintable(first));
        QVERIFY(!window.table()->item(0, 0)->font().bold());
        QVERIFY(!window.table()->item(1, 8)->text().startsWith(QStringLiteral("migliore")));
    }
};

QTEST_MAIN(FiguresWindowsTest)
#include "figureswindows_qtest.moc"
