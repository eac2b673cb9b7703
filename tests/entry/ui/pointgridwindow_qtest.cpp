#include "entry/entrylayout.h"
#include "entry/ui/pointgridwindow.h"
#include "entry/ui/gridclipboard.h"
#include "entry/ui/pointgridmodel.h"
#include "entry/pointimport.h"
#include "entry/gridinput.h"

#include "../../tempfolder.h"
#include "../xlsfixture.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

using namespace calvero;

namespace {

QRect rect(const EntryLayout::Box& box) { return QRect(box.left, box.top, box.width, box.height); }

} // namespace

class PointGridWindowTest : public QObject {
    Q_OBJECT

private:
    struct {
        PointGrid grid;
        PointSet points;
    } data;
    FitType kind = FitType::Polynomial;
    std::unique_ptr<PointGridWindow> window;
    QStringList messages;
    QString chosenFile;

    QString shown(int row, int column) const
    {
        return window->gridModel()->index(row - 1, column - 1).data().toString();
    }

private slots:
    void init()
    {
        messages.clear();
        chosenFile.clear();
        data = {};
        kind = FitType::Polynomial;
        window = std::make_unique<PointGridWindow>(PointTarget{data.grid, data.points}, kind);
        window->setMessageSink([this](const QString& text) { messages << text; });
        window->setFileChooser([this] { return chosenFile; });
    }
    void cleanup() { window.reset(); }

    void gridShowsTheTextModelWithItsHeaders()
    {
        data.grid.setCell(1, 1, "1.5");
        data.grid.setCell(200, 2, "-3");
        window->layOutForScreen(QSize(1024, 768));
        QCOMPARE(window->gridRowCount(), 201);
        QCOMPARE(window->headerCell(0), QString("punto"));
        QCOMPARE(window->headerCell(1), QString("X"));
        QCOMPARE(window->headerCell(2), QString("Y"));
        auto* model = window->gridModel();
        QCOMPARE(model->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QString("  1"));
        QCOMPARE(model->headerData(41, Qt::Vertical, Qt::DisplayRole).toString(), QString(" 42"));
        QCOMPARE(model->headerData(199, Qt::Vertical, Qt::DisplayRole).toString(), QString("200"));
        QCOMPARE(shown(1, 1), QString("1.5"));
        QCOMPARE(shown(200, 2), QString("-3"));
        QCOMPARE(window->pointGrid()->model(), model);
    }

    void columnsFollowTheKind()
    {
        data.grid.setCell(3, 3, "9");
        kind = FitType::Polynomial;
        window->layOutForScreen(QSize(1024, 768));
        QCOMPARE(window->gridColumnCount(), 3);
        QCOMPARE(window->headerCell(3), QString());

        kind = FitType::SurfaceXY;
        window->layOutForScreen(QSize(1024, 768));
        QCOMPARE(window->gridColumnCount(), 4);
        QCOMPARE(window->headerCell(3), QString("Z"));
        QCOMPARE(shown(3, 3), QString("9"));

        kind = FitType::Power;
        window->layOutForScreen(QSize(1024, 768));
        QCOMPARE(window->gridColumnCount(), 3);
        QCOMPARE(data.grid.cell(3, 3), std::string("9")); // column Z keeps its text
    }

