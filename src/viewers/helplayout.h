#pragma once
// Placement of the help browser's controls, computed from the size of the
// window (which fills the screen): the browser on top, three buttons below.
#include "common/layoutbox.h"

namespace calvero {

struct HelpBrowserLayout {
    using Box = LayoutBox;
    Box browser;
    Box exitButton;  // "Esci"
    Box backButton;  // "Indietro"
    Box printButton; // "stampa"
};

// screenWidth sizes the buttons; windowWidth and windowHeight (the window
// once it has been sized to the screen) size the browser and the button row.
HelpBrowserLayout layoutHelpBrowser(int screenWidth, int windowWidth, int windowHeight);

// The usual case: the window has exactly the screen's size.
inline HelpBrowserLayout layoutHelpBrowser(int screenWidth, int screenHeight)
{
    return layoutHelpBrowser(screenWidth, screenWidth, screenHeight);
}

} // namespace calvero
