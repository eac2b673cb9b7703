// The main window as the user meets it: start-up state, a calculation on
// typed points showing the report and then the graph, clearing the data, a
// refused calculation, and the data set commands through their dialogs.
#include <QAbstractButton>
#include "app/ui/program.h"
#include "fit/session.h"
#include "graph/ui/TForm8.h"
#include "viewers/ui/TAboutBox.h"
#include "viewers/ui/comparisonwindow.h"
#include "viewers/ui/statisticswindow.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace calvero;

namespace {

// Closes every modal window as soon as it is shown, remembering which it was.
class ModalCloser : public QObject {
public:
    ModalCloser()
    {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last_) return;
            last_ = modal;
            QString what = modal->metaObject()->className();
            if (auto* report = qobject_cast<TAboutBox*>(modal)) what += ":" + report->RichEdit1->toPlainText().section('\n', 0, 0);
            shown << what;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                QTimer::singleShot(0, dialog, [dialog, this] {
                    dialog->reject();
                    last_ = nullptr;
                });
            }
        });
        timer_.start();
    }
    QStringList shown;

private:
    QTimer timer_;
    QWidget* last_ = nullptr;
};

void typePoint(int row, const char* x, const char* y)
{
    session().grid.setCell(row, 1, x);
    session().grid.setCell(row, 2, y);
}

} // namespace

