#include "graph/ui/showgraphwindow.h"

#include "graph/fitgraph.h"
#include "graph/surfacegraph.h"
#include "graph/ui/graphwindow.h"

namespace calvero {

void showGraphWindow(GraphWindow& window, FitGraphData data, const std::string& caption)
{
    prepareScreenGraph(window.graph(), std::move(data));
    window.showGraph(caption);
}

void showSurfaceWindow(GraphWindow& window, SurfaceGraphData data, const std::string& caption)
{
    prepareSurfaceGraph(window.graph(), std::move(data));
    window.showGraph(caption);
}

} // namespace calvero
