// The main window as the user meets it: start-up state, a calculation on
// typed points showing the report and then the graph, clearing the data, a
// refused calculation, and the data set commands through their dialogs.
#include <QAbstractButton>
#include <QLocalSocket>
#include <QTableWidget>
#include "app/ui/fitoptionswindow.h"
#include "modal_closer.h"
#include "app/ui/program.h"
#include "common/numtext.h"
#include "entry/spreadsheetrange.h"
#include "formats/datasetformat.h"
#include "graph/ui/graphwindow.h"
#include "viewers/ui/comparisonwindow.h"
#include "viewers/ui/reportwindow.h"
#include "viewers/ui/statisticswindow.h"

#include <QAbstractItemModel>
#include <QMessageBox>
#include <QApplication>
#include <QCheckBox>
#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace calvero;
using calvero::testing::ModalCloser;

namespace {

// A file of the given text in the folder; its path.
QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& text)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    file.remove();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return {};
    return path;
}

// Hands each new modal window, once, to a handler that plays the user's part,
// and lists the windows' classes in the order they were shown.
class ModalDriver : public QObject {
public:
    ModalDriver(QStringList& shown, std::function<void(QWidget*)> handle) : shown_(shown), handle_(std::move(handle))
    {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || (!shown_.isEmpty() && shown_.last() == modal->metaObject()->className())) return;
            shown_ << modal->metaObject()->className();
            handle_(modal);
        });
        timer_.start();
    }

private:
    QStringList& shown_;
    std::function<void(QWidget*)> handle_;
    QTimer timer_;
};

