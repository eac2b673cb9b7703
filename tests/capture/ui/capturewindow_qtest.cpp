// The capture window as the user meets it, offscreen: pictures in (and the
// bad ones refused), the axes calibrated by four clicks, points placed, moved,
// removed, undone and redone, a curve found by its colour, the points saved
// and copied, and the session saved and opened again.
#include "capture/ui/capturewindow.h"
#include "common/captureinbox.h"
#include "capture/ui/curvelist.h"

#include <QAction>
#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <deque>
#include <map>

using namespace calvero;

namespace {

// The drawn pump curve: head H = 80 - 0.006 Q^2 for flows Q from 0 to 100;
// Q from pixel 60 to 540, H from pixel 360 (0) to 40 (80).
double head(double flow) { return 80 - 0.006 * flow * flow; }
QPointF chartPixel(double flow, double h) { return {60 + 4.8 * flow, 360 - 4.0 * h}; }

void drawChart(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, 600, 400), Qt::white);
    painter.setPen(QPen(QColor(170, 170, 170), 1));
    for (int flow = 0; flow <= 100; flow += 10) painter.drawLine(chartPixel(flow, 0), chartPixel(flow, 80));
    for (int h = 0; h <= 80; h += 10) painter.drawLine(chartPixel(0, h), chartPixel(100, h));
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath curve(chartPixel(0, head(0)));
    for (double flow = 1; flow <= 100; ++flow) curve.lineTo(chartPixel(flow, head(flow)));
    painter.setPen(QPen(QColor(0, 0, 200), 3));
    painter.drawPath(curve);
    painter.fillRect(QRect(80, 320, 30, 6), QColor(0, 0, 200)); // the legend's swatch
    painter.drawText(QPoint(115, 328), QStringLiteral("D 250"));
}

// Reads the chart's tick numbers without OCR: the number of the tick nearest
// the middle of the area asked about, on the axis the area lies by.
class TickNumberReader : public capture::TextReader {
public:
    std::vector<capture::ReadWord> read(const capture::PixelBuffer&, const capture::PixelRect& area,
                                        capture::TextKind, const capture::ReadHints&) const override
    {
        const double cx = area.left + area.width / 2, cy = area.top + area.height / 2;
        const double value = cy > 360 ? std::round((cx - 60) / 4.8 / 10) * 10 : std::round((360 - cy) / 4.0 / 10) * 10;
        return {{QString::number(value).toStdString(), area, value == 50 ? 40.0 : 95.0, {}}};
    }
};

struct Answers {
    QStringList messages;
    std::map<CaptureWindow::FileRequest, QString> files;
    std::deque<QString> values;
    int page = 1;
    double dpi = 150;
    std::deque<bool> confirmations; // empty: yes
    QStringList questions;
};

} // namespace

class CaptureWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString chart_;
    Answers answers_;

    QString file(const QString& name) const { return folder_.filePath(name); }

    std::unique_ptr<CaptureWindow> newWindow()
    {
        answers_ = Answers{};
        auto window = std::make_unique<CaptureWindow>();
        window->setMessageSink([this](const QString& m) { answers_.messages << m; });
        window->setFileChooser([this](CaptureWindow::FileRequest r) { return answers_.files[r]; });
        window->setValueAsker([this](const QString&, const QString&) -> std::optional<QString> {
            if (answers_.values.empty()) return std::nullopt;
            const QString v = answers_.values.front();
            answers_.values.pop_front();
            return v;
        });
        window->setPageAsker([this](int) -> std::optional<int> { return answers_.page; });
        window->setResolutionAsker([this](double) -> std::optional<double> { return answers_.dpi; });
        window->setConfirmer([this](const QString& question) {
            answers_.questions << question;
            if (answers_.confirmations.empty()) return true;
            const bool yes = answers_.confirmations.front();
            answers_.confirmations.pop_front();
            return yes;
        });
        window->resize(1200, 800);
        window->show();
        // Shortcuts reach only the active window.
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get())) qWarning("the window did not become active");
        return window;
    }

    QPoint at(CaptureWindow& window, QPointF pixel) { return window.view()->toWidget(pixel).toPoint(); }
    void click(CaptureWindow& window, QPointF pixel, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(window.view(), button, {}, at(window, pixel));
    }
    void drag(CaptureWindow& window, QPointF from, QPointF to)
    {
        QTest::mousePress(window.view(), Qt::LeftButton, {}, at(window, from));
        QTest::mouseMove(window.view(), at(window, to));
        QTest::mouseRelease(window.view(), Qt::LeftButton, {}, at(window, to));
    }

    // The four references: x1 (Q 0), x2 (Q 100), y1 (H 0), y2 (H 80), with values typed as given.
    void calibrate(CaptureWindow& window, QStringList values = {"0", "100", "0", "80"}, QPointF x2 = chartPixel(100, 0))
    {
        answers_.values.assign(values.begin(), values.end());
        window.startReferences();
        for (QPointF pixel : {chartPixel(0, 0), x2, chartPixel(0, 0), chartPixel(0, 80)}) click(window, pixel);
    }

    capture::PixelPoint point(const CaptureWindow& window, int index) const
    {
        return window.document().curves()[0].points[std::size_t(index)];
    }

