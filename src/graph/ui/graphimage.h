#pragma once
// The graph as an image, for the batch command.
#include <QImage>

namespace calvero {

struct GraphState;

// The graph of the GraphProcedure installed in s (prepareScreenGraph installs
// the program's) as the graph window draws it on a screen of the given size:
// white background, the window's device frame from that size. A size below
// 1 x 1 gives a null image.
QImage renderGraphImage(GraphState& s, int screenWidth, int screenHeight);

} // namespace calvero