void typePoint(Document& document, int row, const char* x, const char* y)
{
    document.grid.setCell(row, 1, x);
    document.grid.setCell(row, 2, y);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        program = std::make_unique<Program>();
        program->presenter.setMessageSink([this](const std::string& text) { messages << QString::fromStdString(text); });
        program->mainWindow.resize(1024, 768);
        program->mainWindow.show();
        program->mainWindow.layOut(1024, 768);
        messages.clear();
    }
    void cleanup() { program.reset(); }

    void startUpState()
    {
        MainWindow& form = program->mainWindow;
        QCOMPARE(form.windowTitle(), QString("PROGRAMMA CALVERO1"));
        QCOMPARE(form.kindButtons()->checkedId(), 2);
        QCOMPARE(form.kindButtons()->checkedButton()->text(), QString("POLINOMIO"));
        QCOMPARE(form.degreeBox()->value(), 2);
        QCOMPARE(form.degreeBox()->minimum(), 1);
        QCOMPARE(form.degreeBox()->maximum(), 9);
        QVERIFY(form.initialTemperatureField()->text().isEmpty());
        QVERIFY(form.finalTemperatureField()->text().isEmpty());
        QCOMPARE(program->document.kind, FitType::Polynomial);
        QCOMPARE(form.kindButtons()->button(0)->text(), QString("PUNTEGGIATA "));
        QCOMPARE(form.kindButtons()->button(1)->text(), QString("POTENZA  "));
        QCOMPARE(form.kindButtons()->button(5)->text(), QString("CURVA temperatura-tempo "));
        QVERIFY(form.documentationButton()->isVisible());
        QVERIFY(program->document.programFolder.ends_with("/"));
        QCOMPARE(form.clockPanel()->geometry(), QRect(2, 192, 460, 38));
        QCOMPARE(form.saveButton()->geometry(), QRect(2, 235, 225, 38));
        QVERIFY(form.clockPanelText().contains("  Ore:"));
    }

    void noCaptionIsCutOnASmallScreen()
    {
        MainWindow& form = program->mainWindow;
        for (const QSize screen : {QSize(800, 600), QSize(1024, 768)}) {
            form.resize(screen);
            form.layOut(screen.width(), screen.height());
            QList<QAbstractButton*> buttons = form.kindButtons()->buttons();
            buttons << form.exitButton() << form.calculateButton() << form.readButton() << form.saveButton()
                    << form.clearButton() << form.examplesButton() << form.pointEntryButton()
                    << form.documentationButton() << form.captureButton() << form.webSiteButton() << form.compareButton()
                    << form.fitOptionsButton();
            for (QAbstractButton* b : buttons)
                QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
        }
    }

    void clockShowsTheCurrentSecond()
    {
        const QString before = program->mainWindow.clockPanelText();
        QTRY_VERIFY_WITH_TIMEOUT(program->mainWindow.clockPanelText() != before, 2500);
    }

    void radioGroupSetsTheKind()
    {
        program->mainWindow.kindButtons()->button(4)->click();
        QCOMPARE(program->document.kind, FitType::RationalPolynomial);
        program->mainWindow.kindButtons()->button(6)->click();
        QCOMPARE(program->document.kind, FitType::SurfaceXY);
    }

    void calculateShowsTheReportThenTheGraph()
    {
        typePoint(program->document, 1, "0", "1");
        typePoint(program->document, 2, "1", "6");
        typePoint(program->document, 3, "2", "17");
        typePoint(program->document, 4, "3", "34");
        ModalCloser closer;
        program->mainWindow.calculateButton()->click();
        QCOMPARE(closer.shown.size(), 2);
        QCOMPARE(closer.shown[0], QString("calvero::ReportWindow:tipo di equazione:POLINOMIO DI GRADO N  "));
        QCOMPARE(closer.shown[1], QString("calvero::GraphWindow"));
        QCOMPARE(program->graphWindow.windowTitle(), QString("file:"));
        QVERIFY(messages.isEmpty());
        const auto& curve = std::get<PolynomialCurve>(*program->document.lastCalculation->curve);
        QVERIFY(std::abs(curve.coefficients[3] - 3.0) < 1e-9);
    }

    void comparisonChoosesTheEquationAndTheReportOpensItsStatistics()
    {
        // y = 1 + x^3 exactly: degree 3 is the simplest equation within 1 %.
        for (int i = 1; i <= 8; ++i)
            typePoint(program->document, i, std::to_string(i).c_str(), std::to_string(1 + i * i * i).c_str());
        program->mainWindow.kindButtons()->button(1)->click(); // POTENZA
        program->mainWindow.degreeBox()->setValue(1);
        QStringList shown;
        QString statistics;
        ModalDriver driver(shown, [&](QWidget* modal) {
            if (auto* comparison = qobject_cast<ComparisonWindow*>(modal)) {
                // Deferred: a window opened from here would block the driver's own timer.
                comparison->table()->selectRow(0);
                QTimer::singleShot(0, comparison->useButton(), &QPushButton::click);
            } else if (auto* report = qobject_cast<ReportWindow*>(modal); report && statistics.isEmpty()) {
                QTimer::singleShot(0, report->statisticsButton(), &QPushButton::click);
            } else if (auto* window = qobject_cast<StatisticsWindow*>(modal)) {
                statistics = window->heading()->text();
                window->reject();
                shown << "closed";
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        program->mainWindow.compareButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown.contains("calvero::GraphWindow"), 5000);
        QCOMPARE(shown.first(), QString("calvero::ComparisonWindow"));
        QCOMPARE(program->mainWindow.kindButtons()->checkedId(), 2);
        QCOMPARE(program->mainWindow.degreeBox()->value(), 3);
        const auto& curve = std::get<PolynomialCurve>(*program->document.lastCalculation->curve);
        QVERIFY(std::abs(curve.coefficients[4] - 1.0) < 1e-9);
        QVERIFY(statistics.contains("STATISTICHE DELL'ADATTAMENTO: POLINOMIO, grado 3"));
        QVERIFY(messages.isEmpty());
    }

    // Least squares of y itself is a choice of the options window, refused
    // at its OK together with the smallest largest error or a shape.
    void leastSquaresInYIsChosenInTheOptionsWindow()
    {
        FitOptionsWindow options(FitOptions{}, FitType::Power);
        QStringList refusals;
        // The refusal's text, instead of its message box.
        QObject::disconnect(&options, &FitOptionsWindow::refused, nullptr, nullptr);
        connect(&options, &FitOptionsWindow::refused, [&](const QString& message) { refusals << message; });
        options.leastSquaresInYBox()->setChecked(true);
        options.minimaxBox()->setChecked(true);
        options.accept();
        QCOMPARE(refusals.size(), 1);
        QVERIFY2(refusals.front().contains(QStringLiteral("minimi quadrati")), qPrintable(refusals.front()));
        QVERIFY(!options.options().leastSquaresInY);
        options.minimaxBox()->setChecked(false);
        options.accept();
        QCOMPARE(refusals.size(), 1);
        QVERIFY(options.options().leastSquaresInY);
        // And shown again when the window opens on those options.
        FitOptionsWindow again(options.options(), FitType::Power);
        QVERIFY(again.leastSquaresInYBox()->isChecked());
    }

    void fitOptionsSteerTheFanCurveAndAreSavedWithTheData()
    {
        // A fan's catalogue curve, whose least-squares polynomial of degree 6
        // rises before it falls near zero flow.
        const char* flow[] = {"0", "500", "1000", "1500", "2000", "2500", "3000", "3500", "4000", "4500", "5000", "5500"};
        const char* head[] = {"620", "612", "600", "590", "585", "578", "560", "520", "455", "370", "260", "120"};
        for (int i = 0; i < 12; ++i) typePoint(program->document, i + 1, flow[i], head[i]);
        program->mainWindow.degreeBox()->setValue(6);
        QStringList shown;
        QString statistics;
        ModalDriver driver(shown, [&](QWidget* modal) {
            if (auto* options = qobject_cast<FitOptionsWindow*>(modal)) {
                options->throughTable()->setItem(0, 0, new QTableWidgetItem("0"));
                options->throughTable()->setItem(0, 1, new QTableWidgetItem("seicento"));
                options->decreasing()->setChecked(true);
                options->concave()->setChecked(true);
                // The field that does not read is refused in a message; the window stays.
                QTimer::singleShot(0, options, [options] {
                    options->accept();
                    options->throughTable()->setItem(0, 1, new QTableWidgetItem("620"));
                    options->accept();
                });
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                QTimer::singleShot(0, box, &QMessageBox::reject);
            } else if (auto* report = qobject_cast<ReportWindow*>(modal); report && statistics.isEmpty()) {
                QTimer::singleShot(0, report->statisticsButton(), &QPushButton::click);
            } else if (auto* window = qobject_cast<StatisticsWindow*>(modal)) {
                for (const std::string& line : window->lines()) statistics += QString::fromStdString(line) + '\n';
                window->reject();
                shown << "closed";
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                QTimer::singleShot(0, dialog, &QDialog::reject);
            }
        });
        program->mainWindow.fitOptionsButton()->click();
        QCOMPARE(shown.mid(0, 2), QStringList({"calvero::FitOptionsWindow", "QMessageBox"}));
        const QString line = "vincoli: passa per (0; 620); monotona decrescente; concava";
        QCOMPARE(program->mainWindow.optionsLine()->text(), "POLINOMIO, grado 6; " + line);

        program->mainWindow.calculateButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown.contains("calvero::GraphWindow"), 5000);
        QCOMPARE(program->document.lastCalculation->report[1], line.toStdString());
        QVERIFY(statistics.contains("CONTROLLI DELLA FORMA DELLA CURVA"));
        QVERIFY2(!statistics.contains("oscilla") && !statistics.contains("esce dalla fascia"), qPrintable(statistics));

        // Saved beside the data set and read back with it.
        QTemporaryDir folder;
        const std::string path = QDir(folder.path()).filePath("ventilatore.dat").toStdString();
        MainWindow::Windows windows;
        windows.askSavePath = [&] { return path; };
        windows.askOpenPath = [&] { return path; };
        program->mainWindow.setWindows(windows);
        program->mainWindow.saveButton()->click();
        QVERIFY(QFile::exists(QDir(folder.path()).filePath("ventilatore.vincoli.json")));
        program->document.options = {};
        program->mainWindow.showOptionsLine();
        QCOMPARE(program->mainWindow.optionsLine()->text(), QString("POLINOMIO, grado 6; vincoli: nessuno (minimi quadrati)"));
        statistics.clear();
        shown.clear();
        program->mainWindow.readButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown.contains("calvero::GraphWindow"), 5000);
        QCOMPARE(program->mainWindow.optionsLine()->text(), "POLINOMIO, grado 6; " + line);
        QCOMPARE(program->document.lastCalculation->report[1], line.toStdString());
    }

    void importReplacesTheWholePointSet_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"leggi", "riga di comando", "digitora", "griglia"}) QTest::newRow(how) << how;
    }

    // funzxy.txt (42 points with z) read first, then 11 points of the steam
    // saturation pressure imported by each road: nothing of the 42 stays.
    void importReplacesTheWholePointSet()
    {
        QFETCH(QString, how);
        QTemporaryDir folder;
        const double t[] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
        const double p[] = {0.006112, 0.012282, 0.023392, 0.042467, 0.073844, 0.12351,
                            0.19946,  0.31201,  0.47414,  0.70182,  1.01418};
        QByteArray text;
        for (int i = 0; i < 11; ++i) text += QByteArray::number(t[i]) + ";" + QByteArray::number(p[i]) + "\n";
        const QString vapore = writeFile(folder, "vapore.txt", text);
        const std::string funzxy = CALVERO_SOURCE_DIR "/data/examples/funzxy.txt";
        {
            ModalCloser closer;
            program->mainWindow.openFile(funzxy);
        }
        QCOMPARE(program->document.points.count, 42);
        QVERIFY(program->document.grid.cell(42, 3) != "");
        program->document.options.fixedTerms = {{1, 0.0}}; // kept by the import

        int gridShown = 0;
        MainWindow::Windows windows;
        windows.askOpenPath = [&] { return vapore.toStdString(); };
        windows.ask = [](const std::string&, bool) { return MainWindow::Answer::Yes; };
        windows.showPointEntry = [&] { ++gridShown; };
        program->mainWindow.setWindows(windows);
        if (how == "leggi") {
            program->mainWindow.readButton()->click();
        } else if (how == "riga di comando") {
            program->mainWindow.openFile(vapore.toStdString());
        } else if (how == "digitora") {
            QLocalSocket socket;
            socket.connectToServer(program->captureInbox.name());
            QVERIFY(socket.waitForConnected(2000));
            socket.write(QFile::encodeName(vapore) + '\n');
            QVERIFY(socket.waitForBytesWritten(2000));
            QTRY_COMPARE(gridShown, 1);
        } else {
            program->pointGridWindow.setFileChooser([&] { return vapore; });
            program->pointGridWindow.importPoints();
            ++gridShown; // the import was made in it
        }
        QCOMPARE(messages, QStringList());
        QCOMPARE(gridShown, 1);
        const Document& d = program->document;
        for (int r = 1; r <= PointGrid::Rows; ++r) {
            QCOMPARE(d.grid.cell(r, 1).empty(), r > 11);
            QCOMPARE(d.grid.cell(r, 2).empty(), r > 11);
            QVERIFY2(d.grid.cell(r, 3).empty(), qPrintable(QString("z at row %1").arg(r)));
            QCOMPARE(d.points.x[r], r <= 11 ? t[r - 1] : 0.0);
            QCOMPARE(d.points.z[r], 0.0);
        }
        // The kind, degree and options stay, and the line under the degree says so;
        // "Salva" will ask for a name.
        QVERIFY(d.currentDataSetName.empty());
        QCOMPARE(d.kind, FitType::SurfaceXY);
        QCOMPARE(program->mainWindow.optionsLine()->text(),
                 QString("polinomio Z=F(x,y), grado 3; vincoli: termine 1 = 0"));

        program->document.options.fixedTerms.clear();
        program->mainWindow.kindButtons()->button(2)->click();
        program->mainWindow.degreeBox()->setValue(7);
        ModalCloser closer;
        program->mainWindow.calculateButton()->click();
        QCOMPARE(d.lastCalculation->pointCount, 11);
        QCOMPARE(program->reportWindow.window().windowTitle(), vapore + " (punti importati)");
        QCOMPARE(program->graphWindow.windowTitle(), "file:" + vapore + " (punti importati)");
    }

    // nr150b6.txt read and calculated, its points cleared and six others typed
    // (on y = 1 + 2x + 3x^2), then saved by "Uscita" -> "Si" (degree 2) and by
    // "Salva" (degree 7, which six points cannot have): nothing of nr150b6's
    // fit is in the data set file or the workbook. With CALVERO_SAVED_FOLDER
    // set the files stay there, for savedfiles_test.sh to read with xlrd.
    void savingAfterChangedPointsKeepsNoOtherCoefficients()
    {
        QTemporaryDir scratch;
        const QString kept = qEnvironmentVariable("CALVERO_SAVED_FOLDER");
        const QDir folder(kept.isEmpty() ? scratch.path() : kept);
        struct Case {
            const char* name;
            int degree;
            bool leaving; // "Uscita" -> "Si", else "Salva"
        };
        for (const Case c : {Case{"digitati", 2, true}, Case{"rifiutati", 7, false}}) {
            init();
            {
                ModalCloser closer;
                program->mainWindow.openFile(CALVERO_SOURCE_DIR "/data/examples/nr150b6.txt");
            }
            QVERIFY(program->document.lastCalculation.has_value());
            program->mainWindow.clearButton()->click();
            for (int x = 1; x <= 6; ++x)
                typePoint(program->document, x, std::to_string(x).c_str(), std::to_string(1 + 2 * x + 3 * x * x).c_str());
            program->mainWindow.degreeBox()->setValue(c.degree);
            const std::string path = folder.filePath(QString(c.name) + ".dat").toStdString();
            MainWindow::Windows windows;
            windows.askSavePath = [&] { return path; };
            windows.ask = [](const std::string&, bool) { return MainWindow::Answer::Yes; };
            program->mainWindow.setWindows(windows);
            messages.clear();
            if (c.leaving)
                QVERIFY(program->mainWindow.close());
            else
                program->mainWindow.saveButton()->click();
            const std::string workbook = folder.filePath(QString(c.name) + "_OUTPUT.xls").toStdString();
            const bool refused = c.degree == 7;
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages[0].startsWith("i punti salvati non si possono calcolare: "), refused);
            QVERIFY(messages[0].endsWith(QString::fromStdString("salvato il file EXCEL :" + workbook)));

            // The data set file as the program reads it: the six points, and
            // 1, 2, 3 (worked out by hand) or nothing as coefficients.
            const Checked<DataSetFileContents> file = readDataSetFile(path);
            QVERIFY(file.value.has_value());
            QCOMPARE(int(file->count), 6);
            const double expected[] = {1, 2, 3, 0, 0, 0, 0, 0};
            for (int k = 1; k <= 8; ++k)
                QVERIFY2(std::abs(file->curveBlock[k] - (refused ? 0.0 : expected[k - 1])) < 1e-9,
                         qPrintable(QString("%1: line %2 holds %3").arg(c.name).arg(k + 3).arg(file->curveBlock[k])));
            QCOMPARE(file->y[6], 121.0);

            // The workbook as the program's import reads its columns A to C.
            PointGrid sheet;
            QCOMPARE(readSpreadsheetRange(workbook, 1, sheet), Failure{});
            QCOMPARE(sheet.cell(2, 1), std::string(refused ? "" : "progr"));
            for (int k = 1; k <= 3; ++k)
                if (refused)
                    QCOMPARE(sheet.cell(2 + k, 2), std::string());
                else
                    QVERIFY(std::abs(parseDecimalOrZero(sheet.cell(2 + k, 2)) - expected[k - 1]) < 1e-9);
            for (int x = 1; x <= 6; ++x) {
                QCOMPARE(parseDecimalOrZero(sheet.cell(13 + x, 2)), double(1 + 2 * x + 3 * x * x));
                if (refused)
                    QCOMPARE(sheet.cell(13 + x, 3), std::string()); // no value of any curve
                else
                    QVERIFY(std::abs(parseDecimalOrZero(sheet.cell(13 + x, 3)) - (1 + 2 * x + 3 * x * x)) < 1e-6);
            }
        }
    }

    void refusedCalculationShowsItsMessageOnly()
    {
        typePoint(program->document, 1, "1", "2");
        ModalCloser closer;
        program->mainWindow.calculateButton()->click();
        QCOMPARE(messages, QStringList{" numero punti=  <2!"});
        QVERIFY(closer.shown.isEmpty());

        typePoint(program->document, 2, "2", "abc");
        messages.clear();
        program->mainWindow.calculateButton()->click();
        QCOMPARE(messages, QStringList{"valore non numerico alla riga 2, colonna Y: abc"});
    }

    void clearKeepsKindAndDegree()
    {
        program->mainWindow.kindButtons()->button(4)->click();
        program->mainWindow.degreeBox()->setValue(3);
        program->mainWindow.initialTemperatureField()->setText("20");
        typePoint(program->document, 1, "1", "2");
        program->mainWindow.clearButton()->click();
        QCOMPARE(program->document.grid.cell(1, 1), std::string());
        QVERIFY(program->mainWindow.initialTemperatureField()->text().isEmpty());
        QCOMPARE(program->document.kind, FitType::RationalPolynomial);
        QCOMPARE(program->mainWindow.degreeBox()->value(), 3);
        QCOMPARE(program->mainWindow.kindButtons()->checkedId(), 4);
    }

    void saveAndReadBackThroughTheDialogs()
    {
        QTemporaryDir folder;
        const std::string path = QDir(folder.path()).filePath("pompa.txt").toStdString();
        typePoint(program->document, 1, "1", "3");
        typePoint(program->document, 2, "2", "5");
        typePoint(program->document, 3, "3", "7");
        {
            ModalCloser closer;
            program->mainWindow.calculateButton()->click(); // the grid reaches the data set
        }
        MainWindow::Windows windows;
        windows.askSavePath = [&] { return path; };
        windows.askOpenPath = [&] { return path; };
        windows.showPointEntry = [] {};
        program->mainWindow.setWindows(windows);
        program->mainWindow.saveButton()->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith("salvato il file EXCEL :"));
        QVERIFY(QFile::exists(QDir(folder.path()).filePath("pompa_OUTPUT.xls")));

        program->mainWindow.clearButton()->click();
        program->mainWindow.kindButtons()->button(1)->click();
        ModalCloser closer;
        program->mainWindow.readButton()->click();
        QCOMPARE(program->mainWindow.kindButtons()->checkedId(), 2);
        QCOMPARE(closer.shown.size(), 2);
        QCOMPARE(program->graphWindow.windowTitle(), QString::fromStdString("file:" + path));
        QCOMPARE(program->document.grid.cell(2, 2), std::string("     5.00000"));
    }

    void refusalsWarnAndConfirmationsInform()
    {
        program->presenter.setMessageSink({}); // the real message boxes
        typePoint(program->document, 1, "1", "2");
        QTemporaryDir folder;
        MainWindow::Windows windows;
        windows.askSavePath = [&] { return QDir(folder.path()).filePath("dati.txt").toStdString(); };
        program->mainWindow.setWindows(windows);
        ModalCloser closer;
        program->mainWindow.calculateButton()->click(); // too few points
        typePoint(program->document, 2, "2", "5");
        typePoint(program->document, 3, "3", "10");
        program->mainWindow.saveButton()->click(); // calculated and saved
        QCOMPARE(closer.shown, (QStringList{"QMessageBox:warning", "QMessageBox:information"}));
    }

    void leavingWithUnsavedPointsAsksFirst()
    {
        QTemporaryDir folder;
        const std::string path = QDir(folder.path()).filePath("fan.txt").toStdString();
        struct Case {
            MainWindow::Answer answer;
            bool saveDialogCancelled;
            bool closes;
        };
        for (const Case c : {Case{MainWindow::Answer::Cancel, false, false}, Case{MainWindow::Answer::Yes, true, false},
                             Case{MainWindow::Answer::Yes, false, true}, Case{MainWindow::Answer::No, false, true}}) {
            init();
            typePoint(program->document, 1, "1", "3");
            typePoint(program->document, 2, "2", "5");
            {
                ModalCloser closer;
                program->mainWindow.calculateButton()->click(); // the grid reaches the data set
            }
            QStringList questions;
            MainWindow::Windows windows;
            windows.askSavePath = [&] { return c.saveDialogCancelled ? std::string() : path; };
            windows.ask = [&](const std::string& question, bool offerCancel) {
                questions << QString::fromStdString(question) + (offerCancel ? " [Annulla]" : "");
                return c.answer;
            };
            program->mainWindow.setWindows(windows);
            QCOMPARE(program->mainWindow.close(), c.closes);
            QCOMPARE(questions, QStringList{"Salvare i dati prima di uscire? [Annulla]"});
            QCOMPARE(QFile::exists(QString::fromStdString(path)), c.answer == MainWindow::Answer::Yes && c.closes);
            QFile::remove(QString::fromStdString(path));
        }
        // Saved: nothing to ask.
        init();
        typePoint(program->document, 1, "1", "3");
        MainWindow::Windows windows;
        windows.askSavePath = [&] { return path; };
        windows.ask = [](const std::string&, bool) {
            QTest::qFail("asked although everything is saved", __FILE__, __LINE__);
            return MainWindow::Answer::Cancel;
        };
        program->mainWindow.setWindows(windows);
        {
            ModalCloser closer;
            program->mainWindow.calculateButton()->click();
        }
        program->mainWindow.saveButton()->click();
        QVERIFY(program->mainWindow.close());
    }

    void readingAPointFileOffersToImportIt()
    {
        QTemporaryDir folder;
        const QString points = writeFile(folder, "fan.txt", "0,5;420\n1,0;395\n");
        QVERIFY(!points.isEmpty());
        for (const bool accepted : {false, true}) {
            init();
            int gridShown = 0;
            MainWindow::Windows windows;
            windows.askOpenPath = [&] { return points.toStdString(); };
            windows.ask = [&](const std::string&, bool) { return accepted ? MainWindow::Answer::Yes : MainWindow::Answer::No; };
            windows.showPointEntry = [&] { ++gridShown; };
            program->mainWindow.setWindows(windows);
            program->mainWindow.readButton()->click();
            QCOMPARE(program->document.grid.cell(2, 2), accepted ? std::string("395") : std::string());
            QCOMPARE(gridShown, accepted ? 1 : 0);
            QVERIFY(messages.isEmpty());
        }
    }

    void savingOverTheImportedPointFileAsksFirst()
    {
        QTemporaryDir folder;
        const QByteArray text = "0,5;420\n1,0;395\n";
        for (const bool yes : {false, true}) {
            init();
            const QString points = writeFile(folder, "fan.txt", text);
            QStringList questions;
            MainWindow::Windows windows;
            windows.showPointEntry = [] {}; // the imported points are shown in the grid
            windows.askSavePath = [&] { return points.toStdString(); };
            windows.ask = [&](const std::string& question, bool) {
                questions << QString::fromStdString(question);
                return yes ? MainWindow::Answer::Yes : MainWindow::Answer::No;
            };
            program->mainWindow.setWindows(windows);
            program->mainWindow.openFile(points.toStdString());
            QCOMPARE(program->document.grid.cell(2, 2), std::string("395"));
            program->mainWindow.saveButton()->click();
            QCOMPARE(questions, QStringList{"il file " + points + " è il file da cui vengono i punti: scriverci sopra?"});
            QFile file(points);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll() == text, !yes);
        }
    }

    void webSiteWithoutABrowserSaysSo()
    {
        // The desktop's opener as it ends when no browser takes the address, and when one does.
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
        for (const int status : {3, 0}) {
            const QString opener = writeFile(bin, "xdg-open", "#!/bin/sh\nexit " + QByteArray::number(status) + "\n");
            QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            messages.clear();
            program->mainWindow.webSiteButton()->click();
            if (status != 0)
                QTRY_COMPARE(messages,
                             QStringList{"impossibile avviare un browser per aprire la pagina web: https://www.ventoria.it/"});
            else {
                QTest::qWait(300);
                QVERIFY(messages.isEmpty());
            }
        }
        qputenv("PATH", path);
    }

    void cancelledDialogsChangeNothing()
    {
        MainWindow::Windows windows;
        windows.askSavePath = [] { return std::string(); };
        windows.askOpenPath = [] { return std::string(); };
        program->mainWindow.setWindows(windows);
        typePoint(program->document, 1, "1", "2");
        program->mainWindow.saveButton()->click();
        program->mainWindow.readButton()->click();
        QVERIFY(messages.isEmpty());
        QCOMPARE(program->document.grid.cell(1, 1), std::string("1"));
        QVERIFY(program->document.currentDataSetName.empty());
    }

private:
    std::unique_ptr<Program> program;
    QStringList messages;
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_qtest.moc"
