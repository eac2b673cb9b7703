// The help window on Qt's offscreen platform: layout, the first page, links,
// "Indietro", fresh windows for each opening, and printing to a PDF file.
#include "viewers/helpdocument.h"
#include "viewers/ui/helpwindow.h"
#include "viewers/ui/helppage.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace calvero;

namespace {

const QString DocFolder = QStringLiteral(CALVERO_SOURCE_DIR "/doc/");

// Runs action on the first modal window of the given type as soon as it
// appears (the caller is about to block in it). When none appears within five
// seconds the poll gives up and closes whatever modal window there is, so a
// failing test ends instead of hanging.
template <typename Window>
void whenModalAppears(std::function<void(Window*)> action)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, tries] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* window = qobject_cast<Window*>(modal)) {
            poll->stop();
            poll->deleteLater();
            action(window);
        } else if (++*tries > 500) {
            poll->stop();
            poll->deleteLater();
            if (modal)
                modal->close();
        }
    });
    poll->start(10);
}

struct Anchor {
    QString href;
    int start = 0;
    int length = 0;
};

// The anchors of the page shown, in document order.
QList<Anchor> anchorsOf(QTextBrowser* browser)
{
    QList<Anchor> anchors;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor() && !fragment.charFormat().anchorHref().isEmpty())
                anchors.push_back({fragment.charFormat().anchorHref(), fragment.position(), fragment.length()});
        }
    return anchors;
}

Anchor firstAnchor(QTextBrowser* browser, const std::function<bool(const QString&)>& wanted)
{
    for (const Anchor& anchor : anchorsOf(browser))
        if (wanted(anchor.href) && anchor.length >= 3)
            return anchor;
    return {};
}

// A page of the documentation other than the first one.
bool isOtherLocalPage(const QString& href)
{
    return !href.contains(':') && href.contains(".htm") && !href.startsWith("calvero1.htm");
}
bool isOnTheWeb(const QString& href) { return href.startsWith("http://") || href.startsWith("https://"); }

// Clicks in the middle of an anchor's text, as the user does.
void clickAnchor(QTextBrowser* browser, const Anchor& anchor)
{
    QTextCursor cursor(browser->document());
    cursor.setPosition(anchor.start + anchor.length / 2);
    browser->setTextCursor(cursor);
    browser->ensureCursorVisible();
    const QPoint middle = browser->cursorRect(cursor).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
}

QString shownFile(QTextBrowser* browser) { return browser->source().fileName(); }

// Receives the addresses that the window hands to the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private:
    std::string programFolder; // where the program's documentation lies

