#include "app/ui/program.h"

#include "fit/frontend.h"

namespace calvero {

Program::Program()
    : pointGridWindow(&Form2), graphWindow(&Form2), reportWindow(&Form2), presenter(Form2, reportWindow, graphWindow)
{
    setMainInputs(&Form2);
    setPresenter(&presenter);
    TForm2::Windows windows;
    windows.showPointEntry = [this] { pointGridWindow.exec(); };
    Form2.setWindows(std::move(windows));
}

Program::~Program()
{
    setPresenter(nullptr);
    setMainInputs(nullptr);
}

} // namespace calvero
