#pragma once
// Starting points of the graph tests: a fresh drawing context on a recording
// canvas, as the window of a 1024 x 768 screen or as an A4 page at 600 dpi.
#include "graph/graphstate.h"
#include "recording_canvas.h"

#include <gtest/gtest.h>

namespace calvero::testing {

class GraphTest : public ::testing::Test {
protected:
    void useScreen(int width = 1024, int height = 768)
    {
        GraphState& s = graph;
        s.device = DeviceScreen;
        s.canvas = &canvas;
        s.windowWidth = static_cast<std::uint16_t>(width);
        s.windowHeight = static_cast<std::uint16_t>(height);
        s.pageWidth = width;
        s.pageHeight = height;
    }

    void usePrinter(int width = 4960, int height = 7016)
    {
        GraphState& s = graph;
        s.device = DevicePrinter;
        s.canvas = &canvas;
        s.pageWidth = width;
        s.pageHeight = height;
    }

    RecordingCanvas canvas;
    GraphState graph; // each test draws with a context of its own
};

constexpr CanvasColour Black{0, 0, 0};
constexpr CanvasColour Blue{0, 0, 255};
constexpr CanvasColour Green{0, 128, 0};

} // namespace calvero::testing
