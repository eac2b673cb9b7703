#include "fit/frontend.h"

namespace calvero {

namespace {
InputFields& plainFields()
{
    static InputFields fields;
    return fields;
}
MainWindowInputs* currentInputs = nullptr;
Presenter* currentPresenter = nullptr;
} // namespace

MainWindowInputs& mainInputs() { return currentInputs ? *currentInputs : plainFields(); }
void setMainInputs(MainWindowInputs* inputs) { currentInputs = inputs; }
Presenter* presenter() { return currentPresenter; }
void setPresenter(Presenter* p) { currentPresenter = p; }

void resetPlainInputs() { plainFields() = InputFields{}; }

} // namespace calvero
