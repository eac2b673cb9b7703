#include "graph/ui/showgraphwindow.h"

#include "graph/fitgraph.h"
#include "graph/ui/TForm8.h"

namespace calvero {

void showGraphWindow(TForm8& window, const std::string& caption)
{
    prepareScreenGraph();
    window.visualizza(caption);
}

} // namespace calvero
