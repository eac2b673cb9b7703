#pragma once
// The three link buttons of the main window: documentation, point-capture
// tool and the maker's web site. The main window calls these from its
// buttons.
#include <string>

class QWidget;

namespace calvero {

// "documentazione": the help window with the caption "calvero1.html".
void openDocumentation(QWidget* parent);

// "cattura punti dal grafico": starts the point-capture tool from the
// program's folder and returns at once; tells the user when it is missing or
// cannot be started.
void launchCaptureTool(QWidget* parent);

// "sito ventoria": the maker's web site in the desktop's browser.
void openMakerWebSite(QWidget* parent);

// Opens address in the desktop's web browser and returns at once; false (and
// a message) when the desktop could not open it.
bool openWebPage(const std::string& address, QWidget* parent = nullptr);

} // namespace calvero
