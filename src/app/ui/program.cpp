#include "app/ui/program.h"

namespace calvero {

Program::Program()
    : pointGridWindow(PointTarget{document.grid, document.points, nullptr, &document.importedPointFile}, document.kind, &mainWindow), graphWindow(&mainWindow),
      reportWindow(&mainWindow), presenter(mainWindow, document, reportWindow, graphWindow),
      captureInbox([this](const std::string& path) {
          mainWindow.openFile(path);
          mainWindow.raise();
          mainWindow.activateWindow();
      })
{
    mainWindow.setCaptureInbox(captureInbox.name());
    mainWindow.setDocument(document, &presenter);
    MainWindow::Windows windows;
    windows.showPointEntry = [this] { pointGridWindow.exec(); };
    mainWindow.setWindows(std::move(windows));
}

Program::~Program() = default;

} // namespace calvero