class TForm2Test : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetSession();
        program = std::make_unique<Program>();
        program->presenter.setMessageSink([this](const std::string& text) { messages << QString::fromStdString(text); });
        program->Form2.resize(1024, 768);
        program->Form2.show();
        program->Form2.layOut(1024, 768);
        messages.clear();
    }
    void cleanup() { program.reset(); }

    void startUpState()
    {
        TForm2& form = program->Form2;
        QCOMPARE(form.windowTitle(), QString("PROGRAMMA CALVERO1"));
        QCOMPARE(form.radioItems->checkedId(), 2);
        QCOMPARE(form.radioItems->checkedButton()->text(), QString("POLINOMIO"));
        QCOMPARE(form.SpinEdit1->value(), 2);
        QCOMPARE(form.SpinEdit1->minimum(), 1);
        QCOMPARE(form.SpinEdit1->maximum(), 9);
        QVERIFY(form.Edit1->text().isEmpty());
        QVERIFY(form.Edit2->text().isEmpty());
        QCOMPARE(session().fit.kind, FitType::Polynomial);
        QCOMPARE(form.radioItems->button(0)->text(), QString("PUNTEGGIATA "));
        QCOMPARE(form.radioItems->button(1)->text(), QString("POTENZA  "));
        QCOMPARE(form.radioItems->button(5)->text(), QString("CURVA temperatura-tempo "));
        QVERIFY(form.BitBtn10->isVisible());
        QVERIFY(session().programFolder.ends_with("/"));
        QCOMPARE(form.Panel1->geometry(), QRect(2, 192, 460, 38));
        QCOMPARE(form.BitBtn4->geometry(), QRect(2, 235, 225, 38));
        QVERIFY(form.clockPanelText().contains("  Ore:"));
    }

    void noCaptionIsCutOnASmallScreen()
    {
        TForm2& form = program->Form2;
        for (const QSize screen : {QSize(800, 600), QSize(1024, 768)}) {
            form.resize(screen);
            form.layOut(screen.width(), screen.height());
            QList<QAbstractButton*> buttons = form.radioItems->buttons();
            buttons << form.BitBtn1 << form.BitBtn2 << form.BitBtn3 << form.BitBtn4 << form.BitBtn5 << form.SpeedButton3
                    << form.SpeedButton4 << form.BitBtn10 << form.BitBtn11 << form.BitBtn12 << form.compareButton;
            for (QAbstractButton* b : buttons)
                QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
        }
    }

    void clockShowsTheCurrentSecond()
    {
        const QString before = program->Form2.clockPanelText();
        QTRY_VERIFY_WITH_TIMEOUT(program->Form2.clockPanelText() != before, 2500);
    }

    void radioGroupSetsTheKind()
    {
        program->Form2.radioItems->button(4)->click();
        QCOMPARE(session().fit.kind, FitType::RationalPolynomial);
        program->Form2.radioItems->button(6)->click();
        QCOMPARE(session().fit.kind, FitType::SurfaceXY);
    }

    void calculateShowsTheReportThenTheGraph()
    {
        typePoint(1, "0", "1");
        typePoint(2, "1", "6");
        typePoint(3, "2", "17");
        typePoint(4, "3", "34");
        ModalCloser closer;
        program->Form2.BitBtn2->click();
        QCOMPARE(closer.shown.size(), 2);
        QCOMPARE(closer.shown[0], QString("calvero::TAboutBox:tipo di equazione:POLINOMIO DI GRADO N  "));
        QCOMPARE(closer.shown[1], QString("calvero::TForm8"));
        QCOMPARE(program->Form8.windowTitle(), QString("file:"));
        QVERIFY(messages.isEmpty());
        QVERIFY(std::abs(session().result.coefficients[3] - 3.0) < 1e-9);
    }

    void comparisonChoosesTheEquationAndTheReportOpensItsStatistics()
    {
        // y = 1 + x³ exactly: degree 3 is the simplest equation within 1 %.
        for (int i = 1; i <= 8; ++i)
            typePoint(i, std::to_string(i).c_str(), std::to_string(1 + i * i * i).c_str());
        program->Form2.radioItems->button(1)->click(); // POTENZA
        program->Form2.SpinEdit1->setValue(1);
        QStringList shown;
        QString statistics;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || (!shown.isEmpty() && shown.last() == modal->metaObject()->className())) return;
            shown << modal->metaObject()->className();
            if (auto* comparison = qobject_cast<ComparisonWindow*>(modal)) {
                // Deferred: a window opened from here would block the driver's own timer.
                comparison->table->selectRow(0);
                QTimer::singleShot(0, comparison->useButton, &QPushButton::click);
            } else if (auto* report = qobject_cast<TAboutBox*>(modal); report && statistics.isEmpty()) {
                QTimer::singleShot(0, report->statisticsButton, &QPushButton::click);
            } else if (auto* window = qobject_cast<StatisticsWindow*>(modal)) {
                statistics = window->text->toPlainText();
                window->reject();
                shown << "closed";
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        driver.start();
        program->Form2.compareButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown.contains("calvero::TForm8"), 5000);
        QCOMPARE(shown.first(), QString("calvero::ComparisonWindow"));
        QCOMPARE(program->Form2.radioItems->checkedId(), 2);
        QCOMPARE(program->Form2.SpinEdit1->value(), 3);
        QVERIFY(std::abs(session().result.coefficients[4] - 1.0) < 1e-9);
        QVERIFY(statistics.contains("STATISTICHE DELL'ADATTAMENTO: POLINOMIO, grado 3"));
        QVERIFY(messages.isEmpty());
    }

    void refusedCalculationShowsItsMessageOnly()
    {
        typePoint(1, "1", "2");
        ModalCloser closer;
        program->Form2.BitBtn2->click();
        QCOMPARE(messages, QStringList{" numero punti=  <2!"});
        QVERIFY(closer.shown.isEmpty());

        typePoint(2, "2", "abc");
        messages.clear();
        program->Form2.BitBtn2->click();
        QCOMPARE(messages, QStringList{"valore non numerico alla riga 2, colonna Y: abc"});
    }

    void clearKeepsKindAndDegree()
    {
        program->Form2.radioItems->button(4)->click();
        program->Form2.SpinEdit1->setValue(3);
        program->Form2.Edit1->setText("20");
        typePoint(1, "1", "2");
        program->Form2.BitBtn5->click();
        QCOMPARE(session().grid.cell(1, 1), std::string());
        QVERIFY(program->Form2.Edit1->text().isEmpty());
        QCOMPARE(session().fit.kind, FitType::RationalPolynomial);
        QCOMPARE(program->Form2.SpinEdit1->value(), 3);
        QCOMPARE(program->Form2.radioItems->checkedId(), 4);
    }

    void saveAndReadBackThroughTheDialogs()
    {
        QTemporaryDir folder;
        const std::string path = QDir(folder.path()).filePath("pompa.txt").toStdString();
        typePoint(1, "1", "3");
        typePoint(2, "2", "5");
        typePoint(3, "3", "7");
        {
            ModalCloser closer;
            program->Form2.BitBtn2->click(); // the grid reaches the data set
        }
        TForm2::Windows windows;
        windows.askSavePath = [&] { return path; };
        windows.askOpenPath = [&] { return path; };
        windows.showPointEntry = [] {};
        program->Form2.setWindows(windows);
        program->Form2.BitBtn4->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith("salvato il file EXCEL :"));
        QVERIFY(QFile::exists(QDir(folder.path()).filePath("pompa_OUTPUT.xls")));

        program->Form2.BitBtn5->click();
        program->Form2.radioItems->button(1)->click();
        ModalCloser closer;
        program->Form2.BitBtn3->click();
        QCOMPARE(program->Form2.radioItems->checkedId(), 2);
        QCOMPARE(closer.shown.size(), 2);
        QCOMPARE(program->Form8.windowTitle(), QString::fromStdString("file:" + path));
        QCOMPARE(session().grid.cell(2, 2), std::string("     5.00000"));
    }

    void cancelledDialogsChangeNothing()
    {
        TForm2::Windows windows;
        windows.askSavePath = [] { return std::string(); };
        windows.askOpenPath = [] { return std::string(); };
        program->Form2.setWindows(windows);
        typePoint(1, "1", "2");
        program->Form2.BitBtn4->click();
        program->Form2.BitBtn3->click();
        QVERIFY(messages.isEmpty());
        QCOMPARE(session().grid.cell(1, 1), std::string("1"));
        QVERIFY(session().currentDataSetName.empty());
    }

private:
    std::unique_ptr<Program> program;
    QStringList messages;
};

QTEST_MAIN(TForm2Test)
#include "tform2_qtest.moc"
