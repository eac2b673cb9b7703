#pragma once
// The main window: the kind, the degree and the temperatures, the line of
// what the next calculation fits (kind, degree, fit options), the clock, and
// every command of the program.
#include "app/frontend.h"
#include "common/ui/screenroom.h"

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

class MainWindow : public QWidget, public MainWindowInputs {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    enum class Answer { Yes, No, Cancel };

    // What the main window opens; the program wires them to its other windows.
    struct Windows {
        std::function<void()> showPointEntry;
        std::function<void()> showEquationWindow;
        // File dialogs: return the chosen path, empty when cancelled.
        std::function<std::string()> askSavePath;
        std::function<std::string()> askOpenPath;
        // A question with "Sì" and "No", and "Annulla" when cancelling is offered.
        std::function<Answer(const std::string& question, bool offerCancel)> ask;
    };
    void setWindows(Windows windows) { windows_ = std::move(windows); }
    // The document the commands work on and where they show their outcome.
    void setDocument(Document& document, Presenter* presenter);
    // Where the point-capture tool started from here sends its points.
    void setCaptureInbox(const QString& name);

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
    // Fills the room of the screen and lays the controls out for it.
    void layOutForRoom(const ScreenRoom& room);
    QString clockPanelText() const;

    QLabel* clockPanel() const { return clockPanel_; }
    QButtonGroup* kindButtons() const { return kindButtons_; }
    QSpinBox* degreeBox() const { return degreeBox_; }
    QLineEdit* initialTemperatureField() const { return initialTemperatureField_; }
    QLineEdit* finalTemperatureField() const { return finalTemperatureField_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* readButton() const { return readButton_; }
    QPushButton* pointEntryButton() const { return pointEntryButton_; }
    QPushButton* examplesButton() const { return examplesButton_; }
    QPushButton* clearButton() const { return clearButton_; }
    QPushButton* calculateButton() const { return calculateButton_; }
    QPushButton* exitButton() const { return exitButton_; }
    QPushButton* documentationButton() const { return documentationButton_; }
    QPushButton* captureButton() const { return captureButton_; }
    QPushButton* webSiteButton() const { return webSiteButton_; }
    QPushButton* compareButton() const { return compareButton_; }
    QPushButton* fitOptionsButton() const { return fitOptionsButton_; }
    QPushButton* equationButton() const { return equationButton_; }
    // The one line that says what the next calculation fits: the kind, its
    // degree and the fit options that are on.
    QLabel* optionsLine() const { return optionsLine_; }

public slots:
    void start();
    void updateClock();
    void chooseKind(int itemIndex);
    void calculate();
    void saveDataSet();
    void readDataSet();
    // A file named on the command line: a data set is read and calculated,
    // a point file or workbook imported into the grid.
    void openFile(const std::string& path);
    void showPointEntry();
    void runExamples();
    void clearData();
    void showDocumentation();
    void startCapture();
    void openWebSite();
    // "confronta equazioni": every equation that applies to the points, ranked;
    // the one chosen becomes the kind and degree, and is calculated.
    void compareEquations();
    // "vincoli": the fit options of the data set, edited in their window.
    void editFitOptions();
    // "equazione libera…": a typed equation fitted to the grid's points, in its window.
    void showEquationWindow();
    void showOptionsLine();

protected:
    void showEvent(QShowEvent* event) override;
    // Leaving with points not saved asks whether to save them first.
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    // The save dialog, then the save; false when cancelled or not written.
    bool saveThroughDialog();
    Answer ask(const std::string& question, bool offerCancel);
    void runCommand(const std::function<void()>& command);
    Workspace workspace();

    QLabel* clockPanel_ = nullptr;
    QGroupBox* kindGroup_ = nullptr;
    QButtonGroup* kindButtons_ = nullptr;
    QSpinBox* degreeBox_ = nullptr;
    QLabel* initialTemperatureLabel_ = nullptr;
    QLabel* degreeLabel_ = nullptr;
    QLabel* finalTemperatureLabel_ = nullptr;
    QLineEdit* initialTemperatureField_ = nullptr;
    QLineEdit* finalTemperatureField_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* pointEntryButton_ = nullptr;
    QPushButton* examplesButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* calculateButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* documentationButton_ = nullptr;
    QPushButton* captureButton_ = nullptr;
    QPushButton* webSiteButton_ = nullptr;
    QPushButton* compareButton_ = nullptr;
    QPushButton* fitOptionsButton_ = nullptr;
    QPushButton* equationButton_ = nullptr;
    QLabel* optionsLine_ = nullptr;

    bool started_ = false;
    RoomKeeper* roomKeeper_ = nullptr;
    QTimer* clock_ = nullptr;
    Windows windows_;
    Document* document_ = nullptr;
    Presenter* presenter_ = nullptr;
    QString captureInbox_;
};

} // namespace calvero
