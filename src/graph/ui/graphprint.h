#pragma once
// One drawing pass on the printer device: the page of a print job.
class QPrinter;

namespace calvero {

// Prints the graph of the installed GraphProcedure as one page on printer
// (border, axes, points, curve; pen 5 pixels), then returns to the screen
// device. False when the printer refuses the job.
bool printGraphPage(QPrinter& printer);

} // namespace calvero
