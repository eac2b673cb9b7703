#pragma once
// Where the point-entry window puts its controls, from the screen size.
namespace calvero {

struct EntryLayout {
    struct Box {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Box&) const = default;
    };
    Box window;
    Box grid;        // StringGrid1
    Box rule;        // Label1, the end-of-data rule
    Box exitButton;  // BitBtn1
    Box fileButton;  // BitBtn2
    Box hint;        // Label2, the separators
    Box firstRowCaption; // Label3
    Box firstRow;    // SpinEdit1
};

// Sizes are fractions of the screen, truncated toward zero; the window fills the screen.
EntryLayout entryLayout(int screenWidth, int screenHeight);

} // namespace calvero
