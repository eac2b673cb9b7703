#include "app/ui/program.h"

#include "fit/frontend.h"

namespace calvero {

Program::Program()
    : griglia_input(&Form2), Form8(&Form2), AboutBox(&Form2), presenter(Form2, AboutBox, Form8)
{
    setMainInputs(&Form2);
    setPresenter(&presenter);
    TForm2::Windows windows;
    windows.showPointEntry = [this] { griglia_input.exec(); };
    Form2.setWindows(std::move(windows));
}

Program::~Program()
{
    setPresenter(nullptr);
    setMainInputs(nullptr);
}

} // namespace calvero
