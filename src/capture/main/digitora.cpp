// digitora: reads the points of a graph's curves off its picture for CALVERO1.
// With --extract it reads one curve by its colour without a window (and
// without a display); otherwise it opens the capture window, with the picture
// named on the command line if any.
#include "capture/extractcommand.h"
#include "capture/ui/Tdigitora.h"
#include "capture/ui/pictureload.h"
#include "common/ui/italiantranslations.h"

#include <QApplication>
#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (calvero::capture::isExtractCommand(arguments)) {
        // Qt's image readers are plug-ins found through the application object;
        // nothing here needs a display.
        QCoreApplication app(argc, argv);
        return calvero::capture::extractCommand(arguments, calvero::loadPicture, std::cout, std::cerr);
    }
    QApplication app(argc, argv);
    app.setApplicationName("digitora");
    calvero::installItalianTranslations(app);
    calvero::Tdigitora window;
    window.resize(1200, 800);
    window.show();
    const QStringList named = app.arguments().mid(1);
    if (!named.isEmpty()) window.openPicture(named.first());
    return app.exec();
}
