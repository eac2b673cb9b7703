#pragma once
// Where the point-entry window puts its controls, from the screen size.
#include "common/layoutbox.h"
namespace calvero {

struct EntryLayout {
    using Box = LayoutBox;
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
