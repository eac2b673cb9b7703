#include "app/ui/windowpresenter.h"

#include "app/datasetcommands.h"
#include "app/document.h"
#include "graph/fitgraph.h"
#include "graph/surfacegraph.h"
#include "graph/ui/showgraphwindow.h"
#include "viewers/ui/reportwindow.h"
#include "viewers/ui/reportviewer.h"

#include <QApplication>
#include <QMessageBox>

namespace calvero {

WindowPresenter::WindowPresenter(QWidget& owner, const Document& document, ReportViewer& report, GraphWindow& graph)
    : owner_(owner), document_(document), report_(report), graph_(graph)
{
}

QWidget* WindowPresenter::messageParent() const
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &owner_;
}

void WindowPresenter::showMessage(const std::string& text)
{
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QMessageBox::warning(messageParent(), "CALVERO1", QString::fromStdString(text));
}

void WindowPresenter::showNotice(const std::string& text)
{
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QMessageBox::information(messageParent(), "CALVERO1", QString::fromStdString(text));
}

void WindowPresenter::showReport()
{
    const auto& last = document_.lastCalculation;
    report_.showReport({last ? last->report : std::vector<std::string>{}, pointsCaption(document_), last,
                        {document_.currentDataSetName, document_.importedPointFile}, {}});
}

void WindowPresenter::showGraph(const std::string& caption)
{
    const auto& last = document_.lastCalculation;
    if (!last) return;
    if (last->kind == FitType::SurfaceXY)
        showSurfaceWindow(graph_, surfaceGraphData(*last), caption);
    else
        showGraphWindow(graph_, fitGraphData(*last), caption);
}

} // namespace calvero
