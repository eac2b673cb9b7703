#pragma once
// What the commands need of the windows: the main window's inputs (kind,
// degree, the two temperatures) and the windows a calculation shows. The Qt
// windows implement these; tests and the batch command use plain ones.
#include <string>

namespace calvero {

class MainWindowInputs {
public:
    virtual ~MainWindowInputs() = default;
    // SpinEdit1: the degree, held within 1 to 9.
    virtual int degreeValue() const = 0;
    virtual void setDegreeValue(int value) = 0;
    // RadioGroup1: item index 0..7, or -1 when no item is selected.
    virtual int kindItemIndex() const = 0;
    virtual void setKindItemIndex(int index) = 0;
    // Edit1 and Edit2: the initial and final temperature as typed.
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

// The inputs as plain values, with the limits the controls keep.
class InputFields : public MainWindowInputs {
public:
    int degreeValue() const override { return degree_; }
    void setDegreeValue(int value) override { degree_ = value < 1 ? 1 : (value > 9 ? 9 : value); }
    int kindItemIndex() const override { return kindIndex_; }
    void setKindItemIndex(int index) override { kindIndex_ = index < -1 ? -1 : (index > 7 ? 7 : index); }
    std::string initialTemperatureText() const override { return initial_; }
    std::string finalTemperatureText() const override { return final_; }
    void setInitialTemperatureText(const std::string& text) override { initial_ = text; }
    void setFinalTemperatureText(const std::string& text) override { final_ = text; }

private:
    int degree_ = 2;
    int kindIndex_ = 2;
    std::string initial_;
    std::string final_;
};

struct Document;

// What a command works on: the document, the main window's inputs and where
// it shows its messages and windows (nothing is shown without a presenter).
struct Workspace {
    Document& document;
    MainWindowInputs& inputs;
    Presenter* presenter = nullptr;

    void tell(const std::string& text) const
    {
        if (presenter) presenter->showMessage(text);
    }
    void confirm(const std::string& text) const
    {
        if (presenter) presenter->showNotice(text);
    }
};

} // namespace calvero
