// Every window of both programs laid out for an 800 x 600 and a 1024 x 768
// screen whose window manager draws a frame of 30 pixels on every side (the
// offscreen platform draws none, so the layout is handed the frame): the
// framed window lies in the screen, and every button shows whole in it (in a
// scroll area, whole in what scrolls, the scroll area whole in the window).
#include "app/ui/fitoptionswindow.h"
#include "app/ui/program.h"
#include "capture/ui/axesconfirmdialog.h"
#include "capture/ui/capturewindow.h"
#include "graph/fitgraph.h"
#include "viewers/ui/comparisonwindow.h"
#include "viewers/ui/exportdialog.h"
#include "viewers/ui/helpwindow.h"
#include "viewers/ui/reportwindow.h"
#include "viewers/ui/statisticswindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QScrollArea>
#include <QtTest>

#include <functional>
#include <memory>

using namespace calvero;

namespace {

const QMargins Frame(30, 30, 30, 30);

// A fan's catalogue curve of degree 8: the widest report and statistics.
CalculationInput fanInput()
{
    const double q[] = {0, 500, 1200, 2000, 2600, 3100, 3500, 3800, 4000, 4150};
    const double p[] = {620, 640, 650, 630, 590, 530, 460, 380, 310, 250};
    CalculationInput in;
    in.kind = FitType::Polynomial;
    in.degree = 8;
    for (int i = 0; i < 10; ++i) {
        in.points.x[i + 1] = q[i];
        in.points.y[i + 1] = p[i];
    }
    in.pointCount = 10;
    in.options.throughPoints = {{0, 620, 0}};
    return in;
}

// Whether the widget shows whole in its window: inside every parent up to the
// window; in a scroll area's content, inside the content, the scroll area
// itself whole in the window.
bool showsWhole(const QWidget* widget, const QWidget* window)
{
    QRect r(QPoint(0, 0), widget->size());
    if (r.isEmpty()) return false;
    for (const QWidget* at = widget; at != window; at = at->parentWidget()) {
        const QWidget* parent = at->parentWidget();
        if (parent == nullptr) return false;
        const auto* area = qobject_cast<const QScrollArea*>(parent->parentWidget());
        if (area != nullptr && parent == area->viewport())
            return QRect(QPoint(0, 0), at->size()).contains(r) && showsWhole(area, window);
        r.translate(at->pos());
        if (!QRect(QPoint(0, 0), parent->size()).contains(r)) return false;
    }
    return true;
}

// What is wrong with the window laid out for the room: the framed window out
// of the screen, buttons not whole in it.
QStringList faults(QWidget* window, const ScreenRoom& room)
{
    QStringList found;
    const QRect framed(window->pos(), window->size().grownBy(room.frame));
    if (!room.available.contains(framed))
        found << QString("window %1x%2 at %3,%4 with its frame").arg(window->width()).arg(window->height())
                     .arg(window->x()).arg(window->y());
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(window) && !showsWhole(button, window))
            found << QString("button \"%1\" (%2)").arg(button->text(), button->metaObject()->className());
    return found;
}

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyButtonLiesInTheScreen()
    {
        Program program;
        program.mainWindow.show();
        const Calculation fan = *calculate(fanInput());
        program.reportWindow.window().setReport({fan.report, "/dati/ventilatore.dat", fan, {}, {}});
        prepareScreenGraph(program.graphWindow.graph(), fitGraphData(fan));
        StatisticsWindow statistics(fan);
        ComparisonWindow comparison(fanInput());
        ExportDialog exportDialog(fan, "ventilatore");
        FitOptionsWindow fitOptions(fan.options, FitType::SurfaceXY);
        HelpWindow help("CALVERO1", CALVERO_SOURCE_DIR "/doc/");
        CaptureWindow capture;
        AxesConfirmDialog axes({ReadReference{"x1", "0", 90}, {"x2", "5000", 70}, {"y1", "0", 50}, {"y2", "700", 95}},
                               "scale lineari");

        using LayOut = std::function<void(const ScreenRoom&)>;
        const std::vector<std::tuple<QWidget*, LayOut>> windows = {
            {&program.mainWindow, [&](const ScreenRoom& r) { program.mainWindow.layOutForRoom(r); }},
            {&program.pointGridWindow, [&](const ScreenRoom& r) { program.pointGridWindow.layOutForRoom(r); }},
            {&program.reportWindow.window(), [&](const ScreenRoom& r) { program.reportWindow.window().layOutForRoom(r); }},
            {&program.graphWindow, [&](const ScreenRoom& r) { program.graphWindow.layOutForRoom(r); }},
            {&statistics, [&](const ScreenRoom& r) { statistics.layOutForRoom(r); }},
            {&comparison, [&](const ScreenRoom& r) { comparison.layOutForRoom(r); }},
            {&exportDialog, [&](const ScreenRoom& r) { exportDialog.layOutForRoom(r); }},
            {&fitOptions, [&](const ScreenRoom& r) { fitOptions.layOutForRoom(r); }},
            {&help, [&](const ScreenRoom& r) { help.layOutForRoom(r); }},
            {&capture, [&](const ScreenRoom& r) { capture.layOutForRoom(r); }},
            {&axes, [&](const ScreenRoom& r) { axes.layOutForRoom(r); }},
        };
        QStringList found;
        for (const QSize screen : {QSize(800, 600), QSize(1024, 768)}) {
            const ScreenRoom room{QRect(QPoint(0, 0), screen), Frame};
            for (const auto& [window, layOut] : windows) {
                window->show();
                QCoreApplication::processEvents(); // framed by the platform, and laid out for it
                // Every format of the export dialog shows its own rows.
                const int states = window == &exportDialog ? exportDialog.formatChoice()->count() : 1;
                for (int state = 0; state < states; ++state) {
                    if (window == &exportDialog) exportDialog.formatChoice()->setCurrentIndex(state);
                    layOut(room);
                    QCoreApplication::sendPostedEvents(); // the layouts settle
                    QCoreApplication::processEvents();
                    for (const QString& fault : faults(window, room))
                        found << QString("%1x%2 %3 (%4): %5")
                                     .arg(screen.width()).arg(screen.height())
                                     .arg(window->metaObject()->className(), window->windowTitle(), fault);
                }
                window->hide();
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable("\n" + found.join("\n")));
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "windowlayout_qtest.moc"
