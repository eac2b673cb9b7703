#pragma once
// The program's windows, created once at start-up and kept for the whole run:
// the main window, the point-entry window, the report viewer, the graph
// window and the typed equation's window, with the document they work on. The main window is the source of
// the commands' inputs and the windows are where they show their results.
#include "app/document.h"
#include "app/ui/captureinbox.h"
#include "app/ui/equationwindow.h"
#include "app/ui/mainwindow.h"
#include "app/ui/windowpresenter.h"
#include "entry/ui/pointgridwindow.h"
#include "graph/ui/graphwindow.h"
#include "viewers/ui/reportviewer.h"

namespace calvero {

class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Document document; // the program's state, first to be made and last to go
    MainWindow mainWindow;
    PointGridWindow pointGridWindow;
    GraphWindow graphWindow;
    ReportViewer reportWindow;
    WindowPresenter presenter;
    EquationWindow equationWindow; // keeps what was typed from one opening to the next
    CaptureInbox captureInbox; // the points digitora sends back go into the grid
};

} // namespace calvero
