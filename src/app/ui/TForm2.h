#pragma once
// The main window: the kind, the degree and the temperatures, the clock, and
// every command of the program.
#include "fit/frontend.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace calvero {

class TForm2 : public QWidget, public MainWindowInputs {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    // What the main window opens; the program wires them to its other windows.
    struct Windows {
        std::function<void()> showPointEntry;
        // File dialogs: return the chosen path, empty when cancelled.
        std::function<std::string()> askSavePath;
        std::function<std::string()> askOpenPath;
    };
    void setWindows(Windows windows) { windows_ = std::move(windows); }

    // MainWindowInputs
    int degreeValue() const override;
    void setDegreeValue(int value) override;
    int kindItemIndex() const override;
    void setKindItemIndex(int index) override;
    std::string initialTemperatureText() const override;
    std::string finalTemperatureText() const override;
    void setInitialTemperatureText(const std::string& text) override;
    void setFinalTemperatureText(const std::string& text) override;

    // Lays the controls out for a screen of the given size.
    void layOut(int screenWidth, int screenHeight);
    QString clockPanelText() const;

    QLabel* Panel1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* radioItems = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* SpeedButton4 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn10 = nullptr;
    QPushButton* BitBtn11 = nullptr;
    QPushButton* BitBtn12 = nullptr;
    QPushButton* compareButton = nullptr;

public slots:
    void INIZIAFORM();
    void appidle();
    void setta_tipo(int itemIndex);
    void CALCOLA();
    void salva_sudisco();
    void leggi_filetxt();
    void SpeedButton4Click();
    void vai_exempi();
    void azzera_tutto();
    void BitBtn10Click();
    void r410();
    void BitBtn12Click();
    void confronta();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void runCommand(const std::function<void()>& command);
    bool started_ = false;
    QTimer* clock_ = nullptr;
    Windows windows_;
};

} // namespace calvero
