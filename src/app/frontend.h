#pragma once
// What the commands need of the windows: the main window's inputs (kind,
// degree, the two temperatures) and the windows a calculation shows. The Qt
// windows implement these; the tests use plain ones.
#include "common/checked.h"

#include <string>

namespace calvero {

class MainWindowInputs {
public:
    virtual ~MainWindowInputs() = default;
    // The degree field: the degree, held within 1 to 9.
    virtual int degreeValue() const = 0;
    virtual void setDegreeValue(int value) = 0;
    // The kind buttons: item index 0..7, or -1 when no item is selected.
    virtual int kindItemIndex() const = 0;
    virtual void setKindItemIndex(int index) = 0;
    // The two temperature fields: the initial and final temperature as typed.
    virtual std::string initialTemperatureText() const = 0;
    virtual std::string finalTemperatureText() const = 0;
    virtual void setInitialTemperatureText(const std::string& text) = 0;
    virtual void setFinalTemperatureText(const std::string& text) = 0;
};

class Presenter {
public:
    virtual ~Presenter() = default;
    // A modal message box with an OK button: a refusal or an error.
    virtual void showMessage(const std::string& text) = 0;
    // The same box for a confirmation that the work was done.
    virtual void showNotice(const std::string& text) { showMessage(text); }
    // The report viewer, modally; returns when the user closes it.
    virtual void showReport() = 0;
    // The graph window, modally, with the given caption.
    virtual void showGraph(const std::string& caption) = 0;
};

struct Document;

// What a command works on: the document, the main window's inputs and where
// it shows its messages and windows (nothing is shown without a presenter).
// The commands return their failure; tell() is where it, or any message of a
// command, reaches the user.
struct Workspace {
    Document& document;
    MainWindowInputs& inputs;
    Presenter* presenter = nullptr;

    void tell(const std::string& text) const
    {
        if (presenter) presenter->showMessage(text);
    }
    void tell(const Failure& failure) const
    {
        if (failure) tell(*failure);
    }
    void confirm(const std::string& text) const
    {
        if (presenter) presenter->showNotice(text);
    }
};

} // namespace calvero
