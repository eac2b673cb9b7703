// digitora: reads the points of a graph's curves off its picture for CALVERO1.
// With --extract it reads one curve by its colour without a window (and
// without a display), --help and --version print and exit before Qt starts;
// otherwise it opens the capture window, with the picture named on the
// command line if any.
#include "capture/extractcommand.h"
#include "capture/tesseractreader.h"
#include "capture/ui/capturewindow.h"
#include "capture/ui/pictureload.h"
#include "common/ui/italiantranslations.h"

#include <QApplication>
#include <QCoreApplication>
#include <poppler-qt6.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <malloc.h>
#include <iostream>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

// The image libraries write their own notes on a damaged file straight to
// standard error (libpng does so without asking Qt); while a picture is read
// for --extract they go nowhere, and the program's Italian message follows.
calvero::Checked<calvero::capture::PixelBuffer> loadQuietly(const std::string& path, int page, double dpi)
{
    std::fflush(stderr);
    const int savedError = ::dup(STDERR_FILENO);
    const int nothing = ::open("/dev/null", O_WRONLY);
    if (savedError >= 0 && nothing >= 0) ::dup2(nothing, STDERR_FILENO);
    auto picture = calvero::loadPicture(path, page, dpi);
    if (savedError >= 0) {
        ::dup2(savedError, STDERR_FILENO);
        ::close(savedError);
    }
    if (nothing >= 0) ::close(nothing);
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    // A page is read through several pictures and masks of its size, made
    // and dropped one after another. Blocks up to the largest the allocator
    // allows outside mmap stay in the heap when freed, so the next one reuses
    // their pages instead of asking the kernel for fresh zeroed ones (a
    // fifth of a whole-page read went to those page faults).
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << calvero::capture::helpText();
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::cout << "digitora " CALVERO_VERSION "\n";
        return 0;
    }
    if (calvero::capture::isExtractCommand(arguments)) {
        // Qt's image readers are plug-ins found through the application object;
        // nothing here needs a display.
        // Standard error carries the program's own Italian messages only: the
        // image readers' and Poppler's notes on a damaged file are not for the user.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
        });
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        QCoreApplication app(argc, argv);
        std::unique_ptr<calvero::capture::TesseractReader> reader;
        if (std::find(arguments.begin(), arguments.end(), "--auto-axes") != arguments.end() ||
            std::find(arguments.begin(), arguments.end(), "--all-curves") != arguments.end())
            reader = std::make_unique<calvero::capture::TesseractReader>();
        const int code = calvero::capture::extractCommand(arguments, loadQuietly, std::cout, std::cerr, reader.get());
        // For the measuring scripts: the OCR's share of the run.
        if (reader && std::getenv("DIGITORA_OCR_TIME"))
            std::cerr << "tempo OCR: " << reader->secondsReading() << " s, " << reader->areasRead() << " aree\n";
        return code;
    }
    QApplication app(argc, argv);
    app.setApplicationName("digitora");
    calvero::installItalianTranslations(app);
    calvero::CaptureWindow window; // sized to the screen as it is shown
    window.show();
    const QStringList named = app.arguments().mid(1);
    if (!named.isEmpty()) window.openPicture(named.first());
    return app.exec();
}
