#include "graph/ui/showgraphwindow.h"

#include "graph/fitgraph.h"
#include "graph/ui/graphwindow.h"

namespace calvero {

void showGraphWindow(GraphWindow& window, FitGraphData data, const std::string& caption)
{
    prepareScreenGraph(std::move(data));
    window.showGraph(caption);
}

} // namespace calvero
