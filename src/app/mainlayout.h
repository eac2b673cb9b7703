#pragma once
// Placement of the main window's controls, computed from the screen size.
#include "common/layoutbox.h"

namespace calvero {

using ControlRect = LayoutBox;

struct MainWindowLayout {
    ControlRect panel1;       // clock
    ControlRect bitBtn4;      // save
    ControlRect bitBtn3;      // read
    ControlRect speedButton4; // point entry
    ControlRect speedButton3; // examples
    ControlRect bitBtn5;      // clear
    ControlRect bitBtn2;      // calculate
    ControlRect bitBtn1;      // exit
    ControlRect radioGroup1;
    ControlRect label1;
    ControlRect label3;
    ControlRect label2;
    ControlRect spinEdit1;
    ControlRect edit1;
    ControlRect edit2;
    ControlRect bitBtn10; // documentation
    ControlRect bitBtn11; // point capture
    ControlRect bitBtn12; // web site
};

// Every value is truncated toward zero where it is computed; each row uses
// only rows computed before it.
MainWindowLayout mainWindowLayout(int screenWidth, int screenHeight);

} // namespace calvero