    void editingTheViewWritesTheTextModel()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* view = window->pointGrid();
        const QModelIndex cell = window->gridModel()->index(1, 1); // row 2, Y
        view->setCurrentIndex(cell);
        view->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(cell));
        QVERIFY(editor != nullptr);
        editor->clear();
        QTest::keyClicks(editor, "2,5");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(data.grid.cell(2, 2), std::string("2,5")); // the view commits after the key

        QVERIFY(window->gridModel()->setData(window->gridModel()->index(4, 0), "7", Qt::EditRole));
        QCOMPARE(data.grid.cell(5, 1), std::string("7"));
    }

    void exitCopiesTheGridIntoThePointSet()
    {
        auto& grid = data.grid;
        auto& points = data.points;
        grid.setCell(1, 1, "1.5");
        grid.setCell(1, 2, "2");
        grid.setCell(2, 2, "99"); // empty column 1: row skipped
        points.x[2] = 11.0;
        points.y[2] = 12.0;
        grid.setCell(5, 1, "7"); // empty y gives 0
        points.y[5] = 4.0;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->exitButton()->click();
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QVERIFY(!window->isVisible());
        QCOMPARE(points.x[1], 1.5);
        QCOMPARE(points.y[1], 2.0);
        QCOMPARE(points.x[2], 11.0);
        QCOMPARE(points.y[2], 12.0);
        QCOMPARE(points.x[5], 7.0);
        QCOMPARE(points.y[5], 0.0);
    }

    void exitTakesTheCellStillBeingTyped()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* view = window->pointGrid();
        const QModelIndex cell = window->gridModel()->index(0, 0);
        view->setCurrentIndex(cell);
        view->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(cell));
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, "4");
        window->finishEntry(); // as by Alt+U, without the focus leaving the cell
        QCOMPARE(data.grid.cell(1, 1), std::string("4"));
        QCOMPARE(data.points.x[1], 4.0);
    }

    void layoutAt1024By768()
    {
        window->firstRowBox()->setValue(7);
        window->layOutForScreen(QSize(1024, 768));
        const EntryLayout layout = entryLayout(1024, 768);
        QCOMPARE(window->size(), QSize(1024, 768));
        QCOMPARE(window->pointGrid()->geometry(), QRect(2, 2, 409, 652));
        QCOMPARE(window->ruleLabel()->geometry(), rect(layout.ruleLabel));
        QCOMPARE(window->exitButton()->geometry(), QRect(416, 601, 256, 53));
        QCOMPARE(window->importButton()->geometry(), QRect(416, 55, 563, 53));
        QCOMPARE(window->separatorHint()->geometry(), QRect(416, 113, 563, 53));
        QCOMPARE(window->firstRowLabel()->geometry(), QRect(416, 319, 358, 53));
        QCOMPARE(window->firstRowBox()->geometry(), QRect(416, 377, 51, 53));
        QCOMPARE(window->firstRowBox()->value(), 2);
        QCOMPARE(window->firstRowBox()->minimum(), 1);
        QCOMPARE(window->firstRowBox()->maximum(), 100);
        QCOMPARE(window->windowTitle(), QString("immissione dati"));
        QCOMPARE(window->exitButton()->text(), QString("&USCITA"));
        QCOMPARE(window->separatorHint()->text(),
                 QString("per file csv oppure txt il separatore =spazio oppure  punto e virgola"));
        QCOMPARE(window->separatorHint()->font().pointSize(), 14);
    }

    // On a small screen the wrapped captions keep every line, and the
    // spreadsheet row's box stays under its caption.
    void captionsKeepTheirLinesAt800By600()
    {
        window->layOutForScreen(QSize(800, 570));
        for (QLabel* caption : {window->separatorHint(), window->firstRowLabel()})
            QVERIFY(caption->height() >= caption->heightForWidth(caption->width()));
        QVERIFY(window->firstRowBox()->y() > window->firstRowLabel()->geometry().bottom());
        QVERIFY(window->firstRowBox()->geometry().bottom() < window->exitButton()->y());
    }

    void showingLaysOutForTheScreenAndResetsTheRow()
    {
        window->firstRowBox()->setValue(9);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // The screen's room less the frame the platform draws.
        const QSize inside = screenRoom(window.get()).inside().size();
        const EntryLayout layout = entryLayout(inside.width(), inside.height());
        QCOMPARE(window->size(), inside);
        QCOMPARE(window->pointGrid()->geometry(), rect(layout.pointGrid));
        QCOMPARE(window->firstRowBox()->geometry(), rect(layout.firstRowBox));
        QCOMPARE(window->firstRowBox()->value(), 2);
    }

    void importsTheChosenTextFile()
    {
        testing::TempFolder folder;
        window->layOutForScreen(QSize(1024, 768));
        chosenFile = QString::fromStdString(folder.write("PUNTI.TXT", "1,5;2,5\n3 4\n"));
        window->importPoints();
        QCOMPARE(messages, QStringList());
        QCOMPARE(shown(1, 1), QString("1.5"));
        QCOMPARE(shown(2, 2), QString("4"));
        QCOMPARE(data.points.y[1], 2.5);

        std::string many;
        for (int i = 1; i <= 205; ++i) many += std::to_string(i) + ";1\n";
        chosenFile = QString::fromStdString(folder.write("molti.csv", many));
        window->importPoints();
        QCOMPARE(messages, QStringList{"lette le prime 200 righe del file"});
        QCOMPARE(shown(200, 1), QString("200"));
    }

    void importRefusalsAndCancel()
    {
        testing::TempFolder folder;
        window->layOutForScreen(QSize(1024, 768));
        data.grid.setCell(1, 1, "5");
        chosenFile.clear(); // cancelled
        window->importPoints();
        QCOMPARE(messages, QStringList());

        const QString other = QString::fromStdString(folder.write("punti.dat", "x"));
        chosenFile = other;
        window->importPoints();
        chosenFile = QString::fromStdString(folder.write("finto.xls", "1;2"));
        window->importPoints();
        QCOMPARE(messages, (QStringList{"tipo di file non riconosciuto: " + other,
                                        "impossibile leggere il file EXCEL: " + chosenFile}));
        QCOMPARE(data.grid.cell(1, 1), std::string("5"));
    }

    void clipboardKeysPasteCopyAndDelete()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* view = window->pointGrid();
        auto* model = window->gridModel();
        view->setFocus();
        data.grid.setCell(3, 1, "vecchio");
        view->setCurrentIndex(model->index(1, 0)); // row 2, X
        QGuiApplication::clipboard()->setText("1,5\t2,5\n3;4\n 5  6\n");
        QTest::keySequence(view, QKeySequence::Paste);
        const char* const pasted[][2] = {{"1,5", "2,5"}, {"3", "4"}, {"5", "6"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c) QCOMPARE(data.grid.cell(r + 2, c + 1), std::string(pasted[r][c]));
        QCOMPARE(messages, QStringList());

        // The pasted block stays selected: Ctrl+C gives it back, Delete empties it.
        QTest::keySequence(view, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("1,5\t2,5\n3\t4\n5\t6\n"));
        QTest::keySequence(view, QKeySequence::Delete);
        for (int r = 2; r <= 4; ++r) QVERIFY(data.grid.cell(r, 1).empty() && data.grid.cell(r, 2).empty());

        // A pasted decimal comma is read by the count as a typed one is.
        QGuiApplication::clipboard()->setText("1,5\t2,5\n2,5\t3,5\n");
        view->setCurrentIndex(model->index(0, 0));
        window->gridClipboard()->paste();
        QCOMPARE(countPoints(data.grid, data.points, kind).points, 2);
        QCOMPARE(data.points.x[2], 2.5);

        QStringList captions; // the grid's context menu
        for (const QAction* action : view->actions()) captions << action->text();
        QCOMPARE(captions, (QStringList{"copia", "incolla", "cancella"}));
        QCOMPARE(view->contextMenuPolicy(), Qt::ActionsContextMenu);
    }

    void pastePastRow200KeepsWhatFitsAndSaysSo()
    {
        window->layOutForScreen(QSize(1024, 768));
        auto* model = window->gridModel();
        data.grid.setCell(1, 1, "primo");
        QString block;
        for (int i = 1; i <= 5; ++i) block += QString("%1;%2\n").arg(i).arg(i * 10);
        QGuiApplication::clipboard()->setText(block);
        window->pointGrid()->setCurrentIndex(model->index(197, 0)); // row 198
        window->gridClipboard()->paste();
        QCOMPARE(data.grid.cell(198, 1), std::string("1"));
        QCOMPARE(data.grid.cell(200, 2), std::string("30"));
        QCOMPARE(data.grid.cell(1, 1), std::string("primo")); // nothing wraps round
        QCOMPARE(messages, QStringList{"incollate le prime 3 righe: la griglia finisce alla riga 200"});

        messages.clear();
        QGuiApplication::clipboard()->clear();
        window->gridClipboard()->paste();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(data.grid.cell(198, 1), std::string("1"));
    }

    void importsTheSpreadsheetFromTheChosenRow()
    {
        if (testing::pythonWithXlwt().empty()) QSKIP("python3-xlwt is needed to build .xls files");
        testing::TempFolder folder;
        const auto path = folder.path() / "punti.xls";
        QVERIFY(testing::writeWorkbook(path, "ws.write(0, 0, 'X')\nws.write(2, 0, 6.5)\nws.write(2, 1, 'abc')"));
        window->layOutForScreen(QSize(1024, 768));
        window->firstRowBox()->setValue(3);
        chosenFile = QString::fromStdString(path.string());
        window->importPoints();
        QCOMPARE(messages, QStringList());
        QCOMPARE(shown(1, 1), QString("6.5"));
        QCOMPARE(shown(1, 2), QString("abc"));
    }
};

QTEST_MAIN(PointGridWindowTest)
#include "pointgridwindow_qtest.moc"