private slots:
    void axesReadFromTheTickNumbersAreConfirmedOrCorrected()
    {
        // The chart with its tick numbers under the x axis and left of the y axis.
        QImage image(600, 400, QImage::Format_RGB32);
        QPainter painter(&image);
        drawChart(painter);
        painter.setPen(Qt::black);
        for (int flow = 0; flow <= 100; flow += 20)
            painter.drawText(QRectF(chartPixel(flow, 0) + QPointF(-15, 6), QSizeF(30, 14)), Qt::AlignCenter, QString::number(flow));
        for (int h = 0; h <= 80; h += 20)
            painter.drawText(QRectF(chartPixel(0, h) + QPointF(-40, -7), QSizeF(34, 14)), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(h));
        painter.end();
        const QString picture = file("numbers.png");
        QVERIFY(image.save(picture));

        struct Case {
            const char* name;
            std::optional<std::array<QString, 4>> answer; // nothing: cancelled
            bool calibrated;
            const char* message;
        };
        const Case cases[] = {
            {"confirmed as read", std::array<QString, 4>{}, true, nullptr},
            {"a value corrected", std::array<QString, 4>{"", "", "", "81"}, true, nullptr},
            {"cancelled", std::nullopt, false, nullptr},
            {"a value that is no number", std::array<QString, 4>{"", "x", "", ""}, false, "valore non numerico: x"},
        };
        for (const Case& c : cases) {
            auto window = newWindow();
            QVERIFY(window->openPicture(picture));
            window->setTextReader(std::make_shared<TickNumberReader>());
            std::array<ReadReference, 4> shown;
            window->setAxesConfirmer([&](const std::array<ReadReference, 4>& read, const QString&) {
                shown = read;
                if (!c.answer) return std::optional<std::array<QString, 4>>{};
                std::array<QString, 4> values;
                for (std::size_t i = 0; i < 4; ++i) values[i] = (*c.answer)[i].isEmpty() ? read[i].value : (*c.answer)[i];
                return std::optional<std::array<QString, 4>>(values);
            });
            window->readAxes();
            // The references are the tick numbers farthest apart, each shown with how sure its reading is.
            QCOMPARE(shown[0].value, QStringLiteral("0"));
            QCOMPARE(shown[1].value, QStringLiteral("100"));
            QCOMPARE(shown[3].value, QStringLiteral("80"));
            QCOMPARE(confidenceColour(shown[1].confidence), confidenceColour(95));
            QCOMPARE(window->document().state().axes.has_value(), c.calibrated);
            if (c.message) QVERIFY2(answers_.messages.contains(QString::fromUtf8(c.message)), qPrintable(answers_.messages.join('|')));
            if (!c.calibrated) continue;
            const auto calibration = window->document().calibration();
            const double top = c.answer && !(*c.answer)[3].isEmpty() ? 81 : 80;
            const capture::UnitPoint middle = calibration->toUnits({chartPixel(50, 40).x(), chartPixel(50, 40).y()});
            QVERIFY2(std::abs(middle.x - 50) < 0.6, qPrintable(QString::number(middle.x)));
            QVERIFY2(std::abs(middle.y - 40 * top / 80) < 0.6, qPrintable(QString::number(middle.y)));
        }
    }

    void initTestCase()
    {
        QVERIFY(folder_.isValid());
        QImage chart(600, 400, QImage::Format_RGB32);
        QPainter painter(&chart);
        drawChart(painter);
        painter.end();
        chart_ = file("chart.png");
        QVERIFY(chart.save(chart_));
        QVERIFY(chart.save(file("chart.jpg"), "JPEG", 90));
        QFile jpeg(file("chart.jpg"));
        QVERIFY(jpeg.open(QIODevice::ReadOnly));
        const QByteArray whole = jpeg.readAll();
        QFile cut(file("cut.jpg"));
        QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(whole.left(whole.size() / 2)) > 0);
        cut.close();
        QImage clear(600, 400, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QVERIFY(clear.save(file("clear.png")));
        QFile text(file("text.png"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
        text.close();

        // Two pages of 6 x 4 inches: at 150 dots per inch a page is 900 x 600 pixels.
        QPdfWriter pdf(file("catalogue.pdf"));
        pdf.setPageSize(QPageSize(QSizeF(6, 4), QPageSize::Inch));
        pdf.setPageMargins(QMarginsF());
        pdf.setResolution(100);
        QPainter pages(&pdf);
        drawChart(pages);
        pdf.newPage();
        drawChart(pages);
    }

    void picturesIn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size"); // empty: refused, with a message saying why
        QTest::addColumn<QString>("message");
        QTest::newRow("PNG") << "chart.png" << QSize(600, 400) << "";
        QTest::newRow("JPEG") << "chart.jpg" << QSize(600, 400) << "";
        QTest::newRow("transparent PNG") << "clear.png" << QSize(600, 400) << "";
        QTest::newRow("PDF, second page") << "catalogue.pdf" << QSize(900, 600) << "";
        QTest::newRow("not a picture") << "text.png" << QSize() << "non è un'immagine";
        QTest::newRow("truncated JPEG") << "cut.jpg" << QSize() << "danneggiata o incompleta";
        QTest::newRow("missing") << "missing.png" << QSize() << "file non trovato";
    }
    void picturesIn()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QString, message);
        auto window = newWindow();
        QVERIFY(window->openPicture(chart_));
        window->view()->setZoom(1.0);
        click(*window, {200, 200}); // a point the refusal must keep
        answers_.page = 2;
        const bool opened = window->openPicture(file(name));
        QCOMPARE(opened, !size.isEmpty());
        const QSize expected = opened ? size : QSize(600, 400);
        QCOMPARE(QSize(window->picture().width(), window->picture().height()), expected);
        QCOMPARE(window->picture().pixel(0, 0) | 0xff000000u, 0xffffffffu); // paper, even where transparent
        QCOMPARE(window->document().curves()[0].points.size(), opened ? 0u : 1u);
        QCOMPARE(answers_.messages.join('\n').contains(message), true);
        QCOMPARE(answers_.messages.isEmpty(), message.isEmpty());
    }

    void pastedOrDroppedPicture()
    {
        auto window = newWindow();
        QApplication::clipboard()->setText("no picture");
        QVERIFY(!window->pastePicture());
        QCOMPARE(answers_.messages, QStringList{"gli appunti non contengono un'immagine"});
        QApplication::clipboard()->setImage(QImage(chart_));
        QVERIFY(window->pastePicture());
        QCOMPARE(window->picture().width(), 600);
        // Its session keeps the picture beside it.
        answers_.files[CaptureWindow::FileRequest::SaveSession] = file("pasted");
        window->saveSession();
        QCOMPARE(QImage(file("pasted.png")).size(), QSize(600, 400));
        QVERIFY(QFile::exists(file("pasted.digitora")));

        // A file dropped on the window opens as with "Apri".
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(file("catalogue.pdf"))});
        answers_.page = 1;
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &drop);
        QTRY_COMPARE(window->picture().width(), 900);
    }

    void curveParameters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("parameter"); // NaN: none
        QTest::addColumn<int>("messages");
        QTest::newRow("whole number") << "250" << 250.0 << 0;
        QTest::newRow("decimal comma") << "2,5" << 2.5 << 0;
        QTest::newRow("not a number, kept as it was") << "grande" << 100.0 << 1;
        QTest::newRow("empty: no parameter") << "" << qQNaN() << 0;
    }
    void curveParameters()
    {
        QFETCH(QString, typed);
        QFETCH(double, parameter);
        QFETCH(int, messages);
        auto window = newWindow();
        QVERIFY(window->openPicture(chart_));
        auto* list = window->findChild<CurveList*>();
        list->item(0, 2)->setText("100");
        list->item(0, 2)->setText(typed);
        const std::optional<double> kept = window->document().curves()[0].parameter;
        QCOMPARE(kept.has_value(), !qIsNaN(parameter));
        if (kept) QCOMPARE(*kept, parameter);
        QCOMPARE(list->item(0, 2)->text(), kept ? QString::number(parameter) : QString());
        QCOMPARE(answers_.messages.size(), messages);
    }

    void impossibleReferencesChangeNothing_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QPointF>("x2");
        QTest::addColumn<bool>("logX");
        QTest::addColumn<int>("messages");
        QTest::newRow("two points on one spot") << QStringList{"0", "100", "0", "80"} << chartPixel(0, 0) << false << 1;
        QTest::newRow("equal values") << QStringList{"5", "5", "0", "80"} << chartPixel(100, 0) << false << 1;
        // Each 0 typed for the logarithmic x axis is refused at its click.
        QTest::newRow("zero on a logarithmic axis") << QStringList{"0", "100", "0", "80"} << chartPixel(100, 0) << true << 2;
        QTest::newRow("not a number") << QStringList{"zero", "100", "0", "80"} << chartPixel(100, 0) << false << 1;
    }
    void impossibleReferencesChangeNothing()
    {
        QFETCH(QStringList, values);
        QFETCH(QPointF, x2);
        QFETCH(bool, logX);
        QFETCH(int, messages);
        auto window = newWindow();
        QVERIFY(window->openPicture(chart_));
        window->view()->setZoom(1.0);
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            if (box->text() == "x logaritmico") box->setChecked(logX);
        calibrate(*window, values, x2);
        QVERIFY(!window->document().state().axes);
        QCOMPARE(answers_.messages.size(), messages);
        QVERIFY(!window->document().canUndo());
    }

    void pointsByHand()
    {
        auto window = newWindow();
        QVERIFY(window->openPicture(chart_));
        window->view()->setZoom(1.0);
        calibrate(*window);
        QVERIFY(window->document().state().axes);
        QVERIFY(answers_.messages.isEmpty());

        QTest::mouseMove(window->view(), at(*window, chartPixel(50, 40)));
        QCOMPARE(window->statusText(), QString("x = 50   y = 40"));

        click(*window, chartPixel(50, 40));
        drag(*window, chartPixel(50, 40), chartPixel(60, 30));
        QCOMPARE(window->document().curves()[0].points.size(), 1u);
        const capture::PixelPoint moved = point(*window, 0);
        QCOMPARE(QPointF(moved.x, moved.y), QPointF(chartPixel(60, 30)));
        click(*window, chartPixel(60, 30), Qt::RightButton);
        QCOMPARE(window->document().curves()[0].points.size(), 0u);

        window->undo(); // the removal
        QCOMPARE(point(*window, 0), moved);
        window->undo(); // the move
        QCOMPARE(QPointF(point(*window, 0).x, point(*window, 0).y), QPointF(chartPixel(50, 40)));
        QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(point(*window, 0), moved);

        click(*window, chartPixel(60, 30)); // selects it
        QTest::keyClick(window->view(), Qt::Key_Delete);
        QCOMPARE(window->document().curves()[0].points.size(), 0u);
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window->document().curves()[0].points.size(), 1u);

        // A dragged reference recalibrates: the point keeps its pixel, its value follows.
        const auto before = window->document().state().axes;
        drag(*window, chartPixel(0, 80), chartPixel(0, 70));
        QVERIFY(window->document().state().axes != before);
        QCOMPARE(window->document().state().axes->y.second.y, chartPixel(0, 70).y());
    }

    void wheelZoomsAroundTheCursor()
    {
        auto window = newWindow();
        window->resize(700, 500); // the picture, zoomed, overflows it both ways
        QVERIFY(window->openPicture(chart_));
        QCoreApplication::processEvents();
        CaptureView* view = window->view();
        view->setZoom(1.0);
        const QPointF kept(300, 100);
        const QPoint before = view->mapToParent(view->toWidget(kept).toPoint());
        const QPointF under = view->toWidget(kept);
        QWheelEvent wheel(under, view->mapToGlobal(under), {}, QPoint(0, 360), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        QCOMPARE(view->zoom(), 1.25 * 1.25 * 1.25); // three notches
        QVERIFY((view->mapToParent(view->toWidget(kept).toPoint()) - before).manhattanLength() <= 2);
    }

    QCheckBox* logBox(CaptureWindow& window, const QString& caption)
    {
        for (QCheckBox* box : window.findChildren<QCheckBox*>())
            if (box->text() == caption) return box;
        return nullptr;
    }

    // What the user chooses around the capture: a PDF page's resolution, log
    // axes (reset by a new picture, a 0 refused at its click), copying one
    // curve, a doubtful search said so, a session whose picture has moved.
    void choicesAroundTheCapture()
    {
        auto window = newWindow();
        answers_.page = 1;
        answers_.dpi = 100;
        QVERIFY(window->openPicture(file("catalogue.pdf")));
        QCOMPARE(QSize(window->picture().width(), window->picture().height()), QSize(600, 400)); // 6 x 4 inches
        QVERIFY(window->openPicture(chart_));
        window->view()->setZoom(1.0);

        logBox(*window, "x logaritmico")->setChecked(true);
        QVERIFY(window->openPicture(chart_));
        QVERIFY(!logBox(*window, "x logaritmico")->isChecked());
        window->view()->setZoom(1.0);
        logBox(*window, "x logaritmico")->setChecked(true);
        answers_.values = {"0"};
        window->startReferences();
        click(*window, chartPixel(0, 0));
        QCOMPARE(answers_.messages, QStringList{"sull'asse x logaritmico il valore deve essere maggiore di 0: 0"});
        logBox(*window, "x logaritmico")->setChecked(false);
        answers_.messages.clear();
        calibrate(*window);
        QVERIFY(window->document().state().axes);

        // Two curves by hand; only the chosen one is copied.
        click(*window, chartPixel(12.5, 20));
        window->addCurve();
        click(*window, chartPixel(30, 40));
        click(*window, chartPixel(50, 60));
        window->setCurrentCurve(1);
        window->copyCurvePoints();
        QCOMPARE(QApplication::clipboard()->text().trimmed(), QString("30\t40\n50\t60"));

        // Saved for a spreadsheet in Italian, chosen in the File menu.
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text().startsWith("virgola decimale") || a->text().startsWith("riga d'intestazione")) a->setChecked(true);
        answers_.files[CaptureWindow::FileRequest::SavePoints] = file("foglio.txt");
        window->savePoints();
        QFile sheet(file("foglio.txt"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        QCOMPARE(QString(sheet.readAll()), QString("x;y\n12,5;20\n30;40\n50;60\n"));
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text().startsWith("tabulazione")) a->setChecked(true);
        window->savePoints();
        sheet.close();
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        QCOMPARE(QString(sheet.readAll()), QString("x\ty\n12,5\t20\n30\t40\n50\t60\n"));

        // A tolerance that takes in the paper: said so, the points kept. (The
        // grey of a grid line, 31 from the paper, is within a tolerance of 100.)
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == "prendi il &colore della curva") b->click();
        for (QDoubleSpinBox* box : window->findChildren<QDoubleSpinBox*>()) box->setValue(100);
        click(*window, chartPixel(40, 10));
        QCOMPARE(answers_.messages.size(), 1);
        QVERIFY2(answers_.messages[0].startsWith("attenzione: con la tolleranza 100 anche lo sfondo"), qPrintable(answers_.messages[0]));
        QCOMPARE(window->document().curves()[1].points.size(), 2u);

        // The session's picture moved to another folder: found where the user points.
        QDir(folder_.path()).mkdir("old");
        QDir(folder_.path()).mkdir("new");
        QVERIFY(QFile::copy(chart_, file("old/moved.png")));
        QVERIFY(window->openPicture(file("old/moved.png")));
        answers_.files[CaptureWindow::FileRequest::SaveSession] = file("moved.digitora");
        window->saveSession();
        QVERIFY(QFile::rename(file("old/moved.png"), file("new/moved.png")));
        auto reopened = newWindow();
        answers_.files[CaptureWindow::FileRequest::OpenSession] = file("moved.digitora");
        answers_.confirmations = {false};
        reopened->openSession();
        QVERIFY(reopened->picture().empty()); // declined: nothing opened
        answers_.files[CaptureWindow::FileRequest::OpenPicture] = file("new/moved.png");
        reopened->openSession();
        QCOMPARE(reopened->picture().width(), 600);
        QVERIFY(answers_.questions.join('\n').contains("l'immagine della sessione non è più in"));
    }

    void pointsByColourAndOut()
    {
        auto window = newWindow();
        QVERIFY(window->openPicture(chart_));
        window->view()->setZoom(1.0);
        calibrate(*window);
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == "prendi il &colore della curva") b->click();
        click(*window, chartPixel(50, head(50)));
        QVERIFY2(answers_.messages.isEmpty(), qPrintable(answers_.messages.join('\n')));
        QCOMPARE(window->document().curves()[0].points.size(), 30u);

        // An area drawn over the curve's end is left out of the next search.
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == "&zona esclusa") b->click();
        drag(*window, chartPixel(78, 50), chartPixel(101, 10));
        QCOMPARE(window->document().state().exclusions.size(), 1u);
        window->findByColour();
        for (const capture::PixelPoint& p : window->document().curves()[0].points) QVERIFY(p.x < chartPixel(78, 0).x());
        window->undo();
        window->undo();
        QVERIFY(window->document().state().exclusions.empty());

        for (QSpinBox* box : window->findChildren<QSpinBox*>()) box->setValue(12);
        window->findByColour();
        QCOMPARE(window->document().curves()[0].points.size(), 12u);

        answers_.files[CaptureWindow::FileRequest::SavePoints] = file("pump");
        window->savePoints();
        QFile saved(file("pump.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QStringList lines = QString(saved.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        double previous = -1;
        for (const QString& line : lines) {
            const QStringList xy = line.split(';');
            QCOMPARE(xy.size(), 2);
            const double flow = xy[0].toDouble(), h = xy[1].toDouble();
            QVERIFY(flow > previous);
            previous = flow;
            QVERIFY2(std::abs(h - head(flow)) < 0.4, qPrintable(line)); // half a percent of the head axis
        }
        window->copyPoints();
        QCOMPARE(QApplication::clipboard()->text().trimmed(), lines.join('\n').replace(';', '\t'));

        // Sent to the CALVERO1 that started this window: the path of a file
        // holding the same points arrives on its inbox.
        QLocalServer inbox;
        QVERIFY(inbox.listen(QStringLiteral("digitora-test-%1").arg(QCoreApplication::applicationPid())));
        qputenv(CaptureInboxVariable, inbox.serverName().toUtf8());
        QByteArray received;
        connect(&inbox, &QLocalServer::newConnection, [&] {
            QLocalSocket* socket = inbox.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, [&, socket] { received += socket->readAll(); });
        });
        window->sendToCalvero();
        QTRY_VERIFY(received.endsWith('\n'));
        QFile sent(QFile::decodeName(received.trimmed()));
        QVERIFY(sent.open(QIODevice::ReadOnly));
        QCOMPARE(QString(sent.readAll()).split('\n', Qt::SkipEmptyParts), lines);
        // With nobody listening, a new CALVERO1 is started with the file.
        qputenv(CaptureInboxVariable, "");
        QString started;
        window->setCalveroStarter([&](const QString& program, const QString& points) {
            started = program + ' ' + points;
            return true;
        });
        window->sendToCalvero();
        QVERIFY(started.endsWith(sent.fileName()));
        QVERIFY(started.startsWith(QCoreApplication::applicationDirPath() + "/calvero1 "));

        // The session: saved, opened again in a new window, a damaged one refused.
        answers_.files[CaptureWindow::FileRequest::SaveSession] = file("pump.digitora");
        window->saveSession();
        const capture::CaptureState captured = window->document().state();
        auto reopened = newWindow();
        answers_.files[CaptureWindow::FileRequest::OpenSession] = file("pump.digitora");
        reopened->openSession();
        QVERIFY(reopened->document().state() == captured);
        QFile damaged(file("damaged.digitora"));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("{\"curves\": [") > 0);
        damaged.close();
        answers_.files[CaptureWindow::FileRequest::OpenSession] = file("damaged.digitora");
        reopened->openSession();
        QCOMPARE(answers_.messages.size(), 1);
        QVERIFY(reopened->document().state() == captured);
    }
};

QTEST_MAIN(CaptureWindowTest)
#include "capturewindow_qtest.moc"
