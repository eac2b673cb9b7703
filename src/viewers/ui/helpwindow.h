#pragma once
// The help browser: the program's HTML documentation in a browser that fills
// most of the screen, with "Esci", "Indietro" and "stampa" below it. A new
// window is made for every opening (see showHelpPage) and dies with it.
#include <QDialog>
#include <QString>
#include <QTextBrowser>

#include <functional>

class QPrinter;
class QPushButton;

namespace calvero {

// The browser of the help window. A page that cannot be found is shown as a
// short page saying so, instead of an empty window.
class HelpTextBrowser : public QTextBrowser {
    Q_OBJECT
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override;
};

class Tmiobrowser : public QDialog {
    Q_OBJECT
public:
    explicit Tmiobrowser(QWidget* parent = nullptr);

    // What the window needs from the desktop: printers, dialogs and message
    // boxes. Tests replace them.
    struct Services {
        std::function<bool()> hasDefaultPrinter;
        std::function<bool(QPrinter& printer, QWidget* parent)> pageSetup;  // false: cancelled
        std::function<QString(QWidget* parent)> pdfFileName;                // empty: cancelled
        std::function<void(QWidget* parent, const QString& text)> showMessage;
    };
    void setServices(Services services);

    // Places the browser and the buttons (screenWidth sizes the buttons).
    void layoutControls(int screenWidth, int windowWidth, int windowHeight);

    HelpTextBrowser* const WebBrowser2;
    QPushButton* const SpeedButton2; // "Esci"
    QPushButton* const SpeedButton1; // "Indietro"
    QPushButton* const BitBtn1;      // "stampa"

public slots:
    void inizia();       // fill the screen, set the caption, load the first page
    void indietro();     // "Esci"
    void vai_indietro(); // "Indietro"
    void BitBtn1Click(); // "stampa"
    void ripristina();   // back to the normal mouse pointer

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Services services_;
    int screenWidth_ = 0;
    bool started_ = false;
};

} // namespace calvero
