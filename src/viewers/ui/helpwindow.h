#pragma once
// The help browser: the program's HTML documentation in a browser that fills
// most of the screen, with "Esci", "Indietro" and "stampa" below it. A new
// window is made for every opening (see showHelpPage) and dies with it.
#include "common/ui/screenroom.h"

#include <QDialog>

#include <string>
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

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // The window's caption, and where the documentation lies (the binary's
    // folder when programFolder is empty).
    HelpWindow(std::string caption, std::string programFolder, QWidget* parent = nullptr);

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
    // Fills the room of the screen and places the controls in it.
    void layOutForRoom(const ScreenRoom& room);

    HelpTextBrowser* browser() const { return browser_; }
    QPushButton* exitButton() const { return exitButton_; }
    QPushButton* backButton() const { return backButton_; }
    QPushButton* printButton() const { return printButton_; }

public slots:
    void start();         // fill the screen, set the caption, load the first page
    void closeHelp();     // "Esci"
    void goBack();        // "Indietro"
    void printPage();     // "stampa"
    void restoreCursor(); // back to the normal mouse pointer

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    HelpTextBrowser* const browser_;
    QPushButton* const exitButton_;  // "Esci"
    QPushButton* const backButton_;  // "Indietro"
    QPushButton* const printButton_; // "stampa"
    std::string caption_;
    std::string programFolder_;
    Services services_;
    int screenWidth_ = 0;
    bool started_ = false;
    RoomKeeper* roomKeeper_ = nullptr;
};

} // namespace calvero
