#include "viewers/helplayout.h"

namespace calvero {

HelpBrowserLayout layoutHelpBrowser(int screenWidth, int windowWidth, int windowHeight)
{
    HelpBrowserLayout layout;
    layout.browser = {0, 0, part(0.975, windowWidth), part(0.825, windowHeight)};

    const int buttonTop = layout.browser.top + layout.browser.height + 5;
    const int buttonWidth = part(0.3, screenWidth);
    const int buttonHeight = part(0.06, windowHeight);
    layout.exitButton = {2, buttonTop, buttonWidth, buttonHeight};
    layout.backButton = {layout.exitButton.left + layout.exitButton.width + 5, buttonTop, buttonWidth,
                         buttonHeight};
    layout.printButton = {layout.backButton.left + layout.backButton.width + 5, buttonTop, buttonWidth,
                          buttonHeight};
    return layout;
}

} // namespace calvero
