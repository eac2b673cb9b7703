#pragma once
// What a calculation does to show its graph, for the windows that implement
// calvero::Presenter::showGraph.
#include "graph/graphstate.h"

#include <string>

namespace calvero {

class GraphWindow;

// Screen device, the program's GraphProcedure installed in the window's
// drawing context, then the graph window shown modally with the caption
// ("file:" + the data set's name).
void showGraphWindow(GraphWindow& window, FitGraphData data, const std::string& caption);

// The same with the picture of a surface.
void showSurfaceWindow(GraphWindow& window, SurfaceGraphData data, const std::string& caption);

} // namespace calvero
