#include "app/ui/program.h"

#include "fit/frontend.h"

namespace calvero {

Program::Program()
    : pointGridWindow(&mainWindow), graphWindow(&mainWindow), reportWindow(&mainWindow),
      presenter(mainWindow, reportWindow, graphWindow)
{
    setMainInputs(&mainWindow);
    setPresenter(&presenter);
    MainWindow::Windows windows;
    windows.showPointEntry = [this] { pointGridWindow.exec(); };
    mainWindow.setWindows(std::move(windows));
}

Program::~Program()
{
    setPresenter(nullptr);
    setMainInputs(nullptr);
}

} // namespace calvero
