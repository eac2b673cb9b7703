// CALVERO1: curve fitting for heating, ventilation and refrigeration engineers.
#include "common/ui/italiantranslations.h"
#include "app/ui/program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("calvero1");
    calvero::installItalianTranslations(app);
    calvero::Program program;
    program.mainWindow.show();
    return app.exec();
}
