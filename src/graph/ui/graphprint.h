#pragma once
// One drawing pass on the printer device: the page of a print job.
class QPrinter;

namespace calvero {

struct GraphState;

// Prints the graph of the GraphProcedure installed in s as one page on printer
// (border, axes, points, curve; pen 5 pixels), then returns to the screen
// device. False when the printer refuses the job.
bool printGraphPage(GraphState& s, QPrinter& printer);

} // namespace calvero
