#pragma once
// One drawing pass on the screen device, as the graph window draws itself.
#include <QFont>

class QPainter;

namespace calvero {

struct GraphState;

// The graph window's font: Times New Roman, 11 pixels, bold italic. Its
// canvas starts from it.
QFont graphWindowFont();

// Draws the graph of the GraphProcedure installed in s onto painter as the graph
// window of windowWidth x windowHeight pixels shows it (pen 2 pixels). The
// painter's surface is expected to be white already.
void paintScreenGraph(GraphState& s, QPainter& painter, int windowWidth, int windowHeight);

} // namespace calvero
