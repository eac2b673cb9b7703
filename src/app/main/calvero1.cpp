// CALVERO1: curve fitting for heating, ventilation and refrigeration engineers.
#include "common/ui/italiantranslations.h"
#include "app/ui/program.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("calvero1");
    calvero::installItalianTranslations(app);
    calvero::Program program;
    program.mainWindow.show();
    // "calvero1 FILE", as the file manager opens a data set: once the window is up.
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1) {
        const std::string path = QFile::encodeName(arguments.at(1)).toStdString();
        QTimer::singleShot(0, &program.mainWindow, [&program, path] { program.mainWindow.openFile(path); });
    }
    return app.exec();
}
