#pragma once
// Where the point-entry window puts its controls, from the screen size.
#include "common/layoutbox.h"
namespace calvero {

struct EntryLayout {
    using Box = LayoutBox;
    Box window;
    Box pointGrid;
    Box ruleLabel;     // the end-of-data rule
    Box exitButton;
    Box importButton;
    Box separatorHint; // the separators
    Box firstRowLabel; // the first spreadsheet row's caption
    Box firstRowBox;
};

// Sizes are fractions of the screen, truncated toward zero; the window fills the screen.
EntryLayout entryLayout(int screenWidth, int screenHeight);

} // namespace calvero
