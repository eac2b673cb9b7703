#pragma once
// The drawing pass, the device frames, the world-to-device mapping and the
// drawing primitives. Device coordinates have their origin at the bottom-left
// corner of the device area with y up; the turn to the canvas's downward y is
// made in deviceY on the screen and in the primitives on the printer. Every
// coordinate handed to the canvas is truncated toward zero.
#include "graph/canvas.h"
#include "graph/graphstate.h"

#include <cstdint>
#include <string>

namespace calvero {

// One pass on the current device: beginDrawing, drawBorder and, when a
// GraphProcedure is installed, that procedure and endDrawing.
void drawGraph(GraphState& s);

// Sets the device frame of the current device and the canvas font size;
// world coordinates off.
void beginDrawing(GraphState& s);
// Screen: blue pen, nothing drawn. Printer: the page border.
void drawBorder(GraphState& s);
void endDrawing(GraphState& s);

// Places the plot area on the device and stores the world window. The plot
// area starts at leftRoom at the least (but no further right than the middle
// of the device), so that what stands left of the y axis fits in.
void layoutPlot(GraphState& s, double xMin, double yMin, double xMax, double yMax, double leftRoom = 0.0);

double deviceX(const GraphState& s, double x);
double deviceY(const GraphState& s, double y);

// Coordinates are world or device units as GraphState::worldCoordinates says.
void moveTo(GraphState& s, double x, double y);
void lineTo(GraphState& s, double x, double y);
void drawLine(GraphState& s, double x1, double y1, double x2, double y2);
void drawCircle(GraphState& s, double x, double y, double r);
// A circle filled with the pen's colour (a mark).
void drawDisc(GraphState& s, double x, double y, double r);
// A white box over what is drawn there, its corners in either order (the
// patch behind a label); the pen is white afterwards.
void clearBox(GraphState& s, double x1, double y1, double x2, double y2);
// The text, preceded by one blank, with its top-left corner at (x, y).
void drawText(GraphState& s, const std::string& text, double x, double y);
// The device width of the text as drawText writes it, blank included:
// measured by the canvas, estimated when it cannot measure.
double textWidth(const GraphState& s, const std::string& text);
void setColour(GraphState& s, std::uint16_t n);
// Pen and text in a colour of no number (the shades of a surface's map).
void setCanvasColour(GraphState& s, CanvasColour colour);

// A device coordinate as a canvas pixel: truncated toward zero and held
// within the 32-bit range (a value that is not a number gives 0).
int canvasPixel(double v);

} // namespace calvero
