#pragma once
// Where the report viewer puts its controls, from the window size.
#include "common/layoutbox.h"
namespace calvero {

struct ReportLayout {
    using Box = LayoutBox;
    Box window;
    Box reportText;
    Box exitButton;
    Box printButton;
    Box saveRtfButton;
};

// The window fills the screen; the text box and the three buttons below it
// take fractions of its size, truncated toward zero.
ReportLayout reportLayout(int screenWidth, int screenHeight);

} // namespace calvero
