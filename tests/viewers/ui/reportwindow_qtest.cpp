#include "common/numtext.h"
#include "fit/report.h"
#include "viewers/ui/reportwindow.h"
#include "viewers/ui/reportviewer.h"

#include "../../pdfwords.h"
#include "../rtfreader.h"

#include <QDir>
#include <QPageSize>
#include <QPrinter>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace calvero;

namespace {

std::string fileText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

} // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ReportWindow> box;
    QStringList messages;
    std::unique_ptr<QTemporaryDir> workingDir;
    QString previousDir;
    const std::vector<std::string> report = {
        "POLINOMIO DI GRADO N  ",
        "  N.     X           Y         Y calc     errore %",
        "   1     1.00000     2.50000     2.49000     0.40",
        "{parentesi} e \\barra\\",
    };

private slots:
    void init()
    {
        messages.clear();
        box = std::make_unique<ReportWindow>();
        box->setReport({report, "/dati/prova.txt", std::nullopt, {}, {}});
        box->setMessageSink([this](const QString& text) { messages << text; });
        box->setPrinterQuery([] { return false; });
        workingDir = std::make_unique<QTemporaryDir>();
        QVERIFY(workingDir->isValid());
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workingDir->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(previousDir);
        box.reset();
        workingDir.reset();
    }

    void filledFromTheReportBuffer()
    {
        box->layOutForScreen(QSize(1024, 768));
        QCOMPARE(box->reportText()->toPlainText().split('\n').size(), int(report.size()));
        QCOMPARE(box->reportText()->toPlainText().split('\n').at(2), QString::fromStdString(report[2]));
        QCOMPARE(box->windowTitle(), QString("/dati/prova.txt"));
        QVERIFY(!box->reportText()->isReadOnly());
        QCOMPARE(box->reportText()->lineWrapMode(), QTextEdit::NoWrap);
        QCOMPARE(box->reportText()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->reportText()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->reportText()->font().family(), QString("Courier New"));
        QCOMPARE(box->reportText()->font().pixelSize(), 19);
        QVERIFY(QFontInfo(box->reportText()->font()).fixedPitch());
    }

    void eachShowingStartsFromTheReport()
    {
        box->layOutForScreen(QSize(1024, 768));
        box->reportText()->setPlainText("testo scritto a mano");
        box->setReport({{"nuovo rapporto"}, "", std::nullopt, {}, {}});
        box->layOutForScreen(QSize(1024, 768));
        QCOMPARE(box->reportText()->toPlainText(), QString("nuovo rapporto"));
        QCOMPARE(box->windowTitle(), QString());

        box->setReport({});
        box->layOutForScreen(QSize(1024, 768));
        QCOMPARE(box->reportText()->toPlainText(), QString());
    }

    void layoutAt1024By768()
    {
        box->layOutForScreen(QSize(1024, 768));
        QCOMPARE(box->size(), QSize(1024, 768));
        QCOMPARE(box->reportText()->geometry(), QRect(2, 2, 1003, 614));
        QCOMPARE(box->exitButton()->geometry(), QRect(341, 629, 256, 64));
        QCOMPARE(box->printButton()->geometry(), QRect(80, 629, 256, 64));
        QCOMPARE(box->saveRtfButton()->geometry(), QRect(602, 629, 256, 64));
        QCOMPARE(box->exitButton()->text(), QString("&Uscita"));
        QCOMPARE(box->printButton()->text(), QString("Stampa"));
        QCOMPARE(box->saveRtfButton()->text(), QString("SU FILE DI TESTO"));
        QVERIFY(box->exitButton()->isDefault());
        QVERIFY(!box->printButton()->icon().isNull());
    }

    void exitClosesWithOk()
    {
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCOMPARE(box->windowTitle(), QString("/dati/prova.txt")); // filled as it is shown
        box->exitButton()->click();
        QCOMPARE(box->result(), int(QDialog::Accepted));
        QVERIFY(!box->isVisible());
    }

    void savesTheReportAsRtfInTheWorkingFolder()
    {
        box->layOutForScreen(QSize(1024, 768));
        box->saveRtfButton()->click();
        const QString folder = workingDir->path();
        QCOMPARE(messages, QStringList{"salvato sul file(in formato word):" + folder + "/testo.rtf"});
        // The file the message names is the one written.
        const QString named = messages.front().section(QLatin1Char(':'), 1);
        const std::string rtf = fileText(named);
        const auto content = testing::parseRtf(rtf);
        QCOMPARE(content.font0, std::string("Courier New"));
        QCOMPARE(content.paragraphs, report);

        if (QStandardPaths::findExecutable("unrtf").isEmpty()) QSKIP("unrtf is not installed");
        QProcess unrtf;
        unrtf.start("unrtf", {"--text", folder + "/testo.rtf"});
        QVERIFY(unrtf.waitForFinished(10000));
        const QString text = QString::fromUtf8(unrtf.readAllStandardOutput()).simplified();
        for (const auto& line : report) QVERIFY2(text.contains(QString::fromStdString(line).simplified()), line.c_str());
    }

    void typedTextIsSavedWithTheReportAndSavingAgainReplacesTheFile()
    {
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        box->reportText()->setFocus();
        box->reportText()->moveCursor(QTextCursor::End);
        QTest::keyClick(box->reportText(), Qt::Key_Return);
        QTest::keyClicks(box->reportText(), "nota: {1} ");
        box->reportText()->textCursor().insertText(QString::fromUtf8("citt\u00e0")); // beyond what keyClicks types
        box->saveRtf();
        const QString path = workingDir->path() + "/testo.rtf";
        auto paragraphs = testing::parseRtf(fileText(path)).paragraphs;
        QCOMPARE(paragraphs.size(), report.size() + 1);
        QCOMPARE(paragraphs.front(), report.front());
        QCOMPARE(paragraphs.back(), std::string("nota: {1} citt\xC3\xA0"));

        box->reportText()->setPlainText("solo questo");
        box->saveRtf();
        paragraphs = testing::parseRtf(fileText(path)).paragraphs;
        QCOMPARE(paragraphs, std::vector<std::string>{"solo questo"});
        QCOMPARE(messages.size(), 2);
    }

    void writeFailureIsShownInsteadOfTheConfirmation()
    {
        box->layOutForScreen(QSize(1024, 768));
        const QString path = workingDir->path() + "/testo.rtf";
        QVERIFY(QDir().mkdir(path)); // a folder in the way cannot be replaced by the file
        box->saveRtf();
        QCOMPARE(messages, QStringList{"errore di scrittura del file " + path + ": " + QStringLiteral("è una cartella")});
    }

    void printsIntoAPdfFileWhenThereIsNoPrinter()
    {
        box->layOutForScreen(QSize(1024, 768));
        const QString pdf = workingDir->path() + "/rapporto.pdf";
        box->setPdfFileChooser([&] { return pdf; });
        box->printButton()->click();
        QVERIFY(QFile::exists(pdf));
        QVERIFY(fileText(pdf).rfind("%PDF", 0) == 0);
        QCOMPARE(messages, QStringList());

        const QString other = workingDir->path() + "/annullato.pdf";
        box->setPdfFileChooser([] { return QString(); });
        box->printReport();
        QVERIFY(!QFile::exists(other));

        const QString unwritable = workingDir->path() + "/manca/rapporto.pdf";
        box->setPdfFileChooser([&] { return unwritable; });
        box->printReport();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.front().startsWith("errore di scrittura del file " + unwritable + ": "));
    }

    void printerPrintsAfterItsDialogUnderTheJobName()
    {
        box->layOutForScreen(QSize(1024, 768));
        box->setPrinterQuery([] { return true; });
        for (const bool accepted : {false, true}) {
            QString jobName;
            const QString pdf = workingDir->filePath(accepted ? "stampato.pdf" : "annullato.pdf");
            box->setPrintDialog([&](QPrinter& printer) {
                jobName = printer.docName();
                printer.setOutputFormat(QPrinter::PdfFormat); // stands in for the printer chosen
                printer.setOutputFileName(pdf);
                return accepted;
            });
            box->printReport();
            QCOMPARE(jobName, QStringLiteral("CALVERO1 rapporto"));
            QCOMPARE(QFile::exists(pdf), accepted);
        }
        QCOMPARE(messages, QStringList());
    }

    void widestLineFitsAUsLetterSheet()
    {
        std::string widest;
        for (int i = 1; i <= 13; ++i) widest += formatInteger(i * 7654321LL, 10);
        box->setReport({{widest}, "", std::nullopt, {}, {}});
        box->layOutForScreen(QSize(1024, 768));
        const QString pdf = workingDir->filePath("letter.pdf");
        box->setPrinterQuery([] { return true; });
        box->setPrintDialog([&](QPrinter& printer) {
            printer.setPageSize(QPageSize(QPageSize::Letter)); // as chosen in the dialog
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        box->printReport();
        const auto pages = testing::readPdf(pdf);
        QCOMPARE(pages.size(), std::size_t{1});
        QCOMPARE(qRound(pages.front().size.width()), 792); // 11 inches across
        QCOMPARE(pages.front().lines(), QStringList{QString::fromStdString(widest).simplified()});
        const double halfCentimetre = 72 / 2.54 / 2;
        for (const auto& word : pages.front().words)
            QVERIFY(word.box.left() >= halfCentimetre - 0.5 && word.box.right() <= 792 - halfCentimetre + 0.5);
    }

    void printedReportIsTenPointCourierOneLineForEachLine()
    {
        // Two cases: a report of the usual width, and one that also holds the
        // widest line a report can have (130 characters), over several pages.
        std::string widest;
        for (int i = 1; i <= 13; ++i) widest += formatInteger(i * 7654321LL, 10);
        for (const bool withWidest : {false, true}) {
            std::vector<std::string> lines;
            for (int i = 1; i <= (withWidest ? 150 : 40); ++i)
                lines.push_back(formatInteger(i, 4) + formatReal(i * 12.5, 14, 4) + formatReal(i * 0.37, 14, 4) +
                                formatReal(-i / 3.0, 12, 4));
            if (withWidest) lines[3] = widest;
            box->setReport({lines, "", std::nullopt, {}, {}});
            box->layOutForScreen(QSize(1024, 768));
            const QString pdf = workingDir->filePath(withWidest ? "largo.pdf" : "solito.pdf");
            box->setPdfFileChooser([&] { return pdf; });
            box->printReport();

            const auto pages = testing::readPdf(pdf);
            QVERIFY(!pages.empty());
            QCOMPARE(pages.front().size.width() > pages.front().size.height(), withWidest);
            QStringList printed;
            for (const auto& page : pages) {
                printed << page.lines();
                for (const auto& word : page.words) {
                    // 10 pt Courier New: 6 points a character, within the sheet.
                    QVERIFY2(std::abs(word.box.width() - 6.0 * word.text.size()) < 0.5, qPrintable(word.text));
                    QVERIFY(word.box.left() > 0 && word.box.right() < page.size.width());
                }
            }
            QStringList expected;
            for (const auto& line : lines) expected << QString::fromStdString(line).simplified();
            QCOMPARE(printed, expected);
        }
        QCOMPARE(messages, QStringList());
    }

    void viewerShowsTheReportModally()
    {
        ReportViewer viewer;
        viewer.window().setMessageSink([](const QString&) {});
        QString seen;
        QTimer::singleShot(0, [&] {
            seen = viewer.window().reportText()->toPlainText();
            viewer.window().exitButton()->click();
        });
        viewer.showReport({report, "/dati/prova.txt", std::nullopt, {}, {}});
        QCOMPARE(seen.split('\n').first(), QString::fromStdString(report.front()));
        QCOMPARE(viewer.window().result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(ReportWindowTest)
#include "reportwindow_qtest.moc"
