#include "viewers/helplayout.h"

namespace calvero {

namespace {
// Fractions of a size, truncated toward zero as every window of the program does.
int fraction(double factor, int size) { return static_cast<int>(factor * size); }
} // namespace

HelpBrowserLayout layoutHelpBrowser(int screenWidth, int windowWidth, int windowHeight)
{
    HelpBrowserLayout layout;
    layout.browser = {0, 0, fraction(0.975, windowWidth), fraction(0.825, windowHeight)};

    const int buttonTop = layout.browser.top + layout.browser.height + 5;
    const int buttonWidth = fraction(0.3, screenWidth);
    const int buttonHeight = fraction(0.06, windowHeight);
    layout.exitButton = {2, buttonTop, buttonWidth, buttonHeight};
    layout.backButton = {layout.exitButton.left + layout.exitButton.width + 5, buttonTop, buttonWidth,
                         buttonHeight};
    layout.printButton = {layout.backButton.left + layout.backButton.width + 5, buttonTop, buttonWidth,
                          buttonHeight};
    return layout;
}

} // namespace calvero
