#pragma once
// The drawing context of the graph engine: the output device of the current
// drawing pass, its frame, the plot frame the axes set up, the drawing state
// of the primitives and the procedure with what it draws. Whoever draws owns
// one (the graph window, the batch's picture, a test) and hands it to every
// function of the engine; nothing of it is shared between two graphs.
#include "fit/dataset.h"
#include "fit/curvequestions.h"
#include "fit/fitoptions.h"
#include "fit/fittedcurve.h"
#include "fit/prediction.h"
#include "graph/canvas.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace calvero {

enum GraphDevice : std::uint8_t {
    DeviceScreen = 0,  // the graph window's canvas
    DevicePrinter = 1, // the page of the current print job
};

// The device area of the current pass, set by beginDrawing().
struct DeviceFrame {
    std::uint16_t deviceWidth = 0;
    std::uint16_t deviceHeight = 0;
    double offsetX = 0.0;    // margin added to the left edge of the plot area
    double offsetY = 0.0;    // margin added to the bottom edge of the plot area
    double charWidth = 0.0;  // unit of all horizontal layout
    double charHeight = 0.0; // unit of all vertical layout
};

// Where the plot area lies on the device and which world window it shows.
struct PlotFrame {
    double originX = 0.0; // device x of the left edge, where world x = xMin
    double originY = 0.0; // device y of the bottom edge, where world y = yMin
    double extentX = 0.0;
    double extentY = 0.0;
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    double xScale = 0.0; // device units per world unit
    double yScale = 0.0;
    double xStep = 0.0;
    double yStep = 0.0;
    std::string xTitle; // at most 10 characters
    std::string yTitle;
};

// What the program's graph shows: the points of a calculation (foundCount of
// them set the axes, the first `plotted` are marked), its fitted curve, and
// the points its fit options made it pass through (inside the axes, marked).
// What the questions asked of a curve of one variable add to its graph: the
// confidence and prediction bands, the system curve with its operating
// points, the curve at another speed or diameter over its scaled flows.
struct QuestionGraph {
    std::shared_ptr<const CurvePredictor> predictor; // the bands' source; none without a curve
    bool bands = false;
    double level = 0.95;
    std::optional<SystemCurve> system;
    std::vector<CurvePlace> operatingPoints;
    std::optional<FittedCurve> scaled;
    double ratio = 1.0; // of the scaled curve's flows
};

struct FitGraphData {
    PointSet points;
    int plotted = 0;
    std::optional<FittedCurve> curve;
    // A curve that is none of the kinds (a typed equation): y at x, NaN where
    // it has none; drawn in the curve's place.
    std::function<double(double)> typedCurve;
    QuestionGraph questions;
    std::vector<ThroughPoint> throughPoints;
};

// What the picture of a surface Z = F(x, y) shows: its points 1..count and
// the fitted polynomial of its degree.
struct SurfaceGraphData {
    PointSet points;
    int count = 0;
    int degree = 0;
    OneBasedArray<double, 15> coefficients{};
};

struct GraphState;

// What a drawing pass runs after the device setup and the border.
using GraphProcedure = void (*)(GraphState&);

struct GraphState {
    // Chosen by the caller before a pass.
    GraphDevice device = DeviceScreen;
    Canvas* canvas = nullptr;
    std::uint16_t windowWidth = 0;  // the graph window's size, recorded at activation
    std::uint16_t windowHeight = 0;
    int pageWidth = 0; // printable page of the print job, printer pixels
    int pageHeight = 0;

    DeviceFrame frame;
    PlotFrame plot;

    // Drawing state of the primitives.
    double currentX = 0.0; // device coordinates of the last moveTo / lineTo
    double currentY = 0.0;
    bool worldCoordinates = false; // primitives take world (on) or device (off) coordinates
    bool lengthOnly = false;       // deviceX converts a length, while drawCircle converts its radius
    std::uint16_t colourIndex = 0;

    // Layout parameters.
    std::uint16_t marginColumns = 9;
    std::uint16_t marginRows = 4;
    std::uint8_t leftMarginUnits = 1;
    std::uint8_t extraBottomRows = 0;
    int xLabelEvery = 2; // a label at every second tick
    // Device room kept free right of the plot area (a picture's legend).
    double rightRoom = 0.0;
    int yLabelEvery = 2;

    std::uint16_t curveSteps = 199; // intervals between curve samples

    GraphProcedure procedure = nullptr;
    FitGraphData fit;         // what the program's procedure draws
    SurfaceGraphData surface; // what the surface's procedure draws
};

} // namespace calvero
