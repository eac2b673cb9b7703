#pragma once
// The graph window: the points and the fitted curve of the last calculation
// over the whole screen, and their print. It owns no data: every paint runs
// one drawing pass of the installed GraphProcedure on the screen device.
#include <QDialog>
#include <string>

class QPushButton;

namespace calvero {

class TForm8 : public QDialog {
    Q_OBJECT

public:
    explicit TForm8(QWidget* parent = nullptr);

    // Shows the window modally with the caption; returns when it is closed.
    void visualizza(const std::string& caption);

    QPushButton* Button1 = nullptr; // "&Uscita"
    QPushButton* BitBtn2 = nullptr; // "STAMPA"

public slots:
    // Activation: full screen, buttons near the bottom, graph drawn.
    void inizia();
    void termina();
    // Prints the graph on the default printer, or into a PDF file when the
    // machine has no printer.
    void stampagrafico();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeButtons();
};

} // namespace calvero
