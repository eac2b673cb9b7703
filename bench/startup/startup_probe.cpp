// Start-up of CALVERO1 measured: builds the program's windows exactly as
// calvero1 does, shows the main window and, on the first turn of the event
// loop after that window is exposed (its first paint done), prints how long
// the start took and the resident memory, then quits.
//
// One line on standard output, key=value fields:
//   since_process_start_ms  from the kernel's start time of the process
//                           (/proc/self/stat, 10 ms ticks): includes loading
//                           the shared libraries and static initialisation;
//   since_main_ms           from a steady clock read first thing in main();
//   vmrss_kib, vmhwm_kib    VmRSS and VmHWM of /proc/self/status.
#include "app/ui/program.h"
#include "processfigures.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

// Sees every event of the application and calls back once, on the first
// expose event that leaves the watched widget's window exposed.
class FirstExposure : public QObject {
public:
    FirstExposure(const QWidget& widget, std::function<void()> exposed) : widget_(widget), exposed_(std::move(exposed))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!done_ && event->type() == QEvent::Expose && watched == widget_.windowHandle()) {
            // The filter runs before the window handles the event: look at
            // the window once the event has been delivered.
            QTimer::singleShot(0, this, [this] { check(); });
        }
        return false;
    }
    void check()
    {
        const QWindow* window = widget_.windowHandle();
        if (done_ || !window || !window->isExposed()) return;
        done_ = true;
        exposed_();
    }

private:
    const QWidget& widget_;
    std::function<void()> exposed_;
    bool done_ = false;
};

double milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv)
{
    const auto mainStarted = std::chrono::steady_clock::now();

    QApplication app(argc, argv);
    app.setApplicationName("calvero1");
    calvero::Program program;

    FirstExposure watch(program.mainWindow, [&] {
        const double sinceMain = milliseconds(std::chrono::steady_clock::now() - mainStarted);
        const auto sinceStart = calvero::bench::secondsSinceProcessStart();
        const long rss = calvero::bench::statusKiB("VmRSS").value_or(-1);
        const long hwm = calvero::bench::statusKiB("VmHWM").value_or(-1);
        const QScreen* screen = program.mainWindow.screen();
        std::printf("platform=%s screen=%dx%d since_process_start_ms=%.1f since_main_ms=%.1f vmrss_kib=%ld "
                    "vmhwm_kib=%ld\n",
                    qPrintable(QGuiApplication::platformName()), screen ? screen->size().width() : 0,
                    screen ? screen->size().height() : 0, sinceStart ? *sinceStart * 1000.0 : -1.0, sinceMain, rss,
                    hwm);
        std::fflush(stdout);
        app.quit();
    });
    app.installEventFilter(&watch);

    program.mainWindow.show();
    // In case the platform exposed the window while showing it.
    QTimer::singleShot(0, &watch, [&watch] { watch.check(); });

    QTimer::singleShot(30000, &app, [&app] {
        std::fprintf(stderr, "calvero_startup_probe: the main window was not exposed within 30 s\n");
        app.exit(2);
    });
    return app.exec();
}
