#pragma once
// Where the report viewer puts its controls, from the window size.
namespace calvero {

struct ReportLayout {
    struct Box {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Box&) const = default;
    };
    Box window;
    Box text;        // RichEdit1
    Box exitButton;  // OKButton
    Box printButton; // SpeedButton1
    Box saveButton;  // BitBtn1
};

// The window fills the screen; the text box and the three buttons below it
// take fractions of its size, truncated toward zero.
ReportLayout reportLayout(int screenWidth, int screenHeight);

} // namespace calvero
