#pragma once
// The three link buttons of the main window: documentation, point-capture
// tool and the maker's web site. The main window calls these from its
// buttons.
#include "app/frontend.h"

#include <QString>

#include <string>

class QWidget;

namespace calvero {

// "documentazione": the help window with the caption "calvero1.html".
void openDocumentation(QWidget* parent, const Workspace& work);

// "cattura punti dal grafico": starts the point-capture tool from the
// program's folder and returns at once; why not, when it is missing or
// cannot be started.
// inbox: where it may send its points back (empty: nowhere).
Failure launchCaptureTool(const Workspace& work, const QString& inbox = {});

// "sito ventoria": the maker's web site in the desktop's browser.
Failure openMakerWebSite();

// Opens address in the desktop's web browser and returns at once; why not,
// when the desktop could not open it.
Failure openWebPage(const std::string& address);

} // namespace calvero
