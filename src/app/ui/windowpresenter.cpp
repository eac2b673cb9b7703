#include "app/ui/windowpresenter.h"

#include "graph/ui/showgraphwindow.h"
#include "viewers/ui/reportviewer.h"

#include <QApplication>
#include <QMessageBox>

namespace calvero {

WindowPresenter::WindowPresenter(QWidget& owner, ReportViewer& report, GraphWindow& graph)
    : owner_(owner), report_(report), graph_(graph)
{
}

void WindowPresenter::showMessage(const std::string& text)
{
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &owner_;
    QMessageBox::information(parent, "CALVERO1", QString::fromStdString(text));
}

void WindowPresenter::showReport() { report_.showReport(); }

void WindowPresenter::showGraph(const std::string& caption) { showGraphWindow(graph_, caption); }

} // namespace calvero
