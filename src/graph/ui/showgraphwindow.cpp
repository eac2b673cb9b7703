#include "graph/ui/showgraphwindow.h"

#include "graph/fitgraph.h"
#include "graph/ui/graphwindow.h"

namespace calvero {

void showGraphWindow(GraphWindow& window, const std::string& caption)
{
    prepareScreenGraph();
    window.showGraph(caption);
}

} // namespace calvero
