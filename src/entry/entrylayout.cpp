#include "entry/entrylayout.h"

namespace calvero {

EntryLayout entryLayout(int screenWidth, int screenHeight)
{
    const int sw = screenWidth;
    const int sh = screenHeight;
    const int buttonHeight = part(0.07, sh);
    EntryLayout layout;
    layout.window = {0, 0, sw, sh};
    layout.grid = {2, 2, part(0.4, sw), part(0.85, sh)};

    const int right = layout.grid.left + layout.grid.width + 5;
    layout.rule = {right, 2, part(0.5, sw), part(0.85, sh)};
    layout.exitButton = {right, layout.grid.top + layout.grid.height - buttonHeight, part(0.25, sw), buttonHeight};
    layout.fileButton = {right, layout.grid.top + buttonHeight, part(0.55, sw), buttonHeight};
    layout.hint = {right, layout.fileButton.top + layout.fileButton.height + 5, part(0.55, sw), buttonHeight};
    layout.firstRowCaption = {right, layout.hint.top + layout.hint.height + part(0.15, sw), part(0.35, sw),
                              buttonHeight};
    layout.firstRow = {layout.firstRowCaption.left,
                       layout.firstRowCaption.top + layout.firstRowCaption.height + 5, part(0.05, sw),
                       buttonHeight};
    return layout;
}

} // namespace calvero
