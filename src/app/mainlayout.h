#pragma once
// Placement of the main window's controls, computed from the screen size.
#include "common/layoutbox.h"

namespace calvero {

using ControlRect = LayoutBox;

struct MainWindowLayout {
    ControlRect clockPanel;
    ControlRect saveButton;
    ControlRect readButton;
    ControlRect pointEntryButton;
    ControlRect examplesButton;
    ControlRect clearButton;
    ControlRect calculateButton;
    ControlRect exitButton;
    ControlRect kindGroup;
    ControlRect initialTemperatureLabel;
    ControlRect finalTemperatureLabel;
    ControlRect degreeLabel;
    ControlRect degreeBox;
    ControlRect initialTemperatureField;
    ControlRect finalTemperatureField;
    ControlRect documentationButton;
    ControlRect captureButton;
    ControlRect webSiteButton;
};

// Every value is truncated toward zero where it is computed; each row uses
// only rows computed before it.
MainWindowLayout mainWindowLayout(int screenWidth, int screenHeight);

} // namespace calvero
