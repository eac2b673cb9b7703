// "equazione libera…" as the user meets it: typing lists the parameters or
// shows the mistake, a mistake or a bad cell refuses the fit, a fit of the
// grid's points matches an independent solver, and the saved equations
// outlive the window.
#include "app/document.h"
#include "app/ui/equationwindow.h"
#include "fit/equationparser.h"
#include "graph/ui/graphwindow.h"
#include "modal_closer.h"
#include "viewers/ui/reportviewer.h"
#include "viewers/ui/reportwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace calvero;
using calvero::testing::ModalCloser;

namespace {

// The program's windows the equation window hands its fit to, and the window.
struct Bench {
    Document document;
    GraphWindow graph;
    ReportViewer report;
    EquationWindow window{document, report, graph};
    QStringList messages;
    Bench()
    {
        window.setMessageSink([this](const std::string& text) { messages << QString::fromStdString(text); });
    }
    void setPoints(const QList<QPair<QString, QString>>& points)
    {
        int row = 1;
        for (const auto& [x, y] : points) {
            document.grid.setCell(row, 1, x.toStdString());
            document.grid.setCell(row++, 2, y.toStdString());
        }
    }
    QStringList parameterNames() const
    {
        QStringList names;
        for (int r = 0; r < window.parameterTable()->rowCount(); ++r)
            names << window.parameterTable()->item(r, EquationWindow::NameColumn)->text();
        return names;
    }
    void setCell(int row, int column, const QString& text)
    {
        window.parameterTable()->item(row, column)->setText(text);
    }
};

} // namespace

class EquationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(settingsFolder_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder_.path());
    }

    void typingListsParametersOrTheMistake_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("parameters");
        QTest::addColumn<QString>("mistake"); // a part of the message; empty: none
        QTest::newRow("one variable") << "y = b1*(1-exp(-b2*x))" << QStringList{"b1", "b2"} << "";
        QTest::newRow("y = left out") << "a + b/x + a*x" << QStringList{"a", "b"} << "";
        QTest::newRow("two variables") << "z = c0 + c1*x + c2*y^2" << QStringList{"c0", "c1", "c2"} << "";
        QTest::newRow("e is a name") << "y = k*e^x" << QStringList{"k", "e"} << "";
        QTest::newRow("unclosed") << "y = (a*x + b" << QStringList{} << "posizione";
        QTest::newRow("unknown function") << "y = a*fog(x)" << QStringList{} << "fog";
    }
    void typingListsParametersOrTheMistake()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, parameters);
        QFETCH(QString, mistake);
        Bench b;
        QTest::keyClicks(b.window.equationField(), typed);
        if (mistake.isEmpty()) {
            QCOMPARE(b.parameterNames(), parameters);
            QVERIFY(b.window.mistakeLabel()->text().isEmpty());
            return;
        }
        QVERIFY2(b.window.mistakeLabel()->text().contains(mistake), qPrintable(b.window.mistakeLabel()->text()));
        // Fitting is refused with the same sentence, and nothing is kept.
        b.setPoints({{"1", "2"}, {"2", "3"}, {"3", "5"}});
        QTest::mouseClick(b.window.fitButton(), Qt::LeftButton);
        QCOMPARE(b.messages, QStringList{b.window.mistakeLabel()->text()});
        QVERIFY(!b.window.lastFit());
        QVERIFY(!b.document.lastEquation);
    }

    void aCellThatIsNoNumberRefusesTheFit()
    {
        Bench b;
        b.setPoints({{"1", "2"}, {"2", "3"}, {"3", "5"}});
        b.window.equationField()->setText("y = a + b*x");
        b.setCell(1, EquationWindow::LowerColumn, "zero");
        QTest::mouseClick(b.window.fitButton(), Qt::LeftButton);
        QCOMPARE(b.messages.size(), 1);
        QVERIFY2(b.messages[0].contains("b") && b.messages[0].contains("zero"), qPrintable(b.messages[0]));
        QVERIFY(!b.window.lastFit());
    }

    void fitMatchesAnIndependentSolver_data()
    {
        QTest::addColumn<QString>("equation");
        QTest::addColumn<QStringList>("y");    // at x = 1..8
        QTest::addColumn<QStringList>("start"); // per parameter; empty: found
        QTest::addColumn<QList<double>>("expected");
        const QStringList saturation{"2.1", "3.9", "5.2", "6.3", "7.1", "7.6", "8.2", "8.4"};
        // The zero of the sum of squares' gradient, mpmath.findroot at 40 digits
        // (scipy 1.10.1's curve_fit, p0=[10, 0.2] and tolerances 1e-15, stops
        // 1.4e-9 short: 9.74676352494, 0.255831529016).
        const QList<double> exact{9.74676353815158501, 0.255831528244489136};
        QTest::newRow("saturation, start given") << "y = b1*(1-exp(-b2*x))" << saturation << QStringList{"10", "0,2"}
                                                 << exact;
        QTest::newRow("saturation, start found") << "y = b1*(1-exp(-b2*x))" << saturation << QStringList{"", ""} << exact;
        // numpy.linalg.lstsq of the columns 1 and 1/x.
        QTest::newRow("linear in its parameters")
            << "y = b1 + b2/x" << QStringList{"5.0", "3.6", "3.1", "2.9", "2.7", "2.65", "2.55", "2.5"}
            << QStringList{"", ""} << QList<double>{2.1557184178, 2.85307587928};
    }
    void fitMatchesAnIndependentSolver()
    {
        QFETCH(QString, equation);
        QFETCH(QStringList, y);
        QFETCH(QStringList, start);
        QFETCH(QList<double>, expected);
        Bench b;
        QList<QPair<QString, QString>> points;
        for (int i = 0; i < y.size(); ++i) points.append({QString::number(i + 1), y[i]});
        b.setPoints(points);
        b.window.equationField()->setText(equation);
        for (int r = 0; r < start.size(); ++r) b.setCell(r, EquationWindow::StartColumn, start[r]);
        ModalCloser closer;
        QTest::mouseClick(b.window.fitButton(), Qt::LeftButton);
        QVERIFY2(b.messages.isEmpty(), qPrintable(b.messages.join('\n')));
        QVERIFY(b.window.lastFit());
        const std::vector<double>& found = b.window.lastFit()->parameters;
        QCOMPARE(static_cast<int>(found.size()), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(std::fabs(found[static_cast<std::size_t>(i)] - expected[i]) <= 1e-9 * std::fabs(expected[i]),
                     qPrintable(QString::number(found[static_cast<std::size_t>(i)], 'g', 15)));
        // The report, then the graph, as the kinds show theirs; the data set would save the equation.
        QCOMPARE(closer.shown,
                 (QStringList{"calvero::ReportWindow:tipo di equazione:EQUAZIONE LIBERA", "calvero::GraphWindow"}));
        QVERIFY(b.document.lastEquation);
        QCOMPARE(QString::fromStdString(b.document.lastEquation->equation.text), equation);
    }

    void savedEquationsOutliveTheWindow()
    {
        {
            Bench b;
            b.window.equationField()->setText("y = a*(1-exp(-k*x))");
            b.setCell(0, EquationWindow::StartColumn, "500");
            b.setCell(1, EquationWindow::UpperColumn, "1");
            b.window.nameField()->setText("saturazione");
            QTest::mouseClick(b.window.saveButton(), Qt::LeftButton);
            b.window.equationField()->setText("y = p + q*x");
            b.window.nameField()->setText("retta");
            QTest::mouseClick(b.window.saveButton(), Qt::LeftButton);
            // A name without a name, or an equation with a mistake, is not saved.
            b.window.nameField()->clear();
            QTest::mouseClick(b.window.saveButton(), Qt::LeftButton);
            b.window.nameField()->setText("rotta");
            b.window.equationField()->setText("y = (p");
            QTest::mouseClick(b.window.saveButton(), Qt::LeftButton);
            QCOMPARE(b.messages.size(), 2);
        }
        Bench b;
        QCOMPARE(b.window.savedList()->count(), 2);
        b.window.savedList()->setCurrentRow(0);
        QTest::mouseClick(b.window.takeBackButton(), Qt::LeftButton);
        QCOMPARE(b.window.equationField()->text(), QString("y = a*(1-exp(-k*x))"));
        QCOMPARE(b.parameterNames(), (QStringList{"a", "k"}));
        QCOMPARE(b.window.parameterTable()->item(0, EquationWindow::StartColumn)->text(), QString("500"));
        QCOMPARE(b.window.parameterTable()->item(1, EquationWindow::UpperColumn)->text(), QString("1"));
        QTest::mouseClick(b.window.deleteButton(), Qt::LeftButton);
        Bench after;
        QCOMPARE(after.window.savedList()->count(), 1);
        QVERIFY(after.window.savedList()->item(0)->text().startsWith("retta"));
    }

    // A data set read with its equation file shows that equation when the window opens.
    void theDataSetsEquationIsShown()
    {
        Bench b;
        b.window.equationField()->setText("y = p + q*x");
        SavedEquation held{*readEquation("y = a*x^k"), {}};
        held.settings.start = {2.5, std::nullopt};
        held.settings.upper = {std::nullopt, 1e-3};
        b.document.lastEquation = held;
        b.window.show();
        QCOMPARE(b.window.equationField()->text(), QString("y = a*x^k"));
        QCOMPARE(b.parameterNames(), (QStringList{"a", "k"}));
        QCOMPARE(b.window.parameterTable()->item(0, EquationWindow::StartColumn)->text(), QString("2.5"));
        QCOMPARE(b.window.parameterTable()->item(1, EquationWindow::UpperColumn)->text(), QString("0.001"));
        QVERIFY(b.window.parameterTable()->item(1, EquationWindow::StartColumn)->text().isEmpty());
    }

private:
    QTemporaryDir settingsFolder_;
};

QTEST_MAIN(EquationWindowTest)
#include "equationwindow_qtest.moc"
