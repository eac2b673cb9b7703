#include "app/ui/program.h"

#include "app/datasetcommands.h"

namespace calvero {

Program::Program()
    : pointGridWindow(PointTarget{document.grid, document.points, nullptr, &document.importedPointFile}, document.kind, &mainWindow), graphWindow(&mainWindow),
      reportWindow(&mainWindow), presenter(mainWindow, document, reportWindow, graphWindow),
      equationWindow(document, reportWindow, graphWindow, &mainWindow),
      captureInbox([this](const std::string& path) {
          mainWindow.openFile(path);
          mainWindow.raise();
          mainWindow.activateWindow();
      })
{
    mainWindow.setCaptureInbox(captureInbox.name());
    mainWindow.setDocument(document, &presenter);
    pointGridWindow.setImportListener([this](const std::string& path) {
        pointsImported(document, path);
        mainWindow.showOptionsLine();
    });
    MainWindow::Windows windows;
    // Points that arrive while the grid is open (from digitora) show in it.
    windows.showPointEntry = [this] {
        if (pointGridWindow.isVisible())
            pointGridWindow.layOutForScreen();
        else
            pointGridWindow.exec();
    };
    windows.showEquationWindow = [this] { equationWindow.exec(); };
    mainWindow.setWindows(std::move(windows));
}

Program::~Program() = default;

} // namespace calvero
