#include "viewers/reportlayout.h"

namespace calvero {

ReportLayout reportLayout(int screenWidth, int screenHeight)
{
    const int w = screenWidth;
    const int h = screenHeight;
    ReportLayout layout;
    layout.window = {0, 0, w, h};
    layout.reportText = {2, 2, part(0.98, w), part(0.8, h)};
    layout.exitButton = {w / 3, part(0.82, h), w / 4, h / 12};
    const ReportLayout::Box& ok = layout.exitButton;
    layout.printButton = {ok.left - ok.width - 5, ok.top, ok.width, ok.height};
    layout.saveRtfButton = {ok.left + ok.width + 5, ok.top, ok.width, ok.height};
    return layout;
}

} // namespace calvero
