#include "entry/entrylayout.h"

namespace calvero {

EntryLayout entryLayout(int screenWidth, int screenHeight)
{
    const int sw = screenWidth;
    const int sh = screenHeight;
    const int buttonHeight = part(0.07, sh);
    EntryLayout layout;
    layout.window = {0, 0, sw, sh};
    layout.pointGrid = {2, 2, part(0.4, sw), part(0.85, sh)};

    const int right = layout.pointGrid.left + layout.pointGrid.width + 5;
    layout.ruleLabel = {right, 2, part(0.5, sw), part(0.85, sh)};
    layout.exitButton = {right, layout.pointGrid.top + layout.pointGrid.height - buttonHeight, part(0.25, sw),
                         buttonHeight};
    layout.importButton = {right, layout.pointGrid.top + buttonHeight, part(0.55, sw), buttonHeight};
    layout.separatorHint = {right, layout.importButton.top + layout.importButton.height + 5, part(0.55, sw),
                            buttonHeight};
    layout.firstRowLabel = {right, layout.separatorHint.top + layout.separatorHint.height + part(0.15, sw),
                            part(0.35, sw), buttonHeight};
    layout.firstRowBox = {layout.firstRowLabel.left, layout.firstRowLabel.top + layout.firstRowLabel.height + 5,
                          part(0.05, sw), buttonHeight};
    return layout;
}

} // namespace calvero
