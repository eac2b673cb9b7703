#include "viewers/ui/helppage.h"

#include "viewers/helpdocument.h"
#include "viewers/ui/helpwindow.h"

namespace calvero {

void showHelpPage(const std::string& caption, const std::string& programFolder, QWidget* parent)
{
    // One window per opening: its history starts empty and ends with it.
    HelpWindow window(caption, programFolder, parent);
    window.exec();
}

} // namespace calvero
