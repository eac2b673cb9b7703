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
void openMakerWebSite(QWidget* parent, const Workspace& work);

// Opens address in the desktop's web browser and returns at once; a message
// follows (through the presenter when there is one) when no browser could be
// started for it. parent and presenter must outlive the opener.
void openWebPage(const std::string& address, QWidget* parent, Presenter* presenter = nullptr);

} // namespace calvero