private slots:
    void init()
    {
        programFolder = DocFolder.toStdString();
    }

    void layoutAt1024By768()
    {
        HelpWindow window("calvero1.html", programFolder);
        window.resize(1024, 768);
        window.layoutControls(1024, 1024, 768);
        QCOMPARE(window.browser()->geometry(), QRect(0, 0, 998, 633));
        QCOMPARE(window.exitButton()->geometry(), QRect(2, 638, 307, 46));
        QCOMPARE(window.backButton()->geometry(), QRect(314, 638, 307, 46));
        QCOMPARE(window.printButton()->geometry(), QRect(626, 638, 307, 46));
        // A resize to the same size keeps the same places.
        window.resize(1024, 769);
        window.resize(1024, 768);
        QCOMPARE(window.printButton()->geometry(), QRect(626, 638, 307, 46));
    }

    void buttonsCarryCaptionsFontAndPictures()
    {
        HelpWindow window("calvero1.html", programFolder);
        const QList<QPair<QPushButton*, QString>> buttons = {
            {window.exitButton(), "Esci"}, {window.backButton(), "Indietro"}, {window.printButton(), "stampa"}};
        for (const auto& [button, caption] : buttons) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->font().pointSize(), 16);
            QCOMPARE(button->iconSize(), QSize(16, 16));
            const QImage normal = button->icon().pixmap(16, 16, QIcon::Normal).toImage();
            const QImage greyed = button->icon().pixmap(16, 16, QIcon::Disabled).toImage();
            QVERIFY(!normal.isNull());
            QVERIFY(normal != greyed);
            QVERIFY(!button->autoDefault());
        }
    }

    void opensOnTheFirstPageWithItsCaption()
    {
        HelpWindow window("calvero1.html", programFolder);
        window.show();
        QCOMPARE(window.windowTitle(), QString("calvero1.html"));
        QCOMPARE(window.browser()->source(), QUrl::fromLocalFile(DocFolder + "calvero1.htm"));
        QVERIFY(window.browser()->toPlainText().contains("CALVERO1"));
        QVERIFY(!window.browser()->isBackwardAvailable());
        QVERIFY(window.browser()->openExternalLinks());
    }

    void backOnAFreshWindowIsNotAllowed()
    {
        HelpWindow window("calvero1.html", programFolder);
        window.show();
        QString shownText;
        whenModalAppears<QMessageBox>([&shownText](QMessageBox* box) {
            shownText = box->text();
            box->accept();
        });
        QTest::mouseClick(window.backButton(), Qt::LeftButton);
        QCOMPARE(shownText, QString("non ammesso"));
        QCOMPARE(shownFile(window.browser()), QString("calvero1.htm"));
        QVERIFY(window.isVisible());
    }

    void linkFollowedAndBackReturnsToTheFirstPage()
    {
        HelpWindow window("calvero1.html", programFolder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const Anchor link = firstAnchor(window.browser(), isOtherLocalPage);
        QVERIFY2(!link.href.isEmpty(), "the first page links to no other page");

        clickAnchor(window.browser(), link);
        QCOMPARE(shownFile(window.browser()), QFileInfo(link.href.section('#', 0, 0)).fileName());
        QVERIFY(window.browser()->isBackwardAvailable());

        QTest::mouseClick(window.backButton(), Qt::LeftButton);
        QCOMPARE(shownFile(window.browser()), QString("calvero1.htm"));
        QVERIFY(!window.browser()->isBackwardAvailable());
    }

    void webLinksGoToTheDesktopBrowser()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        HelpWindow window("calvero1.html", programFolder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const Anchor link = firstAnchor(window.browser(), isOnTheWeb);
        QVERIFY2(!link.href.isEmpty(), "the first page has no link to the web");

        clickAnchor(window.browser(), link);
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(link.href)});
        QCOMPARE(shownFile(window.browser()), QString("calvero1.htm"));
    }

    void eachOpeningIsANewWindowOnTheFirstPage()
    {
        QPointer<HelpWindow> first;
        QString firstPage, firstCaption;
        whenModalAppears<HelpWindow>([&](HelpWindow* window) {
            first = window;
            firstPage = shownFile(window->browser());
            firstCaption = window->windowTitle();
            window->browser()->setSource(QUrl::fromLocalFile(DocFolder + "messaggi.htm"));
            QTest::mouseClick(window->exitButton(), Qt::LeftButton); // "Esci"
        });
        showHelpPage("calvero1.html", programFolder);
        QCOMPARE(firstPage, QString("calvero1.htm"));
        QCOMPARE(firstCaption, QString("calvero1.html"));
        QVERIFY2(first.isNull(), "the window outlived its closing");

        QString secondPage;
        bool secondHasHistory = true;
        whenModalAppears<HelpWindow>([&](HelpWindow* window) {
            secondPage = shownFile(window->browser());
            secondHasHistory = window->browser()->isBackwardAvailable();
            window->close(); // the window's own close box
        });
        showHelpPage("calvero1.html", programFolder);
        QCOMPARE(secondPage, QString("calvero1.htm"));
        QVERIFY(!secondHasHistory);
    }

    void missingDocumentationSaysSoInTheWindow()
    {
        QTemporaryDir empty;
        programFolder = (empty.path() + "/").toStdString();
        HelpWindow window("calvero1.html", programFolder);
        window.show();
        const QString text = window.browser()->toPlainText();
        QVERIFY2(text.contains("pagina non trovata: " + empty.path() + "/calvero1.htm"), qPrintable(text));
    }

    void printsToAPdfFileWhenThereIsNoPrinter()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath("aiuto.pdf");
        QStringList steps;
        HelpWindow window("calvero1.html", programFolder);
        window.setServices({[] { return false; },
                            [&steps](QPrinter& printer, QWidget*) {
                                steps << (printer.outputFormat() == QPrinter::PdfFormat ? "setup pdf" : "setup");
                                return true;
                            },
                            [&steps, pdf](QWidget*) {
                                steps << "file";
                                return pdf;
                            },
                            [&steps](QWidget*, const QString& text) { steps << text; }});
        window.show();
        QTest::mouseClick(window.printButton(), Qt::LeftButton);
        QCOMPARE(steps, QStringList({"setup pdf", "file"}));
        QFile printed(pdf);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QVERIFY(printed.read(4) == "%PDF");
        QVERIFY(printed.size() > 1000);
    }

    void cancelledPrintingPrintsNothing()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath("aiuto.pdf");
        bool askedForFile = false;
        HelpWindow window("calvero1.html", programFolder);
        auto services = HelpWindow::Services{[] { return false; }, [](QPrinter&, QWidget*) { return false; },
                                              [&askedForFile, pdf](QWidget*) {
                                                  askedForFile = true;
                                                  return pdf;
                                              },
                                              [](QWidget*, const QString&) {}};
        window.setServices(services);
        window.show();
        QTest::mouseClick(window.printButton(), Qt::LeftButton);
        QVERIFY2(!askedForFile, "page setup was cancelled, yet printing went on");

        services.pageSetup = [](QPrinter&, QWidget*) { return true; };
        services.pdfFileName = [](QWidget*) { return QString(); };
        window.setServices(services);
        QTest::mouseClick(window.printButton(), Qt::LeftButton);
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    void printingWithAPrinterAsksForNoFile()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath("stampante.pdf");
        bool askedForFile = false;
        HelpWindow window("calvero1.html", programFolder);
        window.setServices({[] { return true; },
                            [pdf](QPrinter& printer, QWidget*) {
                                // Stands in for the printer the user set up.
                                printer.setOutputFormat(QPrinter::PdfFormat);
                                printer.setOutputFileName(pdf);
                                return true;
                            },
                            [&askedForFile](QWidget*) {
                                askedForFile = true;
                                return QString();
                            },
                            [](QWidget*, const QString&) {}});
        window.show();
        QTest::mouseClick(window.printButton(), Qt::LeftButton);
        QVERIFY(!askedForFile);
        QVERIFY(QFileInfo(pdf).size() > 1000);
    }

    void failedPrintingIsReported()
    {
        QString message;
        HelpWindow window("calvero1.html", programFolder);
        window.setServices({[] { return false; }, [](QPrinter&, QWidget*) { return true; },
                            [](QWidget*) { return QString("/nonexistent/folder/aiuto.pdf"); },
                            [&message](QWidget*, const QString& text) { message = text; }});
        window.show();
        QTest::mouseClick(window.printButton(), Qt::LeftButton);
        QCOMPARE(message, QString("stampa non riuscita: /nonexistent/folder/aiuto.pdf"));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "helpwindow_qtest.moc"
