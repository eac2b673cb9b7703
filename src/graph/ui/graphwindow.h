#pragma once
// The graph window: the points and the fitted curve of the last calculation
// over the whole screen, and their print. It owns the drawing context of its
// graph: every paint runs one drawing pass of the procedure installed there
// on the screen device.
#include "common/ui/printdialog.h"
#include "common/ui/screenroom.h"
#include "graph/worldposition.h"

#include <QDialog>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace calvero {

class GraphWindow : public QDialog {
    Q_OBJECT

public:
    // Where the window's messages go (a modal message box unless replaced).
    using MessageSink = std::function<void(const QString&)>;
    // Asks for the picture file to save; an empty name means the user cancelled.
    using FileChooser = std::function<QString()>;

    explicit GraphWindow(QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink);
    void setImageFileChooser(FileChooser chooser);
    // Whether the system has a printer (the default asks the system).
    void setPrinterQuery(std::function<bool()> query);
    void setPrintDialog(PrintDialogRunner dialog);
    // Asks for the PDF file to print into when there is no printer.
    void setPdfFileChooser(FileChooser chooser);

    // Shows the window modally with the caption; returns when it is closed.
    void showGraph(const std::string& caption);

    // The drawing context the window paints, prints and saves from.
    GraphState& graph() { return graph_; }

    QPushButton* exitButton() const { return exitButton_; }
    QPushButton* printButton() const { return printButton_; }
    QLabel* positionReadout() const { return positionReadout_; }
    // The questions to a curve of one variable, on a row above the buttons:
    // the bands, the system curve "k; p0; n" and the speed ratio with its quantity.
    QCheckBox* bandsBox() const { return bandsBox_; }
    QLineEdit* systemField() const { return systemField_; }
    QLineEdit* ratioField() const { return ratioField_; }
    QComboBox* quantityChoice() const { return quantityChoice_; }
    QLabel* questionsAnswer() const { return questionsAnswer_; }

    // The window over the whole room, buttons near its bottom.
    void layOutForRoom(const ScreenRoom& room);

public slots:
    // Activation: full screen, buttons near the bottom, graph drawn.
    void fillScreen();
    void closeGraph();
    // Prints the graph on the printer chosen in the print dialog, or into a
    // PDF file when the machine has no printer.
    void printGraph();
    // The graph as the window shows it, as a picture on the clipboard.
    void copyPicture();
    // The graph as the window shows it into a PNG, SVG or PDF file.
    void savePicture();
    // The questions' controls read into the graph, which is drawn again.
    void askQuestions();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPushButton* exitButton_ = nullptr;     // "&Uscita"
    QPushButton* printButton_ = nullptr;    // "STAMPA"
    QLabel* positionReadout_ = nullptr;     // the values under the mouse, beside the buttons or under them
    QAction* copyImageAction_ = nullptr;    // "copia immagine", Ctrl+C
    QAction* saveImageAction_ = nullptr;    // "salva immagine…", Ctrl+S
    QCheckBox* bandsBox_ = nullptr;
    QLabel* systemLabel_ = nullptr;
    QLineEdit* systemField_ = nullptr;
    QLabel* ratioLabel_ = nullptr;
    QLineEdit* ratioField_ = nullptr;
    QComboBox* quantityChoice_ = nullptr;
    QLabel* questionsAnswer_ = nullptr;

    void placeButtons();
    void placeQuestions(int top);
    // The row's fields in their order, each with its width.
    std::vector<std::pair<QWidget*, int>> questionFields() const;
    bool answerFitsBeside() const;
    int questionsHeight() const;
    bool asksQuestions() const; // a graph of a curve of one variable
    void showMessage(const QString& text);

    RoomKeeper* roomKeeper_ = nullptr;
    GraphState graph_;
    ScreenPlot screenPlot_; // of the last pass on the window, for reading values off it
    MessageSink messageSink_;
    FileChooser imageFileChooser_;
    std::function<bool()> printerQuery_;
    PrintDialogRunner printDialog_;
    FileChooser pdfFileChooser_;
};

} // namespace calvero
